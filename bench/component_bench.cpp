// The table component over an Expenses table of 500,000 lines, 99 of which belong to the current
// matter (spread evenly through the file), with the matter filter routine installed as the
// Expenses form installs it. Run: <build>/bin/bench_component. The table is built once in a
// temporary directory (about 120 MB) and removed at exit.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/record.h"

using namespace storage;

namespace {

constexpr uint32_t kRecords = 500000;
constexpr uint32_t kMatterLines = 99;
const std::string kMatter = "Smith v. Smith";

void check(const Status& s) {
    if (!s.ok()) {
        std::fprintf(stderr, "%s\n", s.message().c_str());
        std::exit(1);
    }
}

std::string buildTable(const std::string& dir) {
    const std::string path = dir + "/Expenses.dbf";
    const std::vector<FieldDescriptor> fields = {
        {"matter", 'C', 50, 0}, {"etype", 'C', 25, 0},  {"expense", 'C', 65, 0},
        {"amt", 'N', 12, 2},    {"setype", 'C', 25, 0}, {"info", 'C', 65, 0},
    };
    check(DbfFile::create(Env::Default(), path, fields));
    std::unique_ptr<DbfFile> table;
    check(DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Exclusive, &table));
    std::vector<uint8_t> record(table->recordLength());
    const auto& f = table->fields();
    const uint32_t spacing = kRecords / kMatterLines;
    for (uint32_t n = 0; n < kRecords; ++n) {
        table->blankRecord(record.data());
        const bool ours = n % spacing == spacing / 2 && n / spacing < kMatterLines;
        setText(f[0], record.data(), ours ? kMatter : "Matter " + std::to_string(n % 5000));
        setText(f[1], record.data(), "(a) Housing");
        setText(f[2], record.data(), "Line " + std::to_string(n % 99 + 1));
        setNumber(f[3], record.data(), n * 0.25);
        check(table->appendRecord(record.data()));
    }
    check(table->close());
    return path;
}

struct Workspace {
    Workspace() {
        char pattern[] = "/tmp/bench_component_XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::exit(1);
        dir = pattern;
        path = buildTable(dir);
        table.DbfFields =
            std::vector<std::string>{"matter,C,50,0", "etype,C,25,0",  "expense,C,65,0",
                                     "amt,N,12,2",    "setype,C,25,0", "info,C,65,0"};
        table.IndexList = {"RAW,F,F,recno()", ""};
        table.HideDeletedRecs = true;
        table.setDbfFileName(path);
        table.Open();
        table.SetFilterToCB(
            [this](void*) {
                return table.FieldByName("matter").AsString() == matter &&
                       table.FieldByName("etype").AsString() == "(a) Housing";
            },
            nullptr);
    }
    ~Workspace() {
        table.Close();
        std::filesystem::remove_all(dir);
    }

    std::string dir;
    std::string path;
    std::string matter = kMatter;  // the Matter box, read by the routine on every call
    TDbfTable table{"T_Expenses"};
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

void reportPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

// The floor: the table's bytes read from the page cache in 256 KB pieces.
void BM_ReadFileBytes(benchmark::State& state) {
    const int fd = ::open(workspace().path.c_str(), O_RDONLY);
    std::vector<char> buffer(256 * 1024);
    for (auto _ : state) {
        off_t offset = 0;
        ssize_t got;
        while ((got = ::pread(fd, buffer.data(), buffer.size(), offset)) > 0) offset += got;
        benchmark::DoNotOptimize(buffer.data());
    }
    ::close(fd);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_GetFilteredCount(benchmark::State& state) {
    TDbfTable& table = workspace().table;
    for (auto _ : state) {
        if (table.GetFilteredCount() != kMatterLines) std::exit(2);
    }
    reportPeakMemory(state);
}
BENCHMARK(BM_GetFilteredCount)->Unit(benchmark::kMillisecond);

// What the Expenses grid does to show the matter's lines: First, then Next to the end.
void BM_WalkMatterLines(benchmark::State& state) {
    TDbfTable& table = workspace().table;
    for (auto _ : state) {
        uint32_t lines = 0;
        for (table.First(); !table.Eof(); table.Next()) ++lines;
        if (lines != kMatterLines) std::exit(3);
    }
    reportPeakMemory(state);
}
BENCHMARK(BM_WalkMatterLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
