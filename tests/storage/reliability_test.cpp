// The storage layer under sharing, crashes and full disks, with real processes where the fault
// is one between processes: readers beside eight appending processes, a process killed before
// each write of a run of appends, writes failing at every byte of an append, a small real file
// system that fills up, and the file-size limit.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "../support/temp_dir.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/mem_env.h"
#include "storage/production_index.h"
#include "storage/record.h"
#include "tool_run.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace storage;

namespace {

using namespace test_support;

constexpr const char* kTag = "MYKEY,F,T,matter";

ToolRun tool_(const std::vector<std::string>& args, const char* program = DBFTOOL) {
    return runProgram(program, args);
}

ToolRun helper(const std::vector<std::string>& args) { return tool_(args, RELIABILITY_HELPER); }

pid_t spawnHelper(const std::vector<std::string>& args) {
    std::vector<std::string> all = {RELIABILITY_HELPER};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, RELIABILITY_HELPER, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

// A table and its production index opened as the program opens them (a damaged or half-updated
// index is rebuilt), and what the index says about them.
struct Opened {
    std::unique_ptr<DbfFile> table;
    std::unique_ptr<ProductionIndex> index;

    Opened(Env* env, const std::string& path) {
        EXPECT_TRUE(DbfFile::open(env, path, Access::ReadWrite, Share::Shared, &table).ok());
        if (!table) return;
        IndexListEntry tag;
        parseTagLine(kTag, &tag);
        const Status s = ProductionIndex::openOrBuild(table.get(), {tag}, nullptr, &index);
        EXPECT_TRUE(s.ok()) << s.message();
        if (index) table->setIndexHook(index.get());
    }
    ~Opened() {
        if (table) table->setIndexHook(nullptr);
    }
    std::vector<std::string> problems() {
        std::vector<std::string> found;
        const Status s = index->verify(&found);
        if (!s.ok()) found.push_back(s.message());
        return found;
    }
    bool seek(const std::string& name) {
        auto cursor = index->cursor(0);
        bool found = false;
        return index->seek(cursor.get(), name, true, &found).ok() && found;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        std::vector<uint8_t> record(table->recordLength());
        for (uint32_t r = 1; r <= table->recordCount(); ++r) {
            EXPECT_TRUE(table->readRecord(r, record.data()).ok());
            std::string name;
            getText(table->fields()[0], record.data(), &name);
            out.push_back(name);
        }
        return out;
    }
    Status append(const std::string& name) {
        std::vector<uint8_t> record(table->recordLength());
        table->blankRecord(record.data());
        setText(table->fields()[0], record.data(), name);
        if (!table->lockAppend()) return Status::Error(5, "append lock");
        const Status s = table->appendRecord(record.data());
        table->unlockAppend();
        return s;
    }
};

// Eight processes append 900 records each (node splits included) while dbftool's count, keys,
// seek and check and the component's Locate read the same files over and over, each in a loop of
// its own until the writers are done (at most 60 times).
TEST(ReadersBesideWriters, NoReaderFailsOrMissesAKeyWhileEightProcessesAppend) {
    TempDir dir("readers");
    const std::string table = dir.file("General.dbf");
    const std::string stop = dir.file("stop");
    ASSERT_EQ(helper({"make", table, "40"}).exitCode, 0);

    constexpr int kWriters = 8, kEach = 900;
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(spawnHelper({"append", table, std::to_string(kEach), std::to_string(w)}));
        ASSERT_GT(writers.back(), 0);
    }
    const std::string tool = quoted(DBFTOOL), helperPath = quoted(RELIABILITY_HELPER),
                      t = quoted(table), keysFile = quoted(dir.file("keys-"));
    // Each loop prints "rounds N" when the writers are done, or why it stopped.
    auto loop = [&](const std::string& body) {
        return start("i=0; while [ ! -e " + quoted(stop) + " ] && [ $i -lt 60 ]; do i=$((i+1)); " +
                     body + "; done; echo rounds $i");
    };
    std::vector<Started> readers = {
        loop("out=$(" + tool + " count " + t +
             " --where matter=seed-007 2>&1) && [ \"$out\" = 1 ]"
             " || { echo \"count: $out\"; exit 1; }"),
        loop(tool + " keys " + t + " > " + keysFile + "$i 2>&1 || { cat " + keysFile +
             "$i; exit 1; }; cut -f1 " + keysFile +
             "$i | LC_ALL=C sort -c -u"
             " || { echo keys out of order; exit 1; }"),
        loop("out=$(" + tool + " seek " + t +
             " seed-039 2>&1) && [ \"$out\" = 40 ]"
             " || { echo \"seek: $out\"; exit 1; }"),
        loop("out=$(" + tool + " check " + t + " 2>&1) || { echo \"check: $out\"; exit 1; }"),
        // Locate finds the seeds and keys that a moment ago were listed.
        loop(tool + " keys " + t + " > " + keysFile + "l 2>&1 || exit 1; " + helperPath +
             " locate " + t + " seed-000 seed-021 $(awk 'NR % 97 == 5 { print $1 }' " + keysFile +
             "l) || exit 1"),
    };
    int writersDone = 0;
    for (pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ++writersDone;
    }
    std::ofstream(stop) << "done";
    for (Started& reader : readers) {
        const ToolRun result = collect(reader);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find("rounds "), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("rounds 0\n"), std::string::npos) << result.output;
        std::printf("%s", result.output.c_str());
    }
    EXPECT_EQ(writersDone, kWriters);

    Opened opened(Env::Default(), table);
    EXPECT_EQ(opened.table->recordCount(), 40u + kWriters * kEach);
    EXPECT_TRUE(opened.problems().empty());
    const std::vector<std::string> keys = lines(tool_({"keys", table}).output);
    EXPECT_EQ(keys.size(), 40u + kWriters * kEach);
    EXPECT_EQ(tool_({"check", table}).exitCode, 0);
}

// A process appending 12 records is killed before its first, second, ... write. After each
// kill, opening the table (as the program does, or with dbftool) gives every record whose append
// reported success, indexed, and nothing half-written; the next append works. Once with an
// index whose check record holds, once with one whose record was left behind by another program
// (the opening walks the trees and writes the record before the appends).
TEST(KilledMidWrite, EveryRecordThatReportedSuccessIsThereAndIndexed) {
    TempDir dir("killed");
    const std::string base = dir.file("base/General.dbf");
    fs::create_directories(dir.path() / "base");
    // 30 records: the next appends fill the last leaf and split it.
    ASSERT_EQ(helper({"make", base, "30"}).exitCode, 0);
    for (bool recorded : {true, false}) {
        SCOPED_TRACE(recorded ? "check recorded" : "no check recorded");
        auto fresh = [&](const std::string& name) {
            const fs::path work = dir.path() / name;
            fs::remove_all(work);
            fs::create_directories(work);
            fs::copy_file(base, work / "General.dbf");
            fs::copy_file(dir.path() / "base" / "General.MDX", work / "General.MDX");
            if (!recorded) {
                std::fstream mdx(work / "General.MDX",
                                 std::ios::in | std::ios::out | std::ios::binary);
                mdx.seekp(52);
                mdx.write(std::string(12, '\0').data(), 12);
            }
            return (work / "General.dbf").string();
        };
        ToolRun dry = helper({"crash", fresh("dry"), "12", "0"});
        ASSERT_EQ(dry.exitCode, 0) << dry.output;
        const std::vector<std::string> dryLines = lines(dry.output);
        ASSERT_EQ(dryLines.size(), 13u);
        const long writes = std::stol(dryLines.back().substr(7));
        ASSERT_GT(writes, 12 * 3);  // each append writes its record, its keys and the marks

        for (long n = 1; n <= writes; ++n) {
            SCOPED_TRACE("killed before write " + std::to_string(n));
            const std::string table = fresh("run");
            ToolRun crash = helper({"crash", table, "12", std::to_string(n)});
            ASSERT_EQ(crash.signal, SIGKILL) << crash.output;
            std::vector<std::string> reported;
            for (const std::string& line : lines(crash.output))
                if (line.rfind("ok ", 0) == 0) reported.push_back(line.substr(3));

            if (n % 4 == 0) {
                // dbftool mends it as well: an append, then a clean check.
                ToolRun append = tool_({"append", table, "MATTER=after"});
                EXPECT_EQ(append.exitCode, 0) << append.output;
                ToolRun check = tool_({"check", table});
                EXPECT_EQ(check.exitCode, 0) << check.output;
            }
            Opened opened(Env::Default(), table);
            ASSERT_TRUE(opened.index);
            EXPECT_TRUE(opened.problems().empty());
            for (const std::string& name : reported) EXPECT_TRUE(opened.seek(name)) << name;
            // Whole records only: the 30 seeds, the reported ones, at most the one being appended
            // when the process died (written, not yet reported), and dbftool's.
            const std::vector<std::string> names = opened.names();
            const size_t extra = names.size() - 30 - reported.size() - (n % 4 == 0 ? 1 : 0);
            EXPECT_LE(extra, 1u);
            for (const std::string& name : names)
                EXPECT_TRUE(name.rfind("seed-", 0) == 0 ||
                            name.rfind("c" + std::to_string(n) + "-", 0) == 0 || name == "after")
                    << name;
            EXPECT_TRUE(opened.append("later").ok());
            EXPECT_TRUE(opened.seek("later"));
            EXPECT_TRUE(opened.problems().empty());
        }
    }
}

// The same for posts of edits through the table component, which read the record again under
// its lock before writing: a process renaming 12 matters (each a key change in the unique tag) is
// killed before its first, second, ... write. Every rename that reported success is there and
// indexed, every other record still has its old name, and the component edits the table again.
TEST(KilledMidWrite, EveryEditThatReportedSuccessIsThereAndIndexed) {
    TempDir dir("killed-edit");
    fs::create_directories(dir.path() / "base");
    const std::string base = dir.file("base/General.dbf");
    ASSERT_EQ(helper({"make", base, "30"}).exitCode, 0);
    auto fresh = [&] {
        const fs::path work = dir.path() / "run";
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy_file(base, work / "General.dbf");
        fs::copy_file(dir.path() / "base" / "General.MDX", work / "General.MDX");
        return (work / "General.dbf").string();
    };
    ToolRun dry = helper({"crash-edit", fresh(), "12", "0"});
    ASSERT_EQ(dry.exitCode, 0) << dry.output;
    const std::vector<std::string> dryLines = lines(dry.output);
    ASSERT_EQ(dryLines.size(), 13u);
    const long writes = std::stol(dryLines.back().substr(7));
    ASSERT_GT(writes, 12 * 3);  // each rename writes its record, its keys and the marks

    for (long n = 1; n <= writes; ++n) {
        SCOPED_TRACE("killed before write " + std::to_string(n));
        const std::string table = fresh();
        ToolRun crash = helper({"crash-edit", table, "12", std::to_string(n)});
        ASSERT_EQ(crash.signal, SIGKILL) << crash.output;
        std::set<std::string> reported;
        for (const std::string& line : lines(crash.output))
            if (line.rfind("ok ", 0) == 0) reported.insert(line.substr(3));

        {
            Opened opened(Env::Default(), table);
            ASSERT_TRUE(opened.index);
            EXPECT_TRUE(opened.problems().empty());
            const std::vector<std::string> names = opened.names();
            ASSERT_EQ(names.size(), 30u) << "no record added or lost";
            size_t renamed = 0;
            for (size_t i = 0; i < names.size(); ++i) {
                char seed[32];
                std::snprintf(seed, sizeof seed, "seed-%03d", static_cast<int>(i));
                const std::string renamedTo = "e" + std::to_string(n) + "-" + std::to_string(i);
                EXPECT_TRUE(names[i] == seed || names[i] == renamedTo) << names[i];
                if (names[i] == renamedTo) ++renamed;
                if (reported.count(renamedTo)) {
                    EXPECT_EQ(names[i], renamedTo);
                }
                EXPECT_TRUE(opened.seek(names[i])) << names[i];
            }
            // At most the rename in progress when the process died went through unreported.
            EXPECT_LE(renamed, reported.size() + 1);
        }
        TDbfTable component("T_General");
        component.IndexList = std::vector<std::string>{kTag, ""};
        component.setDbfFileName(table);
        component.Open();
        ASSERT_TRUE(component.Locate("matter", {"seed-029"}, 0u));
        component.Edit();
        component.FieldByName("matter").setAsString("later");
        component.Post();
        component.Close();
        Opened opened(Env::Default(), table);
        EXPECT_TRUE(opened.seek("later"));
        EXPECT_FALSE(opened.seek("seed-029"));
        EXPECT_TRUE(opened.problems().empty());
    }
}

// Writes fail after 0, 1, 2, ... bytes of a post through the table component, while another
// component changed the record meanwhile: the post reports the full disk, the record stays as
// the other stored it, the index agrees, and once space is back the same post goes through.
TEST(FullDisk, APostFailingAtAnyByteLeavesTheStoredRecordAsItWas) {
    std::vector<std::string> fatal;
    const FatalHandler previous =
        setFatalHandler([&](int, const std::string& message) { fatal.push_back(message); });
    const std::string longMemo = "John Smith\r\n" + std::string(600, 'x');
    bool succeeded = false;
    for (int64_t budget = 0; budget < 20000 && !succeeded; ++budget) {
        SCOPED_TRACE(std::to_string(budget) + " bytes");
        MemEnv env;
        auto component = [&env] {
            auto table = std::make_unique<TDbfTable>("T_General", &env);
            table->DbfFields = std::vector<std::string>{"matter,C,50,0", "court,C,50,0",
                                                        "county,C,50,0", "defendant,M,10,0"};
            table->IndexList = std::vector<std::string>{kTag, ""};
            table->setDbfFileName("/d/General.dbf");
            table->Open();
            return table;
        };
        auto a = component();
        a->Append();
        a->FieldByName("matter").setAsString("Smith v. Smith");
        a->FieldByName("defendant").setAsString("John Smith");
        a->Post();
        auto b = component();
        for (TDbfTable* t : {a.get(), b.get()}) {
            t->First();
            t->FieldByName("defendant").AsString();
            t->Edit();
        }
        b->FieldByName("court").setAsString("SUPREME");
        b->Post();
        // A changes the key, the memo and a field of its own. The memo outgrows its block, so it
        // goes to new blocks: on a real disk only writes that need new space fail when it is
        // full (a memo rewritten within its blocks overwrites bytes already there).
        a->FieldByName("matter").setAsString("Smith v. Smythe");
        a->FieldByName("defendant").setAsString(longMemo);
        a->FieldByName("county").setAsString("ALBANY");
        fatal.clear();
        env.failGrowthAfter(budget);
        bool failed = false;
        try {
            a->Post();
        } catch (const FatalError&) {
            failed = true;
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
        }
        env.failWritesAfter(-1);
        {
            Opened opened(&env, "/d/General.dbf");
            EXPECT_TRUE(opened.problems().empty());
            if (failed) {
                ASSERT_EQ(fatal.size(), 1u);
                EXPECT_NE(fatal[0].find("No space left on device"), std::string::npos) << fatal[0];
                EXPECT_EQ(opened.names(), (std::vector<std::string>{"Smith v. Smith"}));
                EXPECT_TRUE(opened.seek("Smith v. Smith"));
                EXPECT_FALSE(opened.seek("Smith v. Smythe"));
                auto reader = component();
                EXPECT_EQ(reader->FieldByName("defendant").AsString(), "John Smith");
                EXPECT_EQ(reader->FieldByName("court").AsString(), "SUPREME");
                EXPECT_EQ(reader->FieldByName("county").AsString(), "");
                reader.reset();
                EXPECT_EQ(a->State(), DataSetState::Edit) << "the change is still pending";
                a->Post();
            } else {
                succeeded = true;
            }
        }
        Opened opened(&env, "/d/General.dbf");
        EXPECT_TRUE(opened.problems().empty());
        EXPECT_EQ(opened.names(), (std::vector<std::string>{"Smith v. Smythe"}));
        EXPECT_TRUE(opened.seek("Smith v. Smythe"));
        auto reader = component();
        EXPECT_EQ(reader->FieldByName("court").AsString(), "SUPREME") << "B's change is kept";
        EXPECT_EQ(reader->FieldByName("county").AsString(), "ALBANY");
        EXPECT_EQ(reader->FieldByName("defendant").AsString(), longMemo);
    }
    EXPECT_TRUE(succeeded);
    setFatalHandler(previous);
}

// A table of the matter filter (its index holds the matter tag): what the filter shows of matter
// "K", through the tag (`keyed`, writable, as the forms open it) or over every record (read only),
// as record numbers and amounts.
std::string shownOfK(Env* env, const std::string& path, bool keyed) {
    TDbfTable t("T_Keyed", env);
    t.DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2"};
    if (keyed) {
        t.LookupTags = std::vector<std::string>{"MATTER,F,F,matter", ""};
    } else {
        t.ReadOnly = true;
        t.NaturalOrder = true;
    }
    t.HideDeletedRecs = true;
    t.CreateIfNotFound = false;
    t.setDbfFileName(path);
    t.Open();
    FilterKey key;
    if (keyed) key = {"matter", [](void*) { return std::string("K"); }};
    t.SetFilterToCB([&t](void*) { return t.FieldByName("matter").AsString() == "K"; }, nullptr,
                    key);
    std::string shown = " ";
    for (t.First(); !t.Eof(); t.Next())
        shown += std::to_string(t.RecNo()) + ":" + t.FieldByName("amt").AsString() + " ";
    t.Close();
    return shown;
}

// A process writing to one matter of such a table through the component (new records, edits
// that move no key, records moved to the matter, a deletion, the closing) is killed before each
// of its writes in turn: the filter then shows through the tag exactly the matter's records the
// table holds, every write that returned among them, and dbftool finds the index sound.
TEST(KilledMidWrite, TheMatterFilterShowsExactlyTheMattersStoredRecords) {
    TempDir dir("killed-keyed");
    fs::create_directories(dir.path() / "base");
    ASSERT_EQ(helper({"make-keyed", dir.file("base/Keyed.dbf"), "12"}).exitCode, 0);
    auto fresh = [&] {
        const fs::path work = dir.path() / "run";
        fs::remove_all(work);
        copyKeepingTimes(dir.path() / "base", work);
        return (work / "Keyed.dbf").string();
    };
    const ToolRun dry = helper({"crash-keyed", fresh(), "4", "0"});
    ASSERT_EQ(dry.exitCode, 0) << dry.output;
    const long writes = std::stol(lines(dry.output).back().substr(7));
    ASSERT_GT(writes, 4 * 3);

    for (long n = 1; n <= writes; ++n) {
        SCOPED_TRACE("killed before write " + std::to_string(n));
        const std::string table = fresh();
        const ToolRun crash = helper({"crash-keyed", table, "4", std::to_string(n)});
        ASSERT_EQ(crash.signal, SIGKILL) << crash.output;
        const std::string stored = shownOfK(Env::Default(), table, false);
        EXPECT_EQ(shownOfK(Env::Default(), table, true), stored);
        // The last write deletes the matter's first record, moved there or not: moves are looked
        // for only while that deletion cannot have begun.
        long moves = 0;
        for (const std::string& line : lines(crash.output)) moves += line.rfind("ok move ", 0) == 0;
        for (const std::string& line : lines(crash.output)) {
            if (line.rfind("ok add ", 0) == 0) {
                EXPECT_NE(stored.find(":" + line.substr(7) + " "), std::string::npos)
                    << line << " in " << stored;
            }
            if (line.rfind("ok move ", 0) == 0 && moves < 4) {
                EXPECT_NE(stored.find(" " + line.substr(8) + ":"), std::string::npos)
                    << line << " in " << stored;
            }
        }
        const ToolRun check = tool_({"check", table});
        EXPECT_EQ(check.exitCode, 0) << check.output;
    }
}

// Writes fail after 0, 1, 2, ... bytes of the same run of writes, on a full disk: whatever
// failed, the filter shows through the tag what it shows over every record.
TEST(FullDisk, TheMatterFilterStaysExactWhateverWriteFails) {
    std::vector<std::string> fatal;
    const FatalHandler previous =
        setFatalHandler([&](int, const std::string& message) { fatal.push_back(message); });
    const std::string path = "/d/Keyed.dbf";
    bool succeeded = false;
    for (int64_t budget = 0; budget < 40000 && !succeeded; budget += 3) {
        SCOPED_TRACE(std::to_string(budget) + " bytes");
        MemEnv env;
        {
            TDbfTable seeds("T_Keyed", &env);
            seeds.DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2"};
            seeds.LookupTags = std::vector<std::string>{"MATTER,F,F,matter", ""};
            seeds.setDbfFileName(path);
            seeds.Open();
            for (int i = 0; i < 40; ++i) {
                seeds.Append();
                seeds.FieldByName("matter").setAsString(i % 3 == 0 ? "K" : "L" + std::to_string(i));
                seeds.FieldByName("amt").setAsFloat(i);
                seeds.Post();
            }
            seeds.Close();
        }
        bool failed = false;
        {
            TDbfTable t("T_Keyed", &env);
            t.DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2"};
            t.LookupTags = std::vector<std::string>{"MATTER,F,F,matter", ""};
            t.HideDeletedRecs = true;
            t.setDbfFileName(path);
            t.Open();
            env.failWritesAfter(budget);
            try {
                t.Append();
                t.FieldByName("matter").setAsString("K");
                t.FieldByName("amt").setAsFloat(100);
                t.Post();
                ASSERT_TRUE(t.Locate("matter", {"K"}, 0));
                t.Edit();
                t.FieldByName("amt").setAsFloat(200);
                t.Post();
                ASSERT_TRUE(t.Locate("matter", {"L7"}, 0));
                t.Edit();
                t.FieldByName("matter").setAsString("K");
                t.Post();
                ASSERT_TRUE(t.Locate("matter", {"K"}, 0));
                t.Delete();
                t.Close();
            } catch (const FatalError&) {
                failed = true;
            } catch (const std::exception& error) {
                failed = true;
            }
            env.failWritesAfter(-1);
        }
        if (!failed) succeeded = true;
        const std::string stored = shownOfK(&env, path, false);
        EXPECT_EQ(shownOfK(&env, path, true), stored);
    }
    EXPECT_TRUE(succeeded);
    setFatalHandler(previous);
}

// Writes fail after 0, 1, 2, ... bytes of an append (with and without a node split): the append
// reports the full disk, leaves no record behind, and once space is back the next append works
// and the index agrees with the table.
TEST(FullDisk, AnAppendFailingAtAnyByteLeavesNothingBehind) {
    for (int seeds : {5, 18}) {
        bool succeeded = false;
        for (int64_t budget = 0; budget < 20000 && !succeeded; ++budget) {
            SCOPED_TRACE(std::to_string(seeds) + " seeds, " + std::to_string(budget) + " bytes");
            MemEnv env;
            ASSERT_TRUE(
                DbfFile::create(&env, "/d/General.dbf", {FieldDescriptor{"MATTER", 'C', 50, 0, 0}})
                    .ok());
            Opened opened(&env, "/d/General.dbf");
            for (int i = 0; i < seeds; ++i)
                ASSERT_TRUE(opened.append("seed-" + std::to_string(100 + i)).ok());
            env.failWritesAfter(budget);
            const Status s = opened.append("new");
            env.failWritesAfter(-1);
            if (s.ok()) {
                succeeded = true;
                EXPECT_TRUE(opened.seek("new"));
                EXPECT_TRUE(opened.problems().empty());
                continue;
            }
            EXPECT_EQ(s.code(), 101);
            EXPECT_NE(s.message().find("No space left on device"), std::string::npos)
                << s.message();
            EXPECT_EQ(opened.table->recordCount(), uint32_t(seeds));
            EXPECT_FALSE(opened.seek("new"));
            const Status after = opened.append("after");
            ASSERT_TRUE(after.ok()) << after.message();
            EXPECT_TRUE(opened.seek("after"));
            EXPECT_TRUE(opened.problems().empty());
            const std::string bytes = env.contents("/d/General.dbf");
            EXPECT_EQ(bytes.size(), 65u + 51u * (seeds + 1) + 1u);
            EXPECT_EQ(bytes.back(), '\x1A');
            // Reopened elsewhere, as another workstation would.
            Opened again(&env, "/d/General.dbf");
            EXPECT_EQ(again.names().size(), size_t(seeds + 1));
            EXPECT_TRUE(again.problems().empty());
        }
        EXPECT_TRUE(succeeded);
    }
}

// An opening that walks the trees records the walk in the index file's header: writes failing
// after 0, 1, 2, ... bytes of that record still open the index, leave it sound, and cost the
// next opening only the walk.
TEST(FullDisk, AnOpeningThatCannotRecordItsCheckStillOpens) {
    for (int64_t budget = 0; budget <= 12; ++budget) {
        SCOPED_TRACE(std::to_string(budget) + " bytes");
        MemEnv env;
        ASSERT_TRUE(
            DbfFile::create(&env, "/d/General.dbf", {FieldDescriptor{"MATTER", 'C', 50, 0, 0}})
                .ok());
        {
            Opened opened(&env, "/d/General.dbf");
            for (int i = 0; i < 40; ++i)
                ASSERT_TRUE(opened.append("seed-" + std::to_string(100 + i)).ok());
        }
        std::string unrecorded = env.contents("/d/General.MDX");
        unrecorded.replace(52, 12, std::string(12, '\0'));
        env.setContents("/d/General.MDX", unrecorded);
        env.failWritesAfter(budget);
        {
            Opened opened(&env, "/d/General.dbf");
            env.failWritesAfter(-1);
            ASSERT_TRUE(opened.index);
            // The recorded counter is written last: a record cut short does not match, unless
            // what is missing of the counter is its zero high bytes (the rest is whole then).
            const std::string header = env.contents("/d/General.MDX").substr(0, 64);
            auto u32 = [&](size_t at) {
                uint32_t v = 0;
                for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(header[at + i]);
                return v;
            };
            const bool matches = u32(60) == u32(48);
            if (budget == 12) {
                EXPECT_TRUE(matches);
            }
            if (budget < 9) {
                EXPECT_FALSE(matches);
            }
            if (matches) {
                EXPECT_TRUE(u32(52) == 40 && u32(56) == u32(32));
            }
            EXPECT_TRUE(opened.seek("seed-139"));
            EXPECT_TRUE(opened.problems().empty());
            ASSERT_TRUE(opened.append("after").ok());
        }
        Opened again(&env, "/d/General.dbf");
        EXPECT_TRUE(again.seek("after"));
        EXPECT_TRUE(again.problems().empty());
    }
}

// A real file system of 64 KiB (tmpfs, when this process may mount one): appends until the disk
// is full, then space is freed and the next append works.
TEST(FullDisk, ASmallRealFileSystemFillsUpCleanly) {
    TempDir dir("smallfs");
    const std::string mountPoint = dir.file("fs");
    fs::create_directories(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the in-memory full-disk test covers the layer";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{mountPoint};
    const std::string table = mountPoint + "/General.dbf";
    {
        ASSERT_TRUE(
            DbfFile::create(Env::Default(), table, {FieldDescriptor{"MATTER", 'C', 50, 0, 0}})
                .ok());
        Opened opened(Env::Default(), table);
        ASSERT_TRUE(opened.index);
    }
    {
        std::ofstream filler(mountPoint + "/filler");
        filler << std::string(24 * 1024, 'x');
    }
    Opened opened(Env::Default(), table);
    Status s;
    int appended = 0;
    while (appended < 5000 && (s = opened.append("m-" + std::to_string(appended))).ok()) ++appended;
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.code(), 101);
    EXPECT_NE(s.message().find("No space left on device"), std::string::npos) << s.message();
    EXPECT_EQ(opened.table->recordCount(), uint32_t(appended));
    EXPECT_TRUE(opened.problems().empty());
    fs::remove(mountPoint + "/filler");
    EXPECT_TRUE(opened.append("after").ok());
    EXPECT_TRUE(opened.seek("after"));
    EXPECT_TRUE(opened.seek("m-" + std::to_string(appended - 1)));
    EXPECT_TRUE(opened.problems().empty());
}

// Past the file-size limit the process is not killed by SIGXFSZ: the write error is reported
// with the system's reason, and what was written before stays whole and indexed.
TEST(FileSizeLimit, AWritePastTheLimitIsReportedWithItsReason) {
    TempDir dir("ulimit");
    const std::string table = dir.file("General.dbf");
    ASSERT_EQ(helper({"make", table, "3"}).exitCode, 0);
    ToolRun limited = run("ulimit -f 64; exec " + quoted(RELIABILITY_HELPER) + " append " +
                          quoted(table) + " 3000 9");
    EXPECT_EQ(limited.signal, 0);
    EXPECT_EQ(limited.exitCode, 2);
    EXPECT_NE(limited.output.find("File too large"), std::string::npos) << limited.output;
    EXPECT_NE(limited.output.find("Error # 101"), std::string::npos) << limited.output;
    Opened opened(Env::Default(), table);
    EXPECT_TRUE(opened.problems().empty());
    EXPECT_GT(opened.table->recordCount(), 3u);
    EXPECT_TRUE(opened.seek("p9-0"));
}

// Closing a component whose close cannot write: the error is reported, and the component is
// closed all the same (no pointer to the freed file is kept for the next call).
TEST(FailedClose, TheComponentIsClosedBeforeTheErrorIsReported) {
    MemEnv env;
    std::vector<std::string> fatal;
    const FatalHandler previous =
        setFatalHandler([&](int, const std::string& message) { fatal.push_back(message); });
    {
        TDbfTable table("T_Test", &env);
        table.DbfFields = std::vector<std::string>{"matter,C,50,0"};
        table.IndexList = std::vector<std::string>{kTag, ""};
        table.setDbfFileName("/d/General.dbf");
        table.Open();
        table.Append();
        table.FieldByName("matter").setAsString("Smith v. Smith");
        table.Post();
        env.failWritesAfter(0);
        EXPECT_THROW(table.Close(), FatalError);
        env.failWritesAfter(-1);
        ASSERT_EQ(fatal.size(), 1u);
        EXPECT_NE(fatal[0].find("Error # 101"), std::string::npos) << fatal[0];
        EXPECT_FALSE(table.Active());
        table.Close();  // nothing left to close
        table.Open();
        EXPECT_TRUE(table.Locate("matter", {"Smith v. Smith"}, 0u));
        table.Close();
    }
    setFatalHandler(previous);
    EXPECT_EQ(fatal.size(), 1u);
}

}  // namespace
