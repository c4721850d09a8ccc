#pragma once

#include <QDialog>

#include <filesystem>
#include <string>

#include "results/result_list.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace qpane {

class TFqpane;

// The result lists of the race, reached from the button beside the tabs: the block and the
// group (empty: every group), the race title and date that head every list, and the ways out
// (PDF, CSV, text, the printer). The lists come from the store through qpane_results, read on
// a connection of their own that only reads, so that nothing here touches the race.
class ResultListDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Format { Pdf, Csv, Text };

    ResultListDialog(TFqpane& core, QWidget* parent = nullptr);

    // Writes the list of the chosen block and group in format to file, keeping the heading
    // in the settings file first. A problem is shown in the dialog's status line and in a
    // message box; returns whether the file was written.
    bool exportTo(Format format, const std::filesystem::path& file);
    // The status line: what the last export or print did.
    QString status() const;

    QSpinBox* blockField() const { return block_; }
    QLineEdit* groupField() const { return group_; }
    QLineEdit* titleField() const { return title_; }
    QLineEdit* dateField() const { return date_; }
    QComboBox* encodingField() const { return encoding_; }

  private:
    results::ResultList readList() const;
    void chooseFileAndExport(Format format);
    void print();
    void keepHeading();
    void report(const QString& text, bool problem);
    std::filesystem::path settingsFile() const;

    TFqpane& core_;
    QSpinBox* block_ = nullptr;
    QLineEdit* group_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* date_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QLabel* status_ = nullptr;
    bool quiet_ = false;  // no message box: the caller reads status()

  public:
    // For callers that check status() themselves (tests, scripts of the window).
    void setQuiet(bool quiet) { quiet_ = quiet; }
};

}  // namespace qpane
