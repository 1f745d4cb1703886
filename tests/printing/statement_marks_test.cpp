// Answer marks, the completeness check and the oath choice end to end, through the program:
// `networth --check` on a complete matter, a matter with open items and a missing one; the marks
// of Marks.dbf printed in their items' places by `networth --print-pdf`, which warns of open
// items; and the affirmation chosen for a matter.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "../support/pdf_text.h"
#include "../support/process_run.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "print_fixture.h"
#include "storage/dbf_table.h"

namespace {

using print_test::Record;

using test_support::ProcessRun;

ProcessRun networth(const QStringList& arguments) {
    return test_support::runProcess(QStringLiteral(NETWORTH), arguments);
}

// The statement's text with runs of blanks made single.
QString text(const QString& pdf) { return test_support::pdfPages(pdf).join('\n').simplified(); }

// The items the full scenario leaves empty, which its marks answer.
const QStringList kScenarioOpenItems = {
    "II. EXPENSES (d) Clothing",
    "II. EXPENSES (e) Insurance",
    "II. EXPENSES (f) Unreimbursed medical",
    "II. EXPENSES (g) Household maintenance",
    "II. EXPENSES (h) Household help",
    "II. EXPENSES (i) Automotive",
    "II. EXPENSES (k) Recreational",
    "II. EXPENSES (m) Miscellaneous",
    "III. GROSS INCOME INFORMATION Unemployment insurance benefits",
    "III. GROSS INCOME INFORMATION Supplemental Security Income",
    "III. GROSS INCOME INFORMATION Food Stamps",
    "III. GROSS INCOME INFORMATION Veterans' benefits",
    "III. GROSS INCOME INFORMATION Income from all other sources",
    "III. GROSS INCOME INFORMATION Fellowships and stipends",
    "III. GROSS INCOME INFORMATION Annuity payments",
    "III. GROSS INCOME INFORMATION Disability benefits",
    "III. GROSS INCOME INFORMATION Public assistance",
    "III. GROSS INCOME INFORMATION Household benefits received: Other",
    "IV. ASSETS (d) Security deposits",
    "IV. ASSETS (f) Bonds and notes",
};

class StatementMarksTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        data_ = dir_.filePath("data") + '/';
        QDir().mkpath(data_);
    }
    QString pdf() const { return dir_.filePath("statement.pdf"); }
    void forgetMarks() {
        for (const QString& name : QDir(data_).entryList({"Marks.*"}, QDir::Files))
            ASSERT_TRUE(QFile::remove(data_ + name));
    }
    // Sets a field of Smith's record of Marks.dbf, as a form posts it.
    void setMark(const char* field, const char* value) {
        storage::TDbfTable table("T_Marks");
        catalog::applyDefinition(table, catalog::marksTable(), data_.toStdString());
        table.Open();
        ASSERT_TRUE(table.Locate("matter", {"Smith v. Smith"}, 0u));
        table.Edit();
        table.FieldByName(field).setAsString(value);
        table.Post();
        table.Close();
    }
    QStringList check(const QString& matter, int expectedExit) {
        const ProcessRun run = networth({"--check", matter, "--data-dir", data_});
        EXPECT_EQ(run.exitCode, expectedExit) << run.err.toStdString();
        return run.out.split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir_;
    QString data_;
};

TEST_F(StatementMarksTest, CheckFindsNothingOpenInACompleteMatter) {
    print_test::writeScenario(data_);
    EXPECT_EQ(check("Smith v. Smith", 0), QStringList());
}

TEST_F(StatementMarksTest, CheckListsTheOpenItemsInTheStatementsOrder) {
    print_test::writeScenario(data_);
    forgetMarks();
    EXPECT_EQ(check("Smith v. Smith", 1), kScenarioOpenItems);
}

// A matter with little in it: the General fields the caption and oath print, every item, and a
// mark beside entries. The check writes nothing: no Family or Income record appears.
TEST_F(StatementMarksTest, CheckNamesMissingFieldsAndAMarkBesideEntries) {
    print_test::writeGeneral(data_, {{{"matter", "Roe v. Roe"},
                                      {"court", "SUPREME"},
                                      {"county", "KINGS"},
                                      {"xname", "Mary Roe"}}});
    print_test::writeTable(data_, "t_cash",
                           {{{"matter", "Roe v. Roe"}, {"location", "Wallet"}, {"amt", "20"}}});
    print_test::writeTable(data_, "T_Marks",
                           {{{"matter", "Roe v. Roe"}, {"a_a", "NONE"}, {"a_b", "NONE"}}});
    const QStringList lines = check("Roe v. Roe", 1);
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 5),
              QStringList({"GENERAL INFORMATION Plaintiff", "GENERAL INFORMATION Defendant",
                           "GENERAL INFORMATION Index No.", "GENERAL INFORMATION \"as of\" date",
                           "I. FAMILY DATA Plaintiff's Date of Birth"}));
    EXPECT_TRUE(lines.contains("IV. ASSETS (a) Cash: marked NONE, but it has entries"));
    EXPECT_FALSE(lines.contains("IV. ASSETS (b) Checking accounts"));
    EXPECT_TRUE(lines.contains("IV. ASSETS (c) Savings accounts"));
    EXPECT_EQ(lines.size(), 4 + 76 - 1);  // every item but the marked checking accounts
    EXPECT_EQ(print_test::readTable(data_, "T_Family").size(), 0);
    EXPECT_EQ(print_test::readTable(data_, "T_Income").size(), 0);
}

TEST_F(StatementMarksTest, CheckFailsWithTwoOnAMissingMatterOrDirectory) {
    print_test::writeGeneral(data_, {{{"matter", "Roe v. Roe"}}});
    ProcessRun run = networth({"--check", "ROE V. ROE", "--data-dir", data_});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("There is no matter named \"ROE V. ROE\""))
        << run.err.toStdString();
    EXPECT_EQ(run.out, QString());
    run = networth({"--check", "Roe v. Roe", "--data-dir", dir_.filePath("nowhere")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("does not exist"));
    run = networth({"--check"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("usage: networth --check MATTER [--data-dir DIR]"));
}

// The PDF is written all the same; the open items go to standard error as warnings.
TEST_F(StatementMarksTest, PrintPdfWarnsOfOpenItems) {
    print_test::writeScenario(data_);
    forgetMarks();
    const ProcessRun run = networth({"--print-pdf", "Smith v. Smith", pdf(), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pdf()));
    QStringList warnings;
    for (const QString& line : run.err.split('\n')) {
        if (line.startsWith("networth: warning: ")) warnings << line.mid(19);
    }
    EXPECT_EQ(warnings, kScenarioOpenItems);
    test_support::checkPdfA(pdf());
}

// Each mark is printed in its item's place: under a category's heading instead of its blank line,
// in place of a single item's amount. An item with entries prints them, not its mark.
TEST_F(StatementMarksTest, MarksArePrintedInTheirItemsPlaces) {
    print_test::writeScenario(data_);
    ASSERT_EQ(networth({"--print-pdf", "Smith v. Smith", pdf(), "--data-dir", data_}).exitCode, 0);
    const QString marked = text(pdf());
    for (const char* expected :
         {"(d) Clothing NONE", "(h) Household help INAPPLICABLE", "(m) Miscellaneous NONE",
          "Food Stamps NONE", "Veterans' benefits INAPPLICABLE",
          "Household benefits received: Social Security 1,800.00", "(d) Security deposits NONE",
          "(e) Other cash accounts", "(f) Bonds and notes UNKNOWN"}) {
        EXPECT_TRUE(marked.contains(QLatin1String(expected))) << expected;
    }
    EXPECT_FALSE(marked.contains("(d) Security deposits ____"));
    EXPECT_FALSE(marked.contains("UNKNOWN UNKNOWN"));  // nothing of the other matters' marks

    // Cash marked NONE beside the scenario's cash entries: the entries print, the mark does not.
    setMark("a_a", "NONE");
    ASSERT_EQ(networth({"--print-pdf", "Smith v. Smith", pdf(), "--data-dir", data_}).exitCode, 0);
    const QString conflict = text(pdf());
    const qsizetype cash = conflict.indexOf("(a) Cash");
    ASSERT_GE(cash, 0);
    const QString cashSection = conflict.mid(cash, conflict.indexOf("(b) Checking") - cash);
    EXPECT_TRUE(cashSection.contains("Location:")) << cashSection.toStdString();
    EXPECT_FALSE(cashSection.contains("NONE")) << cashSection.toStdString();
}

// The affirmation chosen for a matter in Marks.dbf (as the Statement Options form stores it)
// closes its statement; other matters keep the jurat.
TEST_F(StatementMarksTest, TheMattersOathChoiceIsPrinted) {
    print_test::writeScenario(data_);
    setMark("oath", "affirmation");
    ASSERT_EQ(networth({"--print-pdf", "Smith v. Smith", pdf(), "--data-dir", data_}).exitCode, 0);
    const QString affirmed = text(pdf());
    EXPECT_TRUE(affirmed.contains(
        "I affirm this ___ day of ______, ____, under the penalties of perjury under the laws of "
        "New York, which may include a fine or imprisonment, that the foregoing is true, and I "
        "understand that this document may be filed in an action or proceeding in a court of "
        "law."));
    EXPECT_FALSE(affirmed.contains("Notary Public"));

    setMark("oath", "");
    ASSERT_EQ(networth({"--print-pdf", "Smith v. Smith", pdf(), "--data-dir", data_}).exitCode, 0);
    const QString sworn = text(pdf());
    EXPECT_TRUE(sworn.contains("Sworn to before me this ___ day of ______, 20__"));
    EXPECT_FALSE(sworn.contains("I affirm"));
}

}  // namespace
