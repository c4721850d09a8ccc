// The output pattern page: the pattern images, the relay box, scroll rows and precision.
#include <QLabel>

#include "app/fqpane.h"
#include "gui/pages.h"
#include "gui/pattern_image.h"
#include "gui/widget_maker.h"

namespace qpane {

namespace {
constexpr int kImageWidth = 160;
constexpr int kImageHeight = 144;
constexpr int kImageStep = 172;

void placeImage(WidgetMaker& make, QWidget* page, Image& image, int patternNo, int column,
                int top) {
    make.widgetOf(page, image, QRect(24 + column * kImageStep, top, kImageWidth, kImageHeight),
                  patternNo);
}
}  // namespace

void buildPatternPage(QWidget* page, TFqpane& core, WidgetMaker& make) {
    make.label(page, "LabelPatternHint", QStringLiteral("出力パターン選択はイメージをクリック"),
               QRect(24, 8, 400, 20));
    Image* alpine[] = {&core.ImgA1, &core.ImgA2, &core.ImgA3, &core.ImgA4, &core.ImgA5};
    for (int i = 0; i < 5; ++i)
        placeImage(make, page, *alpine[i], i + 1, i, 36);
    Image* cross[] = {&core.ImgC1, &core.ImgC2, &core.ImgC3, &core.ImgC4};
    for (int i = 0; i < 4; ++i)
        placeImage(make, page, *cross[i], 11 + i, i, 196);
    make.widgetOf(page, core.CkBrelay, QRect(24 + 4 * kImageStep, 196, 160, 24));

    QLabel* chosen = make.widgetOf(page, core.Label5, QRect(24, 368, 860, 30));
    QFont big = chosen->font();
    big.setPixelSize(20);
    chosen->setFont(big);
    QPalette yellow = chosen->palette();
    yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
    chosen->setPalette(yellow);

    make.label(page, "LabelEddan", QStringLiteral("スクロール行数"), QRect(24, 420, 120, 22));
    make.widgetOf(page, core.Eddan, QRect(150, 420, 60, 22));
    make.widgetOf(page, core.RGpre, QRect(24, 456, 200, 56), 2);
}

}  // namespace qpane
