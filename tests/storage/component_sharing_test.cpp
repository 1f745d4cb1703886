// Two table components on one file, as two workstations editing the same record: a post writes
// only the fields its component changed, asks about fields both changed, never brings a deleted
// record back, and a new record whose key the other created meanwhile becomes an edit of that one.
#include "component_fixture.h"
#include "storage/record.h"

using storage::DataSetState;
using storage::TDbfFileDataSet;
using storage::TDbfTable;

namespace {

const std::vector<std::string> kUniqueMatter = {"MYKEY,F,T,matter", ""};

class SharingTest : public ComponentTest {
  protected:
    // Windows does not remove files that are still open: the components go before the directory.
    void TearDown() override {
        a.reset();
        b.reset();
        ComponentTest::TearDown();
    }

    // Two workstations' components on Family.dbf, holding one record of `matter`, each
    // standing on it in editing (the memo read, as a form shows it).
    void openBoth(const std::string& matter = "Smith v. Smith") {
        a = table("Family.dbf", kUniqueMatter);
        b = table("Family.dbf", kUniqueMatter);
        a->Open();
        a->Append();
        a->FieldByName("matter").setAsString(matter);
        a->FieldByName("etype").setAsString("Housing");
        a->FieldByName("expense").setAsString("Rent");
        a->FieldByName("notes").setAsString("first line\r\nsecond line");
        a->Post();
        b->Open();
        for (TDbfTable* t : {a.get(), b.get()}) {
            ASSERT_TRUE(t->Locate("matter", {matter}, 0u));
            t->FieldByName("notes").AsString();
            t->Edit();
        }
    }

    // The records as the file holds them, deleted ones included, read by the file layer.
    std::vector<std::vector<std::string>> stored() {
        std::unique_ptr<storage::DbfFile> file;
        EXPECT_TRUE(storage::DbfFile::open(storage::Env::Default(), path("Family.dbf"),
                                           storage::Access::ReadOnly, storage::Share::Shared, &file)
                        .ok());
        std::vector<std::vector<std::string>> records;
        std::vector<uint8_t> record(file->recordLength());
        for (uint32_t n = 1; n <= file->recordCount(); ++n) {
            EXPECT_TRUE(file->readRecord(n, record.data()).ok());
            std::vector<std::string> values = {storage::isDeleted(record.data()) ? "*" : " "};
            for (int f = 0; f < 4; ++f) {
                const std::string text = storage::getText(file->fields()[f], record.data());
                values.push_back(text.substr(std::min(text.find_first_not_of(' '), text.size())));
            }
            std::string memo;
            EXPECT_TRUE(file->readMemo(record.data(), 4, &memo).ok());
            values.push_back(memo);
            records.push_back(values);
        }
        return records;
    }

    static std::string field(TDbfTable& t, const char* name) {
        return t.FieldByName(name).AsString();
    }

    // B's questions about fields changed on both sides, each answered with `answer`.
    void answerB(bool answer) {
        b->OnPostConflict = [this, answer](TDbfFileDataSet&, const std::vector<int>& fields) {
            asked.push_back(fields);
            return answer;
        };
    }

    std::vector<std::vector<int>> asked;

    std::unique_ptr<TDbfTable> a;
    std::unique_ptr<TDbfTable> b;
};

TEST_F(SharingTest, EachPostWritesOnlyTheFieldsItsComponentChanged) {
    openBoth();
    a->FieldByName("etype").setAsString("Utilities");
    a->Post();
    b->FieldByName("expense").setAsString("Mortgage");
    b->FieldByName("amt").setAsFloat(1250.5);
    b->Post();
    EXPECT_EQ(stored(), (std::vector<std::vector<std::string>>{{" ", "Smith v. Smith", "Utilities",
                                                                "Mortgage", "1250.50",
                                                                "first line\r\nsecond line"}}));
    // B shows the record as stored, A's change included.
    EXPECT_EQ(b->State(), DataSetState::Browse);
    EXPECT_EQ(field(*b, "etype"), "Utilities");
    EXPECT_EQ(field(*b, "amt"), "1250.5");
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharingTest, AFieldBothChangedIsAskedAboutAndYesReplacesTheirs) {
    openBoth();
    a->FieldByName("expense").setAsString("Mortgage");
    a->Post();
    answerB(true);
    b->FieldByName("expense").setAsString("Lease");
    b->FieldByName("etype").setAsString("Utilities");
    b->Post();
    EXPECT_EQ(asked, (std::vector<std::vector<int>>{{2}})) << "only expense, by its index";
    EXPECT_EQ(stored()[0][2], "Utilities");
    EXPECT_EQ(stored()[0][3], "Lease");
}

TEST_F(SharingTest, NoKeepsTheirValuesAndStillWritesTheRest) {
    openBoth();
    a->FieldByName("expense").setAsString("Mortgage");
    a->FieldByName("notes").setAsString("A's notes");
    a->Post();
    answerB(false);
    b->FieldByName("expense").setAsString("Lease");
    b->FieldByName("notes").setAsString("B's notes");
    b->FieldByName("etype").setAsString("Utilities");
    b->Post();
    EXPECT_EQ(asked, (std::vector<std::vector<int>>{{2, 4}})) << "the memo counts as a field";
    EXPECT_EQ(stored(), (std::vector<std::vector<std::string>>{
                            {" ", "Smith v. Smith", "Utilities", "Mortgage", "", "A's notes"}}));
    EXPECT_EQ(field(*b, "expense"), "Mortgage") << "B shows what is stored";
    EXPECT_EQ(field(*b, "notes"), "A's notes");
}

TEST_F(SharingTest, TheSameNewValueOnBothSidesAsksNothing) {
    openBoth();
    a->FieldByName("expense").setAsString("Mortgage");
    a->Post();
    answerB(true);
    b->FieldByName("expense").setAsString("Mortgage");
    b->Post();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(stored()[0][3], "Mortgage");
}

TEST_F(SharingTest, AMemoRewrittenInPlaceIsComparedByItsText) {
    openBoth();
    // A shorter text stays in the memo's block: the record's bytes do not change at all.
    a->FieldByName("notes").setAsString("short");
    a->Post();
    answerB(true);
    b->FieldByName("notes").setAsString("B's longer notes, which need a block of their own?");
    b->Post();
    EXPECT_EQ(asked, (std::vector<std::vector<int>>{{4}}));
    EXPECT_EQ(stored()[0][5], "B's longer notes, which need a block of their own?");

    // A memo that B changed and A did not: A's other change leaves it alone.
    a->Edit();
    a->FieldByName("expense").setAsString("Lease");
    a->Post();
    EXPECT_EQ(stored()[0][3], "Lease");
    EXPECT_EQ(stored()[0][5], "B's longer notes, which need a block of their own?");
    EXPECT_EQ(field(*a, "notes"), "B's longer notes, which need a block of their own?");
}

TEST_F(SharingTest, AMemoNeverReadBeforeItWasSetIsWrittenWithoutAQuestion) {
    openBoth();
    a->FieldByName("notes").setAsString("A's notes");
    a->Post();
    b->Cancel();
    b->Locate("matter", {"Smith v. Smith"}, 0u);  // a fresh read; the memo is not looked at
    b->Edit();
    answerB(false);
    b->FieldByName("notes").setAsString("B's notes");
    b->Post();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(stored()[0][5], "B's notes");
}

TEST_F(SharingTest, WhenNoEventIsSetTheDataLinksAnswer) {
    struct Answering : storage::DataLink {
        explicit Answering(std::optional<bool> answer) : answer(answer) {}
        std::optional<bool> answer;
        std::vector<std::vector<int>> asked;
        void updateData() override {}
        void dataChanged() override {}
        void fieldChanged(int) override {}
        std::optional<bool> replaceOtherValues(const std::vector<int>& fields) override {
            asked.push_back(fields);
            return answer;
        }
    } silent(std::nullopt), answering(false);
    openBoth();
    b->addDataLink(&silent);
    b->addDataLink(&answering);
    a->FieldByName("etype").setAsString("Utilities");
    a->Post();
    b->FieldByName("etype").setAsString("Food");
    b->Post();
    EXPECT_EQ(silent.asked, (std::vector<std::vector<int>>{{1}}));
    EXPECT_EQ(answering.asked, (std::vector<std::vector<int>>{{1}}));
    EXPECT_EQ(stored()[0][2], "Utilities");
    b->removeDataLink(&silent);
    b->removeDataLink(&answering);

    // Nobody to ask: this component's values are written, as a single write always did.
    b->Edit();
    a->Edit();
    a->FieldByName("etype").setAsString("Travel");
    a->Post();
    b->FieldByName("etype").setAsString("Clothing");
    b->Post();
    EXPECT_EQ(stored()[0][2], "Clothing");
}

TEST_F(SharingTest, NoLockIsHeldDuringTheQuestionAndAChangeMeanwhileAsksAgain) {
    openBoth();
    a->FieldByName("expense").setAsString("Mortgage");
    a->Post();
    int questions = 0;
    b->OnPostConflict = [&](TDbfFileDataSet&, const std::vector<int>&) {
        if (++questions == 1) {
            // While the user thinks, A writes the field once more: the record is not locked.
            a->Edit();
            a->FieldByName("expense").setAsString("Mortgage, second mortgage");
            a->Post();
            EXPECT_TRUE(messages.empty()) << "A's lock was not refused";
        }
        return false;
    };
    b->FieldByName("expense").setAsString("Lease");
    b->Post();
    EXPECT_EQ(questions, 2) << "the answer was about a value no longer stored";
    EXPECT_EQ(stored()[0][3], "Mortgage, second mortgage");
}

TEST_F(SharingTest, ARecordDeletedMeanwhileStaysDeletedAndNothingIsWritten) {
    openBoth();
    a->Cancel();
    a->Delete();
    b->FieldByName("expense").setAsString("Mortgage");
    b->Post();
    EXPECT_EQ(stored(),
              (std::vector<std::vector<std::string>>{
                  {"*", "Smith v. Smith", "Housing", "Rent", "", "first line\r\nsecond line"}}));
    EXPECT_EQ(messages, (std::vector<std::string>{TDbfFileDataSet::kDeletedElsewhereMessage}));
    EXPECT_EQ(b->State(), DataSetState::Browse);
    EXPECT_EQ(field(*b, "expense"), "Rent") << "the change is dropped";
    EXPECT_TRUE(walk(*b).empty());

    // A post with nothing changed is told as well (the General record's commit), through the
    // event when one is set.
    auto c = table("Family.dbf", kUniqueMatter);
    c->Open();
    c->Append();
    c->FieldByName("matter").setAsString("Jones v. Jones");
    c->Post();
    b->First();
    b->Edit();
    c->Delete();
    int told = 0;
    b->OnDeletedElsewhere = [&](TDbfFileDataSet& t) {
        ++told;
        EXPECT_EQ(t.State(), DataSetState::Browse) << "told once it is browsing again";
    };
    b->Post();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(stored()[1][0], "*");
}

TEST_F(SharingTest, ANewRecordOfAKeyCreatedMeanwhileBecomesAnEditOfThatRecord) {
    a = table("Family.dbf", kUniqueMatter);
    b = table("Family.dbf", kUniqueMatter);
    a->Open();
    b->Open();
    for (TDbfTable* t : {a.get(), b.get()}) {
        EXPECT_FALSE(t->Locate("matter", {"Smith v. Smith"}, 0u));
        t->Insert();
        t->FieldByName("matter").setAsString("Smith v. Smith");
    }
    a->FieldByName("etype").setAsString("Housing");
    a->FieldByName("expense").setAsString("Rent");
    a->Post();
    answerB(false);
    b->FieldByName("expense").setAsString("Lease");
    b->FieldByName("amt").setAsFloat(99.5);
    b->FieldByName("notes").setAsString("B's notes");
    b->Post();
    EXPECT_EQ(asked, (std::vector<std::vector<int>>{{2}}));
    EXPECT_EQ(stored(), (std::vector<std::vector<std::string>>{
                            {" ", "Smith v. Smith", "Housing", "Rent", "99.50", "B's notes"}}));
    EXPECT_EQ(b->RecNo(), 1u);
    EXPECT_EQ(field(*b, "etype"), "Housing");
    EXPECT_EQ(walk(*b), (std::vector<std::string>{"Smith v. Smith"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharingTest, ANewRecordGivenUpForTheOtherWritesNothing) {
    a = table("Family.dbf", kUniqueMatter);
    b = table("Family.dbf", kUniqueMatter);
    a->Open();
    b->Open();
    add(*b, "Abel v. Abel");
    b->Insert();
    b->FieldByName("matter").setAsString("Smith v. Smith");
    b->FieldByName("expense").setAsString("Lease");
    add(*a, "Smith v. Smith", "Housing");
    int taken = 0;
    b->OnKeyTakenElsewhere = [&](TDbfFileDataSet&) {
        ++taken;
        return false;
    };
    b->Post();
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(b->State(), DataSetState::Browse);
    EXPECT_EQ(b->RecNo(), 2u) << "on the record the other created";
    EXPECT_EQ(field(*b, "etype"), "Housing");
    EXPECT_EQ(stored().size(), 2u);
    EXPECT_EQ(stored()[1][3], "") << "nothing of B's record was written";

    // A deleted record of the key gives way: the new record is added.
    a->Locate("matter", {"Smith v. Smith"}, 0u);
    a->Delete();
    add(*b, "Smith v. Smith", "Utilities");
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_EQ(walk(*b), (std::vector<std::string>{"Abel v. Abel", "Smith v. Smith"}));
    EXPECT_EQ(field(*b, "etype"), "Utilities");
}

}  // namespace
