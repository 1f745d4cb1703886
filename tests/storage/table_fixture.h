#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/mem_env.h"
#include "storage/record.h"

// A table in an in-memory Env, with helpers named after what a test does to the file.
class TableTest : public ::testing::Test {
  protected:
    storage::MemEnv env;
    const std::string path = "/data/Table.dbf";
    const std::string memoPath = "/data/Table.dbt";

    static storage::FieldDescriptor field(const char* name, char type, int width,
                                          int decimals = 0) {
        return {name, type, static_cast<uint8_t>(width), static_cast<uint8_t>(decimals), 0};
    }

    void createTable(const std::vector<storage::FieldDescriptor>& fields) {
        ASSERT_TRUE(storage::DbfFile::create(&env, path, fields).ok());
    }

    storage::Status tryOpen(std::unique_ptr<storage::DbfFile>* table,
                            storage::Share share = storage::Share::Shared,
                            storage::Access access = storage::Access::ReadWrite) {
        return storage::DbfFile::open(&env, path, access, share, table);
    }

    std::unique_ptr<storage::DbfFile> openTable(
        storage::Share share = storage::Share::Shared,
        storage::Access access = storage::Access::ReadWrite) {
        std::unique_ptr<storage::DbfFile> table;
        const storage::Status s = tryOpen(&table, share, access);
        EXPECT_TRUE(s.ok()) << s.message();
        return table;
    }

    // Appends a record whose first (C) field holds `text`, under the append lock.
    uint32_t appendText(storage::DbfFile& table, const std::string& text) {
        std::vector<uint8_t> record(table.recordLength());
        table.blankRecord(record.data());
        storage::setText(table.fields()[0], record.data(), text);
        EXPECT_TRUE(table.lockAppend());
        uint32_t recno = 0;
        const storage::Status s = table.appendRecord(record.data(), &recno);
        EXPECT_TRUE(s.ok()) << s.message();
        table.unlockAppend();
        return recno;
    }

    std::string readText(storage::DbfFile& table, uint32_t recno, int fieldIndex = 0) {
        std::vector<uint8_t> record(table.recordLength());
        const storage::Status s = table.readRecord(recno, record.data());
        EXPECT_TRUE(s.ok()) << s.message();
        return storage::getText(table.fields()[fieldIndex], record.data());
    }

    std::string fileBytes(const std::string& file) { return env.contents(file); }
    void flipByte(const std::string& file, size_t offset, uint8_t value) {
        std::string bytes = env.contents(file);
        ASSERT_LT(offset, bytes.size());
        bytes[offset] = static_cast<char>(value);
        env.setContents(file, bytes);
    }
    void putU16(const std::string& file, size_t offset, uint16_t value) {
        flipByte(file, offset, value & 0xFF);
        flipByte(file, offset + 1, value >> 8);
    }
    void putU32(const std::string& file, size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) flipByte(file, offset + i, (value >> (8 * i)) & 0xFF);
    }
    void cutFile(const std::string& file, size_t size) {
        std::string bytes = env.contents(file);
        bytes.resize(std::min(bytes.size(), size));
        env.setContents(file, bytes);
    }
    static uint8_t byteAt(const std::string& bytes, size_t offset) {
        return static_cast<uint8_t>(bytes.at(offset));
    }
};
