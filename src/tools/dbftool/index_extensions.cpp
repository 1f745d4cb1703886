// The production index in the table commands: `create --tag` builds it, `append` (through
// openForWriting) keeps it current, `check` checks each tag against the table.
#include <iostream>

#include "commands.h"
#include "storage/production_index.h"

namespace dbftool {

namespace {

void showProgress(const std::string& text) { std::cerr << text << "\n"; }

struct Attached {
    std::unique_ptr<storage::ProductionIndex> index;
};

storage::Status attachIndex(storage::DbfFile& table, std::shared_ptr<void>* keep) {
    const std::string path = storage::ProductionIndex::pathFor(table.env(), table.path());
    if (!table.env()->fileExists(path)) return storage::Status::OK();
    auto attached = std::make_shared<Attached>();
    // An index left damaged or half-updated (a workstation died in the middle) is rebuilt from
    // its own tag definitions, as the program's open does.
    storage::Status s =
        storage::ProductionIndex::openOrRepair(&table, showProgress, &attached->index);
    if (!s.ok()) return s;
    table.setIndexHook(attached->index.get());
    *keep = attached;
    return storage::Status::OK();
}

storage::Status createTags(const std::string& path, const std::vector<std::string>& lines) {
    std::vector<storage::IndexListEntry> tags;
    for (const std::string& line : lines) {
        storage::IndexListEntry tag;
        storage::Status s = storage::parseTagLine(line, &tag);
        if (!s.ok()) return s;
        tags.push_back(tag);
    }
    std::unique_ptr<storage::DbfFile> table;
    storage::Status s = storage::DbfFile::open(
        storage::Env::Default(), path, storage::Access::ReadWrite, storage::Share::Shared, &table);
    if (!s.ok()) return s;
    s = table->setProductionIndexFlag(true);
    std::unique_ptr<storage::ProductionIndex> index;
    if (s.ok())
        s = storage::ProductionIndex::build(
            table.get(), storage::ProductionIndex::pathFor(table->env(), table->path()), true, tags,
            showProgress, &index);
    index.reset();
    const storage::Status closed = table->close();
    return s.ok() ? closed : s;
}

int checkTags(const std::string& path, std::ostream& out) {
    std::unique_ptr<storage::DbfFile> table;
    storage::Status s = storage::DbfFile::open(
        storage::Env::Default(), path, storage::Access::ReadOnly, storage::Share::Shared, &table);
    if (!s.ok()) return 0;  // the table's own check reports it
    const std::string mdx = storage::ProductionIndex::pathFor(table->env(), table->path());
    if (!table->env()->fileExists(mdx)) {
        if (!table->productionIndexFlag()) return 0;
        out << path << ": production index " << mdx << " is missing\n";
        return 1;
    }
    std::vector<std::string> problems;
    // A tag table whose count of tags in use is 0 while it holds entries: readers see no tags.
    {
        std::unique_ptr<storage::File> file;
        uint8_t header[576] = {};
        size_t got = 0;
        if (table->env()
                ->openFile(mdx, storage::Access::ReadOnly, storage::Share::Shared, &file)
                .ok() &&
            file->read(0, header, sizeof header, &got).ok() && got == sizeof header &&
            header[28] == 0 && header[29] == 0) {
            const uint8_t* entry = header + 544;
            bool used = false;
            for (int i = 0; i < 15; ++i) used = used || entry[i] != 0;
            if (used)
                problems.push_back(
                    "the count of tags in use is 0, but the tag table holds entries");
        }
    }
    std::unique_ptr<storage::ProductionIndex> index;
    s = storage::ProductionIndex::open(table.get(), mdx, &index, false);
    if (s.ok()) s = index->verify(&problems);
    if (!s.ok()) problems.push_back(s.message());
    for (const std::string& problem : problems) out << mdx << ": " << problem << "\n";
    return static_cast<int>(problems.size());
}

const bool registered = [] {
    tableAttacher() = &attachIndex;
    tagCreator() = &createTags;
    tableCheckers().push_back(&checkTags);
    return true;
}();

}  // namespace

}  // namespace dbftool
