#include "gui/live_page_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/web_feed.h"
#include "gui/board_mirror_view.h"
#include "gui/qr_code.h"

namespace qpane {

LivePageDialog::LivePageDialog(WebFeed& feed, const QString& listen, QWidget* parent)
    : QDialog(parent), feed_(feed) {
    setObjectName(QStringLiteral("LivePageDialog"));
    setWindowTitle(QStringLiteral("速報ページ"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    serve_ = new QCheckBox(QStringLiteral("配信する"), this);
    serve_->setObjectName(QStringLiteral("LivePageServe"));
    listen_ = new QLineEdit(listen.isEmpty() ? QStringLiteral("0.0.0.0:8086") : listen, this);
    listen_->setObjectName(QStringLiteral("LivePageListen"));
    listen_->setToolTip(QStringLiteral("ホスト:ポート (0.0.0.0 はすべてのネットワーク)"));
    row->addWidget(serve_);
    row->addWidget(listen_);
    layout->addLayout(row);
    address_ = new QLabel(this);
    address_->setObjectName(QStringLiteral("LivePageAddress"));
    address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(address_);
    qr_ = new QLabel(this);
    qr_->setObjectName(QStringLiteral("LivePageQrCode"));
    qr_->setAlignment(Qt::AlignCenter);
    layout->addWidget(qr_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LivePageStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto* mirror = new QPushButton(QStringLiteral("ボード表示"), this);
    mirror->setObjectName(QStringLiteral("LivePageBoardMirror"));
    layout->addWidget(mirror);
    connect(serve_, &QCheckBox::clicked, this, [this](bool on) { setServing(on); });
    connect(mirror, &QPushButton::clicked, this, [this] { showBoardMirror(); });
    showState();
}

LivePageDialog::~LivePageDialog() {
    if (mirror_) feed_.onPublished = nullptr;
}

void LivePageDialog::setServing(bool on) {
    QString problem;
    if (on) {
        const std::string message = feed_.serve(listen_->text().trimmed().toStdString());
        problem = QString::fromStdString(message);
    } else {
        feed_.stopServing();
    }
    showState(problem);
}

void LivePageDialog::showState(const QString& problem) {
    const bool running = feed_.server().running();
    serve_->setChecked(running);
    listen_->setEnabled(!running);
    const QString page = QString::fromStdString(feed_.server().pageAddress());
    address_->setText(running ? page : QString());
    const QImage code = running ? qrCodeImage(page) : QImage();
    qr_->setPixmap(code.isNull() ? QPixmap() : QPixmap::fromImage(code));
    status_->setText(!problem.isEmpty() ? problem
                     : running ? QStringLiteral("配信中: 同じネットワークの端末で開けます")
                               : QStringLiteral("停止中"));
}

QString LivePageDialog::address() const {
    return address_->text();
}

QString LivePageDialog::status() const {
    return status_->text();
}

bool LivePageDialog::hasQrCode() const {
    return !qr_->pixmap().isNull();
}

void LivePageDialog::showBoardMirror() {
    if (!mirrorWindow_) {
        mirrorWindow_ = new QWidget(this, Qt::Window);
        mirrorWindow_->setObjectName(QStringLiteral("BoardMirrorWindow"));
        mirrorWindow_->setWindowTitle(QStringLiteral("ボード表示"));
        auto* layout = new QVBoxLayout(mirrorWindow_);
        layout->setContentsMargins(0, 0, 0, 0);
        mirror_ = new BoardMirrorView(mirrorWindow_);
        layout->addWidget(mirror_);
        feed_.onPublished = [this](const web::SnapshotPtr& s) { mirror_->showSnapshot(s); };
        feed_.refresh();
        mirror_->showSnapshot(feed_.box().current());
    }
    mirrorWindow_->show();
    mirrorWindow_->raise();
}

}  // namespace qpane
