#include "gui/link_status_bar.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/fqpane.h"
#include "gui/face_actions.h"

namespace qpane {

namespace {
constexpr const char* kLabels[] = {"入力", "出力"};
}

LinkStatusBar::LinkStatusBar(TFqpane& core, FaceActions& actions, QWidget* parent)
    : QWidget(parent), core_(core), actions_(actions) {
    setObjectName(QStringLiteral("LinkStatusBar"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    QFont small = font();
    small.setPixelSize(10);
    for (int link = 1; link <= 2; ++link) {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("LinkStatus%1").arg(link));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(small);
        button->setAutoFillBackground(true);
        lines_[static_cast<size_t>(link - 1)] = button;
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, link] {
            actions_.run(nullptr, [this, link] {
                if (core_.linkStatus(link).state == LinkState::Returned) core_.reopenLink(link);
            });
            refresh();
        });
    }
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &LinkStatusBar::refresh);
    timer_->start(kRefreshMs);
    refresh();
}

void LinkStatusBar::refresh() {
    for (int link = 1; link <= 2; ++link) {
        const LinkStatus s = core_.linkStatus(link);
        QPushButton* button = line(link);
        const char* label = kLabels[link - 1];
        button->setText(QString::fromStdString(linkStatusSummary(label, s)));
        button->setToolTip(QString::fromStdString(linkStatusDetail(label, s)));
        button->setStyleSheet(
            s.alarm ? QStringLiteral("color: white; background: #c00000; border: none;")
                    : QStringLiteral("color: #c0c0c0; border: none;"));
        button->setCursor(s.state == LinkState::Returned ? Qt::PointingHandCursor
                                                         : Qt::ArrowCursor);
    }
}

}  // namespace qpane
