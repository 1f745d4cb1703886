// The headless print and check: the Print command's job for one named matter, straight into a
// PDF file or into the completeness check's lines.

#include "app/print_pdf.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "app/data_location.h"
#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "platform/dialogs.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

namespace app {

namespace {

const QString kPrintPdf = QStringLiteral("--print-pdf");
const QString kCheck = QStringLiteral("--check");
const QString kDataDir = QStringLiteral("--data-dir");

void printError(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("networth: %1\n").arg(text)), stderr);
    std::fflush(stderr);
}

// Boxes cannot be shown without windows: messages go to standard error, questions are declined.
class ConsoleDialogs : public platform::Dialogs {
  public:
    void showMessage(const QString& text, const QString&) override { printError(text); }
    bool confirmYesNo(const QString& text, const QString&) override {
        printError(text);
        return false;
    }
    bool confirmOkCancel(const QString& text, const QString&) override {
        printError(text);
        return false;
    }
    QString inputBox(const QString&, const QString&, const QString& preset) override {
        return preset;
    }
    std::optional<QString> selectDirectory(const QString&) override { return std::nullopt; }
};

struct Arguments {
    QString matter;
    QString pdfFile;        // --print-pdf only
    QString dataDirectory;  // empty: the settings file's
};

// OPTION MATTER [OUT.pdf] [--data-dir DIR]
bool parse(const QStringList& arguments, const QString& option, bool withPdf, Arguments* out) {
    const int fixed = withPdf ? 3 : 2;
    if (arguments.size() != fixed && arguments.size() != fixed + 2) return false;
    if (arguments.at(0) != option) return false;
    out->matter = arguments.at(1);
    if (withPdf) out->pdfFile = arguments.at(2);
    if (arguments.size() == fixed + 2) {
        if (arguments.at(fixed) != kDataDir || arguments.at(fixed + 1).isEmpty()) return false;
        out->dataDirectory = arguments.at(fixed + 1);
    }
    return !out->matter.isEmpty() && (!withPdf || !out->pdfFile.isEmpty());
}

// Runs the print job headless for the named matter; `failure` is the exit code of every error
// after the arguments were read. The open items of the check go to `openItems`.
int runHeadless(const Arguments& args, const QString& programDirectory, int failure,
                QStringList* openItems) {
    platform::installDialogs(std::make_unique<ConsoleDialogs>());
    // The file layer's fatal errors end the print with their own code, the check with its 2.
    storage::setFatalHandler([failure](int code, const std::string& message) {
        printError(QString::fromStdString(message));
        std::exit(failure == 1 && code > 0 && code < 256 ? code : failure);
    });
    storage::setMessageHandler(
        [](const std::string& message) { printError(QString::fromStdString(message)); });

    QString dataDirectory = args.dataDirectory;
    if (dataDirectory.isEmpty()) {
        DataLocation location(programDirectory);
        dataDirectory = location.storedDirectory();
        if (dataDirectory.isEmpty()) dataDirectory = location.defaultDirectory();
    }
    dataDirectory = withTrailingSeparator(QDir::toNativeSeparators(dataDirectory));
    if (!QFileInfo(dataDirectory).isDir()) {
        printError(QStringLiteral("The data directory %1 does not exist").arg(dataDirectory));
        return failure;
    }
    const catalog::TableDef& generalTable = catalog::generalTable();
    const std::string generalPath = catalog::tablePath(dataDirectory.toStdString(), generalTable);
    if (!storage::Env::Default()->fileExists(generalPath)) {
        printError(QStringLiteral("%1 holds no matters").arg(dataDirectory));
        return failure;
    }

    // The General record of the matter, as the General Information form would stand on it.
    storage::TDbfTable general(generalTable.component);
    catalog::applyDefinition(general, generalTable, dataDirectory.toStdString());
    try {
        general.Open();
        if (!general.Locate("matter", {args.matter.toStdString()}, 0)) {
            printError(QStringLiteral("There is no matter named \"%1\" in %2")
                           .arg(args.matter, dataDirectory));
            return failure;
        }
    } catch (const std::exception& error) {
        printError(QString::fromStdString(error.what()));
        return failure;
    }

    printing::PrintComponents components;
    printing::PrintContext context;
    context.programDirectory = programDirectory;
    context.dataDirectory = dataDirectory;
    const QString matterName = args.matter;
    context.currentMatter = [matterName] { return matterName; };
    context.general = &general;
    context.installMatterFilter = [matterName](const QString& component,
                                               storage::TDbfCDataSet& table) {
        table.SetFilterToCB(
            matterFilter(component, table, [matterName](void*) { return matterName; }), nullptr);
    };
    context.components = &components;
    context.pdfFile = args.pdfFile;
    context.checkOnly = args.pdfFile.isEmpty();
    const printing::PrintOutcome outcome = printing::runPrintJob(context);
    general.Close();
    *openItems = outcome.openItems;
    if (!outcome.ok) {
        printError(outcome.error.isEmpty() ? QStringLiteral("The statement was not written")
                                           : outcome.error);
        return failure;
    }
    return 0;
}

}  // namespace

int runPrintPdf(const QStringList& arguments, const QString& programDirectory) {
    Arguments args;
    if (!parse(arguments, kPrintPdf, true, &args)) {
        printError(QStringLiteral("usage: networth --print-pdf MATTER OUT.pdf [--data-dir DIR]"));
        return 2;
    }
    QStringList openItems;
    const int status = runHeadless(args, programDirectory, 1, &openItems);
    for (const QString& line : openItems) printError(QStringLiteral("warning: ") + line);
    return status;
}

int runCheck(const QStringList& arguments, const QString& programDirectory) {
    Arguments args;
    if (!parse(arguments, kCheck, false, &args)) {
        printError(QStringLiteral("usage: networth --check MATTER [--data-dir DIR]"));
        return 2;
    }
    QStringList openItems;
    const int status = runHeadless(args, programDirectory, 2, &openItems);
    if (status != 0) return status;
    for (const QString& line : openItems) std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    return openItems.isEmpty() ? 0 : 1;
}

}  // namespace app
