// A process of the reliability tests, on a General-like table (MATTER C 50) whose production
// index has the unique tag "MYKEY,F,T,matter":
//   reliability_helper make TABLE N             creates TABLE with the records seed-000 .. N-1
//   reliability_helper append TABLE COUNT ID    appends pID-0 .. pID-(COUNT-1), as the program
//                                               does (append lock, index kept current)
//   reliability_helper locate TABLE NAME...     the table component's Locate on matter for each
//                                               name; prints "missing NAME" for each not found
//                                               (exit 1), exit 2 on an error
//   reliability_helper crash TABLE COUNT N      appends cN-0 .. cN-(COUNT-1), printing "ok NAME"
//                                               after each append that reported success, and is
//                                               killed (SIGKILL) just before its N-th file
//                                               write; N = 0 never kills and prints "writes W"
//                                               at the end
//   reliability_helper crash-edit TABLE COUNT N  through the table component, renames seed-000
//                                               .. seed-(COUNT-1) to eN-0 .. (each post reads
//                                               the record again under its lock), printing
//                                               "ok NAME" after each post that succeeded;
//                                               killed before its N-th write as crash is
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "fault_env.h"
#include "helper_tables.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/production_index.h"
#include "storage/record.h"

using namespace storage;

namespace {

constexpr const char* kTag = "MYKEY,F,T,matter";

int failed(const Status& s) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return 2;
}

Status closeIndexed(std::unique_ptr<DbfFile>& table, std::unique_ptr<ProductionIndex>& index) {
    table->setIndexHook(nullptr);
    index.reset();
    return table->close();
}

int locate(const std::string& path, int argc, char** argv) {
    setFatalHandler([](int, const std::string&) {});  // failures come back as exceptions
    TDbfTable table("T_Matter");
    table.CreateIfNotFound = false;
    table.IndexList = std::vector<std::string>{kTag, ""};
    int missing = 0;
    try {
        table.setDbfFileName(path);
        table.Open();
        for (int i = 0; i < argc; ++i) {
            if (!table.Locate("matter", {argv[i]}, loCaseInsensitive)) {
                std::printf("missing %s\n", argv[i]);
                ++missing;
            } else if (table.FieldByName("matter").AsString() != argv[i]) {
                std::printf("wrong record for %s\n", argv[i]);
                ++missing;
            }
        }
        table.Close();
    } catch (const FatalError& error) {
        std::fprintf(stderr, "%s\n", error.message.c_str());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    return missing == 0 ? 0 : 1;
}

// Runs `writes` through an Env that kills the process before its `killAt`-th write. Failures
// the component throws end the process with 2; when `writes` returns 0 the writes made are
// reported ("writes W").
int withKillBeforeWrite(long killAt, const std::function<int(Env*)>& writes) {
    setFatalHandler([](int, const std::string&) {});  // failures come back as exceptions
    helper_tables::FaultEnv env(Env::Default(), killAt);
    try {
        if (const int code = writes(&env); code != 0) return code;
    } catch (const FatalError& error) {
        std::fprintf(stderr, "%s\n", error.message.c_str());
        return 2;
    }
    std::printf("writes %ld\n", env.writes());
    return 0;
}

int crashEdit(const std::string& path, int count, long killAt) {
    return withKillBeforeWrite(killAt, [&](Env* env) {
        TDbfTable table("T_General", env);
        table.CreateIfNotFound = false;
        table.IndexList = std::vector<std::string>{kTag, ""};
        table.HideDeletedRecs = true;
        table.setDbfFileName(path);
        table.Open();
        for (int i = 0; i < count; ++i) {
            char seed[16];
            std::snprintf(seed, sizeof seed, "seed-%03d", i);
            if (!table.Locate("matter", {seed}, loCaseInsensitive)) return 1;
            table.Edit();
            const std::string name = "e" + std::to_string(killAt) + "-" + std::to_string(i);
            table.FieldByName("matter").setAsString(name);
            table.Post();
            if (table.State() != DataSetState::Browse) return 1;
            std::printf("ok %s\n", name.c_str());
            std::fflush(stdout);
        }
        table.Close();
        return 0;
    });
}

// The component of a matter-filtered table: its index holds the matter tag as a lookup tag.
void declareKeyed(TDbfTable& table, const std::string& path) {
    table.DbfFields = std::vector<std::string>{"matter,C,50,0", "amt,N,12,2"};
    table.LookupTags = std::vector<std::string>{"MATTER,F,F,matter", ""};
    table.HideDeletedRecs = true;
    table.setDbfFileName(path);
}

// Writes to matter "K" through the component, `count` times: a new record, an edit that moves
// no key, a seed record moved to the matter and one of its records deleted; then the table is
// closed (its header written). Each write that returned is reported.
int crashKeyed(const std::string& path, int count, long killAt) {
    return withKillBeforeWrite(killAt, [&](Env* env) {
        TDbfTable table("T_Keyed", env);
        declareKeyed(table, path);
        table.CreateIfNotFound = false;
        table.Open();
        for (int i = 0; i < count; ++i) {
            table.Append();
            table.FieldByName("matter").setAsString("K");
            table.FieldByName("amt").setAsFloat(1000 + i);
            table.Post();
            std::printf("ok add %d\n", 1000 + i);
            std::fflush(stdout);
            if (!table.Locate("matter", {"K"}, 0)) return 1;
            table.Edit();
            table.FieldByName("amt").setAsFloat(2000 + i);
            table.Post();
            std::printf("ok edit %u\n", table.RecNo());
            std::fflush(stdout);
            char seed[16];
            std::snprintf(seed, sizeof seed, "seed-%03d", i);
            if (!table.Locate("matter", {seed}, 0)) return 1;
            table.Edit();
            table.FieldByName("matter").setAsString("K");
            table.Post();
            std::printf("ok move %u\n", table.RecNo());
            std::fflush(stdout);
        }
        if (!table.Locate("matter", {"K"}, 0)) return 1;
        const uint32_t gone = table.RecNo();
        table.Delete();
        std::printf("ok delete %u\n", gone);
        std::fflush(stdout);
        table.Close();
        return 0;
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string command = argv[1], path = argv[2];
    std::unique_ptr<DbfFile> table;
    std::unique_ptr<ProductionIndex> index;
    if (command == "locate") return locate(path, argc - 3, argv + 3);
    if (argc < 4) return 2;
    const int count = std::atoi(argv[3]);
    if (command == "make") {
        Status s =
            DbfFile::create(Env::Default(), path, {FieldDescriptor{"MATTER", 'C', 50, 0, 0}});
        if (s.ok()) s = helper_tables::openIndexed(Env::Default(), path, kTag, &table, &index);
        for (int i = 0; s.ok() && i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "seed-%03d", i);
            s = helper_tables::append(*table, name);
        }
        if (s.ok()) s = closeIndexed(table, index);
        return s.ok() ? 0 : failed(s);
    }
    if (command == "append" && argc == 5) {
        Status s = helper_tables::openIndexed(Env::Default(), path, kTag, &table, &index);
        for (int i = 0; s.ok() && i < count; ++i)
            s = helper_tables::append(*table, "p" + std::string(argv[4]) + "-" + std::to_string(i));
        if (s.ok()) s = closeIndexed(table, index);
        return s.ok() ? 0 : failed(s);
    }
    if (command == "crash-edit" && argc == 5) return crashEdit(path, count, std::atol(argv[4]));
    if (command == "crash-keyed" && argc == 5) return crashKeyed(path, count, std::atol(argv[4]));
    if (command == "make-keyed") {
        TDbfTable seeds("T_Keyed");
        declareKeyed(seeds, path);
        seeds.Open();
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "seed-%03d", i);
            for (const char* matter :
                 {static_cast<const char*>(name), i % 3 == 0 ? "K" : nullptr}) {
                if (!matter) continue;
                seeds.Append();
                seeds.FieldByName("matter").setAsString(matter);
                seeds.FieldByName("amt").setAsFloat(i);
                seeds.Post();
            }
        }
        seeds.Close();
        return 0;
    }
    if (command == "crash" && argc == 5) {
        helper_tables::FaultEnv env(Env::Default(), std::atol(argv[4]));
        Status s = helper_tables::openIndexed(&env, path, kTag, &table, &index);
        for (int i = 0; s.ok() && i < count; ++i) {
            const std::string name = "c" + std::string(argv[4]) + "-" + std::to_string(i);
            s = helper_tables::append(*table, name);
            if (s.ok()) {
                std::printf("ok %s\n", name.c_str());
                std::fflush(stdout);
            }
        }
        if (s.ok()) s = closeIndexed(table, index);
        std::printf("writes %ld\n", env.writes());
        return s.ok() ? 0 : failed(s);
    }
    return 2;
}
