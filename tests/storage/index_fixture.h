#pragma once

// Helpers of the index tests: tables in memory or on disk, records built from field values.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/mem_env.h"
#include "storage/production_index.h"
#include "storage/record.h"

namespace index_test {

inline storage::FieldDescriptor field(const char* name, char type, int width, int decimals = 0) {
    storage::FieldDescriptor f;
    f.name = name;
    f.type = type;
    f.width = static_cast<uint8_t>(width);
    f.decimals = static_cast<uint8_t>(decimals);
    return f;
}

// A table opened for reading and writing with its production index kept current.
struct IndexedTable {
    std::unique_ptr<storage::DbfFile> table;
    std::unique_ptr<storage::ProductionIndex> index;

    // Appends a record whose fields, in order, take `values` as text (numbers as text too).
    void append(const std::vector<std::string>& values) {
        std::vector<uint8_t> record(table->recordLength());
        table->blankRecord(record.data());
        for (size_t i = 0; i < values.size(); ++i) {
            const auto& f = table->fields()[i];
            if (f.type == 'N' || f.type == 'F')
                storage::setNumber(f, record.data(), std::stod(values[i]));
            else
                storage::setText(f, record.data(), values[i]);
        }
        const bool shared = table->share() == storage::Share::Shared;
        if (shared) {
            ASSERT_TRUE(table->lockAppend());
        }
        storage::Status s = table->appendRecord(record.data());
        if (shared) table->unlockAppend();
        ASSERT_TRUE(s.ok()) << s.message();
    }

    // Sets field `name` of record `recno` to `value` and rewrites it.
    void rewrite(uint32_t recno, const std::string& name, const std::string& value) {
        std::vector<uint8_t> record(table->recordLength());
        ASSERT_TRUE(table->readRecord(recno, record.data()).ok());
        const auto& f = table->fields()[table->fieldIndex(name)];
        storage::setText(f, record.data(), value);
        ASSERT_TRUE(table->lockRecord(recno));
        storage::Status s = table->writeRecord(recno, record.data());
        table->unlockRecord(recno);
        ASSERT_TRUE(s.ok()) << s.message();
    }

    // Every (key text, record number) of tag `tag` in tag order, keys with trailing blanks cut.
    std::vector<std::pair<std::string, uint32_t>> entries(int tag = 0) {
        std::vector<std::pair<std::string, uint32_t>> result;
        auto cursor = index->cursor(tag);
        bool found = false;
        storage::Status s = cursor->first(&found);
        for (; s.ok() && found; s = cursor->next(&found)) {
            std::string key(reinterpret_cast<const char*>(cursor->key()), cursor->tag().keyLength);
            while (!key.empty() && key.back() == ' ') key.pop_back();
            result.emplace_back(key, cursor->recno());
        }
        EXPECT_TRUE(s.ok()) << s.message();
        return result;
    }

    std::vector<std::string> problems() {
        std::vector<std::string> found;
        storage::Status s = index->verify(&found);
        EXPECT_TRUE(s.ok()) << s.message();
        return found;
    }
    // The problems other than live records that share a key of a unique tag (which a table
    // filled with repeated keys on purpose has).
    std::vector<std::string> damage() {
        std::vector<std::string> found = problems();
        std::erase_if(found, [](const std::string& line) {
            return line.find(" are both live with the key ") != std::string::npos;
        });
        return found;
    }
};

// Creates `path` with `fields` and opens it with `tags` (IndexList first lines).
inline IndexedTable createIndexed(storage::Env* env, const std::string& path,
                                  const std::vector<storage::FieldDescriptor>& fields,
                                  const std::vector<std::string>& tagLines,
                                  storage::Share share = storage::Share::Shared) {
    IndexedTable t;
    storage::Status s = storage::DbfFile::create(env, path, fields);
    EXPECT_TRUE(s.ok()) << s.message();
    s = storage::DbfFile::open(env, path, storage::Access::ReadWrite, share, &t.table);
    EXPECT_TRUE(s.ok()) << s.message();
    std::vector<storage::IndexListEntry> tags;
    for (const auto& line : tagLines) {
        storage::IndexListEntry entry;
        EXPECT_TRUE(storage::parseTagLine(line, &entry).ok());
        tags.push_back(entry);
    }
    s = storage::ProductionIndex::openOrBuild(t.table.get(), tags, nullptr, &t.index);
    EXPECT_TRUE(s.ok()) << s.message();
    if (t.index) t.table->setIndexHook(t.index.get());
    return t;
}

}  // namespace index_test
