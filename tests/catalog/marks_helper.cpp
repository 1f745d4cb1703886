// A workstation writing answer marks as the forms do: the matter's record of Marks.dbf (the
// catalog's table) found through its `matter` tag and edited, or started when there is none, then
// posted by the table component under its locks.
//   marks_helper set DIR MATTER KILLAT KEY=VALUE...
//       one post per KEY=VALUE, printing "ok KEY=VALUE" after each that returned; killed
//       (SIGKILL) just before its KILLAT-th file write (0: never; prints "writes W" at the end)
//   marks_helper loop DIR MATTER KEY ROUNDS ID
//       ROUNDS posts setting KEY to "ID-<round>" (a refused lock is tried again)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "../storage/fault_env.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

using namespace storage;

namespace {

// One mark posted; false when the post did not happen (a lock refused).
bool post(TDbfTable& table, const std::string& matter, const std::string& key,
          const std::string& value) {
    if (table.Locate("matter", {matter}, loCaseInsensitive)) {
        table.Edit();
    } else {
        table.Insert();
        table.FieldByName("matter").setAsString(matter);
    }
    table.FieldByName(key).setAsString(value);
    table.Post();
    if (table.State() == DataSetState::Browse) return true;
    table.Cancel();
    return false;
}

std::unique_ptr<TDbfTable> openMarks(Env* env, const std::string& dir) {
    auto table = std::make_unique<TDbfTable>(catalog::marksTable().component, env);
    catalog::applyDefinition(*table, catalog::marksTable(), dir);
    table->Open();
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    setFatalHandler([](int, const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::exit(2);
    });
    if (argc < 5) return 2;
    const std::string command = argv[1], dir = std::string(argv[2]) + "/", matter = argv[3];
    try {
        if (command == "set") {
            helper_tables::FaultEnv env(Env::Default(), std::atol(argv[4]));
            auto table = openMarks(&env, dir);
            for (int i = 5; i < argc; ++i) {
                const std::string pair = argv[i];
                const auto equals = pair.find('=');
                if (!post(*table, matter, pair.substr(0, equals), pair.substr(equals + 1)))
                    return 3;
                std::printf("ok %s\n", pair.c_str());
                std::fflush(stdout);
            }
            table->Close();
            std::printf("writes %ld\n", env.writes());
            return 0;
        }
        if (command == "loop" && argc == 7) {
            setMessageHandler([](const std::string&) {});  // "Lock failed [Post]": tried again
            auto table = openMarks(Env::Default(), dir);
            const int rounds = std::atoi(argv[5]);
            for (int round = 1; round <= rounds; ++round) {
                const std::string value = std::string(argv[6]) + "-" + std::to_string(round);
                for (int attempt = 0; !post(*table, matter, argv[4], value); ++attempt) {
                    if (attempt == 10000) return 5;
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
            }
            table->Close();
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    return 2;
}
