// The output pattern page: the pattern images, the relay box, scroll rows and precision.
#include <QLabel>

#include "app/fqpane.h"
#include "gui/pages.h"
#include "gui/pattern_image.h"
#include "gui/widget_factory.h"

namespace qpane {

namespace {
constexpr int kImageWidth = 160;
constexpr int kImageHeight = 144;
constexpr int kImageStep = 172;

void placeImage(QWidget* page, const char* name, int patternNo, int column, int top) {
    auto* image = new PatternImage(patternNo, page);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(24 + column * kImageStep, top, kImageWidth, kImageHeight);
}
}  // namespace

void buildPatternPage(QWidget* page, TFqpane& core) {
    make::label(page, "LabelPatternHint", QStringLiteral("出力パターン選択はイメージをクリック"),
                QRect(24, 8, 400, 20));
    const char* alpine[] = {"ImgA1", "ImgA2", "ImgA3", "ImgA4", "ImgA5"};
    for (int i = 0; i < 5; ++i)
        placeImage(page, alpine[i], i + 1, i, 36);
    const char* cross[] = {"ImgC1", "ImgC2", "ImgC3", "ImgC4"};
    for (int i = 0; i < 4; ++i)
        placeImage(page, cross[i], 11 + i, i, 196);
    make::checkBox(page, "CkBrelay", QRect(24 + 4 * kImageStep, 196, 160, 24));

    QLabel* chosen = make::label(page, "Label5", QString(), QRect(24, 368, 860, 30));
    QFont big = chosen->font();
    big.setPixelSize(20);
    chosen->setFont(big);
    QPalette yellow = chosen->palette();
    yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
    chosen->setPalette(yellow);

    make::label(page, "LabelEddan", QStringLiteral("スクロール行数"), QRect(24, 420, 120, 22));
    make::edit(page, "Eddan", QRect(150, 420, 60, 22));
    make::radioGroup(page, core.RGpre, 2, QRect(24, 456, 200, 56));
}

}  // namespace qpane
