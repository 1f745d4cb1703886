#include "mdx_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "mdx_layout.h"

namespace storage {

using namespace mdx;

uint16_t mdxEntryLength(uint16_t keyLength) {
    return static_cast<uint16_t>(((keyLength + 3) / 4) * 4 + 4);
}

uint16_t mdxMaxKeys(uint16_t keyLength) {
    return static_cast<uint16_t>((kMdxBlockSize - 12) / mdxEntryLength(keyLength));
}

void encodeTagHeader(const TagDefinition& definition, uint32_t rootPage, uint8_t* block) {
    std::memset(block, 0, kMdxBlockSize);
    putU32(block + kTagRoot, rootPage);
    block[kTagKeyFormat] =
        static_cast<uint8_t>(kKeyFormatBase | (definition.descending ? kKeyFormatDescending : 0) |
                             (definition.unique ? kKeyFormatUnique : 0));
    block[kTagKeyType] = static_cast<uint8_t>(definition.keyType);
    putU16(block + kTagKeyLength, definition.keyLength);
    putU16(block + kTagMaxKeys, mdxMaxKeys(definition.keyLength));
    putU16(block + kTagNumericFlag, definition.keyType == 'C' ? 0 : 1);
    putU16(block + kTagEntryLength, mdxEntryLength(definition.keyLength));
    block[kTagUniqueByte] = definition.unique ? 1 : 0;
    const size_t n = std::min(definition.expression.size(), kTagExpressionMax - 1);
    std::memcpy(block + kTagExpression, definition.expression.data(), n);
}

double decodeBcdKey(const uint8_t* key) {
    // Byte 0: 0x34 + number of integer digits; byte 1: sign in bit 7; then two digits a byte.
    int digits[20];
    for (int i = 0; i < 10; ++i) {
        digits[2 * i] = std::min(key[2 + i] >> 4, 9);
        digits[2 * i + 1] = std::min(key[2 + i] & 0x0F, 9);
    }
    int count = 20;
    while (count > 0 && digits[count - 1] == 0) --count;
    double mantissa = 0.0;
    for (int i = 0; i < count; ++i) mantissa = mantissa * 10.0 + digits[i];
    // value = 0.d1d2... x 10^exponent = mantissa x 10^(exponent - count), scaled exactly.
    const int shift = (static_cast<int>(key[0]) - 0x34) - count;
    const double scale = std::pow(10.0, std::abs(shift));
    const double value = shift >= 0 ? mantissa * scale : mantissa / scale;
    return (key[1] & 0x80) ? -value : value;
}

int compareKeys(KeyKind kind, const uint8_t* a, const uint8_t* b, uint16_t keyLength) {
    switch (kind) {
        case KeyKind::Character:
            return std::memcmp(a, b, keyLength);
        case KeyKind::Double: {
            double x, y;
            std::memcpy(&x, a, 8);  // little-endian hosts only, as the key bytes are
            std::memcpy(&y, b, 8);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case KeyKind::Bcd: {
            const double x = decodeBcdKey(a), y = decodeBcdKey(b);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    return 0;
}

uint32_t MdxNode::count() const { return getU32(bytes); }
void MdxNode::setCount(uint32_t n) { putU32(bytes, n); }

uint32_t MdxNode::pointer(uint32_t i, uint16_t entryLength) const {
    return getU32(bytes + 8 + i * entryLength);
}

void MdxNode::setPointer(uint32_t i, uint16_t entryLength, uint32_t value) {
    putU32(bytes + 8 + i * entryLength, value);
}

Status MdxFile::corrupted(const std::string& why) const {
    return Status::Error(kCorruptedIndex, path() + ": " + why + " [MDX]");
}

Status MdxFile::readPages(uint32_t page, uint32_t count, uint8_t* buffer) {
    const size_t n = size_t(count) * kMdxPageSize;
    if (readAhead_) {
        auto inWindow = [&] {
            return page >= windowFirst_ && uint64_t(page) + count <= windowFirst_ + windowPages_;
        };
        // Reading on from where the last read ended: take the next pages in one read. A jump
        // reads only what was asked, so a tree whose blocks lie out of order costs no more
        // than without read-ahead.
        const bool sequential = page == readAheadEnd_;
        readAheadEnd_ = page + count;
        if (!inWindow() && sequential) {
            constexpr uint32_t kWindowPages = 128;  // 64 KiB
            window_.resize(size_t(std::max(kWindowPages, count)) * kMdxPageSize);
            size_t got = 0;
            Status s =
                file_->read(uint64_t(page) * kMdxPageSize, window_.data(), window_.size(), &got);
            if (!s.ok()) return s;
            windowFirst_ = page;
            windowPages_ = uint32_t(got / kMdxPageSize);
        }
        if (inWindow()) {
            std::memcpy(buffer, window_.data() + size_t(page - windowFirst_) * kMdxPageSize, n);
            return Status::OK();
        }
    }
    size_t got = 0;
    Status s = file_->read(uint64_t(page) * kMdxPageSize, buffer, n, &got);
    if (!s.ok()) return s;
    if (got != n) return corrupted("file ends inside page " + std::to_string(page));
    return Status::OK();
}

Status MdxFile::open(std::unique_ptr<File> file, std::unique_ptr<MdxFile>* out) {
    out->reset();
    std::unique_ptr<MdxFile> mdx(new MdxFile(std::move(file)));
    Status s = mdx->reload();
    if (!s.ok()) return s;
    *out = std::move(mdx);
    return Status::OK();
}

Status MdxFile::reload() {
    uint64_t size = 0;
    Status s = file_->size(&size);
    if (!s.ok()) return s;
    uint8_t header[kHeaderBytes];
    if (size < kHeaderBytes) return corrupted("shorter than its header");
    s = readPages(0, kMdxFirstTagPage, header);
    if (!s.ok()) return s;
    // The size once more, after the header: a writer raises the page count only after writing
    // the block, so a size read before the header may be older than the count.
    s = file_->size(&size);
    if (!s.ok()) return s;

    const bool layoutKnown = getU16(header + kHeaderPagesPerBlock) == kMdxPagesPerBlock &&
                             getU16(header + kHeaderBytesPerBlock) == kMdxBlockSize &&
                             header[kHeaderTagSlots] == kTagSlots &&
                             header[kHeaderTagEntryLength] == kTagEntryBytes;
    if (!layoutKnown) return corrupted("unknown block or tag table layout");
    if (header[kHeaderVersion] != kVersion)
        return Status::Error(
            kIndexVersionMismatch,
            path() + ": version " + std::to_string(header[kHeaderVersion]) + " [MDX]");
    const uint32_t tagCount = getU16(header + kHeaderTagCount);
    if (tagCount > kMdxMaxTags) return corrupted("too many tags");
    const uint32_t pages = getU32(header + kHeaderPageCount);
    if (pages < kMdxFirstTagPage || uint64_t(pages) * kMdxPageSize > size)
        return corrupted("page count does not match the file size");
    pageCount_ = storedPageCount_ = pages;
    readState(header + kHeaderPageCount);

    std::vector<TagInfo> tags;
    for (uint32_t i = 0; i < tagCount; ++i) {
        const uint8_t* entry = header + kTagTableOffset + (i + 1) * kTagEntryBytes;
        TagInfo tag;
        tag.headerPage = getU32(entry + kEntryHeaderPage);
        const char* name = reinterpret_cast<const char*>(entry + kEntryName);
        tag.name.assign(name, strnlen(name, kEntryNameBytes));
        if (tag.headerPage < kMdxFirstTagPage || tag.headerPage + kMdxPagesPerBlock > pageCount_)
            return corrupted("tag header page out of range");

        uint8_t block[kMdxBlockSize];
        s = readPages(tag.headerPage, kMdxPagesPerBlock, block);
        if (!s.ok()) return s;
        tag.rootPage = getU32(block + kTagRoot);
        tag.keyFormat = block[kTagKeyFormat];
        tag.keyType = static_cast<char>(std::toupper(block[kTagKeyType]));
        tag.keyLength = getU16(block + kTagKeyLength);
        tag.maxKeys = getU16(block + kTagMaxKeys);
        tag.entryLength = getU16(block + kTagEntryLength);
        tag.descending = (tag.keyFormat & kKeyFormatDescending) != 0;
        tag.unique = (tag.keyFormat & kKeyFormatUnique) != 0 || block[kTagUniqueByte] != 0;
        const char* expression = reinterpret_cast<const char*>(block + kTagExpression);
        tag.expression.assign(expression, strnlen(expression, kTagExpressionMax));

        if (tag.keyLength < 1 || tag.keyLength > kMdxMaxKeyLength)
            return corrupted("key length out of range in tag " + tag.name);
        if (tag.entryLength != mdxEntryLength(tag.keyLength))
            return corrupted("entry length does not match key length in tag " + tag.name);
        if (tag.maxKeys < 2 || tag.maxKeys > (kMdxBlockSize - 12) / tag.entryLength)
            return corrupted("maximum keys out of range in tag " + tag.name);
        if (tag.rootPage < kMdxFirstTagPage || tag.rootPage + kMdxPagesPerBlock > pageCount_)
            return corrupted("root page out of range in tag " + tag.name);
        if (tag.keyType == 'C') {
            tag.kind = KeyKind::Character;
        } else if ((tag.keyType == 'N' || tag.keyType == 'D' || tag.keyType == 'F') &&
                   tag.keyLength == 8) {
            tag.kind = KeyKind::Double;
        } else if ((tag.keyType == 'N' || tag.keyType == 'F') && tag.keyLength == 12) {
            tag.kind = KeyKind::Bcd;
        } else {
            return Status::Error(kIndexVersionMismatch,
                                 path() + ": key form of tag " + tag.name + " [MDX]");
        }
        tags.push_back(std::move(tag));
    }
    tags_ = std::move(tags);
    return Status::OK();
}

Status MdxFile::reloadState() {
    // Page count (32) to the end of the coverage record (88) in one read.
    uint8_t header[kHeaderStateEnd - kHeaderPageCount];
    size_t got = 0;
    Status s = file_->read(kHeaderPageCount, header, sizeof header, &got);
    if (!s.ok()) return s;
    if (got != sizeof header) return corrupted("header cut short");
    const uint32_t pages = getU32(header);
    if (pages < pageCount_) return corrupted("page count went down");
    pageCount_ = storedPageCount_ = pages;
    readState(header);
    return Status::OK();
}

Status MdxFile::reloadRoots() {
    Status s = reloadState();
    if (!s.ok()) return s;
    size_t got = 0;
    for (TagInfo& tag : tags_) {
        uint8_t root[4];
        s = file_->read(uint64_t(tag.headerPage) * kMdxPageSize + kTagRoot, root, 4, &got);
        if (!s.ok()) return s;
        if (got != 4) return corrupted("tag header cut short");
        tag.rootPage = getU32(root);
        if (tag.rootPage < kMdxFirstTagPage || tag.rootPage + kMdxPagesPerBlock > pageCount_)
            return corrupted("root page out of range in tag " + tag.name);
    }
    return Status::OK();
}

Status MdxFile::readHeaderU32(uint32_t offset, uint32_t* value) {
    uint8_t bytes[4];
    size_t got = 0;
    Status s = file_->read(offset, bytes, 4, &got);
    if (!s.ok()) return s;
    if (got != 4) return corrupted("header cut short");
    *value = getU32(bytes);
    return Status::OK();
}

Status MdxFile::readPageCount(uint32_t* pages) { return readHeaderU32(kHeaderPageCount, pages); }

Status MdxFile::readCounter(uint32_t* counter) {
    return readHeaderU32(kHeaderUpdateCounter, counter);
}

void MdxFile::readState(const uint8_t* fromPageCount) {
    const uint8_t* header = fromPageCount - kHeaderPageCount;
    counter_ = getU32(header + kHeaderUpdateCounter);
    checkedCounter_ = getU32(header + kHeaderCheckedCounter);
    checkedPages_ = getU32(header + kHeaderCheckedPages);
    checkedRecords_ = getU32(header + kHeaderCheckedRecords);
    covered_.records = getU32(header + kHeaderCoveredRecords);
    covered_.table.size = getU64(header + kHeaderCoveredSize);
    covered_.table.modified = getU64(header + kHeaderCoveredModified);
    coveredCounter_ = getU32(header + kHeaderCoveredCounter);
}

void MdxFile::putCoverage(uint8_t* fromRecords, const TableCoverage& coverage, uint32_t counter) {
    uint8_t* header = fromRecords - kHeaderCoveredRecords;
    putU32(header + kHeaderCoveredRecords, coverage.records);
    putU64(header + kHeaderCoveredSize, coverage.table.size);
    putU64(header + kHeaderCoveredModified, coverage.table.modified);
    putU32(header + kHeaderCoveredCounter, counter);
}

bool MdxFile::covers(const FileStamp& table, uint32_t* records) const {
    if (updateInterrupted() || coveredCounter_ != counter_ || !table.known() ||
        !(table == covered_.table))
        return false;
    *records = covered_.records;
    return true;
}

Status MdxFile::markCovered(const TableCoverage& coverage) {
    uint8_t bytes[kHeaderStateEnd - kHeaderCoveredRecords];
    putCoverage(bytes, coverage, counter_);
    Status s = file_->write(kHeaderCoveredRecords, bytes, sizeof bytes);
    if (!s.ok()) return s;
    covered_ = coverage;
    coveredCounter_ = counter_;
    return Status::OK();
}

Status MdxFile::beginUpdate(uint32_t tableRecords) {
    checkedAtBegin_ = checkedAsIs(tableRecords);
    return storeCounter(counter_ + ((counter_ & 1) ? 2 : 1));
}

Status MdxFile::endUpdate(uint32_t tableRecords, const TableCoverage* coverage) {
    const uint32_t counter = counter_ + ((counter_ & 1) ? 1 : 2);
    const bool checked = checkedAtBegin_;
    checkedAtBegin_ = false;
    if (!checked && !coverage) return storeCounter(counter);
    // The counter and the records in one write: a torn write leaves records that do not match,
    // which costs only a walk or a rebuild.
    uint8_t bytes[kHeaderStateEnd - kHeaderUpdateCounter];
    putU32(bytes, counter);
    putU32(bytes + (kHeaderCheckedCounter - kHeaderUpdateCounter),
           checked ? counter : checkedCounter_);
    putU32(bytes + (kHeaderCheckedPages - kHeaderUpdateCounter),
           checked ? storedPageCount_ : checkedPages_);
    putU32(bytes + (kHeaderCheckedRecords - kHeaderUpdateCounter),
           checked ? tableRecords : checkedRecords_);
    putCoverage(bytes + (kHeaderCoveredRecords - kHeaderUpdateCounter),
                coverage ? *coverage : covered_, coverage ? counter : coveredCounter_);
    Status s = file_->write(kHeaderUpdateCounter, bytes, sizeof bytes);
    if (!s.ok()) return s;
    counter_ = counter;
    if (checked) {
        checkedCounter_ = counter;
        checkedPages_ = storedPageCount_;
        checkedRecords_ = tableRecords;
    }
    if (coverage) {
        covered_ = *coverage;
        coveredCounter_ = counter;
    }
    return Status::OK();
}

bool MdxFile::checkedAsIs(uint32_t tableRecords) const {
    return !updateInterrupted() && checkedCounter_ == counter_ &&
           checkedPages_ == storedPageCount_ && tableRecords >= checkedRecords_;
}

Status MdxFile::markChecked(uint32_t tableRecords) {
    uint8_t bytes[kHeaderCheckEnd - kHeaderCheckedRecords];
    putU32(bytes + (kHeaderCheckedRecords - kHeaderCheckedRecords), tableRecords);
    putU32(bytes + (kHeaderCheckedPages - kHeaderCheckedRecords), storedPageCount_);
    putU32(bytes + (kHeaderCheckedCounter - kHeaderCheckedRecords), counter_);
    Status s = file_->write(kHeaderCheckedRecords, bytes, sizeof bytes);
    if (!s.ok()) return s;
    checkedCounter_ = counter_;
    checkedPages_ = storedPageCount_;
    checkedRecords_ = tableRecords;
    return Status::OK();
}

Status MdxFile::storeCounter(uint32_t counter) {
    uint8_t bytes[4];
    putU32(bytes, counter);
    Status s = file_->write(kHeaderUpdateCounter, bytes, 4);
    if (!s.ok()) return s;
    counter_ = counter;
    return Status::OK();
}

uint32_t MdxFile::storedCounter(Env* env, const std::string& path) {
    std::unique_ptr<File> file;
    if (!env->fileExists(path) || !env->openFile(path, Access::ReadOnly, Share::Shared, &file).ok())
        return 0;
    uint8_t bytes[4];
    size_t got = 0;
    if (!file->read(kHeaderUpdateCounter, bytes, 4, &got).ok() || got != 4) return 0;
    return getU32(bytes);
}

void MdxFile::replaceWith(std::unique_ptr<MdxFile> other) {
    file_ = std::move(other->file_);
    tags_ = std::move(other->tags_);
    pageCount_ = other->pageCount_;
    storedPageCount_ = other->storedPageCount_;
    counter_ = other->counter_;
    checkedCounter_ = other->checkedCounter_;
    checkedPages_ = other->checkedPages_;
    checkedRecords_ = other->checkedRecords_;
    covered_ = other->covered_;
    coveredCounter_ = other->coveredCounter_;
    checkedAtBegin_ = false;
}

namespace {

std::string normalizedExpression(std::string_view expression) {
    std::string normalized;
    for (char c : expression)
        if (!std::isspace(static_cast<unsigned char>(c)))
            normalized += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return normalized;
}

}  // namespace

bool TagInfo::ordersBy(std::string_view wanted) const {
    return !descending && !unique &&
           normalizedExpression(expression) == normalizedExpression(wanted);
}

int MdxFile::findTag(const std::string& name) const {
    for (size_t i = 0; i < tags_.size(); ++i) {
        const std::string& tagName = tags_[i].name;
        if (tagName.size() != name.size()) continue;
        bool same = true;
        for (size_t c = 0; c < name.size() && same; ++c)
            same = std::toupper(static_cast<unsigned char>(tagName[c])) ==
                   std::toupper(static_cast<unsigned char>(name[c]));
        if (same) return static_cast<int>(i);
    }
    return -1;
}

Status MdxFile::readNode(const TagInfo& tag, uint32_t page, MdxNode* node) {
    if (page >= kMdxFirstTagPage && uint64_t(page) + kMdxPagesPerBlock > pageCount_) {
        // Another workstation may have grown the file since the count was read.
        uint32_t pages = 0;
        Status s = readPageCount(&pages);
        if (!s.ok()) return s;
        uint64_t size = 0;
        s = file_->size(&size);
        if (!s.ok()) return s;
        if (pages > pageCount_ && uint64_t(pages) * kMdxPageSize <= size)
            pageCount_ = storedPageCount_ = pages;
    }
    if (page < kMdxFirstTagPage || uint64_t(page) + kMdxPagesPerBlock > pageCount_)
        return corrupted("node page " + std::to_string(page) + " out of range in tag " + tag.name);
    node->page = page;
    Status s = readPages(page, kMdxPagesPerBlock, node->bytes);
    if (!s.ok()) return s;
    if (node->count() > tag.maxKeys)
        return corrupted("node " + std::to_string(page) + " holds too many keys in tag " +
                         tag.name);
    return Status::OK();
}

Status MdxFile::writeNode(const MdxNode& node) {
    windowPages_ = 0;
    if (node.page < firstNewPage_) changedExisting_ = true;
    Status s = file_->write(uint64_t(node.page) * kMdxPageSize, node.bytes, kMdxBlockSize);
    if (!s.ok()) return s;
    if (node.page + kMdxPagesPerBlock > storedPageCount_) {
        // The header counts a new block only once it is written: a write that fails for want
        // of space leaves the header as it was.
        uint8_t count[4];
        putU32(count, pageCount_);
        s = file_->write(kHeaderPageCount, count, 4);
        if (!s.ok()) return s;
        storedPageCount_ = pageCount_;
    }
    return Status::OK();
}

Status MdxFile::allocateBlock(uint32_t* page) {
    if (pageCount_ > UINT32_MAX - kMdxPagesPerBlock) return corrupted("file full");
    *page = pageCount_;
    pageCount_ += kMdxPagesPerBlock;
    return Status::OK();
}

void MdxFile::startTracking() {
    firstNewPage_ = pageCount_;
    changedExisting_ = false;
}

Status MdxFile::setRoot(int index, uint32_t page) {
    TagInfo& tag = tags_.at(index);
    changedExisting_ = true;
    uint8_t root[4];
    putU32(root, page);
    Status s = file_->write(uint64_t(tag.headerPage) * kMdxPageSize + kTagRoot, root, 4);
    if (!s.ok()) return s;
    tag.rootPage = page;
    return Status::OK();
}

}  // namespace storage
