// The headless print of a matter's guideline worksheet.

#include "app/print_guidelines.h"

#include <QDate>
#include <QDir>

#include "app/headless_run.h"
#include "catalog/table_catalog.h"
#include "guidelines/parameters.h"
#include "guidelines/worksheet.h"
#include "printing/guidelines_worksheet.h"
#include "schedules/guideline_inputs.h"
#include "storage/dbf_table.h"

namespace app {

namespace {

// The matter's record of `definition`'s table, read only; empty when the file or the record is
// missing.
std::optional<schedules::FieldTexts> matterRecord(const catalog::TableDef& definition,
                                                  const QString& dataDirectory,
                                                  const QString& matter) {
    const std::string path = catalog::tablePath(dataDirectory.toStdString(), definition);
    if (!storage::Env::Default()->fileExists(path)) return std::nullopt;
    storage::TDbfTable table(definition.component);
    catalog::applyDefinition(table, definition, dataDirectory.toStdString());
    table.ReadOnly = true;
    table.CreateIfNotFound = false;
    table.Open();
    if (!table.Locate("matter", {matter.toStdString()}, 0)) return std::nullopt;
    return schedules::recordTexts(table);
}

}  // namespace

int runPrintGuidelines(const QStringList& arguments, const QString& programDirectory) {
    const std::optional<MatterPrintArguments> args = parseMatterPrintArguments(arguments);
    if (!args) {
        printError(
            QStringLiteral("usage: networth --print-guidelines MATTER OUT.pdf [--data-dir DIR]"));
        return 2;
    }
    installConsoleHandlers();
    const QString dataDirectory = matterPrintDataDirectory(*args, programDirectory);
    if (dataDirectory.isEmpty()) return 1;
    storage::TDbfTable general(catalog::generalTable().component);
    if (!openMatterRecord(general, dataDirectory, args->matter)) return 1;

    // The form's own record and the records it takes figures from, as its table set names them.
    const catalog::TableSet tables = catalog::guidelinesTables();
    std::optional<schedules::FieldTexts> entries;
    schedules::GuidelineSources sources;
    try {
        sources.general = schedules::recordTexts(general);
        entries =
            matterRecord(*catalog::findTable(tables, "T_Guidelines"), dataDirectory, args->matter);
        sources.income =
            matterRecord(*catalog::findTable(tables, "T_GIncome"), dataDirectory, args->matter)
                .value_or(schedules::FieldTexts());
        sources.family =
            matterRecord(*catalog::findTable(tables, "T_GFamily"), dataDirectory, args->matter)
                .value_or(schedules::FieldTexts());
    } catch (const std::exception& error) {
        printError(QString::fromStdString(error.what()));
        return 1;
    }
    general.Close();
    if (!entries) {
        printError(QStringLiteral("The matter \"%1\" has no guideline figures yet: fill in its "
                                  "Guidelines form first")
                       .arg(args->matter));
        return 1;
    }

    const QDate today = QDate::currentDate();
    guidelines::Outcome<guidelines::GuidelineCase> input =
        schedules::guidelineCase(*entries, sources, today);
    if (const auto* problem = std::get_if<guidelines::Problem>(&input)) {
        printError(schedules::problemText(*problem));
        return 1;
    }
    const QString parameterFile = QDir::toNativeSeparators(
        QDir(programDirectory).filePath(QLatin1String(guidelines::ParameterTable::kProgramFile)));
    guidelines::Outcome<guidelines::ParameterTable> parameters =
        guidelines::ParameterTable::load(parameterFile.toStdString());
    if (const auto* problem = std::get_if<guidelines::Problem>(&parameters)) {
        printError(QString::fromStdString(problem->text));
        return 1;
    }
    guidelines::Outcome<guidelines::Worksheet> sheet =
        guidelines::computeWorksheet(std::get<guidelines::GuidelineCase>(input),
                                     std::get<guidelines::ParameterTable>(parameters));
    if (const auto* problem = std::get_if<guidelines::Problem>(&sheet)) {
        printError(schedules::problemText(*problem));
        return 1;
    }

    const schedules::GuidelineParties parties = schedules::guidelineParties(*entries, sources);
    printing::WorksheetHeading heading;
    heading.matter = args->matter;
    heading.prepared = today;
    heading.partyRoles[0] = parties.deponentDescription();
    heading.partyRoles[1] = parties.otherDescription();
    const printing::PrintOutcome outcome = printing::printGuidelinesWorksheet(
        std::get<guidelines::Worksheet>(sheet), heading, programDirectory, args->pdfFile);
    if (!outcome.ok) {
        printError(outcome.error.isEmpty() ? QStringLiteral("The worksheet was not written")
                                           : outcome.error);
        return 1;
    }
    return 0;
}

}  // namespace app
