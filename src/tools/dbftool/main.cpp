// dbftool: looks into and changes the dBASE tables of a data directory.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "commands.h"

namespace dbftool {

namespace {

struct Command {
    const char* name;
    int (*run)(const Args& args);
    const char* usage;
};

constexpr Command kCommands[] = {
#define DBFTOOL_COMMAND(name, function, usage) {name, &function, usage},
#include "commands.def"
#undef DBFTOOL_COMMAND
};

int usage() {
    std::cerr << "usage: dbftool COMMAND ARGS...\n";
    for (const Command& command : kCommands) std::cerr << "  dbftool " << command.usage << "\n";
    return kWrongArguments;
}

}  // namespace

int fail(const storage::Status& status) {
    std::cerr << status.message() << "\n";
    return kFailed;
}

int failUsage(const std::string& text) {
    std::cerr << "dbftool: " << text << "\n";
    return kWrongArguments;
}

TableAttacher& tableAttacher() {
    static TableAttacher attacher = nullptr;
    return attacher;
}

TagCreator& tagCreator() {
    static TagCreator creator = nullptr;
    return creator;
}

std::vector<TableChecker>& tableCheckers() {
    static std::vector<TableChecker> checkers;
    return checkers;
}

storage::Status openForWriting(const std::string& path, WritableTable* out) {
    storage::Status s =
        storage::DbfFile::open(storage::Env::Default(), path, storage::Access::ReadWrite,
                               storage::Share::Shared, &out->table);
    if (s.ok() && tableAttacher() != nullptr) s = tableAttacher()(*out->table, &out->attachment);
    return s;
}

}  // namespace dbftool

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = storage::Env::Default()->arguments(argc, argv);
    if (arguments.size() < 2) return dbftool::usage();
    for (const auto& command : dbftool::kCommands) {
        if (arguments[1] == command.name) {
            return command.run(dbftool::Args(arguments.begin() + 2, arguments.end()));
        }
    }
    std::cerr << "dbftool: unknown command " << arguments[1] << "\n";
    return dbftool::usage();
}
