#pragma once

#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

#include "page_model.h"

class QWidget;

namespace report {

class OutputOptionsDialog;
class PreviewDialog;
class TReportRenderPDF;

enum class Destination { Preview, Printer, File };

// What the user chose in the setup dialog.
struct OutputOptions {
    Destination destination = Destination::Preview;
    QString fileName;  // for Destination::File
    int copies = 1;
    bool collate = false;
    bool duplex = false;
};

// Which parts of the setup dialog the user may use.
struct SetupPermissions {
    bool setupDialog = true;  // false: no dialog, the defaults are used
    bool copies = true, collate = true, duplex = true;
    bool previewDestination = true, printerDestination = true, fileDestination = true;
    bool printerSetup = true, previewSetup = true;
};

// Settings of the output windows; the defaults are the ones the statement prints with.
struct ReportSystemSettings {
    QString titleSetup = QStringLiteral("Output Options");
    QString titleStatus = QStringLiteral("Report Status");
    QString titlePreview = QStringLiteral("Report Preview");
    QString filerStatusFormat = QStringLiteral("Generating page %p");  // %p: the page number
    QString printerStatusFormat = QStringLiteral("Printing page %p");
    QString printerTitle = QStringLiteral("Statement Report");  // print job and PDF title
    bool previewMaximized = true;
    double previewZoom = 100.0;                           // percent
    double printerScaleX = 100.0, printerScaleY = 100.0;  // percent
    double unitsFactor = 1.0;
    Destination defaultDestination = Destination::Preview;
    SetupPermissions permissions;
    bool showStatus = true;
    bool allowPreviewPrint = true;
    bool modalPreview = true;
};

// The output side of the engine: the setup dialog "Output Options", the status window and the
// preview, and printer or PDF file output. The project hands it a way to generate the pages.
//
// Tests replace the blocking parts through the hooks below; with no hook set, the real modal
// dialogs are shown.
class TReportSystem {
  public:
    TReportSystem();
    ~TReportSystem();

    ReportSystemSettings& settings() { return settings_; }
    const ReportSystemSettings& settings() const { return settings_; }

    // The PDF renderer that the file destination offers; not owned. Without one, the file
    // destination is not offered.
    void setPdfRenderer(TReportRenderPDF* renderer) { pdfRenderer_ = renderer; }
    TReportRenderPDF* pdfRenderer() const { return pdfRenderer_; }

    // The printer used for the printer destination and for printing from the preview; printer
    // setup changes it. Tests point it at a PDF file with setOutputFileName.
    QPrinter& printer() { return *printer_; }

    // Answers the setup dialog instead of running it: gets the dialog, filled and not shown;
    // returns true for OK, false for Cancel.
    std::function<bool(OutputOptionsDialog&)> setupHook;
    // Called once the preview is on screen (from its event loop); it should close the preview.
    std::function<void(PreviewDialog&)> previewHook;
    // Replaces the print dialog (printer setup, printing from the preview); returns true for OK.
    std::function<bool(QPrinter&)> printDialogHook;

    using Generator = std::function<Document(const std::function<void(int page)>& pageStarted)>;

    // Asks for the output options, generates the pages with the status window showing
    // "Generating page %p", then previews, prints or writes the file. Returns when the user is
    // done with the windows; false when the setup was cancelled or output failed (*error says
    // why, empty for a cancel).
    bool execute(const Generator& generate, QWidget* parent = nullptr, QString* error = nullptr);

    // Prints a document to printer() with the status window showing "Printing page %p".
    bool printDocument(const Document& document, QWidget* parent, QString* error);
    // Shows the dialog for printer() (or asks printDialogHook); true for OK.
    bool runPrintDialog(QWidget* parent);

  private:
    void configurePrinter(const OutputOptions& options);

    ReportSystemSettings settings_;
    TReportRenderPDF* pdfRenderer_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace report
