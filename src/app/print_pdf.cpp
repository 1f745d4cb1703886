// The headless print and check: the Print command's job for one named matter, straight into a
// PDF file or into the completeness check's lines.

#include "app/print_pdf.h"

#include <cstdio>

#include "app/headless_run.h"
#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "storage/dbf_table.h"

namespace app {

namespace {

// Runs the print job headless for the named matter; `failure` is the exit code of every error
// after the arguments were read. The open items of the check go to `openItems`.
int runHeadless(const MatterPrintArguments& args, const QString& programDirectory, int failure,
                QStringList* openItems) {
    installConsoleHandlers(failure);
    const QString dataDirectory = matterPrintDataDirectory(args, programDirectory);
    if (dataDirectory.isEmpty()) return failure;

    // The General record of the matter, as the General Information form would stand on it.
    storage::TDbfTable general(catalog::generalTable().component);
    if (!openMatterRecord(general, dataDirectory, args.matter)) return failure;

    printing::PrintComponents components;
    printing::PrintContext context;
    context.programDirectory = programDirectory;
    context.dataDirectory = dataDirectory;
    const QString matterName = args.matter;
    context.currentMatter = [matterName] { return matterName; };
    context.general = &general;
    context.installMatterFilter = [matterName](const QString& component,
                                               storage::TDbfCDataSet& table) {
        const CurrentMatterReader reader = [matterName](void*) { return matterName; };
        table.SetFilterToCB(matterFilter(component, table, reader), nullptr, matterKey(reader));
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
    const std::optional<MatterPrintArguments> args = parseMatterPrintArguments(arguments);
    if (!args) {
        printError(QStringLiteral("usage: networth --print-pdf MATTER OUT.pdf [--data-dir DIR]"));
        return 2;
    }
    QStringList openItems;
    const int status = runHeadless(*args, programDirectory, 1, &openItems);
    for (const QString& line : openItems) printError(QStringLiteral("warning: ") + line);
    return status;
}

int runCheck(const QStringList& arguments, const QString& programDirectory) {
    const std::optional<MatterPrintArguments> args = parseMatterPrintArguments(arguments, false);
    if (!args) {
        printError(QStringLiteral("usage: networth --check MATTER [--data-dir DIR]"));
        return 2;
    }
    QStringList openItems;
    const int status = runHeadless(*args, programDirectory, 2, &openItems);
    if (status != 0) return status;
    for (const QString& line : openItems) std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
    return openItems.isEmpty() ? 0 : 1;
}

}  // namespace app
