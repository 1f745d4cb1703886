#include "tag_keys.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace storage {

namespace {

constexpr uint32_t kRecordsPerRead = 2048;

// Reads the table's records in pieces of kRecordsPerRead and hands each to visit(record,
// recno) in record order; stops early where the file ends before the record count.
template <typename Visit>
Status forEachRecord(DbfFile* table, Visit visit) {
    const uint32_t records = table->recordCount();
    const uint16_t recordLength = table->recordLength();
    std::vector<uint8_t> buffer(size_t(kRecordsPerRead) * recordLength);
    uint32_t done = 0;
    while (done < records) {
        uint32_t got = 0;
        Status s = table->readRecords(done + 1, std::min(kRecordsPerRead, records - done),
                                      buffer.data(), &got);
        if (!s.ok()) return s;
        if (got == 0) break;
        for (uint32_t i = 0; i < got; ++i)
            visit(buffer.data() + size_t(i) * recordLength, done + i + 1);
        done += got;
    }
    return Status::OK();
}

}  // namespace

Status tableKeys(DbfFile* table, const KeyExpression& expression, std::vector<uint8_t>* keys,
                 uint32_t* count) {
    const uint16_t length = expression.keyLength();
    keys->resize(size_t(table->recordCount()) * length);
    uint32_t done = 0;
    Status s = forEachRecord(table, [&](const uint8_t* record, uint32_t recno) {
        expression.evaluate(record, recno, keys->data() + size_t(recno - 1) * length);
        done = recno;
    });
    if (!s.ok()) return s;
    keys->resize(size_t(done) * length);
    *count = done;
    return Status::OK();
}

Status deletionFlags(DbfFile* table, std::vector<bool>* deleted) {
    deleted->clear();
    return forEachRecord(table, [deleted](const uint8_t* record, uint32_t) {
        deleted->push_back(record[0] == '*');
    });
}

std::vector<uint32_t> sortedOrder(const TagDefinition& definition, const std::vector<uint8_t>& keys,
                                  uint32_t count, const std::vector<bool>& deleted) {
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    const uint16_t length = definition.keyLength;
    const uint8_t* base = keys.data();
    const bool descending = definition.descending;
    if (definition.keyType == 'C') {
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            int c = std::memcmp(base + size_t(a) * length, base + size_t(b) * length, length);
            if (descending) c = -c;
            return c != 0 ? c < 0 : a < b;
        });
    } else {
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            int c = compareKeys(KeyKind::Double, base + size_t(a) * length,
                                base + size_t(b) * length, length);
            if (descending) c = -c;
            return c != 0 ? c < 0 : a < b;
        });
    }
    if (definition.unique && !order.empty()) {
        const KeyKind kind = definition.keyType == 'C' ? KeyKind::Character : KeyKind::Double;
        size_t kept = 1;
        for (size_t i = 1; i < order.size(); ++i) {
            if (compareKeys(kind, base + size_t(order[kept - 1]) * length,
                            base + size_t(order[i]) * length, length) != 0) {
                order[kept++] = order[i];
            } else if (!deleted.empty() && deleted[order[kept - 1]] && !deleted[order[i]]) {
                order[kept - 1] = order[i];
            }
        }
        order.resize(kept);
    }
    return order;
}

}  // namespace storage
