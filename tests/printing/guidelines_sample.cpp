// Writes the sample case's guideline worksheet to a PDF file, to look at and for the pictures
// in docs/:  guidelines_sample OUT.pdf

#include <QApplication>
#include <QDate>
#include <QDir>
#include <cstdio>

#include "guidelines/worksheet.h"
#include "guidelines_sample_case.h"
#include "printing/guidelines_worksheet.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: guidelines_sample OUT.pdf\n", stderr);
        return 2;
    }
    const auto parameters = guidelines::ParameterTable::load(
        QDir(PROGRAM_DIR).filePath(guidelines::ParameterTable::kProgramFile).toStdString());
    const auto sheet = guidelines::computeWorksheet(
        print_test::sampleCase(), std::get<guidelines::ParameterTable>(parameters));
    const printing::PrintOutcome outcome = printing::printGuidelinesWorksheet(
        std::get<guidelines::Worksheet>(sheet), {"Smith v. Smith", QDate(2025, 6, 2), {}},
        PROGRAM_DIR, QString::fromLocal8Bit(argv[1]));
    if (!outcome.ok) std::fputs(qPrintable(outcome.error + '\n'), stderr);
    return outcome.ok ? 0 : 1;
}
