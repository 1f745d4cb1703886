// dbftool count FILE --where FIELD=VALUE...: how many records pass a filter routine, counted by
// the table component as the forms count them (deleted records included, as tables without
// deleted-record hiding count them). The first condition is the routine's key: with a production
// index tag on that field, only the records the tag lists under the value are read.
#include <iostream>
#include <utility>

#include "commands.h"
#include "storage/dbf_table.h"

namespace dbftool {

int runCount(const Args& args) {
    if (args.empty()) return failUsage("count needs a FILE");
    std::vector<std::pair<std::string, std::string>> conditions;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--where" || i + 1 >= args.size())
            return failUsage("count FILE --where FIELD=VALUE");
        const std::string& condition = args[++i];
        auto equals = condition.find('=');
        if (equals == std::string::npos || equals == 0)
            return failUsage("--where needs FIELD=VALUE");
        conditions.emplace_back(condition.substr(0, equals), condition.substr(equals + 1));
    }

    // The component's failures come back here as exceptions instead of ending the program
    // with the error number as its exit status.
    const storage::FatalHandler previous = storage::setFatalHandler([](int, const std::string&) {});
    struct Restore {
        const storage::FatalHandler& handler;
        ~Restore() { storage::setFatalHandler(handler); }
    } restore{previous};
    storage::TDbfTable table("dbftool");
    table.CreateIfNotFound = false;
    table.ReadOnly = true;
    table.NaturalOrder = true;
    try {
        table.setDbfFileName(args[0]);
        table.Open();
        for (const auto& [field, value] : conditions) (void)table.FieldByName(field);
        storage::FilterKey key;
        if (!conditions.empty()) {
            key.field = conditions.front().first;
            key.value = [value = conditions.front().second](void*) { return value; };
        }
        table.SetFilterToCB(
            [&table, &conditions](void*) {
                for (const auto& [field, value] : conditions) {
                    if (table.FieldByName(field).AsString() != value) return false;
                }
                return true;
            },
            nullptr, key);
        std::cout << table.GetFilteredCount() << "\n";
    } catch (const storage::FatalError& error) {
        std::cerr << error.message << "\n";
        return kFailed;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return kFailed;
    }
    return 0;
}

}  // namespace dbftool
