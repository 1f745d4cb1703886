#include "report/table_data_set.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "storage/dbf_table.h"

namespace {

class TableDataSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        table.DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2", "when,D,8,0",
                                                   "paid,L,1,0", "notes,M,10,0"};
        table.HideDeletedRecs = true;
        table.setDbfFileName(QDir(dir.path()).filePath("Cash.dbf").toStdString());
        table.Open();
        add("Smith", 1234.5, "line one\r\nline two");
        add("Jones", 0, "");
        add("Smith", 7, "");
    }

    void add(const char* matter, double amount, const char* notes) {
        table.Append();
        table.FieldByName("matter").setAsString(matter);
        if (amount != 0) table.FieldByName("amt").setAsFloat(amount);
        table.FieldByName("when").setAsString("20040307");
        table.FieldByName("paid").setAsBoolean(true);
        table.FieldByName("notes").setAsString(notes);
        table.Post();
    }

    QTemporaryDir dir;
    storage::TDbfTable table{"t_cash"};
};

// Both ways of reading a table: live (TableDataSet) and read once (TableSnapshot), made after
// the table was filtered and positioned.
template <typename Rows>
class TableRowsTest : public TableDataSetTest {};
using RowKinds = ::testing::Types<report::TableDataSet, report::TableSnapshot>;
TYPED_TEST_SUITE(TableRowsTest, RowKinds);

TYPED_TEST(TableRowsTest, WalksTheVisibleRecordsAndReadsEachKindOfField) {
    storage::TDbfTable& table = this->table;
    table.SetFilterToCB([&](void*) { return table.FieldByName("matter").AsString() == "Smith"; },
                        nullptr);
    TypeParam rows(table);
    EXPECT_EQ(rows.fieldKind("AMT"), report::FieldKind::Number);
    EXPECT_EQ(rows.fieldKind("notes"), report::FieldKind::Memo);
    EXPECT_EQ(rows.fieldKind("when"), report::FieldKind::Date);
    EXPECT_EQ(rows.fieldKind("nothing"), std::nullopt);

    std::vector<double> amounts;
    for (rows.first(); !rows.atEnd(); rows.next()) amounts.push_back(*rows.number("amt"));
    EXPECT_EQ(amounts, (std::vector<double>{1234.5, 7}));
    EXPECT_EQ(rows.text("matter"), "") << "past the end every field reads blank";

    rows.first();
    EXPECT_EQ(rows.text("notes"), "line one\nline two");
    EXPECT_EQ(rows.date("when"), QDate(2004, 3, 7));
    EXPECT_TRUE(rows.boolean("paid"));
}

TYPED_TEST(TableRowsTest, ASingleRecordConnectionReadsWhereItsOwnerPutItUntilWalked) {
    ASSERT_TRUE(this->table.Locate("matter", {"Jones"}, 0));
    TypeParam rows(this->table);
    EXPECT_FALSE(rows.atEnd());
    EXPECT_EQ(rows.text("matter"), "Jones");
    EXPECT_EQ(rows.number("amt"), std::nullopt) << "a blank amount is no number";
    rows.first();
    EXPECT_EQ(rows.text("matter"), "Smith");
}

TEST_F(TableDataSetTest, ALiveConnectionFollowsItsTable) {
    report::TableDataSet rows(table);
    table.SetFilterToCB([](void*) { return false; }, nullptr);
    rows.first();
    EXPECT_TRUE(rows.atEnd());
}

// Every pass of a report over a snapshot reads the same rows, whatever happens to the table.
TEST_F(TableDataSetTest, ASnapshotKeepsTheRowsItRead) {
    table.SetFilterToCB([this](void*) { return table.FieldByName("matter").AsString() == "Smith"; },
                        nullptr);
    report::TableSnapshot rows(table);
    add("Smith", 99, "");
    table.First();
    table.Edit();
    table.FieldByName("amt").setAsFloat(1);
    table.Post();
    table.Close();
    std::vector<double> amounts;
    for (rows.first(); !rows.atEnd(); rows.next()) amounts.push_back(*rows.number("amt"));
    EXPECT_EQ(amounts, (std::vector<double>{1234.5, 7}));
    EXPECT_EQ(rows.fieldKind("paid"), report::FieldKind::Boolean);

    storage::TDbfTable closed{"t_closed"};
    report::TableSnapshot none(closed);
    EXPECT_TRUE(none.atEnd());
    EXPECT_EQ(none.fieldKind("matter"), std::nullopt);
}

}  // namespace
