// The printed guideline worksheet: the computed case's lines and notes as the data of the
// report "Guidelines".

#include "printing/guidelines_worksheet.h"

#include <QDir>
#include <QLocale>

#include "guidelines/worksheet_lines.h"
#include "report/memory_data_set.h"
#include "report/report_project.h"
#include "report/report_system.h"

namespace printing {

namespace {

const QString kReportName = QStringLiteral("Guidelines");
const QString kTitle = QStringLiteral("Maintenance and Child Support Guidelines Worksheet");

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Connection "Lines": one row per worksheet line, in order.
void fillLines(report::MemoryDataSet& rows, const guidelines::Worksheet& sheet) {
    using report::FieldKind;
    rows.addField(QStringLiteral("section"), FieldKind::Text);
    rows.addField(QStringLiteral("label"), FieldKind::Text);
    rows.addField(QStringLiteral("amount"), FieldKind::Number);
    rows.addField(QStringLiteral("value"), FieldKind::Text);
    rows.addField(QStringLiteral("basis"), FieldKind::Text);
    rows.addField(QStringLiteral("result"), FieldKind::Boolean);
    for (const guidelines::WorksheetLine& line : guidelines::worksheetLines(sheet)) {
        rows.addRow({text(line.section), text(line.label),
                     line.amount ? QVariant(static_cast<double>(*line.amount) / 100.0) : QVariant(),
                     text(line.value), text(line.basis), line.result});
    }
}

// Connection "Notes": one row per note.
void fillNotes(report::MemoryDataSet& rows, const guidelines::Worksheet& sheet) {
    rows.addField(QStringLiteral("note"), report::FieldKind::Text);
    for (const std::string& note : guidelines::worksheetNotes(sheet)) rows.addRow({text(note)});
}

QString isoDate(const guidelines::CivilDate& date) { return text(date.iso()); }

QString partyLine(const guidelines::Worksheet& sheet, const WorksheetHeading& heading,
                  guidelines::Party party) {
    const QString name = text(sheet.partyName(party));
    const QString& role = heading.partyRoles[guidelines::indexOf(party)];
    return role.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, role);
}

}  // namespace

QString guidelinesProjectPath(const QString& programDirectory) {
    QString directory = QDir::toNativeSeparators(programDirectory);
    if (!directory.endsWith(QDir::separator())) directory += QDir::separator();
    return directory + QStringLiteral("\\Reports\\Guidelines.rpf");
}

PrintOutcome printGuidelinesWorksheet(const guidelines::Worksheet& sheet,
                                      const WorksheetHeading& heading,
                                      const QString& programDirectory, const QString& pdfFile,
                                      report::TReportSystem* engine, QWidget* parent) {
    report::MemoryDataSet lines, notes;
    fillLines(lines, sheet);
    fillNotes(notes, sheet);
    report::TReportConnection linesConnection(QStringLiteral("Lines"));
    report::TReportConnection notesConnection(QStringLiteral("Notes"));
    linesConnection.setDataSet(&lines);
    notesConnection.setDataSet(&notes);

    report::TReportSystem headless;
    if (!engine) engine = &headless;
    const QString previousTitle = engine->settings().printerTitle;
    engine->settings().printerTitle =
        heading.matter.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + heading.matter;

    report::TReportProject project;
    project.setEngine(engine);
    project.setProjectFile(guidelinesProjectPath(programDirectory));
    project.addConnection(&linesConnection);
    project.addConnection(&notesConnection);
    PrintOutcome outcome;
    if (project.open()) {
        const guidelines::ParameterSet& set = sheet.parameters;
        project.setParameter(QStringLiteral("g_title"), kTitle);
        project.setParameter(QStringLiteral("g_matter"), heading.matter);
        project.setParameter(QStringLiteral("g_prepared"),
                             QLocale::system().toString(heading.prepared, QLocale::ShortFormat));
        project.setParameter(QStringLiteral("g_asof"), isoDate(sheet.input.asOf));
        project.setParameter(
            QStringLiteral("g_parameters"),
            QStringLiteral("in force from %1 (%2)").arg(isoDate(set.effective), text(set.source)));
        project.setParameter(QStringLiteral("g_party_a"),
                             partyLine(sheet, heading, guidelines::Party::A));
        project.setParameter(QStringLiteral("g_party_b"),
                             partyLine(sheet, heading, guidelines::Party::B));
        outcome.ok = pdfFile.isEmpty() ? project.executeReport(kReportName, parent)
                                       : project.exportPdf(kReportName, pdfFile);
    }
    if (!outcome.ok) outcome.error = project.errorText();
    project.close();
    engine->settings().printerTitle = previousTitle;
    return outcome;
}

}  // namespace printing
