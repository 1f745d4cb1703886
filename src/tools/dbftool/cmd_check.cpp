// dbftool check FILE|DIR: the structure of one table or of every table in a directory.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>
#include <set>
#include <vector>

#include "commands.h"
#include "storage/record.h"

namespace dbftool {

namespace {

constexpr int kMaxListedPerKind = 10;  // records listed per kind of problem

bool hasDbfExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dbf";
}

// Reads the bytes of the file directly: the header against the file size and the end-of-file
// byte are things DbfFile itself copes with and so does not report.
int checkLayout(storage::DbfFile& table, std::ostream& out) {
    int problems = 0;
    std::unique_ptr<storage::File> file;
    storage::Status s = storage::Env::Default()->openFile(table.path(), storage::Access::ReadOnly,
                                                          storage::Share::Shared, &file);
    uint64_t size = 0;
    if (s.ok()) s = file->size(&size);
    uint8_t prolog[8] = {};
    size_t got = 0;
    if (s.ok()) s = file->read(0, prolog, sizeof prolog, &got);
    if (!s.ok()) {
        out << table.path() << ": " << s.message() << "\n";
        return 1;
    }
    const uint32_t headerCount = uint32_t(prolog[4]) | uint32_t(prolog[5]) << 8 |
                                 uint32_t(prolog[6]) << 16 | uint32_t(prolog[7]) << 24;
    const uint64_t dataBytes = size - table.headerLength();
    const uint64_t sizeCount = dataBytes / table.recordLength();
    const uint64_t rest = dataBytes % table.recordLength();
    if (headerCount > sizeCount) {
        out << table.path() << ": the header counts " << headerCount << " records, the file holds "
            << sizeCount << "\n";
        ++problems;
    } else if (headerCount < sizeCount) {
        // Shared tables count their records from the file size; the header's count is
        // rewritten when a workstation that appended closes the table. Not damage.
        out << table.path() << ": note: the header counts " << headerCount
            << " records, the file holds " << sizeCount
            << " (the count is rewritten when the table is closed)\n";
    }
    const uint64_t endOffset = table.headerLength() + sizeCount * table.recordLength();
    uint8_t end = 0;
    if (table.share() == storage::Share::Shared && !table.holdsAppendLock()) {
        // Another workstation may be appending right now: its record and end-of-file byte are
        // not there yet, which is no damage.
        out << table.path()
            << ": note: the append lock could not be had; the end of the table is not checked\n";
    } else if (rest == 0) {
        out << table.path() << ": no end-of-file byte after the last record\n";
        ++problems;
    } else if (!file->read(endOffset, &end, 1, &got).ok() || got != 1 || end != 0x1A) {
        out << table.path() << ": the byte after the last record is not the end-of-file byte\n";
        ++problems;
    } else if (rest > 1) {
        out << table.path() << ": " << rest - 1 << " stray bytes after the end-of-file byte\n";
        ++problems;
    }
    return problems;
}

int checkDescriptors(storage::DbfFile& table, std::ostream& out) {
    int problems = 0;
    std::set<std::string> names;
    for (const auto& field : table.fields()) {
        const std::string where = table.path() + ": field " + field.name;
        if (field.name.empty()) {
            out << table.path() << ": a field without a name\n";
            ++problems;
        } else if (!names.insert(field.name).second) {
            out << where << " appears twice\n";
            ++problems;
        }
        const std::string known = "CNFLDMBGP";
        int forced = -1;
        if (known.find(field.type) == std::string::npos) {
            out << where << " has the unknown type " << field.type << "\n";
            ++problems;
        } else if (field.type == 'D') {
            forced = 8;
        } else if (field.type == 'L') {
            forced = 1;
        } else if (storage::isMemoType(field.type)) {
            forced = 10;
        } else if (field.width == 0) {
            out << where << " has width 0\n";
            ++problems;
        }
        if (forced >= 0 && field.width != forced) {
            out << where << " of type " << field.type << " has width " << int(field.width)
                << " instead of " << forced << "\n";
            ++problems;
        }
    }
    return problems;
}

int checkRecords(storage::DbfFile& table, std::ostream& out) {
    int badFlags = 0;
    int badMemos = 0;
    int sharedMemos = 0;
    // Each memo belongs to one field of one record: a block reached twice means that writing
    // one of them overwrites the other's text.
    std::map<uint32_t, std::pair<uint32_t, std::string>> memoOwners;
    std::vector<int> memoFields;
    for (size_t i = 0; i < table.fields().size(); ++i) {
        if (storage::isMemoType(table.fields()[i].type)) memoFields.push_back(static_cast<int>(i));
    }
    if (!memoFields.empty() && !table.hasMemo()) {
        out << table.path() << ": memo fields, but the version byte announces no memo file\n";
        return 1;
    }
    constexpr uint32_t kBatch = 256;
    std::vector<uint8_t> buffer(size_t(kBatch) * table.recordLength());
    std::string text;
    for (uint32_t first = 1; first <= table.recordCount(); first += kBatch) {
        uint32_t got = 0;
        storage::Status s = table.readRecords(first, kBatch, buffer.data(), &got);
        if (!s.ok()) {
            out << table.path() << ": " << s.message() << "\n";
            return badFlags + badMemos + 1;
        }
        for (uint32_t i = 0; i < got; ++i) {
            const uint8_t* record = buffer.data() + size_t(i) * table.recordLength();
            const uint32_t recno = first + i;
            if (record[0] != ' ' && record[0] != '*' && ++badFlags <= kMaxListedPerKind) {
                out << table.path() << ": record #" << recno << " has the deletion flag 0x"
                    << std::hex << int(record[0]) << std::dec << "\n";
            }
            for (int f : memoFields) {
                const uint32_t block = storage::getMemoBlock(table.fields()[f], record);
                if (block != 0 && block != UINT32_MAX) {
                    const auto [owner, added] =
                        memoOwners.try_emplace(block, recno, table.fields()[f].name);
                    if (!added && ++sharedMemos <= kMaxListedPerKind) {
                        out << table.path() << ": record #" << recno << " field "
                            << table.fields()[f].name << " points at memo block " << block
                            << " of record #" << owner->second.first << " field "
                            << owner->second.second << "\n";
                    }
                }
                s = table.readMemo(record, f, &text);
                if (!s.ok() && ++badMemos <= kMaxListedPerKind) {
                    out << table.path() << ": record #" << recno << " field "
                        << table.fields()[f].name << ": " << s.message() << "\n";
                }
            }
        }
        if (got == 0) break;
    }
    if (badFlags > kMaxListedPerKind)
        out << table.path() << ": " << badFlags << " records with a bad deletion flag in all\n";
    if (badMemos > kMaxListedPerKind)
        out << table.path() << ": " << badMemos << " bad memo pointers in all\n";
    if (sharedMemos > kMaxListedPerKind)
        out << table.path() << ": " << sharedMemos << " memo pointers to blocks of others in all\n";
    return badFlags + badMemos + sharedMemos;
}

// Checks run under the table's append lock when it can be had (the table opened for writing,
// though nothing is written), so that a record being appended at this moment is not taken for
// damage: an append holds the lock from before its record is written until its keys are in the
// index.
constexpr int kAppendLockAttempts = 1001;

int checkTable(const std::string& path, std::ostream& out) {
    std::unique_ptr<storage::DbfFile> table;
    storage::Env* env = storage::Env::Default();
    storage::Status s = storage::DbfFile::open(env, path, storage::Access::ReadWrite,
                                               storage::Share::Shared, &table);
    if (!s.ok())
        s = storage::DbfFile::open(env, path, storage::Access::ReadOnly, storage::Share::Shared,
                                   &table);
    if (!s.ok()) {
        out << path << ": " << s.message() << "\n";
        return 1;
    }
    if (table->access() == storage::Access::ReadWrite) {
        for (int attempt = 1; !table->lockAppend() && attempt < kAppendLockAttempts; ++attempt)
            env->sleepBetweenAttempts();
        s = table->refreshRecordCount();
        if (!s.ok()) {
            out << path << ": " << s.message() << "\n";
            return 1;
        }
    }
    int problems =
        checkLayout(*table, out) + checkDescriptors(*table, out) + checkRecords(*table, out);
    for (TableChecker checker : tableCheckers()) problems += checker(table->path(), out);
    if (problems == 0) out << table->path() << ": OK\n";
    return problems;
}

}  // namespace

int runCheck(const Args& args) {
    if (args.size() != 1) return failUsage("usage: dbftool check FILE|DIR");
    const std::string& target = args[0];
    storage::Env* env = storage::Env::Default();
    if (env->isDirectory(target)) {
        std::vector<std::string> names;
        if (!env->listFiles(target, &names).ok())
            return fail(storage::Status::Error(storage::kPathNotFound, target + " [check]"));
        std::vector<std::string> tables;
        for (const auto& name : names) {
            if (hasDbfExtension(name)) tables.push_back(name);
        }
        std::sort(tables.begin(), tables.end());
        // Names are joined with the separator the directory was given with.
        const char separator =
            target.find('\\') != std::string::npos && target.find('/') == std::string::npos ? '\\'
                                                                                            : '/';
        const bool ends = target.back() == '/' || target.back() == '\\';
        const std::string prefix = ends ? target : target + separator;
        int problems = 0;
        for (const auto& name : tables) problems += checkTable(prefix + name, std::cout);
        std::cout << tables.size() << " tables, " << problems << " problems\n";
        return problems == 0 ? 0 : 1;
    }
    return checkTable(target, std::cout) == 0 ? 0 : 1;
}

}  // namespace dbftool
