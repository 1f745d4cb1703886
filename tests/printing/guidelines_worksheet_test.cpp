// The printed guideline worksheet of a computed case, read back with pdftotext: the heading,
// every section with its lines, amounts and statutes, the notes; and what happens without the
// report project.

#include "printing/guidelines_worksheet.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../support/pdf_text.h"
#include "guidelines/worksheet.h"
#include "guidelines_sample_case.h"

namespace {

using guidelines::dollars;

guidelines::Worksheet computed(const guidelines::GuidelineCase& input) {
    const auto parameters = guidelines::ParameterTable::load(
        QDir(PROGRAM_DIR).filePath(guidelines::ParameterTable::kProgramFile).toStdString());
    EXPECT_TRUE(std::holds_alternative<guidelines::ParameterTable>(parameters));
    const auto sheet =
        guidelines::computeWorksheet(input, std::get<guidelines::ParameterTable>(parameters));
    EXPECT_TRUE(std::holds_alternative<guidelines::Worksheet>(sheet));
    return std::get<guidelines::Worksheet>(sheet);
}

// The PDF's text, page by page, runs of blanks made single; the file goes to the PDF/A check.
QStringList pdfPages(const QString& pdf) {
    QStringList pages = test_support::pdfPages(pdf);
    for (QString& page : pages)
        page.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    return pages;
}

class WorksheetPdf : public testing::Test {
  protected:
    QString print(const guidelines::Worksheet& sheet, const QString& matter) {
        const QString pdf = dir_.filePath("worksheet.pdf");
        const printing::PrintOutcome outcome = printing::printGuidelinesWorksheet(
            sheet, {matter, QDate(2025, 6, 2), {}}, PROGRAM_DIR, pdf);
        EXPECT_TRUE(outcome.ok) << qPrintable(outcome.error);
        pages_ = pdfPages(pdf);
        return pages_.join('\n');
    }
    QTemporaryDir dir_;
    QStringList pages_;
};

TEST_F(WorksheetPdf, EveryInputStepAndResultWithItsStatute) {
    const QString text = print(computed(print_test::sampleCase()), "Smith v. Smith");
    ASSERT_GE(pages_.size(), 2);
    const QStringList expected = {
        "MAINTENANCE AND CHILD SUPPORT GUIDELINES WORKSHEET",
        "Matter: Smith v. Smith",
        "Party A: John Smith",
        "Party B: Mary Smith",
        "As of: 2025-06-02",
        "Parameters: in force from 2025-03-01 (parameters.ini)",
        // The parameters with the date each took effect.
        "Maintenance cap, payor's income (from 2024-03-01) 228,000.00 DRL § 236(B)(6)(b)(5)",
        "Self-support reserve (from 2025-03-01) 21,128.00 DRL § 240(1-b)(b)(6)",
        // The inputs, deductions negative.
        "John Smith: Gross income of the last federal return 310,000.00 DRL § 240(1-b)(b)(5)",
        "John Smith: less New York City income tax -14,096.80",
        "John Smith: income before maintenance 291,500.00",
        "Mary Smith: income before maintenance 48,500.00",
        "Children 2",
        "Custodial parent Mary Smith",
        "Date of marriage 2008-05-17",
        // Maintenance.
        "Post-divorce maintenance (DRL § 236(B)(6))",
        "Payor (the higher income) John Smith",
        "Payor's income above the cap 63,500.00 DRL § 236(B)(6)(c)(2)",
        "33,475.00 DRL § 236(B)(6)(c)(1)(a)",
        "62,100.00",
        "Guideline maintenance, annual 33,475.00",
        "Guideline maintenance, monthly 2,789.58",
        "Guideline maintenance, weekly 643.75",
        "202 months (16.83 years)",
        "5.05 to 6.73 years",
        // Child support on the adjusted incomes.
        "John Smith: income less maintenance paid 258,025.00",
        "Mary Smith: income plus maintenance received 81,975.00",
        "Combined parental income 340,000.00 DRL § 240(1-b)(b)(4)",
        "Child support percentage, 2 children 25%",
        "Combined income above the cap 157,000.00 DRL § 240(1-b)(c)(3)",
        "Basic child support obligation (25%) 45,750.00",
        "75.8897%",
        "Child support, annual 34,719.54",
        "Child support, monthly 2,893.30",
        // The add-ons.
        "10,624.56",
        "3,187.37",
        "Child support with the add-ons, annual 48,531.47",
        // The notes.
        "Notes",
        "Additional Medicare Tax",
        "must still recite the presumptive amount",
    };
    for (const QString& words : expected) EXPECT_TRUE(text.contains(words)) << qPrintable(words);
    // The sections in the order computed.
    const QStringList order = {"Parameters",
                               "Inputs",
                               "Post-divorce maintenance",
                               "Child support (DRL § 240(1-b), FCA § 413)",
                               "Add-ons, shared pro rata",
                               "Notes"};
    qsizetype at = 0;
    for (const QString& heading : order) {
        const qsizetype found = text.indexOf(QStringLiteral("\n") + heading, at);
        EXPECT_GT(found, at) << qPrintable(heading);
        if (found > at) at = found;
    }
    EXPECT_TRUE(pages_.last().contains(QStringLiteral("Page %1 of %1").arg(pages_.size())));
    EXPECT_TRUE(pages_.at(1).contains("Smith v. Smith"));  // the running head
}

TEST_F(WorksheetPdf, ACaseWithoutMaintenanceOrMatter) {
    guidelines::GuidelineCase in;
    in.asOf = {2024, 3, 1};
    in.children = 1;
    in.custodial = guidelines::Party::A;
    in.setIncome(guidelines::Party::A, dollars(30000));
    in.setIncome(guidelines::Party::B, dollars(16000));
    const QString text = print(computed(in), QString());
    EXPECT_TRUE(text.contains("Matter: (none: a case computed on its own)"));
    EXPECT_FALSE(text.contains("maintenance (DRL"));
    // 17% of 46,000 × 16/46 = 2,720 leaves 13,280, below the poverty guideline of 15,060.
    EXPECT_TRUE(text.contains("Low-income rules below the poverty")) << qPrintable(text);
    EXPECT_TRUE(text.contains("Child support, annual 300.00"));
    EXPECT_TRUE(text.contains("Child support, monthly 25.00"));
}

TEST_F(WorksheetPdf, AMissingReportProjectIsAnErrorNotAFile) {
    const QString pdf = dir_.filePath("worksheet.pdf");
    const printing::PrintOutcome outcome = printing::printGuidelinesWorksheet(
        computed(print_test::sampleCase()), {}, dir_.path(), pdf);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.startsWith("The following reporting project does not exist:"))
        << qPrintable(outcome.error);
    EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
