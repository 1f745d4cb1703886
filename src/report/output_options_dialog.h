#pragma once

#include <QDialog>
#include <functional>

#include "report_system.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace report {

// The setup dialog "Output Options": where the report goes (preview, printer or a PDF file),
// copies, collation, duplex and printer setup. Parts the settings' permissions forbid are
// disabled. OK stays disabled while the file destination has no file name.
class OutputOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    // `fileFormat` and `fileExtension` name the file format offered ("Adobe Acrobat (PDF)",
    // "*.pdf"); an empty format disables the file destination. `printerSetup` runs the printer
    // setup and may be empty.
    OutputOptionsDialog(const ReportSystemSettings& settings, const QString& fileFormat,
                        const QString& fileExtension, std::function<void()> printerSetup,
                        QWidget* parent = nullptr);

    void setOptions(const OutputOptions& options);
    // The choice as shown; a file name without an extension gets the format's.
    OutputOptions options() const;

  private:
    void updateState();

    QString fileExtension_;
    std::function<void()> printerSetup_;
    QRadioButton* previewRadio_;
    QRadioButton* printerRadio_;
    QRadioButton* fileRadio_;
    QComboBox* formatCombo_;
    QLineEdit* fileNameEdit_;
    QPushButton* browseButton_;
    QSpinBox* copiesSpin_;
    QCheckBox* collateCheck_;
    QCheckBox* duplexCheck_;
    QPushButton* printerSetupButton_;
    QDialogButtonBox* buttons_;
};

}  // namespace report
