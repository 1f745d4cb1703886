// One workstation's first use of a table: waits for the "go" file, then opens the missing table
// through the component (creating it, its memo file and its production index) and appends one
// record with a memo. Exit code 0 on success; the error text on standard error otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

#include "storage/dataset.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

using namespace storage;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: create_race_helper <table> <go file> <id>\n");
        return 2;
    }
    const std::string table = argv[1], go = argv[2], id = argv[3];
    bool failed = false;
    setMessageHandler([&](const std::string& message) {
        std::fprintf(stderr, "message: %s\n", message.c_str());
        failed = true;
    });
    setFatalHandler([&](int code, const std::string& message) {
        std::fprintf(stderr, "error %d: %s\n", code, message.c_str());
        failed = true;
    });
    struct stat st;
    while (::stat(go.c_str(), &st) != 0) ::usleep(200);
    try {
        TDbfTable t("T_Matters");
        t.DbfFields = std::vector<std::string>{"matter,C,30,0", "client,C,40,0", "amt,N,10,2",
                                               "notes,M,10,0"};
        t.IndexList = {"MYKEY,F,T,matter", "", "CLIENT,F,F,client", ""};
        t.setDbfFileName(table);
        // The others append at the same moment: the append lock is waited for.
        t.OnALockFailedOnInsert = [](TDbfFileDataSet&, bool& retry) {
            ::usleep(1000);
            retry = true;
        };
        t.Open();
        t.Append();
        t.FieldByName("matter").setAsString("M" + id);
        t.FieldByName("client").setAsString("Client " + id);
        t.FieldByName("amt").setAsFloat(std::stod(id) + 0.25);
        t.FieldByName("notes").setAsString("notes of matter " + id);
        t.Post();
        t.Close();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exception: %s\n", e.what());
        return 1;
    }
    return failed ? 1 : 0;
}
