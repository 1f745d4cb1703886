#include "report_system.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QTimer>

#include "document_output.h"
#include "output_options_dialog.h"
#include "preview_dialog.h"
#include "report_project.h"
#include "status_window.h"

namespace report {

TReportSystem::TReportSystem() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setDocName(settings_.printerTitle);
}

TReportSystem::~TReportSystem() = default;

void TReportSystem::configurePrinter(const OutputOptions& options) {
    printer_->setDocName(settings_.printerTitle);
    printer_->setCopyCount(options.copies);
    printer_->setCollateCopies(options.collate);
    printer_->setDuplex(options.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
}

bool TReportSystem::runPrintDialog(QWidget* parent) {
    if (printDialogHook) return printDialogHook(*printer_);
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    return dialog.exec() == QDialog::Accepted;
}

bool TReportSystem::printDocument(const Document& document, QWidget* parent, QString* error) {
    double scaleX = settings_.printerScaleX / 100.0 * settings_.unitsFactor;
    double scaleY = settings_.printerScaleY / 100.0 * settings_.unitsFactor;
    if (scaleX <= 0) scaleX = 1.0;
    if (scaleY <= 0) scaleY = 1.0;
    std::unique_ptr<StatusWindow> status;
    if (settings_.showStatus)
        status = std::make_unique<StatusWindow>(settings_.titleStatus, parent);
    const auto showPrinting = [&](int page) {
        if (status) status->showPage(settings_.printerStatusFormat, page);
    };

    // Printing to a file (the print dialog offers it) writes the PDF of the file destination.
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) {
        PdfOptions pdf = PdfOptions::forDocument(document, settings_.printerTitle);
        pdf.resolution = printer_->resolution();
        pdf.scaleX = scaleX;
        pdf.scaleY = scaleY;
        return writePdf(document, printer_->outputFileName(), pdf, showPrinting, error);
    }
    printer_->setDocName(settings_.printerTitle);
    printer_->setFullPage(true);
    printer_->setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QString failure;
    const bool ok = paintDocument(*printer_, document, showPrinting, &failure, scaleX, scaleY);
    if (!ok && error) *error = QStringLiteral("The printer cannot be used: %1").arg(failure);
    return ok;
}

bool TReportSystem::execute(const Generator& generate, QWidget* parent, QString* error) {
    QString ignored;
    if (!error) error = &ignored;
    error->clear();

    OutputOptions options;
    options.destination = settings_.defaultDestination;
    if (settings_.permissions.setupDialog) {
        OutputOptionsDialog dialog(
            settings_, pdfRenderer_ ? pdfRenderer_->displayName : QString(),
            pdfRenderer_ ? pdfRenderer_->fileExtension : QString(),
            [this, &dialog] { runPrintDialog(&dialog); }, parent);
        dialog.setOptions(options);
        const bool accepted = setupHook ? setupHook(dialog) : dialog.exec() == QDialog::Accepted;
        if (!accepted) return false;
        options = dialog.options();
    }
    if (options.destination == Destination::File && (!pdfRenderer_ || options.fileName.isEmpty())) {
        *error = QStringLiteral("No file was named for the report.");
        return false;
    }
    configurePrinter(options);

    std::unique_ptr<StatusWindow> status;
    if (settings_.showStatus)
        status = std::make_unique<StatusWindow>(settings_.titleStatus, parent);
    const auto showGenerating = [&](int page) {
        if (status) status->showPage(settings_.filerStatusFormat, page);
    };
    const Document document = generate(showGenerating);

    switch (options.destination) {
        case Destination::Preview: {
            status.reset();
            PreviewDialog preview(document, *this, parent);
            if (previewHook)
                QTimer::singleShot(0, &preview, [this, &preview] { previewHook(preview); });
            preview.exec();
            return true;
        }
        case Destination::Printer:
            status.reset();
            return printDocument(document, parent, error);
        case Destination::File: {
            PdfOptions pdf = PdfOptions::forDocument(document, settings_.printerTitle);
            pdf.resolution = pdfRenderer_->metafileDpi > 0 ? pdfRenderer_->metafileDpi : 300;
            return writePdf(document, options.fileName, pdf, showGenerating, error);
        }
    }
    return false;
}

}  // namespace report
