#include "gui/result_list_dialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/fqpane.h"
#include "platform/settings_file.h"
#include "platform/shift_jis.h"
#include "results/list_heading.h"
#include "results/pdf/list_document.h"
#include "results/read_only_store.h"
#include "results/result_list.h"

namespace qpane {

namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

ResultListDialog::ResultListDialog(TFqpane& core, QWidget* parent) : QDialog(parent), core_(core) {
    setObjectName(QStringLiteral("ResultListDialog"));
    setWindowTitle(QStringLiteral("結果リスト"));
    const results::ListHeading heading = results::readListHeading(settingsFile());

    block_ = new QSpinBox(this);
    block_->setRange(0, 9);
    block_->setValue(1);
    group_ = new QLineEdit(this);
    group_->setPlaceholderText(QStringLiteral("空欄: すべての組"));
    title_ = new QLineEdit(fromUtf8(heading.title), this);
    date_ = new QLineEdit(fromUtf8(heading.date), this);
    encoding_ = new QComboBox(this);
    encoding_->addItems({QStringLiteral("UTF-8"), QStringLiteral("Shift-JIS")});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("大会名"), title_);
    form->addRow(QStringLiteral("日付"), date_);
    form->addRow(QStringLiteral("ブロック"), block_);
    form->addRow(QStringLiteral("組"), group_);
    form->addRow(QStringLiteral("文字コード (CSV・テキスト)"), encoding_);

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const QString& caption, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    addButton(QStringLiteral("印刷..."), [this] { print(); });
    addButton(QStringLiteral("PDF..."), [this] { chooseFileAndExport(Format::Pdf); });
    addButton(QStringLiteral("CSV..."), [this] { chooseFileAndExport(Format::Csv); });
    addButton(QStringLiteral("テキスト..."), [this] { chooseFileAndExport(Format::Text); });
    addButton(QStringLiteral("閉じる"), [this] { close(); });

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(status_);
}

std::filesystem::path ResultListDialog::settingsFile() const {
    return core_.paths().settingsFolder() / "Qcontrol.ini";
}

QString ResultListDialog::status() const {
    return status_->text();
}

void ResultListDialog::report(const QString& text, bool problem) {
    status_->setText(text);
    if (problem && !quiet_) QMessageBox::warning(this, windowTitle(), text);
}

void ResultListDialog::keepHeading() {
    const results::ListHeading now{title_->text().toStdString(), date_->text().toStdString()};
    const results::ListHeading kept = results::readListHeading(settingsFile());
    if (now.title == kept.title && now.date == kept.date) return;
    results::keepListHeading(settingsFile(), now);
}

results::ResultList ResultListDialog::readList() const {
    const results::ReadOnlyStore store(core_.paths().dataFolder());
    const std::string group = group_->text().trimmed().toStdString();
    return results::readResultList(
        store.handle(), results::disciplineOfPattern(core_.patternNo),
        std::to_string(block_->value()),
        group.empty() ? std::nullopt : std::optional<std::string>(group));
}

bool ResultListDialog::exportTo(Format format, const std::filesystem::path& file) {
    try {
        keepHeading();
        const results::ResultList list = readList();
        const results::ListHeading heading{title_->text().toStdString(),
                                           date_->text().toStdString()};
        const results::Encoding encoding =
            encoding_->currentIndex() == 1 ? results::Encoding::ShiftJis : results::Encoding::Utf8;
        std::string bytes;
        switch (format) {
            case Format::Pdf: bytes = results::pdfOf(list, heading); break;
            case Format::Csv: bytes = results::csvOf(list, encoding); break;
            case Format::Text: bytes = results::textOf(list, heading, encoding); break;
        }
        results::writeWholeFile(file, bytes);
        report(QStringLiteral("%1 人を %2 に書きました。")
                   .arg(list.rowCount())
                   .arg(QString::fromStdString(file.string())),
               false);
        return true;
    } catch (const EncodingError& e) {
        report(QStringLiteral("Shift-JIS で書けない文字があります: ") + fromUtf8(e.what()), true);
    } catch (const std::exception& e) {
        report(fromUtf8(e.what()), true);
    }
    return false;
}

void ResultListDialog::chooseFileAndExport(Format format) {
    const char* filter = format == Format::Pdf   ? "PDF (*.pdf)"
                         : format == Format::Csv ? "CSV (*.csv)"
                                                 : "テキスト (*.txt)";
    const char* suffix = format == Format::Pdf ? ".pdf" : format == Format::Csv ? ".csv" : ".txt";
    const QString name =
        QStringLiteral("block%1%2").arg(block_->value()).arg(QLatin1String(suffix));
    const QString file =
        QFileDialog::getSaveFileName(this, windowTitle(), name, QString::fromUtf8(filter));
    if (!file.isEmpty()) exportTo(format, file.toStdString());
}

void ResultListDialog::print() {
    try {
        keepHeading();
        const results::ResultList list = readList();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
        std::unique_ptr<QTextDocument> doc = results::listDocument(
            list, {title_->text().toStdString(), date_->text().toStdString()});
        doc->print(&printer);
        report(QStringLiteral("%1 人を印刷しました。").arg(list.rowCount()), false);
    } catch (const std::exception& e) {
        report(fromUtf8(e.what()), true);
    }
}

}  // namespace qpane
