#pragma once

// What the helper processes of the storage tests share: a shared table opened with its production
// index kept current, and appends made as the program makes them.

#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/production_index.h"
#include "storage/record.h"

namespace helper_tables {

// Opens `path` shared for writing, with its production index of the one tag `tagLine` (built
// when missing or damaged) kept current by every write.
inline storage::Status openIndexed(storage::Env* env, const std::string& path, const char* tagLine,
                                   std::unique_ptr<storage::DbfFile>* table,
                                   std::unique_ptr<storage::ProductionIndex>* index) {
    using namespace storage;
    Status s = DbfFile::open(env, path, Access::ReadWrite, Share::Shared, table);
    if (!s.ok()) return s;
    IndexListEntry tag;
    s = parseTagLine(tagLine, &tag);
    if (s.ok()) s = ProductionIndex::openOrBuild(table->get(), {tag}, nullptr, index);
    if (s.ok()) (*table)->setIndexHook(index->get());
    return s;
}

// Appends a record whose first field holds `name`.
inline storage::Status append(storage::DbfFile& table, const std::string& name) {
    std::vector<uint8_t> record(table.recordLength());
    table.blankRecord(record.data());
    storage::setText(table.fields()[0], record.data(), name);
    // The append lock is taken once: a busy lock is retried, as a user would.
    while (!table.lockAppend()) table.env()->sleepBetweenAttempts();
    storage::Status s = table.appendRecord(record.data());
    table.unlockAppend();
    return s;
}

}  // namespace helper_tables
