// Input: a 2-byte little-endian length n, then n bytes of a table file, then its memo file.
// Every malformed file must give an error, never a crash, a hang or a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/key_expression.h"
#include "storage/mdx_file.h"
#include "storage/mem_env.h"
#include "storage/record.h"

using namespace storage;

namespace {

constexpr uint32_t kMaxRecords = 2000;

void readEverything(DbfFile& table) {
    std::vector<uint8_t> record(table.recordLength());
    std::string text;
    // Each field as an index key, as a tag over a damaged table would read it.
    std::vector<std::unique_ptr<KeyExpression>> keys(table.fields().size());
    for (size_t f = 0; f < keys.size(); ++f)
        KeyExpression::compile(table.fields()[f].name, table.fields(), &keys[f]);
    uint8_t key[kMdxMaxKeyLength];
    const uint32_t count = std::min(table.recordCount(), kMaxRecords);
    for (uint32_t n = 1; n <= count; ++n) {
        if (!table.readRecord(n, record.data()).ok()) return;
        for (size_t f = 0; f < table.fields().size(); ++f) {
            if (keys[f]) keys[f]->evaluate(record.data(), n, key);
            const FieldDescriptor& field = table.fields()[f];
            getText(field, record.data(), &text);
            getNumber(field, record.data());
            getInteger(field, record.data());
            getDate(field, record.data());
            getBool(field, record.data());
            if (isMemoType(field.type)) table.readMemo(record.data(), static_cast<int>(f), &text);
        }
    }
    std::vector<uint8_t> batch(size_t(table.recordLength()) * 16);
    uint32_t got = 0;
    table.readRecords(1, 16, batch.data(), &got);
}

void writeSomething(DbfFile& table) {
    std::vector<uint8_t> record(table.recordLength());
    table.blankRecord(record.data());
    for (size_t f = 0; f < table.fields().size(); ++f) {
        const FieldDescriptor& field = table.fields()[f];
        if (isMemoType(field.type)) {
            table.writeMemo(record.data(), static_cast<int>(f), "memo text");
        } else {
            setText(field, record.data(), "x");
        }
    }
    if (table.lockAppend()) table.appendRecord(record.data());
    table.unlockAppend();
    if (table.recordCount() > 0 && table.lockRecord(1)) {
        if (table.readRecord(1, record.data()).ok()) {
            for (size_t f = 0; f < table.fields().size(); ++f) {
                if (isMemoType(table.fields()[f].type))
                    table.writeMemo(record.data(), static_cast<int>(f), std::string(700, 'y'));
            }
            table.writeRecord(1, record.data());
        }
        table.setDeleted(1, true);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t tableLength = std::min<size_t>(data[0] | data[1] << 8, size - 2);
    MemEnv env;
    env.setMaxFileSize(1 << 20);  // a far next free block would otherwise cost gigabytes
    env.setContents("/d/T.dbf", std::string(reinterpret_cast<const char*>(data + 2), tableLength));
    env.setContents("/d/T.dbt", std::string(reinterpret_cast<const char*>(data + 2 + tableLength),
                                            size - 2 - tableLength));
    std::unique_ptr<DbfFile> table;
    if (DbfFile::open(&env, "/d/T.dbf", Access::ReadOnly, Share::Shared, &table).ok()) {
        readEverything(*table);
        table.reset();
    }
    if (DbfFile::open(&env, "/d/t.DBF", Access::ReadWrite, Share::Shared, &table).ok()) {
        writeSomething(*table);
        table->close();
        if (DbfFile::open(&env, "/d/T.dbf", Access::ReadOnly, Share::Exclusive, &table).ok())
            readEverything(*table);
    }
    return 0;
}
