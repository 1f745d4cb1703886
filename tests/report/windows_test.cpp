// The output windows on the offscreen platform, answered through the system's hooks.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>

#include "report/output_options_dialog.h"
#include "report/preview_dialog.h"
#include "report/report_system.h"
#include "report/status_window.h"
#include "report_test_support.h"

namespace report_test {
namespace {

using report::Destination;
using report::OutputOptionsDialog;
using report::PreviewDialog;

const char kTwoPages[] =
    "report DirEdodu\n"
    "  band height=600pt\n    text x=0 w=3in value=\"FIRST\"\n  end\n"
    "  band height=600pt\n    text x=0 w=3in value={\"SECOND \" & r_mark}\n  end\n"
    "end\n";

// A project with the statement's engine settings and a PDF renderer, over a two-page report.
struct Fixture {
    Rendering r;
    report::TReportSystem system;
    report::TReportRenderPDF pdf;

    Fixture() {
        system.setPdfRenderer(&pdf);
        r.project().setEngine(&system);
        r.project().setProjectFile(
            writeFile(r.dir(), QStringLiteral("p.rpf"), QString::fromUtf8(kTwoPages)));
        r.setParameter(QStringLiteral("r_mark"), QStringLiteral("X"));
        EXPECT_TRUE(r.project().open());
    }
    QString path(const char* name) const { return r.dir().filePath(QLatin1String(name)); }
};

template <typename T>
T* child(QObject* parent, const char* name) {
    if (T* found = parent->findChild<T*>(QLatin1String(name))) return found;
    ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named " << name;
    // A stand-in, so that the test goes on instead of crashing; never deleted, as a widget must
    // not outlive the application object.
    return new T();
}

TEST(OutputOptions, OffersPreviewByDefaultAndThePdfFormat) {
    report::ReportSystemSettings settings;
    int printerSetups = 0;
    OutputOptionsDialog dialog(settings, QStringLiteral("Adobe Acrobat (PDF)"),
                               QStringLiteral("*.pdf"), [&] { ++printerSetups; });
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Output Options"));
    EXPECT_TRUE(child<QRadioButton>(&dialog, "previewRadio")->isChecked());
    EXPECT_EQ(child<QComboBox>(&dialog, "fileFormatCombo")->currentText(),
              QStringLiteral("Adobe Acrobat (PDF)"));
    EXPECT_EQ(child<QSpinBox>(&dialog, "copiesSpin")->value(), 1);
    EXPECT_FALSE(child<QLineEdit>(&dialog, "fileNameEdit")->isEnabled());
    auto* ok = child<QPushButton>(&dialog, "okButton");
    EXPECT_TRUE(ok->isEnabled());

    child<QRadioButton>(&dialog, "fileRadio")->setChecked(true);
    EXPECT_FALSE(ok->isEnabled());  // a file destination needs a name
    child<QLineEdit>(&dialog, "fileNameEdit")->setText(QStringLiteral("/tmp/statement"));
    EXPECT_TRUE(ok->isEnabled());
    child<QSpinBox>(&dialog, "copiesSpin")->setValue(3);
    child<QCheckBox>(&dialog, "collateCheck")->setChecked(true);
    child<QCheckBox>(&dialog, "duplexCheck")->setChecked(true);
    child<QPushButton>(&dialog, "printerSetupButton")->click();
    EXPECT_EQ(printerSetups, 1);

    const report::OutputOptions options = dialog.options();
    EXPECT_EQ(options.destination, Destination::File);
    EXPECT_EQ(options.fileName,
              QStringLiteral("/tmp/statement.pdf"));  // the format's extension added
    EXPECT_EQ(options.copies, 3);
    EXPECT_TRUE(options.collate && options.duplex);

    // Every control has an object name, so tests and tools can find it.
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QSpinBox*>(widget)) {
            if (widget->parent() && widget->parent()->inherits("QAbstractSpinBox")) continue;
            if (widget->parent() && widget->parent()->inherits("QComboBox")) continue;
            EXPECT_FALSE(widget->objectName().isEmpty()) << widget->metaObject()->className();
        }
    }
}

TEST(OutputOptions, PermissionsDisableWhatTheUserMayNotChoose) {
    report::ReportSystemSettings settings;
    settings.permissions.previewDestination = false;
    settings.permissions.copies = false;
    settings.permissions.printerSetup = false;
    OutputOptionsDialog dialog(settings, QString(), QString(), {});
    EXPECT_FALSE(child<QRadioButton>(&dialog, "previewRadio")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>(&dialog, "fileRadio")->isEnabled());  // no file format offered
    EXPECT_TRUE(
        child<QRadioButton>(&dialog, "printerRadio")->isChecked());  // the first one allowed
    EXPECT_FALSE(child<QSpinBox>(&dialog, "copiesSpin")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&dialog, "printerSetupButton")->isEnabled());
}

TEST(ReportSystem, DefaultsAreTheStatementSettings) {
    report::TReportSystem system;
    const report::ReportSystemSettings& s = system.settings();
    EXPECT_EQ(s.titleStatus, QStringLiteral("Report Status"));
    EXPECT_EQ(s.titlePreview, QStringLiteral("Report Preview"));
    EXPECT_EQ(s.filerStatusFormat, QStringLiteral("Generating page %p"));
    EXPECT_EQ(s.printerStatusFormat, QStringLiteral("Printing page %p"));
    EXPECT_EQ(s.printerTitle, QStringLiteral("Statement Report"));
    EXPECT_EQ(s.defaultDestination, Destination::Preview);
    EXPECT_EQ(s.previewZoom, 100.0);
    report::TReportRenderPDF pdf;
    EXPECT_EQ(pdf.displayName, QStringLiteral("Adobe Acrobat (PDF)"));
    EXPECT_EQ(pdf.fileExtension, QStringLiteral("*.pdf"));
    EXPECT_TRUE(pdf.embedFonts);
}

TEST(ReportSystem, FileDestinationWritesThePdfWithGeneratingStatus) {
    Fixture f;
    f.system.setupHook = [&](OutputOptionsDialog& dialog) {
        child<QRadioButton>(&dialog, "fileRadio")->setChecked(true);
        child<QLineEdit>(&dialog, "fileNameEdit")->setText(f.path("statement"));
        return true;
    };
    QStringList statusTexts;
    const report::TReportSystem::Generator generate =
        [&](const std::function<void(int)>& pageStarted) {
            auto document = f.r.project().layout(QStringLiteral("DirEdodu"), [&](int page) {
                pageStarted(page);
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* status = qobject_cast<report::StatusWindow*>(w);
                        status && status->isVisible()) {
                        statusTexts << status->windowTitle() + ": " + status->text();
                    }
                }
            });
            return *document;
        };
    QString error;
    ASSERT_TRUE(f.system.execute(generate, nullptr, &error)) << error.toStdString();
    EXPECT_EQ(statusTexts, (QStringList{"Report Status: Generating page 1",
                                        "Report Status: Generating page 2"}));
    const QStringList pages = pdfPages(f.path("statement.pdf"));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[1].simplified(), QStringLiteral("SECOND X"));
}

TEST(ReportSystem, PreviewIsModalMaximizedAtActualSizeAndPrints) {
    Fixture f;
    f.system.setupHook = [](OutputOptionsDialog&) { return true; };  // OK on the defaults: preview
    f.system.printDialogHook = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(f.path("printed.pdf"));
        return true;
    };
    bool previewShown = false;
    f.system.previewHook = [&](PreviewDialog& preview) {
        previewShown = true;
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("Report Preview"));
        EXPECT_TRUE(preview.isModal());
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
        EXPECT_DOUBLE_EQ(preview.previewWidget()->zoomFactor(), 1.0);
        EXPECT_EQ(preview.pageCount(), 2);
        EXPECT_EQ(preview.previewWidget()->pageCount(), 2);
        for (QAction* action : child<QToolBar>(&preview, "previewToolBar")->actions()) {
            if (!action->text().isEmpty()) {
                EXPECT_FALSE(action->objectName().isEmpty()) << action->text().toStdString();
            }
        }
        child<QAction>(&preview, "nextPageAction")->trigger();
        EXPECT_EQ(preview.currentPage(), 2);
        ASSERT_TRUE(preview.printAction()->isEnabled());
        preview.printAction()->trigger();
        EXPECT_TRUE(preview.printError().isEmpty()) << preview.printError().toStdString();
        child<QAction>(&preview, "closeAction")->trigger();
    };
    EXPECT_TRUE(f.r.project().executeReport(QStringLiteral("DirEdodu")));
    EXPECT_TRUE(previewShown);
    const QStringList printed = pdfPages(f.path("printed.pdf"));
    ASSERT_EQ(printed.size(), 2);
    EXPECT_EQ(printed[0].simplified(), QStringLiteral("FIRST"));
    EXPECT_EQ(f.system.printer().docName(), QStringLiteral("Statement Report"));
}

TEST(ReportSystem, PrinterDestinationUsesTheChosenCopiesAndJobTitle) {
    Fixture f;
    f.system.printer().setOutputFormat(QPrinter::PdfFormat);
    f.system.printer().setOutputFileName(f.path("printer.pdf"));
    f.system.setupHook = [](OutputOptionsDialog& dialog) {
        child<QRadioButton>(&dialog, "printerRadio")->setChecked(true);
        child<QSpinBox>(&dialog, "copiesSpin")->setValue(2);
        child<QCheckBox>(&dialog, "collateCheck")->setChecked(true);
        return true;
    };
    bool previewShown = false;
    f.system.previewHook = [&](PreviewDialog& preview) {
        previewShown = true;
        preview.reject();
    };
    EXPECT_TRUE(f.r.project().executeReport(QStringLiteral("DirEdodu")));
    EXPECT_FALSE(previewShown);
    EXPECT_EQ(f.system.printer().docName(), QStringLiteral("Statement Report"));
    EXPECT_EQ(f.system.printer().copyCount(), 2);
    EXPECT_TRUE(f.system.printer().collateCopies());
    EXPECT_EQ(pdfPages(f.path("printer.pdf")).size(), 2);
}

TEST(ReportSystem, CancelInTheSetupShowsNothingAndNoSetupDialogUsesTheDefaults) {
    Fixture f;
    bool previewShown = false;
    f.system.previewHook = [&](PreviewDialog& preview) {
        previewShown = true;
        preview.accept();
    };
    f.system.setupHook = [](OutputOptionsDialog&) { return false; };
    EXPECT_FALSE(f.r.project().executeReport(QStringLiteral("DirEdodu")));
    EXPECT_FALSE(previewShown);
    EXPECT_TRUE(f.r.project().errorText().isEmpty());

    f.system.settings().permissions.setupDialog = false;
    f.system.setupHook = [](OutputOptionsDialog&) -> bool {
        ADD_FAILURE() << "the setup dialog was asked for";
        return false;
    };
    EXPECT_TRUE(f.r.project().executeReport(QStringLiteral("DirEdodu")));
    EXPECT_TRUE(previewShown);  // the default destination
}

}  // namespace
}  // namespace report_test
