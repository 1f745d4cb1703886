// Writing a whole multiple-index file at once: the header, the tag table, and each tag's B-tree
// packed bottom-up from its sorted entries.

#include <algorithm>
#include <cstring>
#include <ctime>

#include "mdx_file.h"
#include "mdx_layout.h"

namespace storage {

using namespace mdx;

namespace {

// Collects consecutive blocks and writes them in large pieces.
class SequentialWriter {
  public:
    SequentialWriter(File* file, uint64_t offset) : file_(file), offset_(offset) {
        buffer_.reserve(kChunk);
    }

    uint8_t* nextBlock() {
        if (buffer_.size() + kMdxBlockSize > kChunk) flush();
        buffer_.resize(buffer_.size() + kMdxBlockSize);
        uint8_t* block = buffer_.data() + buffer_.size() - kMdxBlockSize;
        std::memset(block, 0, kMdxBlockSize);
        return block;
    }

    void flush() {
        if (buffer_.empty() || !status_.ok()) return;
        status_ = file_->write(offset_, buffer_.data(), buffer_.size());
        offset_ += buffer_.size();
        buffer_.clear();
    }

    const Status& status() const { return status_; }

  private:
    static constexpr size_t kChunk = 1 << 20;
    File* file_;
    uint64_t offset_;
    std::vector<uint8_t> buffer_;
    Status status_;
};

void putDate(uint8_t* p) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return;
    p[0] = static_cast<uint8_t>(local->tm_year);
    p[1] = static_cast<uint8_t>(local->tm_mon + 1);
    p[2] = static_cast<uint8_t>(local->tm_mday);
}

// Node counts per level, leaves first, root last.
std::vector<size_t> levelSizes(size_t entries, uint16_t maxKeys) {
    std::vector<size_t> sizes{std::max<size_t>(1, (entries + maxKeys - 1) / maxKeys)};
    while (sizes.back() > 1) sizes.push_back((sizes.back() + maxKeys) / (maxKeys + 1));
    return sizes;
}

// Writes the tag header and tree of one tag starting at headerPage.
void writeTag(SequentialWriter& out, const TagDefinition& definition,
              const MdxFile::TagContents& contents, uint32_t headerPage,
              const std::vector<size_t>& sizes) {
    const uint16_t keyLength = definition.keyLength;
    const uint16_t entryLength = mdxEntryLength(keyLength);
    size_t totalNodes = 0;
    for (size_t n : sizes) totalNodes += n;
    const uint32_t firstNodePage = headerPage + kMdxPagesPerBlock;
    const uint32_t rootPage = firstNodePage + uint32_t(totalNodes - 1) * kMdxPagesPerBlock;
    encodeTagHeader(definition, rootPage, out.nextBlock());

    auto keyOf = [&](size_t position) {
        return contents.keys + size_t(contents.order[position]) * keyLength;
    };

    // Each node of the level just written: its page and the position of its largest entry.
    struct Written {
        uint32_t page;
        size_t last;
    };
    std::vector<Written> level;
    level.reserve(sizes[0]);
    uint32_t page = firstNodePage;

    const size_t leaves = sizes[0];
    size_t position = 0;
    for (size_t j = 0; j < leaves; ++j) {
        const size_t n = contents.count / leaves + (j < contents.count % leaves ? 1 : 0);
        uint8_t* block = out.nextBlock();
        putU32(block, static_cast<uint32_t>(n));
        for (size_t i = 0; i < n; ++i, ++position) {
            uint8_t* entry = block + 8 + i * entryLength;
            putU32(entry, contents.order[position] + 1);
            std::memcpy(entry + 4, keyOf(position), keyLength);
        }
        level.push_back({page, position == 0 ? 0 : position - 1});
        page += kMdxPagesPerBlock;
    }

    for (size_t depth = 1; depth < sizes.size(); ++depth) {
        std::vector<Written> upper;
        upper.reserve(sizes[depth]);
        const size_t nodes = sizes[depth];
        size_t child = 0;
        for (size_t j = 0; j < nodes; ++j) {
            const size_t children = level.size() / nodes + (j < level.size() % nodes ? 1 : 0);
            uint8_t* block = out.nextBlock();
            putU32(block, static_cast<uint32_t>(children - 1));
            for (size_t i = 0; i + 1 < children; ++i, ++child) {
                uint8_t* entry = block + 8 + i * entryLength;
                putU32(entry, level[child].page);
                std::memcpy(entry + 4, keyOf(level[child].last), keyLength);
            }
            putU32(block + 8 + (children - 1) * entryLength, level[child].page);
            upper.push_back({page, level[child].last});
            ++child;
            page += kMdxPagesPerBlock;
        }
        level = std::move(upper);
    }
}

}  // namespace

Status MdxFile::create(std::unique_ptr<File> file, const std::string& tableName, bool production,
                       const std::vector<TagDefinition>& tags,
                       const std::vector<TagContents>& contents, std::unique_ptr<MdxFile>* out,
                       uint32_t previousCounter, uint32_t tableRecords,
                       const TableCoverage* coverage) {
    out->reset();
    if (tags.size() > kMdxMaxTags)
        return Status::Error(kCorruptedIndex, file->path() + ": too many tags [MDX]");
    Status s = file->truncate(0);
    if (!s.ok()) return s;

    // Plan the pages: per tag its header block, then its nodes.
    std::vector<uint32_t> headerPages;
    std::vector<std::vector<size_t>> sizes;
    uint64_t page = kMdxFirstTagPage;
    for (size_t t = 0; t < tags.size(); ++t) {
        const size_t count = t < contents.size() ? contents[t].count : 0;
        headerPages.push_back(static_cast<uint32_t>(page));
        sizes.push_back(levelSizes(count, mdxMaxKeys(tags[t].keyLength)));
        page += kMdxPagesPerBlock;
        for (size_t n : sizes.back()) page += n * kMdxPagesPerBlock;
    }
    if (page > UINT32_MAX)
        return Status::Error(kCorruptedIndex, file->path() + ": index too large [MDX]");

    uint8_t header[kHeaderBytes] = {};
    header[kHeaderVersion] = kVersion;
    putDate(header + kHeaderCreated);
    std::memcpy(header + kHeaderTableName, tableName.data(),
                std::min<size_t>(tableName.size(), 16));
    putU16(header + kHeaderPagesPerBlock, kMdxPagesPerBlock);
    putU16(header + kHeaderBytesPerBlock, kMdxBlockSize);
    header[kHeaderProduction] = production ? 1 : 0;
    header[kHeaderTagSlots] = kTagSlots;
    header[kHeaderTagEntryLength] = kTagEntryBytes;
    putU16(header + kHeaderTagCount, static_cast<uint16_t>(tags.size()));
    header[kHeaderMarker] = kMarker;
    putU32(header + kHeaderPageCount, static_cast<uint32_t>(page));
    putDate(header + kHeaderUpdated);
    header[kTagTableOffset + kTagSlotZeroFlag] = 1;
    const uint32_t building = previousCounter + ((previousCounter & 1) ? 2 : 1);
    putU32(header + kHeaderUpdateCounter, building);
    for (size_t t = 0; t < tags.size(); ++t) {
        uint8_t* entry = header + kTagTableOffset + (t + 1) * kTagEntryBytes;
        putU32(entry + kEntryHeaderPage, headerPages[t]);
        std::memcpy(entry + kEntryName, tags[t].name.data(),
                    std::min(tags[t].name.size(), kEntryNameBytes - 1));
        entry[kEntryKeyFormat] =
            static_cast<uint8_t>(kKeyFormatBase | (tags[t].descending ? kKeyFormatDescending : 0) |
                                 (tags[t].unique ? kKeyFormatUnique : 0));
        entry[kEntryMarker] = 0x02;
        entry[kEntryKeyType] = static_cast<uint8_t>(tags[t].keyType);
        // Link the entry into the binary tree of names, rooted at entry 1.
        if (t == 0) continue;
        size_t at = 0;
        for (;;) {
            uint8_t* node = header + kTagTableOffset + (at + 1) * kTagEntryBytes;
            const bool left = tags[t].name < tags[at].name;
            uint8_t& link = node[left ? kEntryLeft : kEntryRight];
            if (link == 0) {
                link = static_cast<uint8_t>(t + 1);
                entry[kEntryParent] = static_cast<uint8_t>(at + 1);
                break;
            }
            at = link - 1u;
        }
    }

    SequentialWriter writer(file.get(), 0);
    std::memcpy(writer.nextBlock(), header, kMdxBlockSize);
    std::memcpy(writer.nextBlock(), header + kMdxBlockSize, kMdxBlockSize);
    const TagContents empty;
    for (size_t t = 0; t < tags.size(); ++t)
        writeTag(writer, tags[t], t < contents.size() ? contents[t] : empty, headerPages[t],
                 sizes[t]);
    writer.flush();
    if (!writer.status().ok()) return writer.status();
    // The counter made even and, in the same write, the new trees recorded as checked (they
    // were just written whole) and as covering the table they were built from.
    uint8_t done[kHeaderStateEnd - kHeaderUpdateCounter] = {};
    putU32(done, building + 1);
    if (tableRecords != UINT32_MAX) {
        putU32(done + (kHeaderCheckedCounter - kHeaderUpdateCounter), building + 1);
        putU32(done + (kHeaderCheckedPages - kHeaderUpdateCounter), static_cast<uint32_t>(page));
        putU32(done + (kHeaderCheckedRecords - kHeaderUpdateCounter), tableRecords);
    }
    if (coverage)
        putCoverage(done + (kHeaderCoveredRecords - kHeaderUpdateCounter), *coverage, building + 1);
    s = file->write(kHeaderUpdateCounter, done, sizeof done);
    if (!s.ok()) return s;
    return open(std::move(file), out);
}

}  // namespace storage
