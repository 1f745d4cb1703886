// A second process for the table tests.
//   table_helper append FILE ID COUNT   appends COUNT records (ID, sequence 1..COUNT, a text made
//                                       of both) to a shared table, each under the append lock
//   table_helper trylock FILE RECNO     one attempt at the record lock: exit 0 held, 1 refused
//   table_helper write-sample DIR       writes the tables that the interoperability test reads
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/record.h"

using namespace storage;

namespace {

int failed(const Status& s) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return 2;
}

std::string patternText(int id, int seq) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::to_string(id) + ":" + std::to_string(seq) + ";";
    return text;
}

int append(const std::string& path, int id, int count) {
    std::unique_ptr<DbfFile> table;
    Status s = DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Shared, &table);
    if (!s.ok()) return failed(s);
    std::vector<uint8_t> record(table->recordLength());
    for (int seq = 1; seq <= count; ++seq) {
        table->blankRecord(record.data());
        setInteger(table->fields()[0], record.data(), id);
        setInteger(table->fields()[1], record.data(), seq);
        setText(table->fields()[2], record.data(), patternText(id, seq));
        while (!table->lockAppend()) std::this_thread::sleep_for(std::chrono::microseconds(50));
        s = table->appendRecord(record.data());
        table->unlockAppend();
        if (!s.ok()) return failed(s);
    }
    s = table->close();
    return s.ok() ? 0 : failed(s);
}

int tryLock(const std::string& path, uint32_t recno) {
    std::unique_ptr<DbfFile> table;
    Status s = DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Shared, &table);
    if (!s.ok()) return failed(s);
    return table->lockRecord(recno) ? 0 : 1;
}

struct SampleRow {
    const char* name;
    double amount;  // NaN: blank
    int count;
    bool ok;
    std::optional<Date> when;
    std::string note;
    bool deleted;
};

std::string longNote() {
    std::string text;
    for (int i = 1; i <= 60; ++i) text += "Line " + std::to_string(i) + ": Café façade ½ ñ\r\n";
    return text;  // about 1,600 bytes: four blocks
}

Status writeSample(const std::string& path, bool memo) {
    std::vector<FieldDescriptor> fields = {
        {"name", 'C', 30, 0}, {"amt", 'N', 12, 2}, {"cnt", 'N', 5, 0},
        {"ok", 'L', 1, 0},    {"when", 'D', 8, 0},
    };
    if (memo) fields.push_back({"note", 'M', 10, 0});
    Status s = DbfFile::create(Env::Default(), path, fields);
    std::unique_ptr<DbfFile> table;
    if (s.ok())
        s = DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Exclusive, &table);
    if (!s.ok()) return s;
    const SampleRow rows[] = {
        {"Café Müller ñ ½", 1234.5, 42, true, Date{2004, 3, 7}, longNote(), false},
        {"Deleted row", -0.5, 0, false, std::nullopt, "", true},
        {"Plain", std::nan(""), -17, false, Date{1999, 12, 31}, "short memo", false},
    };
    std::vector<uint8_t> record(table->recordLength());
    const auto& f = table->fields();
    uint32_t recno = 0;
    for (const auto& row : rows) {
        table->blankRecord(record.data());
        setText(f[0], record.data(), row.name);
        if (row.amount == row.amount) setNumber(f[1], record.data(), row.amount);
        setInteger(f[2], record.data(), row.count);
        setBool(f[3], record.data(), row.ok);
        setDate(f[4], record.data(), row.when);
        if (memo) s = table->writeMemo(record.data(), 5, row.note);
        if (s.ok()) s = table->appendRecord(record.data(), &recno);
        if (s.ok() && row.deleted) s = table->setDeleted(recno, true);
        if (!s.ok()) return s;
    }
    if (memo) {
        // A memo rewritten longer moves to new blocks; the reader must see only the new text.
        s = table->readRecord(3, record.data());
        if (s.ok()) s = table->writeMemo(record.data(), 5, "short memo, now longer: " + longNote());
        if (s.ok()) s = table->writeRecord(3, record.data());
        if (!s.ok()) return s;
    }
    return table->close();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "append")
        return append(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
    if (args.size() == 3 && args[0] == "trylock")
        return tryLock(args[1], static_cast<uint32_t>(std::atoi(args[2].c_str())));
    if (args.size() == 2 && args[0] == "write-sample") {
        Status s = writeSample(args[1] + "/sample.dbf", true);
        if (s.ok()) s = writeSample(args[1] + "/plain.dbf", false);
        return s.ok() ? 0 : failed(s);
    }
    std::fprintf(stderr,
                 "usage: table_helper append FILE ID COUNT | trylock FILE RECNO | "
                 "write-sample DIR\n");
    return 2;
}
