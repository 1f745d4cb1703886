// A workstation of the sharing tests: the table component on a Family-like table (matter C 50,
// etype C 25, expense C 65, amt N 12.2, notes M) with the unique tag "MYKEY,F,T,matter".
//   sharing_helper post TABLE MATTER REPORT GO [yes|no|give-up] NAME=VALUE...
//       stands on MATTER's record (reading it as a form shows it: the memo too) in editing, or
//       starts a new record of MATTER; sets the fields; creates REPORT.ready; waits for the file
//       GO; posts. REPORT then receives one line per event ("asked FIELD,FIELD", "deleted",
//       "taken") and "state browse|edit", "recno N". The optional answer replies to the
//       question about fields changed on both sides (default yes); give-up drops a new record
//       whose matter another workstation created meanwhile.
//   sharing_helper delete TABLE MATTER
//   sharing_helper edit-loop TABLE MATTER FIELD ROUNDS ID
//       ROUNDS times: stands on MATTER's record, sets FIELD to "ID-<round>" and posts (a refused
//       lock is tried again); exits 0 when every post was written.
// An existing TABLE is opened as it is, with its own fields and index (any table with `matter`),
// so the program's own tests use these commands as another workstation.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "storage/dbf_table.h"
#include "storage/record.h"
#include "storage/status.h"

using namespace storage;

namespace {

std::unique_ptr<TDbfTable> openTable(const std::string& path) {
    auto table = std::make_unique<TDbfTable>("T_Family");
    table->DbfFields = std::vector<std::string>{"matter,C,50,0", "etype,C,25,0", "expense,C,65,0",
                                                "amt,N,12,2", "notes,M,10,0"};
    table->IndexList = {"MYKEY,F,T,matter", ""};
    table->HideDeletedRecs = true;
    table->setDbfFileName(path);
    table->Open();
    return table;
}

// Reads every memo of the current record, as a form showing the record does.
void readMemos(TDbfTable& table) {
    for (int i = 0; i < table.FieldCount(); ++i)
        if (isMemoType(table.Fields(i).DataType())) table.Fields(i).AsString();
}

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 6000; ++i) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int post(const std::string& path, const std::string& matter, const std::string& report,
         const std::string& go, const std::string& answer, const std::vector<std::string>& sets) {
    std::ofstream out(report);
    auto table = openTable(path);
    table->OnPostConflict = [&](TDbfFileDataSet& t, const std::vector<int>& fields) {
        std::string names;
        for (int f : fields) names += (names.empty() ? "" : ",") + t.Fields(f).FieldName();
        out << "asked " << names << "\n";
        return answer != "no";
    };
    table->OnDeletedElsewhere = [&](TDbfFileDataSet&) { out << "deleted\n"; };
    table->OnKeyTakenElsewhere = [&](TDbfFileDataSet&) {
        out << "taken\n";
        return answer != "give-up";
    };
    if (table->Locate("matter", {matter}, 0u)) {
        readMemos(*table);
        table->Edit();
    } else {
        table->Insert();
        table->FieldByName("matter").setAsString(matter);
    }
    for (const std::string& set : sets) {
        const auto equals = set.find('=');
        table->FieldByName(set.substr(0, equals)).setAsString(set.substr(equals + 1));
    }
    std::ofstream(report + ".ready") << "ready";
    if (!waitForFile(go)) return 3;
    table->Post();
    out << "state " << (table->State() == DataSetState::Browse ? "browse" : "edit") << "\n";
    out << "recno " << table->RecNo() << "\n";
    return 0;
}

int editLoop(const std::string& path, const std::string& matter, const std::string& field,
             int rounds, const std::string& id) {
    int refused = 0;
    setMessageHandler([&](const std::string&) { ++refused; });  // "Lock failed [Post]"
    auto table = openTable(path);
    for (int round = 1; round <= rounds; ++round) {
        if (!table->Locate("matter", {matter}, 0u)) return 4;
        readMemos(*table);
        table->Edit();
        table->FieldByName(field).setAsString(id + "-" + std::to_string(round));
        for (int attempt = 0; table->State() != DataSetState::Browse; ++attempt) {
            if (attempt == 10000) return 5;
            table->Post();
            if (table->State() != DataSetState::Browse)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setFatalHandler([](int, const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::exit(2);
    });
    if (argc < 4) return 2;
    const std::string command = argv[1], path = argv[2], matter = argv[3];
    try {
        if (command == "post" && argc >= 6) {
            std::string answer = "yes";
            std::vector<std::string> sets;
            for (int i = 6; i < argc; ++i) {
                const std::string arg = argv[i];
                if (arg.find('=') == std::string::npos) {
                    answer = arg;
                } else {
                    sets.push_back(arg);
                }
            }
            return post(path, matter, argv[4], argv[5], answer, sets);
        }
        if (command == "delete") {
            auto table = openTable(path);
            if (!table->Locate("matter", {matter}, 0u)) return 1;
            table->Delete();
            return 0;
        }
        if (command == "edit-loop" && argc == 7)
            return editLoop(path, matter, argv[4], std::atoi(argv[5]), argv[6]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
    return 2;
}
