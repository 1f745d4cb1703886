#include "index_list.h"

#include <cctype>

namespace storage {

namespace {

std::string trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool flag(char c) { return c == 'T' || c == 't'; }

}  // namespace

Status parseTagLine(const std::string& line, IndexListEntry* entry) {
    auto invalid = [&](const std::string& why) {
        return Status::Error(kInvalidParameter,
                             "Invalid index definition (" + why + "): " + line + " [IndexList]");
    };
    const size_t comma = line.find(',');
    if (comma == std::string::npos || line.size() < comma + 5 || line[comma + 2] != ',' ||
        line[comma + 4] != ',')
        return invalid("expected NAME,F,T,EXPR");
    IndexListEntry result;
    result.name = trimmed(line.substr(0, comma));
    if (result.name.empty() || result.name.size() > 10) return invalid("tag name");
    result.descending = flag(line[comma + 1]);
    result.unique = flag(line[comma + 3]);
    result.expression = trimmed(line.substr(comma + 5));
    if (result.expression.empty()) return invalid("no key expression");
    *entry = std::move(result);
    return Status::OK();
}

Status parseIndexList(const std::vector<std::string>& lines, std::vector<IndexListEntry>* entries) {
    std::vector<IndexListEntry> result;
    for (size_t i = 0; i < lines.size(); i += 2) {
        IndexListEntry entry;
        Status s = parseTagLine(lines[i], &entry);
        if (!s.ok()) return s;
        if (i + 1 < lines.size()) entry.filter = trimmed(lines[i + 1]);
        result.push_back(std::move(entry));
    }
    *entries = std::move(result);
    return Status::OK();
}

}  // namespace storage
