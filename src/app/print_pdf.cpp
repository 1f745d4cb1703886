// The headless print: the Print command's job for one named matter, straight into a PDF file.

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

const QString kCommand = QStringLiteral("--print-pdf");
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
    QString pdfFile;
    QString dataDirectory;  // empty: the settings file's
};

bool parse(const QStringList& arguments, Arguments* out) {
    if (arguments.size() != 3 && arguments.size() != 5) return false;
    if (arguments.at(0) != kCommand) return false;
    out->matter = arguments.at(1);
    out->pdfFile = arguments.at(2);
    if (arguments.size() == 5) {
        if (arguments.at(3) != kDataDir || arguments.at(4).isEmpty()) return false;
        out->dataDirectory = arguments.at(4);
    }
    return !out->matter.isEmpty() && !out->pdfFile.isEmpty();
}

}  // namespace

int runPrintPdf(const QStringList& arguments, const QString& programDirectory) {
    Arguments args;
    if (!parse(arguments, &args)) {
        printError(QStringLiteral("usage: networth --print-pdf MATTER OUT.pdf [--data-dir DIR]"));
        return 2;
    }
    platform::installDialogs(std::make_unique<ConsoleDialogs>());
    storage::setFatalHandler([](int code, const std::string& message) {
        printError(QString::fromStdString(message));
        std::exit(code > 0 && code < 256 ? code : 1);
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
        return 1;
    }
    const catalog::TableDef& generalTable = catalog::generalTable();
    const std::string generalPath = catalog::tablePath(dataDirectory.toStdString(), generalTable);
    if (!storage::Env::Default()->fileExists(generalPath)) {
        printError(QStringLiteral("%1 holds no matters").arg(dataDirectory));
        return 1;
    }

    // The General record of the matter, as the General Information form would stand on it.
    storage::TDbfTable general(generalTable.component);
    catalog::applyDefinition(general, generalTable, dataDirectory.toStdString());
    try {
        general.Open();
        if (!general.Locate("matter", {args.matter.toStdString()}, 0)) {
            printError(QStringLiteral("There is no matter named \"%1\" in %2")
                           .arg(args.matter, dataDirectory));
            return 1;
        }
    } catch (const std::exception& error) {
        printError(QString::fromStdString(error.what()));
        return 1;
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
    const printing::PrintOutcome outcome = printing::runPrintJob(context);
    general.Close();
    if (!outcome.ok) {
        printError(outcome.error.isEmpty() ? QStringLiteral("The statement was not written")
                                           : outcome.error);
        return 1;
    }
    return 0;
}

}  // namespace app
