#include "mdx_check.h"

#include <cstring>
#include <memory>
#include <vector>

namespace storage {

namespace {

constexpr int kMaxDepth = 40;

// Pages already taken by a block: a node whose block starts on or inside one of them would be
// torn by writes to the other.
class PageMap {
  public:
    explicit PageMap(uint32_t pages) : taken_(pages, false) {}

    // Takes the pages of the block at `page`; false when one of them is taken already.
    bool take(uint32_t page) {
        for (uint32_t p = page; p < page + kMdxPagesPerBlock; ++p)
            if (p < taken_.size() && taken_[p]) return false;
        for (uint32_t p = page; p < page + kMdxPagesPerBlock; ++p)
            if (p < taken_.size()) taken_[p] = true;
        return true;
    }

  private:
    std::vector<bool> taken_;
};

// Takes the tag header blocks of every tag; 222 when two of them overlap.
Status takeTagHeaders(MdxFile* file, PageMap* pages) {
    for (const TagInfo& tag : file->tags())
        if (!pages->take(tag.headerPage))
            return file->corrupted("tag header of " + tag.name + " overlaps another block");
    return Status::OK();
}

class TreeChecker {
  public:
    TreeChecker(MdxFile* file, int tag, uint32_t maxRecno, PageMap* pages)
        : file_(file),
          tag_(file->tags()[tag]),
          maxRecno_(maxRecno),
          pages_(pages),
          previous_(tag_.keyLength) {}

    Status run() { return walk(tag_.rootPage, 0, nullptr, nullptr); }
    uint64_t entries() const { return entries_; }

  private:
    int order(const uint8_t* a, const uint8_t* b) const {
        const int c = compareKeys(tag_.kind, a, b, tag_.keyLength);
        return tag_.descending ? -c : c;
    }

    Status damage(const std::string& why, uint32_t page) const {
        return file_->corrupted(why + " at page " + std::to_string(page) + " in tag " + tag_.name);
    }

    // Every key below `page` must lie within [low, high] in tag order (null: unbounded).
    Status walk(uint32_t page, int depth, const uint8_t* low, const uint8_t* high) {
        if (depth > kMaxDepth) return damage("tree deeper than possible", page);
        auto node = std::make_unique<MdxNode>();
        Status s = file_->readNode(tag_, page, node.get());
        if (!s.ok()) return s;
        if (!pages_->take(page)) return damage("page reached twice or inside another block", page);
        const uint16_t el = tag_.entryLength;
        const uint32_t n = node->count();

        if (!node->interior(el)) {
            if (leafDepth_ < 0) leafDepth_ = depth;
            if (leafDepth_ != depth) return damage("leaves at different depths", page);
            // The keys are checked in order one after the other, so the first and the last
            // key of a leaf bound all of its keys.
            if (n > 0 && ((low && order(node->key(0, el), low) < 0) ||
                          (high && order(node->key(n - 1, el), high) > 0)))
                return damage("key outside its separators", page);
            for (uint32_t i = 0; i < n; ++i) {
                const uint32_t recno = node->pointer(i, el);
                const uint8_t* key = node->key(i, el);
                if (recno == 0 || recno > maxRecno_)
                    return damage("record number " + std::to_string(recno) + " out of range", page);
                if (entries_ > 0) {
                    const int c = order(previous_.data(), key);
                    if (c > 0) return damage("keys out of order", page);
                    if (c == 0 && tag_.unique) return damage("key repeated in a unique tag", page);
                    if (c == 0 && previousRecno_ >= recno)
                        return damage("equal keys out of record order", page);
                }
                std::memcpy(previous_.data(), key, tag_.keyLength);
                previousRecno_ = recno;
                ++entries_;
            }
            return Status::OK();
        }

        for (uint32_t i = 0; i <= n; ++i) {
            const uint8_t* childLow = i > 0 ? node->key(i - 1, el) : low;
            const uint8_t* childHigh = i < n ? node->key(i, el) : high;
            if (childLow && childHigh && order(childLow, childHigh) > 0)
                return damage("separators out of order", page);
            s = walk(node->pointer(i, el), depth + 1, childLow, childHigh);
            if (!s.ok()) return s;
        }
        return Status::OK();
    }

    MdxFile* file_;
    const TagInfo& tag_;
    uint32_t maxRecno_;
    PageMap* pages_;
    std::vector<uint8_t> previous_;
    uint32_t previousRecno_ = 0;
    uint64_t entries_ = 0;
    int leafDepth_ = -1;
};

}  // namespace

Status checkTag(MdxFile* file, int tag, uint32_t maxRecno, uint64_t* entries) {
    MdxFile::ReadAheadScope readAhead(file);
    PageMap pages(file->pageCount());
    Status s = takeTagHeaders(file, &pages);
    if (!s.ok()) return s;
    TreeChecker checker(file, tag, maxRecno, &pages);
    s = checker.run();
    if (entries) *entries = checker.entries();
    return s;
}

Status checkAllTags(MdxFile* file, uint32_t maxRecno) {
    MdxFile::ReadAheadScope readAhead(file);
    // One map for all tags: no two tags may share a block either.
    PageMap pages(file->pageCount());
    Status s = takeTagHeaders(file, &pages);
    for (size_t i = 0; s.ok() && i < file->tags().size(); ++i)
        s = TreeChecker(file, static_cast<int>(i), maxRecno, &pages).run();
    return s;
}

}  // namespace storage
