// Checking a production index against its table, for dbftool check and the tests.

#include <cstring>

#include "mdx_check.h"
#include "production_index.h"
#include "tag_keys.h"
#include "unique_check.h"

namespace storage {

Status ProductionIndex::verify(std::vector<std::string>* problems) {
    SemaphoreGuard guard(semaphore(), "Check");
    if (!guard.status().ok()) return guard.status();
    Status s = mdx_->reload();
    if (s.ok()) s = compileExpressions();
    if (s.ok()) s = table_->refreshRecordCount();
    if (!s.ok()) return s;
    const uint32_t records = table_->recordCount();
    if (s = requireExpressions(); !s.ok()) problems->push_back(s.context());
    if (mdx_->updateInterrupted())
        problems->push_back("an update of the index was cut short; it is rebuilt at the next open");

    for (size_t t = 0; t < mdx_->tags().size(); ++t) {
        const TagInfo& tag = mdx_->tags()[t];
        const std::string where = "tag " + tag.name + ": ";
        s = checkTag(mdx_.get(), static_cast<int>(t), records);
        if (!s.ok()) {
            problems->push_back(where + s.context());
            continue;
        }
        if (!expressions_[t]) continue;
        std::vector<uint8_t> keys;
        uint32_t count = 0;
        s = tableKeys(table_, *expressions_[t], &keys, &count);
        if (!s.ok()) return s;
        const uint16_t length = tag.keyLength;
        TagDefinition definition{tag.name, tag.expression, tag.keyType,
                                 length,   tag.descending, tag.unique};
        const std::vector<uint32_t> expected = sortedOrder(definition, keys, count);

        std::vector<uint8_t> seen(count, 0);
        size_t position = 0;
        TagCursor cursor(mdx_.get(), static_cast<int>(t));
        bool found = false;
        for (s = cursor.first(&found); s.ok() && found; s = cursor.next(&found), ++position) {
            const uint32_t recno = cursor.recno();
            if (recno == 0 || recno > count) {
                problems->push_back(where + "record " + std::to_string(recno) +
                                    " not in the table");
                continue;
            }
            if (std::memcmp(cursor.key(), keys.data() + size_t(recno - 1) * length, length) != 0)
                problems->push_back(where + "key of record " + std::to_string(recno) +
                                    " differs from the record");
            if (seen[recno - 1]++)
                problems->push_back(where + "record " + std::to_string(recno) + " listed twice");
            // Unique tags may hold another record of a key than a rebuild would; compare keys.
            if (position < expected.size() &&
                std::memcmp(cursor.key(), keys.data() + size_t(expected[position]) * length,
                            length) != 0 &&
                problems->size() < 100)
                problems->push_back(where + "entry " + std::to_string(position + 1) +
                                    " is not the key expected there");
        }
        if (!s.ok()) {
            problems->push_back(where + s.context());
            continue;
        }
        if (position != expected.size())
            problems->push_back(where + std::to_string(position) + " entries, expected " +
                                std::to_string(expected.size()));
        if (!tag.unique) {
            for (uint32_t r = 0; r < count; ++r)
                if (!seen[r])
                    problems->push_back(where + "record " + std::to_string(r + 1) + " missing");
        } else {
            std::vector<std::string> duplicates;
            s = findLiveDuplicates(table_, tag, keys, count, &duplicates);
            if (!s.ok()) return s;
            for (const std::string& line : duplicates) problems->push_back(where + line);
        }
    }
    return guard.release();
}

}  // namespace storage
