// A process of the index tests:
//   index_helper append TABLE COUNT ID   appends COUNT records "pID-n" to a shared table whose
//                                        production index has the tag "NAME,F,F,name"
//   index_helper make TABLE COUNT        creates TABLE with COUNT records and the tag
//                                        "BYNAME,F,F,name", then prints "key<TAB>recno" of every
//                                        entry in tag order
#include <cstdio>
#include <cstring>
#include <string>

#include "helper_tables.h"
#include "storage/dbf_file.h"
#include "storage/production_index.h"
#include "storage/record.h"

using namespace storage;

namespace {

int failed(const Status& s) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string command = argv[1], path = argv[2];
    const int count = std::atoi(argv[3]);
    std::unique_ptr<DbfFile> table;
    std::unique_ptr<ProductionIndex> index;
    if (command == "append" && argc == 5) {
        Status s =
            helper_tables::openIndexed(Env::Default(), path, "NAME,F,F,name", &table, &index);
        if (!s.ok()) return failed(s);
        for (int i = 0; i < count; ++i) {
            s = helper_tables::append(*table, "p" + std::string(argv[4]) + "-" + std::to_string(i));
            if (!s.ok()) return failed(s);
        }
        table->setIndexHook(nullptr);
        s = table->close();
        return s.ok() ? 0 : failed(s);
    }
    if (command == "make") {
        Status s = DbfFile::create(Env::Default(), path, {FieldDescriptor{"NAME", 'C', 20, 0, 0}});
        if (s.ok())
            s = helper_tables::openIndexed(Env::Default(), path, "BYNAME,F,F,name", &table, &index);
        if (!s.ok()) return failed(s);
        uint32_t state = 12345;
        for (int i = 0; i < count; ++i) {
            state = state * 1103515245u + 12345u;
            // Repeated keys too, so that equal keys must stay in record order.
            s = helper_tables::append(*table,
                                      "key" + std::to_string((state >> 8) % (count / 2 + 1)));
            if (!s.ok()) return failed(s);
        }
        TagCursor cursor(index->file(), 0);
        bool found = false;
        for (s = cursor.first(&found); s.ok() && found; s = cursor.next(&found)) {
            std::string key(reinterpret_cast<const char*>(cursor.key()), 20);
            while (!key.empty() && key.back() == ' ') key.pop_back();
            std::printf("%s\t%u\n", key.c_str(), cursor.recno());
        }
        if (!s.ok()) return failed(s);
        table->setIndexHook(nullptr);
        s = table->close();
        return s.ok() ? 0 : failed(s);
    }
    return 2;
}
