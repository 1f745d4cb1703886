#include <filesystem>

#include "component_fixture.h"
#include "storage/indexed_table.h"

using storage::DataSetState;
using storage::EDbfError;
using storage::TDbfTable;

TEST_F(ComponentTest, OpeningCreatesTheMissingTableAndItsIndexOnce) {
    std::vector<std::string> progress;
    auto previous = storage::setIndexProgressHandler(
        [&](const std::string& text) { progress.push_back(text); });
    {
        auto t = table("General.dbf", {"MYKEY,F,T,matter", ""});
        t->Open();
        EXPECT_TRUE(t->Active());
        EXPECT_TRUE(t->IsEmpty());
        EXPECT_TRUE(t->Eof() && t->Bof());
    }
    EXPECT_TRUE(exists("General.dbf"));
    EXPECT_TRUE(exists("General.dbt"));
    EXPECT_TRUE(exists("General.mdx") || exists("General.MDX"));
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].rfind("Indexing ", 0), 0u);
    EXPECT_NE(progress[0].find("General"), std::string::npos);
    EXPECT_EQ(progress[0].substr(progress[0].size() - 3), "...");
    EXPECT_EQ(progress[1], "") << "the window closes when the build is over";

    auto t = table("General.dbf", {"MYKEY,F,T,matter", ""});
    t->Open();
    EXPECT_EQ(progress.size(), 2u) << "a second open builds nothing";
    storage::setIndexProgressHandler(previous);
}

TEST_F(ComponentTest, DeletedIndexIsRebuiltSilently) {
    {
        auto t = table("Family.dbf", {"MYKEY,F,T,matter", ""});
        t->Open();
        add(*t, "Zed");
        add(*t, "Abel");
    }
    for (const auto& entry : std::filesystem::directory_iterator(path(""))) {
        if (entry.path().extension() == ".mdx" || entry.path().extension() == ".MDX") {
            std::filesystem::remove(entry.path());
        }
    }
    auto t = table("Family.dbf", {"MYKEY,F,T,matter", ""});
    t->Open();
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"Abel", "Zed"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ComponentTest, FileNameIsTrimmedAndGetsItsExtension) {
    auto t = table("x");
    t->setDbfFileName("  " + path("Family") + "  ");
    EXPECT_EQ(t->DbfFileName(), path("Family") + ".DBF");
    t->setDbfFileName(path("Family."));
    EXPECT_EQ(t->DbfFileName(), path("Family."));
    t->setDbfFileName(path("Family.dbf"));
    EXPECT_EQ(t->DbfFileName(), path("Family.dbf"));

    t->Open();
    add(*t, "One");
    // Setting the name of an open table reopens it under the new name.
    t->setDbfFileName(path("Other"));
    EXPECT_TRUE(t->Active());
    EXPECT_TRUE(exists("Other.DBF"));
    EXPECT_TRUE(t->IsEmpty());
}

TEST_F(ComponentTest, FieldListProblemsStopCreation) {
    auto t = table("Bad.dbf");
    t->DbfFields.reset();
    EXPECT_THROW(
        {
            try {
                t->Open();
            } catch (const EDbfError& e) {
                EXPECT_STREQ(e.what(), "DbfFieldList is Nil trying to create a database");
                throw;
            }
        },
        EDbfError);
    t->DbfFields = std::vector<std::string>{};
    try {
        t->Open();
        FAIL();
    } catch (const EDbfError& e) {
        EXPECT_STREQ(e.what(), "FieldList.Count is <= 0 trying to create a database");
    }
    t->DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12"};
    try {
        t->Open();
        FAIL();
    } catch (const EDbfError& e) {
        EXPECT_EQ(std::string(e.what()), "Could not create \"" + path("Bad.dbf") + "\"");
    }
    EXPECT_FALSE(exists("Bad.dbf"));
    EXPECT_FALSE(t->Active());
}

TEST_F(ComponentTest, CorrectedFieldDefinitionsAreReported) {
    auto t = table("Fix.dbf");
    t->DbfFields =
        std::vector<std::string>{"a,N,25,2", "b,X,10,0", "c,N,5,4", "d,C,255,0", "e , n , 8 , 19 "};
    t->Open();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0],
              "Invalid field definition for T_Test: a,N,25,2. Will use corrected definition: "
              "a,N,20,2");
    EXPECT_EQ(messages[1],
              "Invalid field definition for T_Test: b,X,10,0. Will use corrected definition: "
              "b,C,10,0");
    EXPECT_EQ(messages[2],
              "Invalid field definition for T_Test: c,N,5,4. Will use corrected definition: "
              "c,N,5,3");
    EXPECT_EQ(messages[3],
              "Invalid field definition for T_Test: d,C,255,0. Will use corrected definition: "
              "d,C,254,0");
    EXPECT_EQ(messages[4],
              "Invalid field definition for T_Test: e,N,8,19. Will use corrected definition: "
              "e,N,8,6");
    EXPECT_EQ(t->FieldByName("A").Size(), 20);
    EXPECT_EQ(t->FieldByName("d").Size(), 254);
}

TEST_F(ComponentTest, NavigationSkipsDeletedRecordsOnlyWhenHidden) {
    auto t = table("Nav.dbf", {}, /*hideDeleted=*/true);
    t->Open();
    for (const char* name : {"a", "b", "c", "d"}) add(*t, name);
    ASSERT_TRUE(t->Locate("matter", {"b"}, 0));
    t->Delete();
    EXPECT_EQ(t->FieldByName("matter").AsString(), "c") << "the next visible record";
    t->Last();
    t->Delete();
    EXPECT_EQ(t->FieldByName("matter").AsString(), "c") << "the preceding one when none follows";
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(t->RecordCount(), 2u);

    t->Last();
    EXPECT_TRUE(t->Eof());
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->FieldByName("matter").AsString(), "c") << "Next at the end stays";
    t->First();
    t->Prior();
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->FieldByName("matter").AsString(), "a");

    auto all = table("Nav.dbf", {}, /*hideDeleted=*/false);
    all->Open();
    EXPECT_EQ(walk(*all), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(ComponentTest, LocateOnAnIndexOrderMatchesTheWholeKeyWithCase) {
    auto t = table("Family.dbf", {"MYKEY,F,T,matter", ""});
    t->Open();
    add(*t, "Smith v. Smith");
    add(*t, "Jones v. Jones");
    add(*t, "Adams");
    t->First();
    EXPECT_FALSE(t->Locate("matter", {"SMITH V. SMITH"}, storage::loCaseInsensitive));
    EXPECT_EQ(t->FieldByName("matter").AsString(), "Adams") << "stays where it stood";
    EXPECT_FALSE(t->Locate("matter", {"Smith"}, 0));
    EXPECT_TRUE(t->Locate("matter", {"Smith"}, storage::loPartialKey));
    EXPECT_TRUE(t->Locate("whatever", {"Jones v. Jones"}, 0));
    EXPECT_EQ(t->FieldByName("matter").AsString(), "Jones v. Jones");
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"Adams", "Jones v. Jones", "Smith v. Smith"}));
}

TEST_F(ComponentTest, LocateWithoutIndexScansWithItsOptions) {
    auto t = table("Plain.dbf");
    t->Open();
    add(*t, "Smith v. Smith", "(a) Housing", "Rent");
    add(*t, "Smith v. Smith", "(b) Utilities", "Water");
    EXPECT_TRUE(t->Locate("matter", {"SMITH V. SMITH"}, storage::loCaseInsensitive));
    EXPECT_EQ(t->RecNo(), 1u);
    EXPECT_FALSE(t->Locate("matter", {"SMITH V. SMITH"}, 0));
    EXPECT_TRUE(t->Locate("matter;etype", {"Smith v. Smith", "(b) Utilities"}, 0));
    EXPECT_EQ(t->FieldByName("expense").AsString(), "Water");
    EXPECT_TRUE(t->Locate("expense", {"Ren"}, storage::loPartialKey));
    EXPECT_FALSE(t->Locate("expense", {"Ren"}, 0));
    EXPECT_EQ(t->RecNo(), 1u);
}

TEST_F(ComponentTest, EditPostCancelAndInsertOnAnEmptyTable) {
    auto t = table("Edit.dbf");
    t->Open();
    t->Edit();
    EXPECT_EQ(t->State(), DataSetState::Insert) << "no visible record: edit inserts";
    t->FieldByName("matter").setAsString("First");
    t->FieldByName("notes").setAsString("line one\r\nline two");
    t->Post();
    EXPECT_EQ(t->State(), DataSetState::Browse);
    EXPECT_EQ(t->RecNo(), 1u);

    t->Edit();
    t->FieldByName("matter").setAsString("Changed");
    t->Cancel();
    EXPECT_EQ(t->FieldByName("matter").AsString(), "First");

    t->Edit();
    t->FieldByName("amt").setAsFloat(1234.5);
    t->Post();
    t->Insert();
    t->FieldByName("matter").setAsString("Dropped");
    t->Cancel();
    EXPECT_EQ(t->RecNo(), 1u) << "back on the record it stood on";

    auto reader = table("Edit.dbf");
    reader->Open();
    EXPECT_EQ(reader->RecordCount(), 1u);
    EXPECT_DOUBLE_EQ(reader->FieldByName("amt").AsFloat(), 1234.5);
    EXPECT_EQ(reader->FieldByName("notes").AsString(), "line one\r\nline two");

    EXPECT_THROW(reader->FieldByName("matter").setAsString("x"), EDbfError);
    try {
        reader->FieldByName("matter").setAsString("x");
    } catch (const EDbfError& e) {
        EXPECT_STREQ(e.what(), "Dataset not in edit or insert mode");
    }
}

TEST_F(ComponentTest, ReadOnlyFieldsCannotBeModified) {
    table("Ro.dbf")->Open();
    auto t = table("Ro.dbf");
    t->ReadOnly = true;
    t->Open();
    t->Insert();
    try {
        t->FieldByName("matter").setAsString("x");
        FAIL();
    } catch (const EDbfError& e) {
        EXPECT_STREQ(e.what(), "Field 'MATTER' cannot be modified");
    }
}

TEST_F(ComponentTest, RefusedLocksShowTheirMessageAndWriteNothing) {
    auto t = table("Locks.dbf");
    t->Open();
    add(*t, "one");

    std::unique_ptr<storage::DbfFile> other;
    ASSERT_TRUE(storage::DbfFile::open(storage::Env::Default(), path("Locks.dbf"),
                                       storage::Access::ReadWrite, storage::Share::Shared, &other)
                    .ok());
    ASSERT_TRUE(other->lockRecord(1));
    ASSERT_TRUE(other->lockAppend());

    t->Edit();
    t->FieldByName("matter").setAsString("two");
    t->Post();
    t->Cancel();
    t->Insert();
    t->FieldByName("matter").setAsString("three");
    t->Post();
    t->Cancel();
    t->Delete();
    EXPECT_EQ(messages, (std::vector<std::string>{"Lock failed [Post]", "Lock failed [Insert]",
                                                  "Lock failed [Delete]"}));

    int retries = 0;
    t->OnRLockFailedOnPost = [&](storage::TDbfFileDataSet&, bool& retry) {
        if (++retries == 2) other->unlockRecord(1);
        retry = true;
    };
    t->Edit();
    t->FieldByName("matter").setAsString("four");
    t->Post();
    EXPECT_EQ(retries, 2);
    EXPECT_EQ(t->State(), DataSetState::Browse);

    auto reader = table("Locks.dbf");
    reader->Open();
    EXPECT_EQ(walk(*reader), (std::vector<std::string>{"four"}));
}

TEST_F(ComponentTest, EventsAndDataLinksRunAroundAPost) {
    struct Link : storage::DataLink {
        storage::TDbfTable* table = nullptr;
        std::string typed;
        int shown = 0;
        void updateData() override {
            if (!typed.empty()) table->FieldByName("expense").setAsString(typed);
        }
        void dataChanged() override { ++shown; }
        void fieldChanged(int) override {}
    } link;

    auto t = table("Events.dbf");
    link.table = t.get();
    t->addDataLink(&link);
    std::vector<std::string> events;
    t->AfterInsert = [&](storage::TDbfPrimDataset& d) {
        events.push_back("AfterInsert");
        d.FieldByName("matter").setAsString("M");
    };
    t->BeforePost = [&](storage::TDbfPrimDataset& d) {
        events.push_back("BeforePost " + d.FieldByName("expense").AsString());
        if (d.FieldByName("expense").AsString().empty()) d.Cancel();
    };
    t->Open();
    t->Insert();
    link.typed = "Rent";
    t->Post();
    t->Insert();
    link.typed.clear();
    t->Post();
    EXPECT_EQ(events, (std::vector<std::string>{"AfterInsert", "BeforePost Rent", "AfterInsert",
                                                "BeforePost "}));
    EXPECT_EQ(t->RecordCount(), 1u) << "the abandoned post wrote nothing";
    EXPECT_GT(link.shown, 0);
    t->removeDataLink(&link);
}

TEST_F(ComponentTest, MovesFinishThePendingChange) {
    auto t = table("Pending.dbf");
    t->Open();
    add(*t, "a");
    add(*t, "b");
    t->First();
    t->Edit();
    t->FieldByName("matter").setAsString("a2");
    t->Next();
    EXPECT_EQ(t->State(), DataSetState::Browse);
    t->First();
    EXPECT_EQ(t->FieldByName("matter").AsString(), "a2") << "modified: posted";
    t->Insert();
    t->Next();
    EXPECT_EQ(t->RecordCount(), 2u) << "an unmodified insert is cancelled";
}

TEST_F(ComponentTest, TwoComponentsOnOneFileKeepTheirOwnPositionAndLocks) {
    auto a = table("Two.dbf");
    auto b = table("Two.dbf");
    a->Open();
    add(*a, "x");
    add(*a, "y");
    b->Open();
    b->Last();
    a->First();
    EXPECT_EQ(a->FieldByName("matter").AsString(), "x");
    EXPECT_EQ(b->FieldByName("matter").AsString(), "y");

    a->Edit();
    a->FieldByName("matter").setAsString("x2");
    a->Post();
    b->First();
    EXPECT_EQ(b->FieldByName("matter").AsString(), "x2") << "b sees a's write";
    add(*b, "z");
    EXPECT_EQ(walk(*a), (std::vector<std::string>{"x2", "y", "z"}));
    a->Close();
    EXPECT_TRUE(b->Active());
    EXPECT_EQ(b->RecordCount(), 3u);
}

TEST_F(ComponentTest, OperationsOnAClosedTableHaltTheProgram) {
    auto t = table("Closed.dbf");
    for (auto [name, call] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"SetFilterToCB", [&] { t->SetFilterToCB([](void*) { return true; }, nullptr); }},
             {"GetFilteredCount", [&] { t->GetFilteredCount(); }},
             {"Locate", [&] { t->Locate("matter", {"x"}, 0); }},
             {"IndexOnOne", [&] { t->IndexOnOne("matter", "Temp"); }},
         }) {
        fatal.clear();
        EXPECT_THROW(call(), storage::FatalError);
        ASSERT_EQ(fatal.size(), 1u);
        EXPECT_EQ(fatal[0], "Database is not open [T_Test." + name + "]");
    }
}

TEST_F(ComponentTest, MissingFileNameIsReported) {
    TDbfTable t("T_Empty");
    try {
        t.Open();
        FAIL();
    } catch (const EDbfError& e) {
        EXPECT_STREQ(e.what(), "Missing DbfFilename property");
    }
}

TEST_F(ComponentTest, AMatterDeletedAndCreatedAgainIsFoundInItsUniqueTag) {
    auto t = table("General.dbf", {"MYKEY,F,T,matter", ""});
    t->Open();
    add(*t, "Smith v. Smith");
    add(*t, "Adams");
    ASSERT_TRUE(t->Locate("matter", {"Smith v. Smith"}, 0));
    t->Delete();
    EXPECT_FALSE(t->Locate("matter", {"Smith v. Smith"}, 0)) << "a deleted record is not found";
    add(*t, "Smith v. Smith");
    EXPECT_TRUE(t->Locate("matter", {"Smith v. Smith"}, 0));
    EXPECT_EQ(t->RecNo(), 3u);
    EXPECT_EQ(walk(*t), (std::vector<std::string>{"Adams", "Smith v. Smith"}));

    auto again = table("General.dbf", {"MYKEY,F,T,matter", ""});
    again->Open();
    EXPECT_EQ(walk(*again), (std::vector<std::string>{"Adams", "Smith v. Smith"}));
    again->Close();
    t->Close();

    // A rebuilt unique tag also lists the live record of the name.
    for (const auto& entry : std::filesystem::directory_iterator(path(""))) {
        if (entry.path().extension() == ".mdx" || entry.path().extension() == ".MDX") {
            std::filesystem::remove(entry.path());
        }
    }
    auto rebuilt = table("General.dbf", {"MYKEY,F,T,matter", ""});
    rebuilt->Open();
    EXPECT_EQ(walk(*rebuilt), (std::vector<std::string>{"Adams", "Smith v. Smith"}));
    EXPECT_TRUE(rebuilt->Locate("matter", {"Smith v. Smith"}, 0));
    EXPECT_EQ(rebuilt->RecNo(), 3u);
}

TEST_F(ComponentTest, FilteredCountFromBeforePostCountsStoredRecordsWithoutPosting) {
    auto t = table("Cash.dbf");
    t->Open();
    add(*t, "M", "", "first");
    t->SetFilterToCB([&](void*) { return t->FieldByName("matter").AsString() == "M"; }, nullptr);
    int depth = 0;
    uint32_t counted = 99;
    t->BeforePost = [&](storage::TDbfPrimDataset&) {
        if (++depth > 3) throw std::runtime_error("BeforePost re-entered");
        counted = t->GetFilteredCount();
        --depth;
    };
    t->Insert();
    t->FieldByName("matter").setAsString("M");
    t->FieldByName("expense").setAsString("second");
    EXPECT_NO_THROW(t->Post());
    EXPECT_EQ(counted, 1u) << "the record being added is not stored yet";
    EXPECT_EQ(t->RecordCount(), 2u);
}

TEST_F(ComponentTest, BofIsClearedWhenAPostedInsertLeavesTheFirstRecord) {
    auto t = table("Cash.dbf");
    t->Open();
    add(*t, "a");
    add(*t, "b");
    t->First();
    ASSERT_TRUE(t->Bof());
    t->Insert();
    t->FieldByName("matter").setAsString("c");
    t->Post();
    EXPECT_EQ(t->FieldByName("matter").AsString(), "c");
    EXPECT_FALSE(t->Bof()) << "the data set stands on the third record";
}

TEST_F(ComponentTest, FieldValuesConvertWithoutLossOrAreRefused) {
    auto t = table("Values.dbf");
    t->DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2", "count,N,8,0",
                                            "adate,D,8,0", "flag,L,1,0"};
    t->Open();
    t->Insert();
    auto& amt = t->FieldByName("amt");
    auto& count = t->FieldByName("count");
    auto& adate = t->FieldByName("adate");

    // Round amounts read as plain digits, as a report or a filter compares them.
    amt.setAsFloat(1000000);
    EXPECT_EQ(amt.AsString(), "1000000");
    amt.setAsFloat(10000000.5);
    EXPECT_EQ(amt.AsString(), "10000000.5");
    count.setAsInteger(20000000);
    EXPECT_EQ(count.AsString(), "20000000");
    t->FieldByName("matter").setAsFloat(3000000);
    EXPECT_EQ(t->FieldByName("matter").AsString(), "3000000");

    // A value the field cannot hold is refused and the field keeps what it held.
    amt.setAsFloat(12.5);
    EXPECT_THROW(amt.setAsFloat(1e12), storage::EDbfError);
    EXPECT_DOUBLE_EQ(amt.AsFloat(), 12.5);
    EXPECT_THROW(count.setAsString("123456789"), storage::EDbfError);
    EXPECT_EQ(count.AsString(), "20000000");
    EXPECT_THROW(amt.setAsString("twelve"), storage::EDbfError);
    EXPECT_THROW(amt.setAsString("12x"), storage::EDbfError);
    EXPECT_DOUBLE_EQ(amt.AsFloat(), 12.5);
    amt.setAsString(" -7.25 ");
    EXPECT_DOUBLE_EQ(amt.AsFloat(), -7.25);

    adate.setAsString("2024-02-29");
    EXPECT_EQ(adate.AsString(), "20240229");
    EXPECT_THROW(adate.setAsString("2023-02-29"), storage::EDbfError);
    EXPECT_THROW(adate.setAsString("1/2/2024"), storage::EDbfError);
    EXPECT_THROW(adate.setAsDate(storage::Date{2024, 13, 1}), storage::EDbfError);
    EXPECT_EQ(adate.AsString(), "20240229");
    adate.setAsString("");
    EXPECT_TRUE(adate.IsNull());

    t->FieldByName("matter").setAsString("kept");
    t->Post();
    auto reader = table("Values.dbf");
    reader->Open();
    EXPECT_DOUBLE_EQ(reader->FieldByName("amt").AsFloat(), -7.25);
    EXPECT_EQ(reader->FieldByName("count").AsString(), "20000000");
}
