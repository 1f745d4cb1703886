// dbftool append FILE NAME=VALUE...: appends one record in shared mode under the append lock.
#include <charconv>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "storage/record.h"

namespace dbftool {

namespace {

bool parseNumber(const std::string& text, double* value) {
    std::string_view digits(text);
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
    return error == std::errc() && end == digits.data() + digits.size();
}

bool parseDate(const std::string& text, std::optional<storage::Date>* date) {
    if (text.empty()) {
        date->reset();
        return true;
    }
    storage::Date d;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &d.year, &d.month, &d.day, &extra) != 3 &&
        (text.size() != 8 ||
         std::sscanf(text.c_str(), "%4d%2d%2d%c", &d.year, &d.month, &d.day, &extra) != 3)) {
        return false;
    }
    *date = d;
    return true;
}

bool parseBool(const std::string& text, bool* value) {
    if (text == "T" || text == "t" || text == "Y" || text == "y" || text == "true" || text == "1") {
        *value = true;
    } else if (text == "F" || text == "f" || text == "N" || text == "n" || text == "false" ||
               text == "0" || text.empty()) {
        *value = false;
    } else {
        return false;
    }
    return true;
}

// Sets one field of `record` from NAME=VALUE text; memo text goes to the memo file.
int setField(storage::DbfFile& table, uint8_t* record, const std::string& assignment) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos) return failUsage("expected NAME=VALUE: " + assignment);
    const std::string name = assignment.substr(0, equals);
    const std::string text = assignment.substr(equals + 1);
    const int index = table.fieldIndex(name);
    if (index < 0) return failUsage("no field " + name + " in " + table.path());
    const storage::FieldDescriptor& field = table.fields()[index];
    switch (field.type) {
        case 'N':
        case 'F': {
            double value = 0;
            if (text.empty()) {
                storage::setBlank(field, record);
            } else if (!parseNumber(text, &value)) {
                return failUsage("not a number for " + name + ": " + text);
            } else if (!storage::setNumber(field, record, value)) {
                std::fprintf(stderr, "dbftool: %s does not fit field %s; stored as '*'\n",
                             text.c_str(), name.c_str());
            }
            return 0;
        }
        case 'L': {
            bool value = false;
            if (!parseBool(text, &value))
                return failUsage("not a logical for " + name + ": " + text);
            storage::setBool(field, record, value);
            return 0;
        }
        case 'D': {
            std::optional<storage::Date> date;
            if (!parseDate(text, &date) || !storage::setDate(field, record, date))
                return failUsage("not a date (YYYY-MM-DD) for " + name + ": " + text);
            return 0;
        }
        default:
            if (storage::isMemoType(field.type)) {
                storage::Status s = table.writeMemo(record, index, text);
                return s.ok() ? 0 : fail(s);
            }
            storage::setText(field, record, text);
            return 0;
    }
}

}  // namespace

int runAppend(const Args& args) {
    if (args.empty()) return failUsage("usage: dbftool append FILE NAME=VALUE...");
    WritableTable open;
    storage::Status s = openForWriting(args[0], &open);
    if (!s.ok()) return fail(s);
    storage::DbfFile& table = *open.table;
    std::vector<uint8_t> record(table.recordLength());
    table.blankRecord(record.data());
    for (size_t i = 1; i < args.size(); ++i) {
        if (int status = setField(table, record.data(), args[i]); status != 0) return status;
    }
    // Another workstation may hold the lock for a moment.
    constexpr int kAttempts = 11;
    bool locked = false;
    for (int attempt = 1; !(locked = table.lockAppend()) && attempt < kAttempts; ++attempt)
        storage::Env::Default()->sleepBetweenAttempts();
    if (!locked) {
        return fail(storage::Status::Error(
            storage::kLockViolation, "Cannot lock " + table.path() + " for appending [APPEND]"));
    }
    uint32_t recno = 0;
    s = table.appendRecord(record.data(), &recno);
    table.unlockAppend();
    if (s.ok()) s = table.close();
    if (!s.ok()) return fail(s);
    std::printf("%u\n", recno);
    return 0;
}

}  // namespace dbftool
