#include <filesystem>
#include <functional>

#include "component_fixture.h"
#include "storage/dbf_file.h"

using storage::DataSetState;

namespace {

// The matter filter as the forms install it: the owner holds the current matter.
struct Owner {
    std::string matter;
    std::string etype;
    storage::TDbfTable* table = nullptr;
};

bool matterFilter(void* context) {
    auto* owner = static_cast<Owner*>(context);
    if (owner->table->FieldByName("matter").AsString() != owner->matter) return false;
    return owner->etype.empty() || owner->table->FieldByName("etype").AsString() == owner->etype;
}

}  // namespace

class FilterTest : public ComponentTest {
  protected:
    void SetUp() override {
        ComponentTest::SetUp();
        t = table("Expenses.dbf", {"RAW,F,F,recno()", ""});
        t->Open();
        add(*t, "Smith", "(a) Housing", "Rent");
        add(*t, "Jones", "(a) Housing", "Rent");
        add(*t, "Smith", "(b) Utilities", "Water");
        add(*t, "smith", "(a) Housing", "Mortgage");
        add(*t, "Smith", "(a) Housing", "Taxes");
        owner.table = t.get();
    }
    void TearDown() override {
        t.reset();  // closes the files before their folder goes
        ComponentTest::TearDown();
    }

    std::unique_ptr<storage::TDbfTable> t;
    Owner owner;
};

TEST_F(FilterTest, FilteredCountCountsPassingRecordsAndStaysPut) {
    owner.matter = "Smith";
    owner.etype = "(a) Housing";
    t->Locate("expense", {"Water"}, 0);
    const uint32_t before = t->RecNo();
    t->SetFilterToCB(nullptr, nullptr);
    EXPECT_EQ(t->RecNo(), before);
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->GetFilteredCount(), 2u) << "letter case counts: 'smith' does not pass";
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Taxes")
        << "the current record failed the filter: the last passing record";
    t->First();
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Rent");
    EXPECT_EQ(t->GetFilteredCount(), 2u);
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Rent") << "back on the record it stood on";
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"Smith", "Smith"}));
}

TEST_F(FilterTest, NoPassingRecordLeavesTheTableEmpty) {
    owner.matter = "Nobody";
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->GetFilteredCount(), 0u);
    t->Edit();
    EXPECT_EQ(t->State(), DataSetState::Insert);
}

TEST_F(FilterTest, PendingChangeOnAPassingRecordIsDropped) {
    owner.matter = "Smith";
    owner.etype = "(a) Housing";
    t->SetFilterToCB(matterFilter, &owner);
    t->First();
    t->Edit();
    t->FieldByName("expense").setAsString("Rent changed");
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->State(), DataSetState::Browse);
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Rent");

    t->Append();  // a new line of the same category passes and disappears
    t->FieldByName("matter").setAsString("Smith");
    t->FieldByName("etype").setAsString("(a) Housing");
    t->FieldByName("expense").setAsString("New");
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->GetFilteredCount(), 2u);
}

TEST_F(FilterTest, PendingChangeOnAFailingRecordIsPostedWhenModified) {
    owner.matter = "Smith";
    owner.etype = "(a) Housing";
    t->SetFilterToCB(matterFilter, &owner);
    t->Append();
    t->FieldByName("matter").setAsString("Smith");
    t->FieldByName("etype").setAsString("(a) Housing");
    t->FieldByName("expense").setAsString("Added");

    owner.etype = "(b) Utilities";
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Water");
    owner.etype = "(a) Housing";
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->GetFilteredCount(), 3u) << "the new line was written";

    t->First();
    t->Edit();  // unmodified: cancelled
    owner.etype = "(b) Utilities";
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(t->State(), DataSetState::Browse);
}

TEST_F(FilterTest, IndexOnOneOrdersByTheExpressionAndKeepsThePosition) {
    owner.matter = "Smith";
    t->SetFilterToCB(matterFilter, &owner);
    t->Locate("expense", {"Water"}, 0);
    t->IndexOnOne("etype + expense", "Temp");
    EXPECT_TRUE(exists("Temp.MDX") || exists("Temp.mdx"));
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Water");
    std::vector<std::string> order;
    for (t->First(); !t->Eof(); t->Next()) order.push_back(t->FieldByName("expense").AsString());
    EXPECT_EQ(order, (std::vector<std::string>{"Rent", "Taxes", "Water"}));

    // A second build replaces the file.
    t->IndexOnOne("expense", "Temp");
    order.clear();
    for (t->First(); !t->Eof(); t->Next()) order.push_back(t->FieldByName("expense").AsString());
    EXPECT_EQ(order, (std::vector<std::string>{"Rent", "Taxes", "Water"}));
}

TEST_F(FilterTest, FilterSeesMemoAndEveryFieldOfTheCandidate) {
    t->Last();
    t->Edit();
    t->FieldByName("notes").setAsString("keep me");
    t->Post();
    t->SetFilterToCB(
        [](void* context) {
            auto* owner = static_cast<Owner*>(context);
            return owner->table->FieldByName("notes").AsString() == "keep me";
        },
        &owner);
    EXPECT_EQ(t->GetFilteredCount(), 1u);
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Taxes");
}

TEST_F(FilterTest, ForEachVisibleReadsTheRecordsWithoutMoving) {
    owner.matter = "Smith";
    t->SetFilterToCB(matterFilter, &owner);
    t->First();
    t->Append();
    t->FieldByName("matter").setAsString("Smith");
    std::vector<std::string> seen;
    t->forEachVisible([&](uint32_t) {
        seen.push_back(t->FieldByName("expense").AsString());
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"Rent", "Water", "Taxes"}));
    EXPECT_EQ(t->State(), DataSetState::Insert) << "the pending insert is untouched";
    EXPECT_EQ(t->FieldByName("matter").AsString(), "Smith");
}

namespace {

// A view that reads every visible record whenever the data set tells it of a change.
class RowReader : public storage::DataLink {
  public:
    RowReader(storage::TDbfTable& table, std::function<void()> before = {})
        : table_(table), before_(std::move(before)) {
        table_.addDataLink(this);
    }
    ~RowReader() override { table_.removeDataLink(this); }

    void updateData() override {}
    void fieldChanged(int) override {}
    void dataChanged() override {
        if (before_) before_();
        tailKnown.push_back(table_.VisibleTailKnown());
        rows.clear();
        table_.forEachVisible([&](uint32_t) {
            rows.push_back(table_.FieldByName("expense").AsString());
            return true;
        });
    }

    std::vector<bool> tailKnown;
    std::vector<std::string> rows;

  private:
    storage::TDbfTable& table_;
    std::function<void()> before_;
};

}  // namespace

// A view reading the rows while a new filter is being installed finishes the search's pass over
// the file: each record is judged once, the one found twice.
TEST_F(FilterTest, RowsReadWhileAFilterIsInstalledCostOnePass) {
    add(*t, "Jones", "(b) Utilities", "Gas");
    add(*t, "Jones", "(c) Food", "Groceries");
    int judged = 0;
    owner.matter = "Smith";
    auto counting = [&](void* context) {
        ++judged;
        return matterFilter(context);
    };
    t->Last();
    RowReader reader(*t);

    owner.etype = "(b) Utilities";
    t->SetFilterToCB(counting, &owner);
    EXPECT_EQ(reader.rows, (std::vector<std::string>{"Water"}));
    EXPECT_EQ(reader.tailKnown, (std::vector<bool>{true}));
    EXPECT_EQ(judged, 1 + 5 + 3)
        << "the current record, records 7 to 3 by the search and 1 to 3 by the view";
    EXPECT_FALSE(t->VisibleTailKnown()) << "only while the links are told";

    judged = 0;
    owner.matter = "Nobody";
    t->SetFilterToCB(counting, &owner);
    EXPECT_TRUE(reader.rows.empty());
    EXPECT_EQ(judged, 1 + 7) << "nothing passed: the view reads nothing";

    judged = 0;
    owner.matter = "Smith";
    owner.etype = "(a) Housing";
    t->SetFilterToCB(counting, &owner);
    EXPECT_EQ(reader.rows, (std::vector<std::string>{"Rent", "Taxes"}));
    t->SetFilterToCB(counting, &owner);
    EXPECT_EQ(reader.tailKnown.back(), false) << "the current record passed: nothing searched";
    EXPECT_EQ(reader.rows, (std::vector<std::string>{"Rent", "Taxes"}));
}

// A record another workstation adds between the search and the view's reading is not lost.
TEST_F(FilterTest, RecordAddedBeforeTheViewReadsIsShown) {
    auto other = table("Expenses.dbf", {"RAW,F,F,recno()", ""});
    other->Open();
    t->Last();
    bool added = false;
    RowReader reader(*t, [&] {
        if (added) return;
        added = true;
        add(*other, "Smith", "(b) Utilities", "Electricity");
    });
    owner.matter = "Smith";
    owner.etype = "(b) Utilities";
    t->SetFilterToCB(matterFilter, &owner);
    EXPECT_EQ(reader.rows, (std::vector<std::string>{"Water", "Electricity"}));
}
