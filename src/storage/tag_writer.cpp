#include "tag_writer.h"

#include <cstring>

#include "mdx_layout.h"

namespace storage {

Status TagWriter::insert(const uint8_t* key, uint32_t recno, bool* added) {
    *added = false;
    const TagInfo& t = cursor_.tag();
    Status s = cursor_.reloadRoots();
    if (!s.ok()) return s;
    const TagCursor::Probe probe = [&](const uint8_t* entryKey) {
        return cursor_.orderCompare(entryKey, key);
    };
    // After every equal key, then back over equal keys of larger record numbers.
    s = cursor_.descend(probe, true);
    if (!s.ok()) return s;
    for (;;) {
        TagCursor before = cursor_;
        bool found = false;
        s = before.prior(&found);
        if (!s.ok()) return s;
        if (!found || compareKeys(t.kind, before.key(), key, t.keyLength) != 0) break;
        if (t.unique) return Status::OK();
        if (before.recno() < recno) break;
        cursor_.path_ = std::move(before.path_);
    }

    uint8_t entry[kMdxBlockSize] = {};
    putU32(entry, recno);
    std::memcpy(entry + 4, key, t.keyLength);

    Path& path = cursor_.path_;
    const size_t leaf = path.size() - 1;
    if (path[leaf].index >= path[leaf].node.count()) {
        s = updateSeparatorAbove(path, leaf, key);
        if (!s.ok()) return s;
    }
    s = insertIntoNode(path, leaf, path[leaf].index, entry);
    if (!s.ok()) return s;
    path.clear();
    *added = true;
    return Status::OK();
}

Status TagWriter::insertIntoNode(Path& path, size_t level, uint32_t index, const uint8_t* entry) {
    MdxFile* file = cursor_.file_;
    const TagInfo& t = cursor_.tag();
    const uint16_t el = t.entryLength;
    MdxNode& node = path[level].node;
    const uint32_t n = node.count();
    const bool interior = node.interior(el);

    if (n < t.maxKeys) {
        std::memmove(node.entry(index + 1, el), node.entry(index, el), (n - index) * el + 4);
        std::memcpy(node.entry(index, el), entry, el);
        node.setCount(n + 1);
        return file->writeNode(node);
    }

    // Full: lay out the n + 1 entries and the trailing pointer, then split them.
    uint8_t all[2 * kMdxBlockSize];
    std::memcpy(all, node.entry(0, el), index * el);
    std::memcpy(all + index * el, entry, el);
    std::memcpy(all + (index + 1) * el, node.entry(index, el), (n - index) * el + 4);
    const uint32_t total = n + 1;

    MdxNode left;
    Status s = file->allocateBlock(&left.page);
    if (!s.ok()) return s;
    uint8_t upKey[kMdxBlockSize];
    const uint32_t oldPage = node.page;
    MdxNode& right = node;
    uint8_t trailing[4];
    std::memcpy(trailing, all + total * el, 4);
    std::memset(right.bytes, 0, kMdxBlockSize);
    right.page = oldPage;

    // A key added at the end of a node (appends in key order) leaves the old node full and
    // starts a new one, so that tags built by appending stay densely packed.
    const bool atEnd = index == n;
    if (!interior) {
        const uint32_t m = atEnd ? n : total / 2;
        std::memcpy(left.entry(0, el), all, m * el);
        left.setCount(m);
        std::memcpy(right.entry(0, el), all + m * el, (total - m) * el);
        right.setCount(total - m);
        std::memcpy(upKey, all + (m - 1) * el + 4, t.keyLength);
    } else {
        const uint32_t m = atEnd ? n - 1 : total / 2;
        std::memcpy(left.entry(0, el), all, m * el);
        left.setCount(m);
        std::memcpy(left.entry(m, el), all + m * el, 4);  // entry m's child is left's rightmost
        std::memcpy(upKey, all + m * el + 4, t.keyLength);
        const uint32_t rest = total - m - 1;
        std::memcpy(right.entry(0, el), all + (m + 1) * el, rest * el);
        std::memcpy(right.entry(rest, el), trailing, 4);
        right.setCount(rest);
    }
    s = file->writeNode(left);
    if (!s.ok()) return s;
    s = file->writeNode(right);
    if (!s.ok()) return s;

    uint8_t up[kMdxBlockSize] = {};
    putU32(up, left.page);
    std::memcpy(up + 4, upKey, t.keyLength);

    if (level > 0) return insertIntoNode(path, level - 1, path[level - 1].index, up);

    MdxNode root;
    s = file->allocateBlock(&root.page);
    if (!s.ok()) return s;
    std::memcpy(root.entry(0, el), up, el);
    root.setPointer(1, el, oldPage);
    root.setCount(1);
    s = file->writeNode(root);
    if (!s.ok()) return s;
    return file->setRoot(cursor_.tag_, root.page);
}

Status TagWriter::remove(const uint8_t* key, uint32_t recno, bool* removed) {
    *removed = false;
    const TagInfo& t = cursor_.tag();
    Status s = cursor_.reloadRoots();
    if (!s.ok()) return s;
    const TagCursor::Probe probe = [&](const uint8_t* entryKey) {
        return cursor_.orderCompare(entryKey, key);
    };
    s = cursor_.descend(probe, false);
    if (!s.ok()) return s;
    bool found = false;
    s = cursor_.settle(&found);
    while (s.ok() && found && compareKeys(t.kind, cursor_.key(), key, t.keyLength) == 0) {
        if (cursor_.recno() == recno) {
            Path& path = cursor_.path_;
            s = removeFromNode(path, path.size() - 1);
            path.clear();
            if (s.ok()) *removed = true;
            return s;
        }
        s = cursor_.next(&found);
    }
    cursor_.path_.clear();
    return s;
}

Status TagWriter::removeFromNode(Path& path, size_t level) {
    MdxFile* file = cursor_.file_;
    const TagInfo& t = cursor_.tag();
    const uint16_t el = t.entryLength;
    MdxNode& node = path[level].node;
    const uint32_t n = node.count();
    const uint32_t i = path[level].index;

    if (!node.interior(el)) {
        std::memmove(node.entry(i, el), node.entry(i + 1, el), (n - 1 - i) * el + 4);
        std::memset(node.entry(n - 1, el) + 4, 0, el);
        node.setCount(n - 1);
        if (n == 1 && level > 0) return removeFromNode(path, level - 1);
        Status s = file->writeNode(node);
        if (!s.ok() || n == 1 || i != n - 1) return s;
        return updateSeparatorAbove(path, level, node.key(n - 2, el));
    }

    if (i < n) {
        std::memmove(node.entry(i, el), node.entry(i + 1, el), (n - 1 - i) * el + 4);
        std::memset(node.entry(n - 1, el) + 4, 0, el);
        node.setCount(n - 1);
        return file->writeNode(node);
    }
    if (n == 0) {
        // The only child went: the node goes too, or the root becomes an empty leaf.
        if (level > 0) return removeFromNode(path, level - 1);
        std::memset(node.bytes, 0, kMdxBlockSize);
        return file->writeNode(node);
    }
    // The rightmost child went: the last entry's child takes its place, and its key becomes
    // this node's largest.
    uint8_t newLargest[kMdxBlockSize];
    std::memcpy(newLargest, node.key(n - 1, el), t.keyLength);
    std::memset(node.entry(n - 1, el) + 4, 0, el - 4);
    std::memset(node.entry(n, el), 0, 4);
    node.setCount(n - 1);
    Status s = file->writeNode(node);
    if (!s.ok()) return s;
    return updateSeparatorAbove(path, level, newLargest);
}

Status TagWriter::updateSeparatorAbove(Path& path, size_t level, const uint8_t* key) {
    const TagInfo& t = cursor_.tag();
    const uint16_t el = t.entryLength;
    for (size_t a = level; a-- > 0;) {
        TagCursor::Step& step = path[a];
        if (step.index < step.node.count()) {
            std::memcpy(step.node.entry(step.index, el) + 4, key, t.keyLength);
            return cursor_.file_->writeNode(step.node);
        }
    }
    return Status::OK();
}

}  // namespace storage
