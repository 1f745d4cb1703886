// `networth --print-guidelines` over a data directory written here: each matter's worksheet from
// its own stored record, a stored deponent's figure taking the place of Gross Income's, and the
// failures (no such matter, no Guidelines record yet, inputs that do not compute, a missing
// argument) on standard error with no PDF left behind.
//
// Worked by hand with the parameters in force from 2025-03-01 (maintenance cap 228,000;
// child support cap 183,000; self-support reserve 21,128):
//   Smith: Jane (plaintiff, deponent) 85,000 + 1,250 = 86,250, John 150,000, two children with
//     Jane: maintenance (i) 20% of 150,000 - 25% of 86,250 = 8,437.50, (ii) 40% of 236,250 -
//     86,250 = 8,250.00; child support on 94,500 and 141,750: 25% of 183,000 = 45,750, John's
//     60% of it 27,450.00.
//   Doe: Dana (defendant, deponent) 40,000, Chris 100,000, no children: (i) 30% of 100,000 -
//     20% of 40,000 = 22,000, (ii) 40% of 140,000 - 40,000 = 16,000.00. With Dana's salary
//     stored as 50,000 on the form: (i) 20,000, (ii) 60,000 - 50,000 = 10,000.00.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../support/pdf_text.h"
#include "../support/process_run.h"
#include "print_fixture.h"

namespace {

using print_test::Record;

using test_support::ProcessRun;

ProcessRun printGuidelines(const QStringList& arguments) {
    return test_support::runProcess(QStringLiteral(NETWORTH),
                                    QStringList{"--print-guidelines"} + arguments);
}

QString text(const QString& pdf) {
    return test_support::pdfPages(pdf).join('\n').replace(QRegularExpression("\\s+"), " ");
}

class PrintGuidelinesTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        data_ = dir_.filePath("data") + '/';
        QDir().mkpath(data_);
        print_test::writeGeneral(data_, {{{"matter", "Smith v. Smith"},
                                          {"xname", "Jane Smith"},
                                          {"plainfiff", "JANE SMITH,\nPlaintiff,"},
                                          {"defendant", "JOHN SMITH,\nDefendant."},
                                          {"xplaintiff", "X"}},
                                         {{"matter", "Doe v. Doe"},
                                          {"xname", "Dana Doe"},
                                          {"plainfiff", "CHRIS DOE,\nPlaintiff,"},
                                          {"defendant", "DANA DOE,\nDefendant."},
                                          {"xdefendant", "X"}},
                                         {{"matter", "Roe v. Roe"}, {"xname", "Rae Roe"}}});
        print_test::writeTable(
            data_, "T_Income",
            {{{"matter", "Smith v. Smith"}, {"salary", "85000"}, {"dividends", "1250"}},
             {{"matter", "Doe v. Doe"}, {"salary", "40000"}}});
        writeGuidelines({smith(), doe()});
    }

    static Record smith() {
        return {{"matter", "Smith v. Smith"}, {"maint", "T"},         {"children", "2"},
                {"custodial", "D"},           {"asof", "06/02/2025"}, {"osalary", "150000"}};
    }
    static Record doe() {
        return {{"matter", "Doe v. Doe"},
                {"maint", "T"},
                {"children", "0"},
                {"asof", "06/02/2025"},
                {"osalary", "100000"}};
    }
    void writeGuidelines(const QList<Record>& records) {
        QFile::remove(data_ + "Guidelines.dbf");
        QFile::remove(data_ + "Guidelines.mdx");
        print_test::writeTable(data_, "T_Guidelines", records);
    }
    QString pdf(const QString& name = QStringLiteral("worksheet.pdf")) const {
        return dir_.filePath(name);
    }

    QTemporaryDir dir_;
    QString data_;
};

TEST_F(PrintGuidelinesTest, EachMatterPrintsItsOwnStoredFigures) {
    ProcessRun run = printGuidelines({"Smith v. Smith", pdf("smith.pdf"), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.outBytes.isEmpty());
    const QString smith = text(pdf("smith.pdf"));
    for (const char* expected :
         {"Matter: Smith v. Smith", "Party A: Jane Smith (plaintiff, the deponent)",
          "Party B: JOHN SMITH (defendant)", "As of: 2025-06-02",
          "Guideline maintenance, annual 8,250.00", "Child support, annual 27,450.00",
          "The deponent's figures are those of the Gross Income schedule."}) {
        EXPECT_TRUE(smith.contains(QLatin1String(expected))) << expected;
    }
    EXPECT_FALSE(smith.contains(QLatin1String("Doe")));

    run = printGuidelines({"Doe v. Doe", pdf("doe.pdf"), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString doe = text(pdf("doe.pdf"));
    EXPECT_TRUE(doe.contains(QLatin1String("Party A: Dana Doe (defendant, the deponent)")));
    EXPECT_TRUE(doe.contains(QLatin1String("Party B: CHRIS DOE (plaintiff)")));
    EXPECT_TRUE(doe.contains(QLatin1String("Guideline maintenance, annual 16,000.00")));
    EXPECT_FALSE(doe.contains(QLatin1String("Child support, annual")));
    EXPECT_FALSE(doe.contains(QLatin1String("Smith")));
}

TEST_F(PrintGuidelinesTest, AStoredDeponentsFigureTakesThePlaceOfGrossIncomes) {
    Record overridden = doe();
    overridden["dsalary"] = "50000";
    writeGuidelines({smith(), overridden});
    const ProcessRun run = printGuidelines({"Doe v. Doe", pdf(), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString sheet = text(pdf());
    EXPECT_TRUE(sheet.contains(QLatin1String("Guideline maintenance, annual 10,000.00")));
    EXPECT_TRUE(sheet.contains(QLatin1String("Gross income (last federal return) 50,000.00")));
    EXPECT_FALSE(sheet.contains(QLatin1String("40,000.00")));
    EXPECT_TRUE(sheet.contains(
        QLatin1String("except as entered on the guidelines form: Gross income (last federal "
                      "return)")));
}

TEST_F(PrintGuidelinesTest, FailuresGoToStandardErrorAndWriteNoPdf) {
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* message;
    };
    Record noCustodial = smith();
    noCustodial.remove("custodial");
    Record notAnAmount = doe();
    notAnAmount["asof"] = "13/45/2025";
    writeGuidelines({noCustodial, notAnAmount});
    const QList<Case> cases = {
        {{"SMITH V. SMITH", pdf(), "--data-dir", data_}, 1, "There is no matter named"},
        {{"Roe v. Roe", pdf(), "--data-dir", data_}, 1, "has no guideline figures yet"},
        {{"Smith v. Smith", pdf(), "--data-dir", data_}, 1, "Custodial parent"},
        {{"Doe v. Doe", pdf(), "--data-dir", data_}, 1, "is not a date"},
        {{"Smith v. Smith", pdf(), "--data-dir", dir_.filePath("nowhere")}, 1, "does not exist"},
        {{"Smith v. Smith"}, 2, "usage: networth --print-guidelines MATTER OUT.pdf"},
    };
    for (const Case& c : cases) {
        const ProcessRun run = printGuidelines(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message)))
            << c.message << ": " << run.err.toStdString();
        EXPECT_TRUE(run.outBytes.isEmpty()) << c.message;
        EXPECT_FALSE(QFileInfo::exists(pdf())) << c.message;
    }
}

}  // namespace
