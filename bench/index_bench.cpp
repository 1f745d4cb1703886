// Index benchmarks.
//  - FindExact on the matter tag of a General.dbf of 100,000 matters, against a sequential scan
//    of the table for the same key (goal: under 20 us, and at least 1000x faster than the scan).
//  - Building a tag on "etype + expense" over 500,000 Expenses lines, against sorting the same
//    keys in memory and writing as many bytes (goal: within 2x).
// Tables are made once per run in a temporary directory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>

#include "storage/dbf_file.h"
#include "storage/mdx_file.h"
#include "storage/production_index.h"
#include "storage/record.h"

using namespace storage;

namespace {

const std::filesystem::path& workDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "networth_bench_index";
        std::filesystem::remove_all(d);
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

FieldDescriptor fieldOf(const char* name, char type, int width, int decimals = 0) {
    return FieldDescriptor{name, type, static_cast<uint8_t>(width), static_cast<uint8_t>(decimals),
                           0};
}

std::string matterName(int i) {
    return "Matter " + std::to_string(i * 7919 % 1000003) + " v. Other";
}

void fill(const std::string& path, const std::vector<FieldDescriptor>& fields, int count,
          const std::function<void(int, DbfFile&, uint8_t*)>& set) {
    if (!DbfFile::create(Env::Default(), path, fields).ok()) std::abort();
    std::unique_ptr<DbfFile> table;
    if (!DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Exclusive, &table).ok())
        std::abort();
    std::vector<uint8_t> record(table->recordLength());
    for (int i = 0; i < count; ++i) {
        table->blankRecord(record.data());
        set(i, *table, record.data());
        if (!table->appendRecord(record.data()).ok()) std::abort();
    }
    if (!table->close().ok()) std::abort();
}

// General.dbf with 100,000 matters and its production index.
struct General {
    std::unique_ptr<DbfFile> table;
    std::unique_ptr<ProductionIndex> index;
    General() {
        const std::string path = (workDir() / "General.dbf").string();
        fill(path,
             {fieldOf("MATTER", 'C', 50), fieldOf("COURT", 'C', 40), fieldOf("COUNTY", 'C', 30),
              fieldOf("PLAINTIFF", 'C', 50), fieldOf("DEFENDANT", 'C', 50),
              fieldOf("INDEXNO", 'C', 20), fieldOf("CREATED", 'D', 8), fieldOf("CHANGED", 'D', 8),
              fieldOf("VENUE", 'C', 50), fieldOf("DEPONENT", 'C', 50)},
             100000,
             [](int i, DbfFile& t, uint8_t* r) { setText(t.fields()[0], r, matterName(i)); });
        if (!DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Shared, &table).ok())
            std::abort();
        IndexListEntry tag;
        parseTagLine("MYKEY,F,T,matter", &tag);
        if (!ProductionIndex::openOrBuild(table.get(), {tag}, nullptr, &index).ok()) std::abort();
    }
};

General& general() {
    static General g;
    return g;
}

void BM_FindExact(benchmark::State& state) {
    General& g = general();
    auto cursor = g.index->cursor(0);
    std::vector<std::string> keys;
    for (int i = 0; i < 1000; ++i) keys.push_back(matterName(i * 97 % 100000));
    size_t k = 0;
    for (auto _ : state) {
        bool found = false;
        g.index->seek(cursor.get(), keys[k++ % keys.size()], true, &found);
        if (!found) state.SkipWithError("not found");
        benchmark::DoNotOptimize(cursor->recno());
    }
}
BENCHMARK(BM_FindExact)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The same search without the index: read the records in large pieces and compare `matter`.
void BM_SequentialScanForKey(benchmark::State& state) {
    General& g = general();
    DbfFile& t = *g.table;
    const FieldDescriptor& matter = t.fields()[0];
    std::vector<std::string> keys;
    for (int i = 0; i < 1000; ++i) keys.push_back(matterName(i * 97 % 100000));
    std::vector<uint8_t> buffer(size_t(2048) * t.recordLength());
    size_t k = 0;
    for (auto _ : state) {
        std::string key = keys[k++ % keys.size()];
        key.resize(50, ' ');
        uint32_t found = 0;
        for (uint32_t first = 1; first <= t.recordCount() && !found;) {
            uint32_t got = 0;
            t.readRecords(first, 2048, buffer.data(), &got);
            for (uint32_t i = 0; i < got; ++i)
                if (std::memcmp(buffer.data() + size_t(i) * t.recordLength() + matter.offset,
                                key.data(), 50) == 0) {
                    found = first + i;
                    break;
                }
            if (got == 0) break;
            first += got;
        }
        if (!found) state.SkipWithError("not found");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SequentialScanForKey)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// Expenses.dbf with 500,000 lines: 99 standard lines for each of 5,051 matters.
struct Expenses {
    std::unique_ptr<DbfFile> table;
    std::unique_ptr<KeyExpression> expression;
    std::vector<uint8_t> keys;
    uint32_t count = 0;
    Expenses() {
        const std::string path = (workDir() / "Expenses.dbf").string();
        fill(path,
             {fieldOf("MATTER", 'C', 50), fieldOf("ETYPE", 'C', 25), fieldOf("EXPENSE", 'C', 65),
              fieldOf("AMT", 'N', 12, 2), fieldOf("SETYPE", 'C', 25), fieldOf("INFO", 'C', 65)},
             500000, [](int i, DbfFile& t, uint8_t* r) {
                 setText(t.fields()[0], r, matterName(i / 99));
                 setText(t.fields()[1], r, "Type " + std::to_string(i % 99 / 10));
                 setText(t.fields()[2], r, "Standard expense line " + std::to_string(i % 99));
                 setNumber(t.fields()[3], r, (i % 1000) * 1.25);
             });
        if (!DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Exclusive, &table).ok())
            std::abort();
        KeyExpression::compile("etype + expense", table->fields(), &expression);
        tableKeys(table.get(), *expression, &keys, &count);
    }
};

Expenses& expenses() {
    static Expenses e;
    return e;
}

// The whole build as the program does it: read the table, make and sort the keys, write the file.
void BM_BuildTagFromTable(benchmark::State& state) {
    Expenses& e = expenses();
    IndexListEntry tag{"BYTYPE", false, false, "etype + expense", {}};
    const std::string path = (workDir() / "Expenses.MDX").string();
    for (auto _ : state) {
        std::unique_ptr<ProductionIndex> index;
        if (!ProductionIndex::build(e.table.get(), path, true, {tag}, nullptr, &index).ok())
            state.SkipWithError("build failed");
    }
}
BENCHMARK(BM_BuildTagFromTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The build from keys already in memory: sort and write the tag.
void BM_BuildTagFromKeys(benchmark::State& state) {
    Expenses& e = expenses();
    TagDefinition definition{"BYTYPE", "etype + expense", 'C', 90, false, false};
    const std::string path = (workDir() / "Keys.MDX").string();
    for (auto _ : state) {
        std::vector<uint32_t> order(e.count);
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            const int c =
                std::memcmp(e.keys.data() + size_t(a) * 90, e.keys.data() + size_t(b) * 90, 90);
            return c != 0 ? c < 0 : a < b;
        });
        std::unique_ptr<File> file;
        Env::Default()->createFile(path, &file);
        std::unique_ptr<MdxFile> mdx;
        MdxFile::TagContents contents{e.keys.data(), order.data(), order.size()};
        if (!MdxFile::create(std::move(file), "Expenses", true, {definition}, {contents}, &mdx)
                 .ok())
            state.SkipWithError("create failed");
    }
}
BENCHMARK(BM_BuildTagFromKeys)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: sort the same keys in memory and write as many bytes as the tag's file has.
void BM_SortKeysAndWriteSameBytes(benchmark::State& state) {
    Expenses& e = expenses();
    uint64_t bytes = 0;
    {
        std::unique_ptr<ProductionIndex> index;
        IndexListEntry tag{"BYTYPE", false, false, "etype + expense", {}};
        ProductionIndex::build(e.table.get(), (workDir() / "Size.MDX").string(), true, {tag},
                               nullptr, &index);
        index->file()->file()->size(&bytes);
    }
    std::vector<char> block(bytes, 'x');
    const std::string path = (workDir() / "Plain.bin").string();
    for (auto _ : state) {
        std::vector<std::string> keys(e.count);
        for (uint32_t i = 0; i < e.count; ++i)
            keys[i].assign(reinterpret_cast<const char*>(e.keys.data()) + size_t(i) * 90, 90);
        std::stable_sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
        std::unique_ptr<File> file;
        Env::Default()->createFile(path, &file);
        for (uint64_t at = 0; at < bytes; at += 1 << 20)
            file->write(at, block.data() + at, std::min<uint64_t>(1 << 20, bytes - at));
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SortKeysAndWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
