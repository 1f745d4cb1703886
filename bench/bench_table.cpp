// Table file speed on the Expenses layout (matter C50, etype C25, expense C65, amt N12.2,
// setype C25, info C65), and the component's appends and rewrites under their locks. Run:
// <build>/bin/bench_table. The table is built once in a temporary
// directory (about 120 MB) and removed at exit.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/record.h"

using namespace storage;

namespace {

constexpr uint32_t kRecords = 500000;
constexpr uint32_t kMatters = 5000;
constexpr uint32_t kBatch = 4096;  // records per read, about 1 MB

const std::vector<FieldDescriptor> kExpensesFields = {
    {"matter", 'C', 50, 0}, {"etype", 'C', 25, 0},  {"expense", 'C', 65, 0},
    {"amt", 'N', 12, 2},    {"setype", 'C', 25, 0}, {"info", 'C', 65, 0},
};

std::string matterName(uint32_t i) { return "Matter " + std::to_string(i) + " v. Müller"; }

void check(const Status& s) {
    if (!s.ok()) {
        std::fprintf(stderr, "%s\n", s.message().c_str());
        std::exit(1);
    }
}

class Workspace {
  public:
    Workspace() {
        char pattern[] = "/tmp/bench_table_XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::exit(1);
        dir_ = pattern;
    }
    ~Workspace() { std::filesystem::remove_all(dir_); }
    const std::string& dir() const { return dir_; }

    // The big table, built on first use.
    const std::string& expenses() {
        if (expenses_.empty()) {
            expenses_ = dir_ + "/Expenses.dbf";
            check(DbfFile::create(Env::Default(), expenses_, kExpensesFields));
            std::unique_ptr<DbfFile> table;
            check(DbfFile::open(Env::Default(), expenses_, Access::ReadWrite, Share::Exclusive,
                                &table));
            std::vector<uint8_t> record(table->recordLength());
            const auto& f = table->fields();
            for (uint32_t n = 0; n < kRecords; ++n) {
                table->blankRecord(record.data());
                setText(f[0], record.data(), matterName(n % kMatters));
                setText(f[1], record.data(), "Housing");
                setText(f[2], record.data(), "Line " + std::to_string(n % 99 + 1));
                setNumber(f[3], record.data(), n * 0.25);
                check(table->appendRecord(record.data()));
            }
            check(table->close());
        }
        return expenses_;
    }

  private:
    std::string dir_;
    std::string expenses_;
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

// The floor: the file's bytes read from the page cache in the same chunk size as the scan.
void BM_ReadFileBytes(benchmark::State& state) {
    const std::string& path = workspace().expenses();
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buffer(size_t(kBatch) * 243);  // the scan's batch of records
    for (auto _ : state) {
        off_t offset = 0;
        ssize_t got;
        while ((got = ::pread(fd, buffer.data(), buffer.size(), offset)) > 0) offset += got;
        benchmark::DoNotOptimize(buffer.data());
        state.SetBytesProcessed(state.bytes_processed() + offset);
    }
    ::close(fd);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// Every record read, its matter decoded to UTF-8 and compared with a name.
void BM_ScanDecodingMatter(benchmark::State& state) {
    const std::string& path = workspace().expenses();
    std::unique_ptr<DbfFile> table;
    check(DbfFile::open(Env::Default(), path, Access::ReadOnly, Share::Shared, &table));
    const FieldDescriptor matter = table->fields()[0];
    const size_t length = table->recordLength();
    std::vector<uint8_t> buffer(kBatch * length);
    const std::string wanted = matterName(1234);
    std::string text;
    for (auto _ : state) {
        uint32_t matches = 0;
        for (uint32_t first = 1; first <= table->recordCount(); first += kBatch) {
            uint32_t got = 0;
            check(table->readRecords(first, kBatch, buffer.data(), &got));
            for (uint32_t i = 0; i < got; ++i) {
                getText(matter, buffer.data() + i * length, &text);
                matches += text == wanted;
            }
        }
        if (matches != kRecords / kMatters) std::exit(2);
        state.SetBytesProcessed(state.bytes_processed() +
                                int64_t(table->recordCount()) * int64_t(length));
    }
}
BENCHMARK(BM_ScanDecodingMatter)->Unit(benchmark::kMillisecond);

// The 99 standard expense lines of a new matter: each appended under the append lock, then the
// table closed (header rewrite).
void BM_Append99WithLocks(benchmark::State& state) {
    const std::string path = workspace().dir() + "/Append.dbf";
    std::vector<uint8_t> record;
    for (auto _ : state) {
        state.PauseTiming();
        check(DbfFile::create(Env::Default(), path, kExpensesFields));
        state.ResumeTiming();
        std::unique_ptr<DbfFile> table;
        check(DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Shared, &table));
        record.resize(table->recordLength());
        const auto& f = table->fields();
        for (int line = 1; line <= 99; ++line) {
            table->blankRecord(record.data());
            setText(f[0], record.data(), "Smith v. Smith");
            setText(f[2], record.data(), "Standard line " + std::to_string(line));
            if (!table->lockAppend()) std::exit(3);
            check(table->appendRecord(record.data()));
            table->unlockAppend();
        }
        check(table->close());
    }
}
BENCHMARK(BM_Append99WithLocks)->Unit(benchmark::kMillisecond);

// The table component on a fresh shared table of `fields` with the production index `tag`.
std::unique_ptr<TDbfTable> componentTable(const std::string& path, std::vector<std::string> fields,
                                          const std::string& tag) {
    std::filesystem::remove(path);
    std::filesystem::path mdx(path);
    std::filesystem::remove(mdx.replace_extension(".MDX"));
    std::filesystem::remove(mdx.replace_extension(".dbt"));
    auto table = std::make_unique<TDbfTable>("T_Bench");
    table->DbfFields = std::move(fields);
    table->IndexList = {tag, ""};
    table->HideDeletedRecs = true;
    table->setDbfFileName(path);
    table->Open();
    return table;
}

const std::vector<std::string> kFamilyFields = {"matter,C,50,0", "husbocc,C,50,0", "wifeocc,C,50,0",
                                                "husbaddr,M,10,0", "salary,N,12,2"};

// The timed loops, kept out of line so that callgrind can count each one's instructions
// (--toggle-collect=*appendMatters* and so on).
[[gnu::noinline]] void appendMatters(TDbfTable& table) {
    for (int n = 1; n <= 99; ++n) {
        table.Insert();
        table.FieldByName("matter").setAsString("Matter " + std::to_string(n) + " v. Doe");
        table.FieldByName("husbocc").setAsString("Engineer");
        table.Post();
    }
}

[[gnu::noinline]] void rewriteLines(TDbfTable& table, double& amount) {
    for (table.First(); !table.Eof(); table.Next()) {
        table.Edit();
        table.FieldByName("amt").setAsFloat(amount += 0.25);
        table.Post();
    }
}

[[gnu::noinline]] void rewriteMatters(TDbfTable& table, const std::string& text) {
    for (table.First(); !table.Eof(); table.Next()) {
        table.Edit();
        table.FieldByName("husbocc").setAsString("Engineer " + text);
        table.FieldByName("husbaddr").setAsString(text + " Main Street\r\nAlbany");
        table.Post();
    }
}

// 99 new matters' records posted through the component (Insert, fields, Post) into a table
// with a unique tag on `matter`, as the Family and Gross Income forms create theirs.
void BM_ComponentAppend99Unique(benchmark::State& state) {
    const std::string path = workspace().dir() + "/FamilyAppend.dbf";
    for (auto _ : state) {
        state.PauseTiming();
        auto table = componentTable(path, kFamilyFields, "MYKEY,F,T,matter");
        state.ResumeTiming();
        appendMatters(*table);
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ComponentAppend99Unique)->Unit(benchmark::kMillisecond);

// 99 expense lines rewritten through the component: Edit, a new amount, Post, Next.
void BM_ComponentRewrite99(benchmark::State& state) {
    const std::string path = workspace().dir() + "/Rewrite.dbf";
    auto table = componentTable(path,
                                {"matter,C,50,0", "etype,C,25,0", "expense,C,65,0", "amt,N,12,2",
                                 "setype,C,25,0", "info,C,65,0"},
                                "RAW,F,F,recno()");
    for (int line = 1; line <= 99; ++line) {
        table->Append();
        table->FieldByName("matter").setAsString("Smith v. Smith");
        table->FieldByName("expense").setAsString("Standard line " + std::to_string(line));
        table->Post();
    }
    double amount = 0;
    for (auto _ : state) rewriteLines(*table, amount);
}
BENCHMARK(BM_ComponentRewrite99)->Unit(benchmark::kMillisecond);

// 99 matters' records rewritten with a changed text field and memo (the memo is read back for
// the comparison with what another workstation stored), in `matter` order.
void BM_ComponentRewrite99WithMemo(benchmark::State& state) {
    const std::string path = workspace().dir() + "/FamilyRewrite.dbf";
    auto table = componentTable(path, kFamilyFields, "MYKEY,F,T,matter");
    for (int n = 1; n <= 99; ++n) {
        table->Append();
        table->FieldByName("matter").setAsString("Matter " + std::to_string(n) + " v. Doe");
        table->FieldByName("husbaddr").setAsString("1 Main Street\r\nAlbany");
        table->Post();
    }
    int round = 0;
    for (auto _ : state) rewriteMatters(*table, std::to_string(++round));
}
BENCHMARK(BM_ComponentRewrite99WithMemo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
