#include "output_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace report {

OutputOptionsDialog::OutputOptionsDialog(const ReportSystemSettings& settings,
                                         const QString& fileFormat, const QString& fileExtension,
                                         std::function<void()> printerSetup, QWidget* parent)
    : QDialog(parent), fileExtension_(fileExtension), printerSetup_(std::move(printerSetup)) {
    setObjectName(QStringLiteral("outputOptions"));
    setWindowTitle(settings.titleSetup);
    const SetupPermissions& allowed = settings.permissions;

    auto* destinationBox = new QGroupBox(tr("Destination"), this);
    destinationBox->setObjectName(QStringLiteral("destinationBox"));
    previewRadio_ = new QRadioButton(tr("Pre&view"), destinationBox);
    previewRadio_->setObjectName(QStringLiteral("previewRadio"));
    printerRadio_ = new QRadioButton(tr("&Printer"), destinationBox);
    printerRadio_->setObjectName(QStringLiteral("printerRadio"));
    fileRadio_ = new QRadioButton(tr("&File"), destinationBox);
    fileRadio_->setObjectName(QStringLiteral("fileRadio"));
    previewRadio_->setEnabled(allowed.previewDestination);
    printerRadio_->setEnabled(allowed.printerDestination);
    fileRadio_->setEnabled(allowed.fileDestination && !fileFormat.isEmpty());

    formatCombo_ = new QComboBox(destinationBox);
    formatCombo_->setObjectName(QStringLiteral("fileFormatCombo"));
    if (!fileFormat.isEmpty()) formatCombo_->addItem(fileFormat);
    fileNameEdit_ = new QLineEdit(destinationBox);
    fileNameEdit_->setObjectName(QStringLiteral("fileNameEdit"));
    browseButton_ = new QPushButton(tr("&Browse..."), destinationBox);
    browseButton_->setObjectName(QStringLiteral("browseButton"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileNameEdit_, 1);
    fileRow->addWidget(browseButton_);
    auto* destinationLayout = new QFormLayout(destinationBox);
    destinationLayout->addRow(previewRadio_);
    destinationLayout->addRow(printerRadio_);
    destinationLayout->addRow(fileRadio_);
    destinationLayout->addRow(tr("F&ormat:"), formatCombo_);
    destinationLayout->addRow(tr("File &name:"), fileRow);

    auto* printBox = new QGroupBox(tr("Printing"), this);
    printBox->setObjectName(QStringLiteral("printingBox"));
    copiesSpin_ = new QSpinBox(printBox);
    copiesSpin_->setObjectName(QStringLiteral("copiesSpin"));
    copiesSpin_->setRange(1, 99);
    copiesSpin_->setEnabled(allowed.copies);
    collateCheck_ = new QCheckBox(tr("C&ollate"), printBox);
    collateCheck_->setObjectName(QStringLiteral("collateCheck"));
    collateCheck_->setEnabled(allowed.collate);
    duplexCheck_ = new QCheckBox(tr("&Duplex"), printBox);
    duplexCheck_->setObjectName(QStringLiteral("duplexCheck"));
    duplexCheck_->setEnabled(allowed.duplex);
    printerSetupButton_ = new QPushButton(tr("Printer &Setup..."), printBox);
    printerSetupButton_->setObjectName(QStringLiteral("printerSetupButton"));
    printerSetupButton_->setEnabled(allowed.printerSetup && static_cast<bool>(printerSetup_));
    auto* printLayout = new QFormLayout(printBox);
    printLayout->addRow(tr("&Copies:"), copiesSpin_);
    printLayout->addRow(collateCheck_);
    printLayout->addRow(duplexCheck_);
    printLayout->addRow(printerSetupButton_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName(QStringLiteral("buttonBox"));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(destinationBox);
    layout->addWidget(printBox);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QRadioButton* radio : {previewRadio_, printerRadio_, fileRadio_}) {
        connect(radio, &QRadioButton::toggled, this, &OutputOptionsDialog::updateState);
    }
    connect(fileNameEdit_, &QLineEdit::textChanged, this, &OutputOptionsDialog::updateState);
    connect(printerSetupButton_, &QPushButton::clicked, this, [this] {
        if (printerSetup_) printerSetup_();
    });
    connect(browseButton_, &QPushButton::clicked, this, [this] {
        const QString filter =
            QStringLiteral("%1 (%2)").arg(formatCombo_->currentText(), fileExtension_);
        const QString name =
            QFileDialog::getSaveFileName(this, windowTitle(), fileNameEdit_->text(), filter);
        if (!name.isEmpty()) fileNameEdit_->setText(name);
    });
    setOptions(OutputOptions{settings.defaultDestination, {}, 1, false, false});
}

void OutputOptionsDialog::setOptions(const OutputOptions& options) {
    QRadioButton* wanted = options.destination == Destination::Printer ? printerRadio_
                           : options.destination == Destination::File  ? fileRadio_
                                                                       : previewRadio_;
    if (!wanted->isEnabled()) {
        for (QRadioButton* radio : {previewRadio_, printerRadio_, fileRadio_}) {
            if (radio->isEnabled()) {
                wanted = radio;
                break;
            }
        }
    }
    wanted->setChecked(true);
    fileNameEdit_->setText(options.fileName);
    copiesSpin_->setValue(options.copies);
    collateCheck_->setChecked(options.collate);
    duplexCheck_->setChecked(options.duplex);
    updateState();
}

OutputOptions OutputOptionsDialog::options() const {
    OutputOptions options;
    options.destination = printerRadio_->isChecked() ? Destination::Printer
                          : fileRadio_->isChecked()  ? Destination::File
                                                     : Destination::Preview;
    options.fileName = fileNameEdit_->text().trimmed();
    const QString suffix = QString(fileExtension_).remove('*');  // "*.pdf" -> ".pdf"
    if (!options.fileName.isEmpty() && QFileInfo(options.fileName).suffix().isEmpty() &&
        !suffix.isEmpty()) {
        options.fileName += suffix;
    }
    options.copies = copiesSpin_->value();
    options.collate = collateCheck_->isChecked();
    options.duplex = duplexCheck_->isChecked();
    return options;
}

void OutputOptionsDialog::updateState() {
    const bool toFile = fileRadio_->isChecked();
    formatCombo_->setEnabled(toFile);
    fileNameEdit_->setEnabled(toFile);
    browseButton_->setEnabled(toFile);
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(!toFile || !fileNameEdit_->text().trimmed().isEmpty());
}

}  // namespace report
