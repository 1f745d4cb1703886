// dbftool dump FILE [--json]: every record, as CSV or as a JSON array.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "storage/record.h"

namespace dbftool {

namespace {

std::string csvQuoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string dateText(const std::optional<storage::Date>& date) {
    if (!date) return std::string();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date->year, date->month, date->day);
    return text;
}

// A number field's stored text when it is a number; empty for blanks and the '*' fill.
bool numberText(const storage::FieldDescriptor& field, const uint8_t* record, std::string* out) {
    const std::string text = storage::getText(field, record);
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return false;
    double value = 0;
    std::string_view digits(text.data() + begin, text.size() - begin);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    char buffer[64];
    auto [last, error2] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error2 != std::errc()) return false;
    out->assign(buffer, last);
    return true;
}

struct FieldValue {
    std::string text;
    enum Kind { Text, Number, Bool, Null } kind = Text;
};

storage::Status valueOf(storage::DbfFile& table, int index, const uint8_t* record,
                        FieldValue* value) {
    const storage::FieldDescriptor& field = table.fields()[index];
    value->kind = FieldValue::Text;
    switch (field.type) {
        case 'N':
        case 'F':
            value->kind =
                numberText(field, record, &value->text) ? FieldValue::Number : FieldValue::Null;
            if (value->kind == FieldValue::Null) value->text.clear();
            return storage::Status::OK();
        case 'L':
            value->kind = FieldValue::Bool;
            value->text = storage::getBool(field, record) ? "true" : "false";
            return storage::Status::OK();
        case 'D':
            value->text = dateText(storage::getDate(field, record));
            if (value->text.empty()) value->kind = FieldValue::Null;
            return storage::Status::OK();
        default:
            if (storage::isMemoType(field.type)) return table.readMemo(record, index, &value->text);
            storage::getText(field, record, &value->text);
            return storage::Status::OK();
    }
}

}  // namespace

int runDump(const Args& args) {
    bool json = false;
    std::string path;
    for (const auto& arg : args) {
        if (arg == "--json")
            json = true;
        else if (path.empty())
            path = arg;
        else
            return failUsage("usage: dbftool dump FILE [--json]");
    }
    if (path.empty()) return failUsage("usage: dbftool dump FILE [--json]");
    std::unique_ptr<storage::DbfFile> table;
    storage::Status s = storage::DbfFile::open(
        storage::Env::Default(), path, storage::Access::ReadOnly, storage::Share::Shared, &table);
    if (!s.ok()) return fail(s);

    const auto& fields = table->fields();
    std::string out;
    if (json) {
        out = "[";
    } else {
        out = "_deleted";
        for (const auto& field : fields) out += "," + csvQuoted(field.name);
        out += "\n";
    }
    constexpr uint32_t kBatch = 256;
    std::vector<uint8_t> buffer(size_t(kBatch) * table->recordLength());
    FieldValue value;
    for (uint32_t first = 1; first <= table->recordCount(); first += kBatch) {
        uint32_t got = 0;
        s = table->readRecords(first, kBatch, buffer.data(), &got);
        if (!s.ok()) return fail(s);
        if (got == 0) break;
        for (uint32_t i = 0; i < got; ++i) {
            const uint8_t* record = buffer.data() + size_t(i) * table->recordLength();
            const bool deleted = storage::isDeleted(record);
            if (json) {
                out += first + i == 1 ? "\n  {" : ",\n  {";
                out += "\"_recno\": " + std::to_string(first + i) +
                       ", \"_deleted\": " + (deleted ? "true" : "false");
            } else {
                out += deleted ? "1" : "0";
            }
            for (size_t f = 0; f < fields.size(); ++f) {
                s = valueOf(*table, static_cast<int>(f), record, &value);
                if (!s.ok()) {
                    std::cout << out;
                    std::cout.flush();
                    return fail(storage::Status::Error(
                        s.code(), s.context() + " (record #" + std::to_string(first + i) +
                                      ", field " + fields[f].name + ")"));
                }
                if (json) {
                    out += ", " + jsonString(fields[f].name) + ": ";
                    switch (value.kind) {
                        case FieldValue::Text:
                            out += jsonString(value.text);
                            break;
                        case FieldValue::Null:
                            out += "null";
                            break;
                        default:
                            out += value.text;
                    }
                } else {
                    out += "," + csvQuoted(value.text);
                }
            }
            out += json ? "}" : "\n";
        }
        std::cout << out;
        out.clear();
    }
    std::cout << (json ? (table->recordCount() == 0 ? "]\n" : "\n]\n") : "");
    return 0;
}

}  // namespace dbftool
