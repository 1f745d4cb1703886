#include "keyed_order.h"

#include <algorithm>

#include "dbf_file.h"

namespace storage {

namespace {

// Unlisted records read along with listed ones rather than in a read of their own: about 4 KiB.
uint32_t gapRecords(const DbfFile& table) {
    return std::max<uint32_t>(1, 4096 / std::max<uint32_t>(1, table.recordLength()));
}

}  // namespace

KeyedOrder::KeyedOrder(DbfFile* table, KeyedSource* source, std::function<std::string()> value)
    : table_(table), source_(source), value_(std::move(value)) {}

Status KeyedOrder::refresh() {
    const std::string value = value_();
    // The list holds while the table file is as it was when the list was made.
    const FileStamp& now = table_->lastStamp();
    if (gathered_ && value == gatheredValue_ && now.known() && now == gatheredStamp_)
        return Status::OK();
    const uint32_t at = position_ < recnos_.size() ? recnos_[position_] : 0;
    bool all = false;
    FileStamp asOf;
    Status s = source_->list(value, &recnos_, &all, &asOf);
    if (!s.ok()) {
        gathered_ = false;
        recnos_.clear();
        position_ = 0;
        return s;
    }
    if (all) {
        recnos_.resize(table_->recordsInSize(asOf.size));
        for (size_t i = 0; i < recnos_.size(); ++i) recnos_[i] = uint32_t(i + 1);
    }
    gathered_ = true;
    gatheredValue_ = value;
    gatheredStamp_ = asOf;
    position_ = at ? size_t(std::lower_bound(recnos_.begin(), recnos_.end(), at) - recnos_.begin())
                   : recnos_.size();
    return Status::OK();
}

Status KeyedOrder::moveTo(size_t position, uint32_t* recno) {
    position_ = std::min(position, recnos_.size());
    *recno = position_ < recnos_.size() ? recnos_[position_] : 0;
    return Status::OK();
}

Status KeyedOrder::first(uint32_t* recno) {
    if (!gathered_) {
        if (Status s = refresh(); !s.ok()) return s;
    }
    return moveTo(0, recno);
}

Status KeyedOrder::last(uint32_t* recno) {
    if (!gathered_) {
        if (Status s = refresh(); !s.ok()) return s;
    }
    return moveTo(recnos_.empty() ? 0 : recnos_.size() - 1, recno);
}

Status KeyedOrder::next(uint32_t* recno) {
    return moveTo(position_ < recnos_.size() ? position_ + 1 : recnos_.size(), recno);
}

Status KeyedOrder::prior(uint32_t* recno) {
    if (position_ == 0 || position_ > recnos_.size()) return moveTo(recnos_.size(), recno);
    return moveTo(position_ - 1, recno);
}

Status KeyedOrder::seek(uint32_t recno, const uint8_t*) {
    auto at = std::lower_bound(recnos_.begin(), recnos_.end(), recno);
    // A record written since the list was made (this data set's own new record): taken in, so
    // that the walk goes on from it; the filter routine still judges it.
    if (at == recnos_.end() || *at != recno) at = recnos_.insert(at, recno);
    position_ = size_t(at - recnos_.begin());
    return Status::OK();
}

uint32_t KeyedOrder::span(uint32_t recno, bool forward, uint32_t limit) const {
    auto at = std::lower_bound(recnos_.begin(), recnos_.end(), recno);
    if (at == recnos_.end() || *at != recno || limit <= 1) return 1;
    const uint32_t gap = gapRecords(*table_);
    uint32_t end = recno;  // the farthest record of the run, in the walk's direction
    if (forward) {
        for (auto next = at + 1;
             next != recnos_.end() && *next - end <= gap + 1 && *next - recno < limit; ++next)
            end = *next;
        return end - recno + 1;
    }
    for (auto next = at;
         next != recnos_.begin() && end - *(next - 1) <= gap + 1 && recno - *(next - 1) < limit;
         --next)
        end = *(next - 1);
    return recno - end + 1;
}

}  // namespace storage
