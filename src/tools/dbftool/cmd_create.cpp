// dbftool create FILE [--tag LINE]... FIELD-LINE...: a new table from DbfFields lines.
#include <iostream>

#include "commands.h"
#include "storage/dbf_fields.h"

namespace dbftool {

int runCreate(const Args& args) {
    const char* usage =
        "usage: dbftool create FILE [--tag \"NAME,F,T,EXPR\"]... \"name,type,width,decimals\"...";
    if (args.size() < 2) return failUsage(usage);
    std::vector<std::string> lines;
    std::vector<std::string> tags;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--tag") {
            if (++i == args.size()) return failUsage(usage);
            tags.push_back(args[i]);
        } else {
            lines.push_back(args[i]);
        }
    }
    if (lines.empty()) return failUsage(usage);
    if (!tags.empty() && tagCreator() == nullptr) return failUsage("--tag is not available");
    auto fields = storage::parseDbfFields(
        lines, "dbftool", [](const std::string& message) { std::cerr << message << "\n"; });
    if (!fields)
        return failUsage("each field line needs exactly three commas: name,type,width,decimals");
    storage::Status s = storage::DbfFile::create(storage::Env::Default(), args[0], *fields);
    if (s.ok() && !tags.empty()) s = tagCreator()(args[0], tags);
    if (!s.ok()) return fail(s);
    return 0;
}

}  // namespace dbftool
