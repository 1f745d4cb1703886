// Feeds arbitrary bytes to the multiple-index reader as an in-memory file: open, check every tag,
// walk it both ways, seek, and add and remove an entry. Damage must give a status, never a crash,
// a hang or a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/mdx_check.h"
#include "storage/mdx_file.h"
#include "storage/mem_env.h"
#include "storage/production_index.h"
#include "storage/tag_cursor.h"
#include "storage/tag_writer.h"

using namespace storage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemEnv env;
    env.setContents("/f/T.MDX", std::string(reinterpret_cast<const char*>(data), size));
    // The lenient reader of tag definitions that repairs rebuild from.
    std::vector<IndexListEntry> definitions;
    ProductionIndex::readTagDefinitions(&env, "/f/T.MDX", &definitions);
    std::unique_ptr<File> file;
    if (!env.openFile("/f/T.MDX", Access::ReadWrite, Share::Shared, &file).ok()) return 0;
    std::unique_ptr<MdxFile> mdx;
    if (!MdxFile::open(std::move(file), &mdx).ok()) return 0;
    for (size_t t = 0; t < mdx->tags().size(); ++t) {
        const int tag = static_cast<int>(t);
        const bool sound = checkTag(mdx.get(), tag, UINT32_MAX).ok();
        // Walks are bounded by steps, since an unchecked tree may repeat subtrees.
        TagCursor cursor(mdx.get(), tag);
        bool found = false;
        int steps = 0;
        for (Status s = cursor.first(&found); s.ok() && found && steps < 5000; ++steps)
            s = cursor.next(&found);
        steps = 0;
        for (Status s = cursor.last(&found); s.ok() && found && steps < 5000; ++steps)
            s = cursor.prior(&found);
        uint8_t key[kMdxMaxKeyLength] = {};
        for (size_t i = 0; i < sizeof key && i < size; ++i) key[i] = data[size - 1 - i];
        cursor.seekExact(key, &found);
        cursor.seekPrefix(key, 1, &found);
        if (sound) {
            // Only sound trees are changed, as the program rebuilds damaged ones first.
            TagWriter writer(mdx.get(), tag);
            bool done = false;
            for (uint32_t r = 1; r <= 40; ++r) {
                key[0] = static_cast<uint8_t>(r * 7);
                if (!writer.insert(key, r, &done).ok()) break;
            }
            key[0] = 7;
            writer.remove(key, 1, &done);
            Status s = checkTag(mdx.get(), tag, UINT32_MAX);
            if (!s.ok() && s.code() == kCorruptedIndex) __builtin_trap();
        }
    }
    return 0;
}
