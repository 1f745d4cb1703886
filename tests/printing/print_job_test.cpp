// What the print job hands to the report: each connection's rows and every parameter, read back
// through a report project that lists them; records it creates; failures and repeated runs.
#include "printing/print_job.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <utility>

#include "../support/pdf_text.h"
#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "print_fixture.h"
#include "printing/print_components.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/production_index.h"

namespace {

using print_test::Record;

class PrintJobTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        QDir(root_.path()).mkpath(QStringLiteral("data"));
        QDir(root_.path()).mkpath(QStringLiteral("program/Reports"));
        data_ = root_.filePath(QStringLiteral("data")) + '/';
        program_ = root_.filePath(QStringLiteral("program"));
        writeProject(print_test::dumpProject());
    }

    void writeProject(const QString& text) {
        QFile file(program_ + QStringLiteral("/Reports/Diredodu.rpf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    // Runs the job for `matter` as the main window does: General.dbf open on the matter's
    // record, the matter filters of the program. The lines of the PDF go to lines().
    printing::PrintOutcome print(const QString& matter,
                                 std::optional<printing::Oath> oath = std::nullopt) {
        storage::TDbfTable general(catalog::generalTable().component);
        catalog::applyDefinition(general, catalog::generalTable(), data_.toStdString());
        general.Open();
        EXPECT_TRUE(general.Locate("matter", {matter.toStdString()}, 0));

        printing::PrintContext context;
        context.programDirectory = program_;
        context.dataDirectory = data_;
        context.currentMatter = [matter] { return matter; };
        context.general = &general;
        context.installMatterFilter = [this, matter](const QString& component,
                                                     storage::TDbfCDataSet& table) {
            storage::FilterRoutine routine =
                app::matterFilter(component, table, [matter](void*) { return matter; });
            if (component == QLatin1String("T_PExpenses")) {
                routine = [this, routine](void* owner) {
                    ++expenseRecordsJudged_;
                    return routine(owner);
                };
            }
            table.SetFilterToCB(routine, nullptr);
        };
        context.components = &components_;
        if (oath) {
            context.statementOptions = [oath](const QString&) {
                return printing::StatementOptions{*oath};
            };
        }
        context.pdfFile = root_.filePath(QStringLiteral("out.pdf"));
        QFile::remove(context.pdfFile);
        const printing::PrintOutcome outcome = printing::runPrintJob(context);
        lines_ = outcome.ok ? test_support::pdfPages(context.pdfFile, false)
                                  .join('\n')
                                  .split('\n', Qt::SkipEmptyParts)
                            : QStringList();
        general.Close();
        return outcome;
    }

    QStringList lines(const QString& prefix) const { return lines_.filter(prefix); }
    QString parameter(const QString& name) const {
        const QStringList found = lines(QStringLiteral("PARAM|%1|").arg(name));
        return found.size() == 1 ? found.first().section('|', 2) : QStringLiteral("<missing>");
    }

    QTemporaryDir root_;
    QString data_, program_;
    printing::PrintComponents components_;
    int expenseRecordsJudged_ = 0;  // by the expense table's filter routines, any job's
    QStringList lines_;
};

TEST_F(PrintJobTest, EveryConnectionCarriesTheMattersRowsOnly) {
    print_test::writeScenario(data_);
    const print_test::Scenario& s = print_test::fullScenario();
    ASSERT_TRUE(print(s.matter).ok);

    EXPECT_EQ(lines(QStringLiteral("ONE|")), QStringList({"ONE|DataConnection1|Smith v. Smith",
                                                          "ONE|DataConnection2|Smith v. Smith",
                                                          "ONE|DataConnection4|Smith v. Smith"}));
    // Rows of every other matter, "SMITH V. SMITH" included, stay out; each table's own count.
    const QMap<QString, int> expected = {
        {"DataConnCash", 2},       {"DataConnCheck", 2},      {"DataConnSavings", 1},
        {"DataConnOther", 1},      {"DataConnStocks", 2},     {"DataConnbroker", 1},
        {"DataConnloans", 1},      {"DataConnBusiness", 1},   {"DataConnlifeins", 1},
        {"DataConnvehicals", 2},   {"DataConnrealestate", 1}, {"DataConnvested", 1},
        {"DataConnContingent", 1}, {"DataConnhousehold", 1},  {"DataConnjewelry", 1},
        {"DataConnother2", 1},     {"dataConnRetirement", 2}, {"DataConnSecurity", 0},
        {"DataConnBonds", 0},      {"DataConnAP", 1},         {"DataConnNotesPayable", 1},
        {"DataConninstallap", 1},  {"DataConnMortPay", 1},    {"DataConnLbrokers", 1},
        {"DataConnTaxesPay", 1},   {"DataConnLoansLife", 1},  {"DataConnOtherLiab", 1},
        {"DataConncreditcard", 2}, {"DataConnhomeequity", 1}, {"DataConnAxfered", 2},
        {"DataConnSupport", 1},    {"DataConnection3", 9}};
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QStringList rows = lines(QStringLiteral("ROW|%1|").arg(it.key()));
        EXPECT_EQ(rows.size(), it.value()) << it.key().toStdString();
        for (const QString& row : rows)
            EXPECT_EQ(row.section('|', 2, 2), s.matter) << row.toStdString();
    }
}

TEST_F(PrintJobTest, ExpensesComeByCategoryThenItem) {
    print_test::writeScenario(data_);
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    QStringList order;
    for (const QString& row : lines(QStringLiteral("ROW|DataConnection3|")))
        order << row.section('|', 3);
    EXPECT_EQ(order, QStringList({
                         "(a) Housing|Homeowner's/Renter's Insurance",
                         "(a) Housing|Mortgage/Co-op Loan",
                         "(a) Housing|Rent",
                         "(b) Utilities|Cable/Satellite TV",
                         "(b) Utilities|Electric",
                         "(c) Food|Groceries",
                         "(j) Educational|College",
                         "(l) Income taxes|Number of dependants claimed in prior tax year (use "
                         "info column)",
                         "(n) Other|Storage unit",
                     }));
}

TEST_F(PrintJobTest, ParametersOfTheScenario) {
    print_test::writeScenario(data_);
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    // 128500 + 1234.5 + 2210.25 + 0.25 + 6300 + 1800; the deductions 25000 and 900 stay out.
    EXPECT_EQ(parameter("r_totincome"), "140,045.00");
    EXPECT_EQ(parameter("r_oath"), "jurat");
    QStringList marked;
    for (const QString& line : lines(QStringLiteral("PARAM|r_")))
        if (line.endsWith(QLatin1String("|X"))) marked << line.section('|', 1, 1);
    EXPECT_EQ(marked, QStringList({"r_sep", "r_cust3", "r_occ2", "r_depwm2", "r_depwm3", "r_pymts3",
                                   "r_dpr1", "r_dpr4", "r_wm2", "r_wm3", "r_wm6", "r_expmth"}));
}

TEST_F(PrintJobTest, ThePrintedStatementClosesWithTheMattersOath) {
    print_test::writeScenario(data_);
    QFile::remove(program_ + QStringLiteral("/Reports/Diredodu.rpf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PROGRAM_DIR "/Reports/Diredodu.rpf"),
                            program_ + QStringLiteral("/Reports/Diredodu.rpf")));
    const QString affirmation = QStringLiteral(
        "I affirm this ___ day of ______, ____, under the penalties of perjury under the laws of "
        "New York, which may include a fine or imprisonment, that the foregoing is true, and I "
        "understand that this document may be filed in an action or proceeding in a court of "
        "law.");

    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith"), printing::Oath::Affirmation).ok);
    QString text = lines_.join(' ').simplified();
    EXPECT_TRUE(text.contains(affirmation)) << text.toStdString();
    // The affiant signs below it, and the name to print stands below the line.
    const qsizetype after = text.indexOf(affirmation) + affirmation.size();
    EXPECT_EQ(text.mid(after, 35).toStdString(), " Jane Q. Smith Signature of affiant");
    EXPECT_TRUE(text.contains(
        QLatin1String("This is the ___ Statement of Net Worth I have filed in this proceeding.")));
    EXPECT_TRUE(
        text.contains(QLatin1String("Jane Q. Smith, the Plaintiff Defendant herein, states "
                                    "that the following is an accurate statement as of")));
    // No oath is sworn, so there is no venue, notary or jurat.
    for (const char* sworn :
         {"being duly sworn", "Sworn to before me", "Notary Public", "SS.:", "STATE OF New York"})
        EXPECT_FALSE(text.contains(QLatin1String(sworn))) << sworn;

    // Without a choice the job asks the stored options, which give the jurat.
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    text = lines_.join(' ').simplified();
    EXPECT_FALSE(text.contains(QLatin1String("I affirm")));
    EXPECT_TRUE(text.contains(QLatin1String("Sworn to before me this ___ day of ______, 20__")));
    EXPECT_TRUE(text.contains(QLatin1String("herein, being duly sworn, deposes and says that")));
}

TEST_F(PrintJobTest, MissingFamilyAndIncomeRecordsAreCreatedForTheExactName) {
    print_test::writeGeneral(data_, {{{"matter", "Doe v. Doe"}}});
    // Letter-case twins: neither found nor shown.
    print_test::writeTable(data_, "T_Family", {{{"matter", "DOE V. DOE"}, {"custody", "Wife"}}});
    print_test::writeTable(data_, "T_Income", {{{"matter", "doe v. doe"}, {"salary", "5000"}}});

    ASSERT_TRUE(print(QStringLiteral("Doe v. Doe")).ok);
    EXPECT_EQ(parameter("r_totincome"), "0.00");
    EXPECT_EQ(parameter("r_cust2"), "");
    EXPECT_EQ(lines(QStringLiteral("ONE|DataConnection2|")),
              QStringList({"ONE|DataConnection2|Doe v. Doe"}));

    // Each table now holds the twin and a new record with only the exact name.
    for (const char* table : {"T_Family", "T_Income"}) {
        const QList<Record> records = print_test::readTable(data_, table);
        ASSERT_EQ(records.size(), 2) << table;
        QStringList matters;
        for (const Record& record : records) {
            matters << record["matter"];
            if (record["matter"] == "Doe v. Doe") {
                EXPECT_EQ(record["custody"], "") << table;
                EXPECT_EQ(record["salary"], "") << table;
            }
        }
        matters.sort();
        EXPECT_EQ(matters, QStringList({table[2] == 'F' ? "DOE V. DOE" : "Doe v. Doe",
                                        table[2] == 'F' ? "Doe v. Doe" : "doe v. doe"}))
            << table;
    }

    // The second print finds them: nothing more is created.
    ASSERT_TRUE(print(QStringLiteral("Doe v. Doe")).ok);
    EXPECT_EQ(print_test::readTable(data_, "T_Family").size(), 2);
    EXPECT_EQ(print_test::readTable(data_, "T_Income").size(), 2);
}

// Another workstation creates the matter's Family and Income record between the job's search and
// its own new record: the job's record becomes that one, and the statement shows its answers.
TEST_F(PrintJobTest, RecordsCreatedElsewhereMeanwhileStayTheMattersOnlyRecords) {
    print_test::writeGeneral(data_, {{{"matter", "Doe v. Doe"}}});
    print_test::createAllTables(data_);
    const auto otherWorkstationFirst = [this](const char* component, Record record) {
        return [this, component, record](storage::TDbfPrimDataset&) {
            print_test::writeTable(data_, component, {record});
        };
    };
    components_.T_PFamily.BeforePost =
        otherWorkstationFirst("T_Family", {{"matter", "Doe v. Doe"}, {"custody", "Wife"}});
    components_.T_PIncome.BeforePost =
        otherWorkstationFirst("T_Income", {{"matter", "Doe v. Doe"}, {"salary", "5000"}});

    ASSERT_TRUE(print(QStringLiteral("Doe v. Doe")).ok);
    EXPECT_EQ(parameter("r_cust2"), "X");
    EXPECT_EQ(parameter("r_totincome"), "5,000.00");
    const QList<Record> family = print_test::readTable(data_, "T_Family");
    ASSERT_EQ(family.size(), 1);
    EXPECT_EQ(family[0]["matter"], "Doe v. Doe");
    EXPECT_EQ(family[0]["custody"], "Wife");
    const QList<Record> income = print_test::readTable(data_, "T_Income");
    ASSERT_EQ(income.size(), 1);
    EXPECT_EQ(income[0]["salary"], "5000");
}

// The print copies create a missing Family.dbf and Income.dbf with their own tag spelling.
TEST_F(PrintJobTest, PrintCopiesCreateMissingTablesWithTheirTags) {
    print_test::writeGeneral(data_, {{{"matter", "Doe v. Doe"}}});
    ASSERT_TRUE(print(QStringLiteral("Doe v. Doe")).ok);
    for (const auto& [file, tag] : {std::pair{"Family.dbf", "MYKEY"}, {"Income.dbf", "BYMATTER"}}) {
        SCOPED_TRACE(file);
        std::unique_ptr<storage::DbfFile> table;
        ASSERT_TRUE(storage::DbfFile::open(storage::Env::Default(), (data_ + file).toStdString(),
                                           storage::Access::ReadOnly, storage::Share::Shared,
                                           &table)
                        .ok());
        std::unique_ptr<storage::ProductionIndex> index;
        const std::string mdx = storage::ProductionIndex::pathFor(table->env(), table->path());
        ASSERT_TRUE(storage::ProductionIndex::open(table.get(), mdx, &index).ok());
        ASSERT_EQ(index->tags().size(), 1u);
        EXPECT_EQ(index->tags()[0].name, tag);
        EXPECT_EQ(index->tags()[0].expression, "MATTER");
        EXPECT_TRUE(index->tags()[0].unique);
    }
}

TEST_F(PrintJobTest, MissingProjectFileIsReportedAndTheNextPrintWorks) {
    print_test::writeScenario(data_);
    QFile::remove(program_ + QStringLiteral("/Reports/Diredodu.rpf"));
    const printing::PrintOutcome failed = print(QStringLiteral("Smith v. Smith"));
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, QStringLiteral("The following reporting project does not exist:\r\"") +
                                QDir::toNativeSeparators(QDir::cleanPath(program_) +
                                                         QStringLiteral("/Reports/Diredodu.rpf")) +
                                QStringLiteral("\""));
    // Everything the job opened is closed again.
    EXPECT_FALSE(components_.T_PFamily.Active());
    EXPECT_FALSE(components_.T_PExpenses.Active());
    EXPECT_FALSE(components_.T_PIncome.Active());

    writeProject(print_test::dumpProject());
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    EXPECT_EQ(parameter("r_totincome"), "140,045.00");
}

TEST_F(PrintJobTest, AReportThatDoesNotParseIsReported) {
    print_test::writeScenario(data_);
    writeProject(
        QStringLiteral("report DirEdodu\n    band\n        text x=0 y=0 w=1in value={1 +}\n"
                       "    end\nend\n"));
    const printing::PrintOutcome failed = print(QStringLiteral("Smith v. Smith"));
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.contains(QLatin1String("line 3"))) << failed.error.toStdString();
}

TEST_F(PrintJobTest, PrintingTwiceGivesTheSameStatementAndLeavesNoIndexBehind) {
    print_test::writeScenario(data_);
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    const QStringList first = lines_;
    const int judgedFirst = std::exchange(expenseRecordsJudged_, 0);
    ASSERT_TRUE(print(QStringLiteral("Smith v. Smith")).ok);
    EXPECT_EQ(lines_, first);
    EXPECT_EQ(expenseRecordsJudged_, judgedFirst)
        << "the first job's filter must not walk the table when the second opens it";
    // The order is the run's own: the data directory gets no shared "Temp" index.
    EXPECT_TRUE(QDir(data_).entryList({"Temp.*", "temp.*", "TEMP.*"}, QDir::Files).isEmpty());
}

}  // namespace
