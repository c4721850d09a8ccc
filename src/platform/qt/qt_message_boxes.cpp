#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace qpane {

namespace {
QString appTitle() {
    return QApplication::applicationDisplayName();
}
}  // namespace

bool QtMessageBoxes::askYesNo(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageBoxes::message(const std::string& text) {
    QMessageBox box(QMessageBox::Information, appTitle(), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

void QtMessageBoxes::error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, appTitle(), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace qpane
