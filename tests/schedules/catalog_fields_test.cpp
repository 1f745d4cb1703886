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

#include "schedules/table_catalog.h"
#include "storage/dbf_table.h"

namespace {

// File name → its expected line, from every expectation file.
QMap<QString, QString> expectedLayouts() {
    QMap<QString, QString> layouts;
    for (const char* path : {FAMILY_FIELDS, ASSETS_FIELDS}) {
        QFile file(QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.isEmpty() || line.startsWith('#')) continue;
            layouts[line.section(':', 0, 0).toLower()] = line;
        }
    }
    return layouts;
}

class CatalogTable : public ::testing::TestWithParam<const schedules::TableDef*> {};

TEST_P(CatalogTable, FileReadsBackAsDeclared) {
    const schedules::TableDef& definition = *GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        storage::TDbfTable table(definition.component);
        schedules::applyDefinition(table, definition, dir.path() + QDir::separator());
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

    // Only these tables keep a production index beside them.
    const bool indexed = file == "Family.dbf" || file == "Income.dbf" || file == "Expenses.dbf";
    const QString mdx = QFileInfo(file).completeBaseName() + ".mdx";
    bool found = false;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
        found = found || name.compare(mdx, Qt::CaseInsensitive) == 0;
    }
    EXPECT_EQ(found, indexed) << definition.file;
}

std::string tableName(const ::testing::TestParamInfo<const schedules::TableDef*>& info) {
    return info.param->component;
}

INSTANTIATE_TEST_SUITE_P(AllTables, CatalogTable, ::testing::ValuesIn(schedules::allTables()),
                         tableName);

TEST(Catalog, PrintCopiesAndFilteredTables) {
    // The print job's three tables, and which tables are filtered by matter.
    int filtered = 0;
    for (const schedules::TableDef* table : schedules::allTables())
        filtered += table->matterFiltered;
    EXPECT_EQ(filtered, 33);
    EXPECT_STREQ(schedules::findTable(schedules::FormId::Main, "T_PExpenses")->file,
                 "Expenses.dbf");
    EXPECT_EQ(schedules::findTable("T_PExpenses")->filterCategory, nullptr);
    EXPECT_STREQ(schedules::findTable("T_Expenses")->filterCategory, "(a) Housing");
    EXPECT_TRUE(schedules::findTable("T_Expenses")->hideDeletedRecs);
    EXPECT_FALSE(schedules::findTable("T_Family")->hideDeletedRecs);
    EXPECT_FALSE(schedules::findTable("T_PIncome")->matterFiltered);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
