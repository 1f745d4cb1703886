// Every table of the catalog, created through the table component in a directory of its own and
// read back by dbfread: its record layout must be the one written out in the expectation files,
// so that a typo in the catalog (a name, a width, a lost field) fails here.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "storage/dbf_table.h"

namespace {

// File name → its expected line, from every expectation file.
QMap<QString, QString> expectedLayouts() {
    QMap<QString, QString> layouts;
    for (const char* path :
         {GENERAL_FIELDS, FAMILY_FIELDS, ASSETS_FIELDS, MARKS_FIELDS, GUIDELINES_FIELDS}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.isEmpty() || line.startsWith('#')) continue;
            layouts[line.section(':', 0, 0).toLower()] = line;
        }
    }
    return layouts;
}

class CatalogTable : public ::testing::TestWithParam<const catalog::TableDef*> {};

TEST_P(CatalogTable, FileReadsBackAsDeclared) {
    const catalog::TableDef& definition = *GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        storage::TDbfTable table(definition.component);
        catalog::applyDefinition(table, definition, (dir.path() + QDir::separator()).toStdString());
        table.Open();
        table.Close();
    }
    QProcess reader;
    reader.start(QStringLiteral(NETWORTH_PYTHON), {QStringLiteral(FIELD_LIST_SCRIPT), dir.path()});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QString actual = QString::fromUtf8(reader.readAllStandardOutput()).trimmed();

    const QString file = QString::fromLatin1(definition.file);
    const QString expected = expectedLayouts().value(file.toLower());
    ASSERT_FALSE(expected.isEmpty()) << "no expected layout for " << definition.file;
    EXPECT_EQ(actual.toStdString(), expected.toStdString());

    // Only these tables keep a production index beside them: those the catalog gives tags, and
    // those the matter filter reaches through a matter tag.
    const bool indexed = file == "General.dbf" || file == "Family.dbf" || file == "Income.dbf" ||
                         file == "Expenses.dbf" || file == "Marks.dbf" ||
                         file == "Guidelines.dbf" || definition.matterFiltered;
    const QString mdx = QFileInfo(file).completeBaseName() + ".mdx";
    bool found = false;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
        found = found || name.compare(mdx, Qt::CaseInsensitive) == 0;
    }
    EXPECT_EQ(found, indexed) << definition.file;
    // ... and have the header's production index flag (byte 28) set from the start, whichever
    // component created them: the matter selection's list opens General.dbf for reading only.
    QFile table(dir.filePath(file));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.read(29).at(28), indexed ? 1 : 0) << definition.component;
}

std::string tableName(const ::testing::TestParamInfo<const catalog::TableDef*>& info) {
    return info.param->component;
}

INSTANTIATE_TEST_SUITE_P(AllTables, CatalogTable, ::testing::ValuesIn(catalog::allTables()),
                         tableName);

TEST(Catalog, PrintCopiesAndFilteredTables) {
    // The print job's three tables, and which tables are filtered by matter.
    int filtered = 0;
    for (const catalog::TableDef* table : catalog::allTables()) filtered += table->matterFiltered;
    EXPECT_EQ(filtered, 33);
    EXPECT_STREQ(catalog::findTable(catalog::printTables(), "T_PExpenses")->file, "Expenses.dbf");
    EXPECT_EQ(catalog::findTable("T_PExpenses")->filterCategory, nullptr);
    EXPECT_STREQ(catalog::findTable("T_Expenses")->filterCategory, "(a) Housing");
    EXPECT_TRUE(catalog::findTable("T_Expenses")->hideDeletedRecs);
    EXPECT_FALSE(catalog::findTable("T_Family")->hideDeletedRecs);
    EXPECT_FALSE(catalog::findTable("T_PIncome")->matterFiltered);
}

// Every component's index tags as the program declares them; a table not listed has none.
TEST(Catalog, IndexTagsOfEveryComponent) {
    const std::map<std::string, std::vector<std::string>> tagged = {
        {"DbfTable1", {"MYKEY,F,T,matter", ""}},    {"T_Matter", {"MYKEY,F,T,MATTER", ""}},
        {"T_Family", {"MYKEY,F,T,matter", ""}},     {"T_PFamily", {"MYKEY,F,T,MATTER", ""}},
        {"T_Income", {"BYMATTER,F,T,matter", ""}},  {"T_PIncome", {"BYMATTER,F,T,MATTER", ""}},
        {"T_Expenses", {"RAW,F,F,recno()", ""}},    {"T_PExpenses", {"RAW,F,F,recno()", ""}},
        {"T_Guidelines", {"MYKEY,F,T,matter", ""}}, {"T_GGeneral", {"MYKEY,F,T,matter", ""}},
        {"T_GIncome", {"BYMATTER,F,T,matter", ""}}, {"T_GFamily", {"MYKEY,F,T,matter", ""}},
        {"T_Marks", {"MYKEY,F,T,matter", ""}},
    };
    for (const catalog::TableDef* table : catalog::allTables()) {
        const auto found = tagged.find(table->component);
        const std::vector<std::string> lines(table->indexList.begin(), table->indexList.end());
        EXPECT_EQ(lines, found == tagged.end() ? std::vector<std::string>() : found->second)
            << table->component;
    }
}

// General.dbf as each of its readers declares it: the form's table writes, the matter
// selection's list only reads, and both hide deleted records.
TEST(Catalog, GeneralTableAndMatterList) {
    const catalog::TableDef& general = catalog::generalTable();
    EXPECT_STREQ(general.component, "DbfTable1");
    EXPECT_STREQ(general.owner, "F_General");
    EXPECT_EQ(catalog::dbfFieldLines(general).front(), "matter,C,50,0");
    EXPECT_EQ(std::vector<std::string>(general.indexList.begin(), general.indexList.end()),
              (std::vector<std::string>{"MYKEY,F,T,matter", ""}));
    EXPECT_TRUE(general.hideDeletedRecs);
    EXPECT_FALSE(general.readOnly);

    const catalog::TableDef* list = catalog::findTable("T_Matter");
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->file, "General.dbf");
    EXPECT_EQ(catalog::dbfFieldLines(*list), catalog::dbfFieldLines(general));
    EXPECT_EQ(std::vector<std::string>(list->indexList.begin(), list->indexList.end()),
              (std::vector<std::string>{"MYKEY,F,T,MATTER", ""}));
    EXPECT_TRUE(list->hideDeletedRecs);
    EXPECT_TRUE(list->readOnly);
}

// The Guidelines form's own table is a new file, one record per matter found by its tag; its
// views of the original tables read them only, declared exactly as their owners declare them.
TEST(Catalog, GuidelinesTableAndItsViews) {
    const catalog::TableSet set = catalog::guidelinesTables();
    ASSERT_EQ(set.size(), 4u);
    const catalog::TableDef& own = set[0];
    EXPECT_STREQ(own.component, "T_Guidelines");
    EXPECT_STREQ(own.file, "Guidelines.dbf");
    EXPECT_FALSE(own.readOnly);
    EXPECT_FALSE(own.matterFiltered);
    EXPECT_EQ(std::vector<std::string>(own.indexList.begin(), own.indexList.end()),
              (std::vector<std::string>{"MYKEY,F,T,matter", ""}));
    const std::pair<const char*, const char*> views[] = {
        {"T_GGeneral", "DbfTable1"}, {"T_GIncome", "T_Income"}, {"T_GFamily", "T_Family"}};
    for (const auto& [component, original] : views) {
        const catalog::TableDef* view = catalog::findTable(set, component);
        const catalog::TableDef* of = catalog::findTable(original);
        ASSERT_NE(view, nullptr) << component;
        EXPECT_STREQ(view->owner, "F_Guidelines");
        EXPECT_TRUE(view->readOnly) << component;
        EXPECT_STREQ(view->file, of->file);
        EXPECT_EQ(catalog::dbfFieldLines(*view), catalog::dbfFieldLines(*of));
        EXPECT_EQ(std::vector<std::string>(view->indexList.begin(), view->indexList.end()),
                  std::vector<std::string>(of->indexList.begin(), of->indexList.end()));
        EXPECT_EQ(view->hideDeletedRecs, of->hideDeletedRecs);
    }
}

// Components that share a file declare one record format under one spelling of its name, and
// no two files differ in letter case alone: a table added under another table's name in another
// case would open that table's file on Windows and on the data directory's case-blind lookup.
TEST(Catalog, OneFileOneRecordFormat) {
    std::map<std::string, const catalog::TableDef*> byFile;
    for (const catalog::TableDef* table : catalog::allTables()) {
        std::string key = table->file;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        auto [first, added] = byFile.emplace(key, table);
        if (added) continue;
        EXPECT_STREQ(table->file, first->second->file) << table->component;
        EXPECT_EQ(catalog::dbfFieldLines(*table), catalog::dbfFieldLines(*first->second))
            << table->component << " and " << first->second->component;
    }
    // General.dbf, the 34 schedule tables, Marks.dbf and Guidelines.dbf.
    EXPECT_EQ(byFile.size(), 37u);
}

// Each component name is found, and found once: the forms and the print job look tables up
// by it.
TEST(Catalog, ComponentNamesAreUnique) {
    std::set<std::string> names;
    for (const catalog::TableDef* table : catalog::allTables()) {
        EXPECT_TRUE(names.insert(table->component).second) << table->component;
        EXPECT_EQ(catalog::findTable(table->component), table);
    }
    EXPECT_EQ(names.size(), 44u);
    EXPECT_EQ(catalog::findTable("t_Cash"), nullptr);  // letter case counts
}

// The program's own table: a name that no file of the original data directory has, in any
// letter case (other workstations and tools keep their files as they are), located through its
// unique `matter` tag like Family.dbf.
TEST(Catalog, MarksTableIsATableOfItsOwn) {
    const std::set<std::string> original = {"general.dbf",
                                            "family.dbf",
                                            "expenses.dbf",
                                            "income.dbf",
                                            "a_cashacc_cash.dbf",
                                            "a_cashacc_checking.dbf",
                                            "a_cashacc_savings.dbf",
                                            "a_cashacc_security.dbf",
                                            "a_cashacc_other.dbf",
                                            "b_securities_bonds.dbf",
                                            "b_securities_stocks.dbf",
                                            "b_securities_broker.dbf",
                                            "c_loans.dbf",
                                            "d_business.dbf",
                                            "e_lifeins.dbf",
                                            "f_vehicals.dbf",
                                            "f_realestate.dbf",
                                            "f_vested.dbf",
                                            "f_contingent.dbf",
                                            "f_household.dbf",
                                            "f_jewelry.dbf",
                                            "f_other2.dbf",
                                            "retirement.dbf",
                                            "l_ap.dbf",
                                            "l_notes.dbf",
                                            "l_installap.dbf",
                                            "l_broker.dbf",
                                            "l_mortpay.dbf",
                                            "l_taxespay.dbf",
                                            "l_loanslife.dbf",
                                            "l_otherliab.dbf",
                                            "creditcard.dbf",
                                            "homeequity.dbf",
                                            "axfered.dbf",
                                            "support.dbf",
                                            "temp.mdx"};
    const catalog::TableDef& marks = catalog::marksTable();
    std::string file = marks.file;
    for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(original.count(file), 0u) << marks.file;
    std::string index = file.substr(0, file.size() - 4) + ".mdx";
    EXPECT_EQ(original.count(index), 0u);
    EXPECT_EQ(catalog::findTable("T_Marks"), &marks);
    EXPECT_FALSE(marks.matterFiltered);
    EXPECT_TRUE(marks.hideDeletedRecs);
    EXPECT_EQ(std::vector<std::string>(marks.indexList.begin(), marks.indexList.end()),
              (std::vector<std::string>{"MYKEY,F,T,matter", ""}));
}

// Every item names a table of the catalog and fields it has; keys are field names of their own.
TEST(StatementItems, EachItemNamesItsAnswersAndAFieldOfItsOwn) {
    std::set<std::string> keys;
    int sections[9] = {};
    for (const catalog::StatementItem& item : catalog::statementItems()) {
        const std::string key = item.key;
        EXPECT_LE(key.size(), 10u) << key;
        EXPECT_TRUE(keys.insert(key).second) << key;
        EXPECT_NE(key, "matter");
        EXPECT_NE(key, "oath");
        ++sections[int(item.section)];
        const catalog::TableDef* table = catalog::findTable(item.component);
        ASSERT_NE(table, nullptr) << key;
        EXPECT_EQ(item.fields != nullptr, item.answer != catalog::AnswerKind::Records) << key;
        if (!item.fields) continue;
        std::string fields = item.fields;
        for (size_t start = 0; start <= fields.size();) {
            const size_t end = std::min(fields.find(',', start), fields.size());
            const std::string field = fields.substr(start, end - start);
            bool found = false;
            for (const catalog::FieldDef& def : table->fields) found = found || field == def.name;
            EXPECT_TRUE(found) << key << ": " << field << " of " << item.component;
            start = end + 1;
        }
    }
    EXPECT_EQ(keys.size(), 76u);
    // General has no marks; then family, expenses, income, assets, liabilities and one each.
    const int expected[9] = {0, 12, 14, 18, 19, 10, 1, 1, 1};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(sections[i], expected[i]) << "section " << i;
    EXPECT_STREQ(catalog::findStatementItem("a_d")->label, "(d) Security deposits");
    EXPECT_EQ(catalog::findStatementItem("A_D"), nullptr);
    EXPECT_STREQ(catalog::sectionTitle(catalog::StatementSection::Assets), "IV. ASSETS");
    EXPECT_STREQ(catalog::sectionTitle(catalog::StatementSection::Fees),
                 "VII. LEGAL & EXPERT FEES");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
