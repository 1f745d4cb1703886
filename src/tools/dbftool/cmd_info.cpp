// dbftool info FILE: the header and the field descriptors of a table.
#include <cstdio>
#include <iostream>

#include "commands.h"

namespace dbftool {

int runInfo(const Args& args) {
    if (args.size() != 1) return failUsage("usage: dbftool info FILE");
    std::unique_ptr<storage::DbfFile> table;
    storage::Status s =
        storage::DbfFile::open(storage::Env::Default(), args[0], storage::Access::ReadOnly,
                               storage::Share::Shared, &table);
    if (!s.ok()) return fail(s);
    char line[128];
    std::snprintf(line, sizeof line, "Version:        0x%02X\n", table->version());
    std::cout << "File:           " << table->path() << "\n" << line;
    const storage::HeaderDate date = table->lastUpdate();
    std::snprintf(line, sizeof line, "Last update:    %04d-%02d-%02d\n", date.year, date.month,
                  date.day);
    std::cout << line;
    std::cout << "Records:        " << table->recordCount() << "\n";
    std::cout << "Header length:  " << table->headerLength() << "\n";
    std::cout << "Record length:  " << table->recordLength() << "\n";
    std::cout << "Index flag:     " << (table->productionIndexFlag() ? 1 : 0) << "\n";
    std::cout << "Fields:         " << table->fields().size() << "\n";
    for (const auto& field : table->fields()) {
        std::snprintf(line, sizeof line, "  %-10s %c %3d %2d\n", field.name.c_str(), field.type,
                      field.width, field.decimals);
        std::cout << line;
    }
    return 0;
}

}  // namespace dbftool
