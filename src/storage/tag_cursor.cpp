#include "tag_cursor.h"

#include <cstring>

#include "index_semaphore.h"

namespace storage {

namespace {
// Deeper than any tree of 2^32 keys: a longer path means pages that point in a cycle.
constexpr size_t kMaxDepth = 40;
// Reads repeated without the semaphore before one under it.
constexpr int kOptimisticAttempts = 3;
}  // namespace

TagCursor::TagCursor(MdxFile* file, int tag) : file_(file), tag_(tag) {}

int TagCursor::orderCompare(const uint8_t* a, const uint8_t* b) const {
    const TagInfo& t = tag();
    const int c = compareKeys(t.kind, a, b, t.keyLength);
    return t.descending ? -c : c;
}

uint32_t TagCursor::recno() const {
    const Step& leaf = path_.back();
    return leaf.node.pointer(leaf.index, tag().entryLength);
}

const uint8_t* TagCursor::key() const {
    const Step& leaf = path_.back();
    return leaf.node.key(leaf.index, tag().entryLength);
}

Status TagCursor::reloadRoots() {
    path_.clear();
    Status s = file_->reloadRoots();
    counter_ = file_->updateCounter();
    return s;
}

Status TagCursor::pushNode(uint32_t page) {
    const TagInfo& t = tag();
    if (path_.size() >= kMaxDepth) {
        path_.clear();
        return file_->corrupted("tag " + t.name + " deeper than possible");
    }
    path_.emplace_back();
    Status s = file_->readNode(t, page, &path_.back().node);
    if (!s.ok()) path_.clear();
    return s;
}

Status TagCursor::descend(const Probe& probe, bool upper) {
    const TagInfo& t = tag();
    const uint16_t el = t.entryLength;
    uint32_t page = t.rootPage;
    for (;;) {
        if (Status s = pushNode(page); !s.ok()) return s;
        Step& step = path_.back();
        // Binary search for the first key at or past the probe.
        uint32_t low = 0, high = step.node.count();
        while (low < high) {
            const uint32_t mid = (low + high) / 2;
            const int c = probe(step.node.key(mid, el));
            if (upper ? c <= 0 : c < 0)
                low = mid + 1;
            else
                high = mid;
        }
        step.index = low;
        if (!step.node.interior(el)) return Status::OK();
        page = step.node.pointer(low, el);
    }
}

Status TagCursor::descendEdge(uint32_t page, bool rightmost) {
    const TagInfo& t = tag();
    const uint16_t el = t.entryLength;
    for (;;) {
        if (Status s = pushNode(page); !s.ok()) return s;
        Step& step = path_.back();
        const uint32_t n = step.node.count();
        if (!step.node.interior(el)) {
            step.index = rightmost ? (n == 0 ? 0 : n - 1) : 0;
            return Status::OK();
        }
        step.index = rightmost ? n : 0;
        page = step.node.pointer(step.index, el);
    }
}

Status TagCursor::settle(bool* found) {
    const uint16_t el = tag().entryLength;
    // Move past leaf ends (and empty leaves) to the next entry.
    while (!path_.empty() && path_.back().index >= path_.back().node.count()) {
        path_.pop_back();
        while (!path_.empty() && path_.back().index >= path_.back().node.count()) path_.pop_back();
        if (path_.empty()) break;
        Step& parent = path_.back();
        ++parent.index;
        Status s = descendEdge(parent.node.pointer(parent.index, el), false);
        if (!s.ok()) return s;
    }
    *found = !path_.empty();
    return Status::OK();
}

Status TagCursor::firstRaw(bool* found) {
    *found = false;
    Status s = reloadRoots();
    if (!s.ok()) return s;
    s = descendEdge(tag().rootPage, false);
    if (!s.ok()) return s;
    return settle(found);
}

Status TagCursor::lastRaw(bool* found) {
    *found = false;
    Status s = reloadRoots();
    if (!s.ok()) return s;
    s = descendEdge(tag().rootPage, true);
    if (!s.ok()) return s;
    if (path_.back().node.count() == 0) {
        // Only an empty root leaf; any other empty leaf is damage that prior() steps over.
        if (path_.size() == 1) {
            path_.clear();
            return Status::OK();
        }
        return priorRaw(found);
    }
    *found = true;
    return Status::OK();
}

Status TagCursor::nextRaw(bool* found) {
    if (path_.empty()) return firstRaw(found);
    ++path_.back().index;
    return settle(found);
}

Status TagCursor::priorRaw(bool* found) {
    *found = false;
    if (path_.empty()) return lastRaw(found);
    const uint16_t el = tag().entryLength;
    for (;;) {
        Step& leaf = path_.back();
        if (leaf.index > 0 && leaf.index <= leaf.node.count()) {
            --leaf.index;
            *found = true;
            return Status::OK();
        }
        path_.pop_back();
        while (!path_.empty() && path_.back().index == 0) path_.pop_back();
        if (path_.empty()) return Status::OK();
        Step& parent = path_.back();
        --parent.index;
        Status s = descendEdge(parent.node.pointer(parent.index, el), true);
        if (!s.ok()) return s;
        // descendEdge leaves the index on the last entry; step past it so the loop takes it.
        Step& reached = path_.back();
        if (reached.node.count() > 0) {
            *found = true;
            return Status::OK();
        }
    }
}

Status TagCursor::seekExactRaw(const uint8_t* key, bool* found) {
    *found = false;
    Status s = reloadRoots();
    if (!s.ok()) return s;
    const Probe probe = [&](const uint8_t* entryKey) { return orderCompare(entryKey, key); };
    s = descend(probe, false);
    if (!s.ok()) return s;
    s = settle(found);
    if (!s.ok() || !*found) return s;
    if (compareKeys(tag().kind, this->key(), key, tag().keyLength) != 0) {
        path_.clear();
        *found = false;
    }
    return Status::OK();
}

Status TagCursor::seekPrefixRaw(const uint8_t* prefix, size_t length, bool* found) {
    Status s = seekFromRaw(prefix, length, found);
    if (!s.ok() || !*found) return s;
    if (std::memcmp(key(), prefix, length) != 0) {
        path_.clear();
        *found = false;
    }
    return Status::OK();
}

Status TagCursor::seekFromRaw(const uint8_t* prefix, size_t length, bool* found) {
    *found = false;
    const TagInfo& t = tag();
    if (t.kind != KeyKind::Character || length == 0 || length > t.keyLength) return Status::OK();
    Status s = reloadRoots();
    if (!s.ok()) return s;
    const bool descending = t.descending;
    const Probe probe = [&](const uint8_t* entryKey) {
        const int c = std::memcmp(entryKey, prefix, length);
        return descending ? -c : c;
    };
    s = descend(probe, false);
    if (!s.ok()) return s;
    return settle(found);
}

bool TagCursor::unchanged(const Status& s) {
    uint32_t now = 0;
    return s.ok() && file_->readCounter(&now).ok() && now == counter_ && (now & 1) == 0;
}

Status TagCursor::consistent(const std::function<Status()>& attempt,
                             const std::function<Status()>& retry, bool* found, bool trustFound) {
    Status s = attempt();
    if (semaphore_ == nullptr && !mender_) return s;            // a plain cursor (a writer's own)
    if (semaphore_ != nullptr && semaphore_->held()) return s;  // this process is writing
    for (int i = 0;; ++i) {
        // An odd counter: an update is being written now, or one was cut short.
        const bool updating = (counter_ & 1) != 0;
        if (!updating) {
            if (s.ok() && *found && trustFound) return s;
            if (unchanged(s)) return s;
            // An exclusive table: nobody else writes, so what was read stands, unless it is
            // damage left behind (the opening no longer walks every tree).
            if (semaphore_ == nullptr && s.code() != kCorruptedIndex) return s;
            if (semaphore_ == nullptr) break;
        } else if (semaphore_ == nullptr) {
            break;
        }
        if (i == kOptimisticAttempts) break;
        s = retry();
    }
    SemaphoreGuard guard(semaphore_, "Read");
    if (!guard.status().ok()) return guard.status();
    s = retry();
    const bool damaged = s.code() == kCorruptedIndex;
    if (((counter_ & 1) != 0 || damaged) && mender_) {
        // Nobody is writing now: the update was cut short, or the file is damaged. Mend it and
        // read again.
        const Status mended = mender_(damaged);
        if (mended.ok()) s = retry();
    }
    const Status released = guard.release();
    return s.ok() ? released : s;
}

Status TagCursor::stepFrom(const std::vector<uint8_t>& key, uint32_t recno, bool forward,
                           bool* found) {
    *found = false;
    Status s = reloadRoots();
    if (!s.ok()) return s;
    const TagInfo& t = tag();
    const Probe probe = [&](const uint8_t* entryKey) { return orderCompare(entryKey, key.data()); };
    s = descend(probe, false);
    if (!s.ok()) return s;
    s = settle(found);
    // Equal keys stand in record-number order: pass those before the entry.
    while (s.ok() && *found && compareKeys(t.kind, this->key(), key.data(), t.keyLength) == 0 &&
           this->recno() < recno)
        s = nextRaw(found);
    if (!s.ok()) return s;
    if (forward) {
        if (*found && this->recno() == recno &&
            compareKeys(t.kind, this->key(), key.data(), t.keyLength) == 0)
            return nextRaw(found);
        return Status::OK();
    }
    return *found ? priorRaw(found) : lastRaw(found);
}

Status TagCursor::first(bool* found) {
    auto attempt = [&] { return firstRaw(found); };
    return consistent(attempt, attempt, found, false);
}

Status TagCursor::last(bool* found) {
    auto attempt = [&] { return lastRaw(found); };
    return consistent(attempt, attempt, found, false);
}

Status TagCursor::next(bool* found) {
    if (path_.empty()) return first(found);
    Step& leaf = path_.back();
    if (leaf.index + 1 < leaf.node.count()) {
        ++leaf.index;
        *found = true;
        return Status::OK();
    }
    if (semaphore_ == nullptr) return nextRaw(found);
    const std::vector<uint8_t> key(this->key(), this->key() + tag().keyLength);
    const uint32_t recno = this->recno();
    return consistent([&] { return nextRaw(found); },
                      [&] { return stepFrom(key, recno, true, found); }, found, false);
}

Status TagCursor::prior(bool* found) {
    if (path_.empty()) return last(found);
    Step& leaf = path_.back();
    if (leaf.index > 0 && leaf.index <= leaf.node.count()) {
        --leaf.index;
        *found = true;
        return Status::OK();
    }
    if (semaphore_ == nullptr) return priorRaw(found);
    const std::vector<uint8_t> key(this->key(), this->key() + tag().keyLength);
    const uint32_t recno = this->recno();
    return consistent([&] { return priorRaw(found); },
                      [&] { return stepFrom(key, recno, false, found); }, found, false);
}

Status TagCursor::seekExact(const uint8_t* key, bool* found) {
    auto attempt = [&] { return seekExactRaw(key, found); };
    return consistent(attempt, attempt, found, true);
}

Status TagCursor::seekPrefix(const uint8_t* prefix, size_t length, bool* found) {
    auto attempt = [&] { return seekPrefixRaw(prefix, length, found); };
    return consistent(attempt, attempt, found, true);
}

Status TagCursor::seekFrom(const uint8_t* prefix, size_t length, bool* found) {
    auto attempt = [&] { return seekFromRaw(prefix, length, found); };
    return consistent(attempt, attempt, found, true);
}

}  // namespace storage
