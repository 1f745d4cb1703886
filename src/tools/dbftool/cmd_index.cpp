// dbftool seek, keys and reindex: the production index of a table.
//   seek FILE VALUE [--tag NAME]   record number of the first entry whose key is VALUE (exit 1
//                                  when there is none)
//   keys FILE [--tag NAME]         every key of the tag in order, with its record number
//   reindex FILE [--tag "NAME,F,T,EXPR"]...
//                                  rebuilds the production index with the tags it has, or with
//                                  the tags given (when its tag table is unreadable)
#include <cstdio>
#include <iostream>

#include "commands.h"
#include "storage/codepage.h"
#include "storage/index_semaphore.h"
#include "storage/mdx_check.h"
#include "storage/production_index.h"

namespace dbftool {

namespace {

struct OpenIndex {
    std::unique_ptr<storage::DbfFile> table;
    std::unique_ptr<storage::ProductionIndex> index;
    int tag = 0;
};

// "FILE [VALUE] [--tag NAME]": false when the arguments are not `positional` values and at most
// a tag name.
bool splitArguments(const Args& args, size_t positional, std::vector<std::string>* values,
                    std::string* tagName) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tag" && i + 1 < args.size())
            *tagName = args[++i];
        else
            values->push_back(args[i]);
    }
    return values->size() == positional;
}

// Opens the table `path` and its production index as found. With `walk`, the tag's tree is
// checked first: an index opened as found may be damaged, and a walk through subtrees that
// several nodes share would repeat them without end.
storage::Status openIndex(const std::string& path, storage::Access access, bool walk,
                          const std::string& tagName, OpenIndex* out) {
    storage::Status s = storage::DbfFile::open(storage::Env::Default(), path, access,
                                               storage::Share::Shared, &out->table);
    if (!s.ok()) return s;
    const std::string mdx =
        storage::ProductionIndex::pathFor(out->table->env(), out->table->path());
    s = storage::ProductionIndex::open(out->table.get(), mdx, &out->index, false);
    if (!s.ok()) return s;
    if (!tagName.empty()) {
        out->tag = out->index->findTag(tagName);
        if (out->tag < 0) {
            return storage::Status::Error(storage::kIndexNotOpen,
                                          "No tag " + tagName + " in " + mdx + " [TAG]");
        }
    } else if (out->index->tags().empty()) {
        return storage::Status::Error(storage::kIndexNotOpen, mdx + " has no tags [TAG]");
    }
    if (!walk) return storage::Status::OK();
    // The check walks the whole tree: under the semaphore, so that another workstation's
    // update in progress is not taken for damage.
    storage::IndexSemaphore semaphore(out->table->env(), out->table->path());
    storage::SemaphoreGuard guard(&semaphore, "Check");
    if (!guard.status().ok()) return guard.status();
    s = out->index->file()->reload();
    if (s.ok()) s = storage::checkTag(out->index->file(), out->tag, UINT32_MAX);
    if (!s.ok()) return s;
    return guard.release();
}

std::string keyText(const storage::TagInfo& tag, const uint8_t* key) {
    char number[64];
    switch (tag.kind) {
        case storage::KeyKind::Character: {
            size_t n = tag.keyLength;
            while (n > 0 && key[n - 1] == ' ') --n;
            std::string text;
            storage::oemToUtf8(key, n, &text);
            return text;
        }
        case storage::KeyKind::Double:
            if (tag.keyType == 'D')
                return storage::digitsOfJulianDay(storage::decodeNumericKey(key));
            std::snprintf(number, sizeof number, "%.15g", storage::decodeNumericKey(key));
            return number;
        case storage::KeyKind::Bcd:
            std::snprintf(number, sizeof number, "%.15g", storage::decodeBcdKey(key));
            return number;
    }
    return {};
}

}  // namespace

int runSeek(const Args& args) {
    OpenIndex open;
    std::vector<std::string> values;
    std::string tagName;
    if (!splitArguments(args, 2, &values, &tagName))
        return failUsage("usage: dbftool seek FILE VALUE [--tag NAME]");
    storage::Status s = openIndex(values[0], storage::Access::ReadOnly, true, tagName, &open);
    if (!s.ok()) return fail(s);
    std::string value = values[1];
    if (open.index->tags()[open.tag].kind == storage::KeyKind::Character)
        storage::utf8ToOem(values[1], &value);
    auto cursor = open.index->cursor(open.tag);
    bool found = false;
    s = open.index->seek(cursor.get(), value, true, &found);
    if (!s.ok()) return fail(s);
    if (!found) return 1;
    std::cout << cursor->recno() << "\n";
    return 0;
}

int runKeys(const Args& args) {
    OpenIndex open;
    std::vector<std::string> values;
    std::string tagName;
    if (!splitArguments(args, 1, &values, &tagName))
        return failUsage("usage: dbftool keys FILE [--tag NAME]");
    storage::Status s = openIndex(values[0], storage::Access::ReadOnly, true, tagName, &open);
    if (!s.ok()) return fail(s);
    const storage::TagInfo& tag = open.index->tags()[open.tag];
    auto cursor = open.index->cursor(open.tag);
    bool found = false;
    for (s = cursor->first(&found); s.ok() && found; s = cursor->next(&found))
        std::cout << keyText(tag, cursor->key()) << "\t" << cursor->recno() << "\n";
    if (!s.ok()) return fail(s);
    return 0;
}

int runReindex(const Args& args) {
    // reindex FILE [--tag "NAME,F,T,EXPR"]...: the file's own tag definitions, or the given ones
    // when its tag table cannot be read.
    std::string path;
    std::vector<storage::IndexListEntry> tags;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tag" && i + 1 < args.size()) {
            storage::IndexListEntry tag;
            storage::Status s = storage::parseTagLine(args[++i], &tag);
            if (!s.ok()) return fail(s);
            tags.push_back(tag);
        } else if (path.empty()) {
            path = args[i];
        } else {
            return failUsage("usage: dbftool reindex FILE [--tag \"NAME,F,T,EXPR\"]...");
        }
    }
    if (path.empty()) return failUsage("usage: dbftool reindex FILE [--tag \"NAME,F,T,EXPR\"]...");
    std::unique_ptr<storage::DbfFile> table;
    storage::Status s = storage::DbfFile::open(
        storage::Env::Default(), path, storage::Access::ReadWrite, storage::Share::Shared, &table);
    if (!s.ok()) return fail(s);
    const std::string mdx = storage::ProductionIndex::pathFor(table->env(), table->path());
    // Only the tag table and tag headers are read: the rest (page count, trees) may be what
    // needs the rebuild.
    if (tags.empty()) {
        s = storage::ProductionIndex::readTagDefinitions(table->env(), mdx, &tags);
        if (!s.ok()) {
            std::cerr << "dbftool: the tag table cannot be read; give the tags with --tag "
                         "\"NAME,F,T,EXPR\"\n";
            return fail(s);
        }
    }
    std::unique_ptr<storage::ProductionIndex> index;
    s = storage::ProductionIndex::build(
        table.get(), mdx, true, tags, [](const std::string& text) { std::cerr << text << "\n"; },
        &index);
    index.reset();
    const storage::Status closed = table->close();
    if (!s.ok()) return fail(s);
    if (!closed.ok()) return fail(closed);
    return 0;
}

}  // namespace dbftool
