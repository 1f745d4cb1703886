#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/status.h"

namespace dbftool {

// The command's arguments, without the program and command names.
using Args = std::vector<std::string>;

#define DBFTOOL_COMMAND(name, function, usage) int function(const Args& args);
#include "commands.def"
#undef DBFTOOL_COMMAND

// The exit statuses besides 0 (done): a command that failed, arguments it cannot take (both 2,
// as scripts written for the tool expect); `check` and `seek` exit 1 for damage or no key found.
constexpr int kFailed = 2;
constexpr int kWrongArguments = 2;

// Prints the file layer's message to standard error; returns kFailed.
int fail(const storage::Status& status);
// Prints a usage or argument problem to standard error; returns kWrongArguments.
int failUsage(const std::string& text);

// Opens a table shared for reading and writing, with whatever extensions attach to it (the index
// commands attach the production index so that appends keep it current). The attachment lives
// as long as the returned object.
struct WritableTable {
    std::shared_ptr<void> attachment;  // declared first: outlives the table it serves
    std::unique_ptr<storage::DbfFile> table;
};
storage::Status openForWriting(const std::string& path, WritableTable* out);

// Extension points, set once by static registration in an extension's own file:
//   static const bool registered = (dbftool::tableAttacher() = &attachIndex, true);
using TableAttacher = storage::Status (*)(storage::DbfFile& table, std::shared_ptr<void>* keep);
TableAttacher& tableAttacher();
// Builds the tags given with `create --tag` for a newly created table.
using TagCreator = storage::Status (*)(const std::string& path,
                                       const std::vector<std::string>& tags);
TagCreator& tagCreator();
// Further checks of one table for `check`: writes one line per problem, returns their number.
using TableChecker = int (*)(const std::string& path, std::ostream& out);
std::vector<TableChecker>& tableCheckers();

}  // namespace dbftool
