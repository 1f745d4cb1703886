// Workstations as real processes on one table (sharing_helper): one holds its edit of a record
// until the test lets it post, while another changes, deletes or creates the record meanwhile;
// and eight processes editing different fields of one record in a loop.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "child_process.h"
#include "storage/dbf_table.h"
#include "storage/record.h"

using namespace storage;

namespace {

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SharingProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("sharing-" + std::to_string(test_support::ChildProcess::currentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        table_ = file("Family.dbf");
        TDbfTable t("T_Family");
        t.DbfFields = std::vector<std::string>{"matter,C,50,0", "etype,C,25,0", "expense,C,65,0",
                                               "amt,N,12,2", "notes,M,10,0"};
        t.IndexList = {"MYKEY,F,T,matter", ""};
        t.setDbfFileName(table_);
        t.Open();
        t.Append();
        t.FieldByName("matter").setAsString("Smith v. Smith");
        t.FieldByName("etype").setAsString("Housing");
        t.FieldByName("expense").setAsString("Rent");
        t.FieldByName("notes").setAsString("first notes");
        t.Post();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // A workstation holding its change until finish() lets it post.
    struct Waiting {
        std::unique_ptr<test_support::ChildProcess> process;
        std::string report;
        std::string go;
    };

    Waiting startPost(const std::string& name, const std::string& matter,
                      std::vector<std::string> args) {
        Waiting waiting{nullptr, file(name + ".report"), file(name + ".go")};
        std::vector<std::string> all = {"post", table_, matter, waiting.report, waiting.go};
        all.insert(all.end(), args.begin(), args.end());
        waiting.process = std::make_unique<test_support::ChildProcess>(SHARING_HELPER, all);
        EXPECT_TRUE(waiting.process->started());
        for (int i = 0; i < 6000 && !std::filesystem::exists(waiting.report + ".ready"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(std::filesystem::exists(waiting.report + ".ready"));
        return waiting;
    }

    std::vector<std::string> finish(Waiting& waiting) {
        std::ofstream(waiting.go) << "go";
        EXPECT_EQ(waiting.process->wait(), 0);
        return readLines(waiting.report);
    }

    // Another workstation's whole post, at once.
    std::vector<std::string> postNow(const std::string& name, const std::string& matter,
                                     std::vector<std::string> args) {
        std::ofstream(file(name + ".go")) << "go";
        Waiting waiting = startPost(name, matter, std::move(args));
        return finish(waiting);
    }

    int run(const std::vector<std::string>& args) {
        return test_support::ChildProcess(SHARING_HELPER, args).wait();
    }

    // Every record as stored: deletion flag, then each field's text (numbers trimmed).
    std::vector<std::vector<std::string>> stored() {
        std::unique_ptr<DbfFile> t;
        EXPECT_TRUE(
            DbfFile::open(Env::Default(), table_, Access::ReadOnly, Share::Shared, &t).ok());
        std::vector<std::vector<std::string>> records;
        std::vector<uint8_t> record(t->recordLength());
        for (uint32_t n = 1; n <= t->recordCount(); ++n) {
            EXPECT_TRUE(t->readRecord(n, record.data()).ok());
            std::vector<std::string> values = {isDeleted(record.data()) ? "*" : " "};
            for (int f = 0; f < int(t->fields().size()); ++f) {
                std::string text;
                if (isMemoType(t->fields()[f].type)) {
                    EXPECT_TRUE(t->readMemo(record.data(), f, &text).ok());
                } else {
                    text = getText(t->fields()[f], record.data());
                    text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
                }
                values.push_back(text);
            }
            records.push_back(values);
        }
        return records;
    }

    std::string table_;

  private:
    std::filesystem::path dir_;
};

using Records = std::vector<std::vector<std::string>>;

TEST_F(SharingProcessTest, ChangesToDifferentFieldsAreBothKept) {
    Waiting b = startPost("b", "Smith v. Smith", {"etype=Utilities"});
    EXPECT_EQ(postNow("a", "Smith v. Smith", {"expense=Mortgage", "amt=1250.5"}),
              (std::vector<std::string>{"state browse", "recno 1"}));
    EXPECT_EQ(finish(b), (std::vector<std::string>{"state browse", "recno 1"}));
    EXPECT_EQ(
        stored(),
        (Records{{" ", "Smith v. Smith", "Utilities", "Mortgage", "1250.50", "first notes"}}));
}

TEST_F(SharingProcessTest, FieldsChangedOnBothSidesAreAskedAboutYesReplacesNoKeeps) {
    for (const std::string answer : {"yes", "no"}) {
        SCOPED_TRACE(answer);
        Waiting b = startPost("b" + answer, "Smith v. Smith",
                              {answer, "expense=Lease " + answer, "notes=B's notes " + answer,
                               "amt=" + std::string(answer == "yes" ? "20" : "30")});
        postNow("a" + answer, "Smith v. Smith",
                {"expense=Mortgage " + answer, "notes=A's notes " + answer});
        EXPECT_EQ(finish(b),
                  (std::vector<std::string>{"asked EXPENSE,NOTES", "state browse", "recno 1"}));
        const std::vector<std::string> record = stored()[0];
        EXPECT_EQ(record[3], (answer == "yes" ? "Lease " : "Mortgage ") + answer);
        EXPECT_EQ(record[5], (answer == "yes" ? "B's notes " : "A's notes ") + answer);
        EXPECT_EQ(record[4], answer == "yes" ? "20.00" : "30.00")
            << "the field changed on one side only is written either way";
    }
}

TEST_F(SharingProcessTest, ARecordDeletedWhileBeingEditedStaysDeleted) {
    Waiting b = startPost("b", "Smith v. Smith", {"expense=Lease"});
    ASSERT_EQ(run({"delete", table_, "Smith v. Smith"}), 0);
    EXPECT_EQ(finish(b), (std::vector<std::string>{"deleted", "state browse", "recno 1"}));
    EXPECT_EQ(stored(), (Records{{"*", "Smith v. Smith", "Housing", "Rent", "", "first notes"}}));
}

TEST_F(SharingProcessTest, BothCreatingTheMattersRecordMakeOneRecord) {
    Waiting b = startPost("b", "Jones v. Jones", {"etype=Food", "notes=B's notes"});
    EXPECT_EQ(postNow("a", "Jones v. Jones", {"expense=Groceries"}),
              (std::vector<std::string>{"state browse", "recno 2"}));
    EXPECT_EQ(finish(b), (std::vector<std::string>{"taken", "state browse", "recno 2"}));
    EXPECT_EQ(stored(), (Records{{" ", "Smith v. Smith", "Housing", "Rent", "", "first notes"},
                                 {" ", "Jones v. Jones", "Food", "Groceries", "", "B's notes"}}));
}

TEST_F(SharingProcessTest, ANewRecordGivenUpForTheOtherWritesNothing) {
    Waiting b = startPost("b", "Jones v. Jones", {"give-up", "etype=Food"});
    postNow("a", "Jones v. Jones", {"expense=Groceries"});
    EXPECT_EQ(finish(b), (std::vector<std::string>{"taken", "state browse", "recno 2"}));
    EXPECT_EQ(stored().size(), 2u);
    EXPECT_EQ(stored()[1][2], "") << "B's field was not written";
}

// Eight processes, each changing its own field of one record (one of them a memo) over and over
// while the others do the same: every field ends with the last value its writer wrote.
TEST_F(SharingProcessTest, EightProcessesEditingDifferentFieldsOfOneRecordLoseNothing) {
    const std::string wide = file("Wide.dbf");
    {
        TDbfTable t("T_Wide");
        t.DbfFields = std::vector<std::string>{"matter,C,50,0"};
        for (int f = 1; f <= 7; ++f) t.DbfFields->push_back("f" + std::to_string(f) + ",C,20,0");
        t.DbfFields->push_back("notes,M,10,0");
        t.IndexList = {"MYKEY,F,T,matter", ""};
        t.setDbfFileName(wide);
        t.Open();
        t.Append();
        t.FieldByName("matter").setAsString("Smith v. Smith");
        t.Post();
    }
    constexpr int kRounds = 400;
    std::vector<std::string> fields = {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "notes"};
    std::vector<test_support::ChildProcess> writers;
    for (size_t w = 0; w < fields.size(); ++w) {
        writers.emplace_back(
            SHARING_HELPER,
            std::vector<std::string>{"edit-loop", wide, "Smith v. Smith", fields[w],
                                     std::to_string(kRounds), "w" + std::to_string(w + 1)});
        ASSERT_TRUE(writers.back().started());
    }
    for (auto& writer : writers) EXPECT_EQ(writer.wait(), 0);

    TDbfTable t("T_Wide");
    t.IndexList = {"MYKEY,F,T,matter", ""};
    t.setDbfFileName(wide);
    t.Open();
    EXPECT_EQ(t.RecordCount(), 1u);
    for (size_t w = 0; w < fields.size(); ++w) {
        EXPECT_EQ(t.FieldByName(fields[w]).AsString(),
                  "w" + std::to_string(w + 1) + "-" + std::to_string(kRounds))
            << fields[w];
    }
}

}  // namespace
