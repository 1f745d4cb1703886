#include "unique_check.h"

#include <algorithm>
#include <map>

#include "codepage.h"
#include "dbf_file.h"

namespace storage {

namespace {

constexpr uint32_t kRecordsPerRead = 1024;
constexpr size_t kMaxListed = 100;

std::string shownKey(const TagInfo& tag, const uint8_t* key) {
    if (tag.kind != KeyKind::Character) return std::string();
    size_t length = tag.keyLength;
    while (length > 0 && key[length - 1] == ' ') --length;
    std::string text;
    oemToUtf8(key, length, &text);
    return " with the key \"" + text + "\"";
}

}  // namespace

Status findLiveDuplicates(DbfFile* table, const TagInfo& tag, const std::vector<uint8_t>& keys,
                          uint32_t count, std::vector<std::string>* problems) {
    const uint16_t length = tag.keyLength;
    const uint16_t recordLength = table->recordLength();
    std::map<std::string, uint32_t> firstLive;
    std::vector<uint8_t> buffer(size_t(kRecordsPerRead) * recordLength);
    size_t listed = 0;
    for (uint32_t first = 1; first <= count; first += kRecordsPerRead) {
        uint32_t got = 0;
        Status s = table->readRecords(first, std::min(kRecordsPerRead, count - first + 1),
                                      buffer.data(), &got);
        if (!s.ok()) return s;
        if (got == 0) break;
        for (uint32_t i = 0; i < got; ++i) {
            if (buffer[size_t(i) * recordLength] == '*') continue;
            const uint32_t recno = first + i;
            const uint8_t* key = keys.data() + size_t(recno - 1) * length;
            const auto [earlier, added] = firstLive.try_emplace(
                std::string(reinterpret_cast<const char*>(key), length), recno);
            if (added || listed++ >= kMaxListed) continue;
            problems->push_back("records " + std::to_string(earlier->second) + " and " +
                                std::to_string(recno) + " are both live" + shownKey(tag, key) +
                                "; the unique tag lists only one of them");
        }
    }
    return Status::OK();
}

}  // namespace storage
