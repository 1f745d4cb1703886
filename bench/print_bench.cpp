// The print job from the print command to the PDF written, for the full matter "Smith v. Smith"
// in a data directory of 5,000 matters (bench_data::OfficeData: 99 expense lines, one General,
// Family, Income, Support and answer marks record and two records of every asset, liability and
// transfer table per matter, about 140 MB of tables). Against it, the floor: every table file of
// the directory read once from the page cache. Peak memory is measured on the whole `networth
// --print-pdf` process. Run: QT_QPA_PLATFORM=offscreen <build>/bench_print (the directory is built
// once, in /tmp).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <vector>

#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "matter_print.h"
#include "office_data.h"
#include "print_fixture.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "storage/dbf_table.h"

namespace {

constexpr int kMatters = 5000;

bench_data::OfficeData& workspace() {
    static bench_data::OfficeData office(kMatters);
    return office;
}

// The floor: every file of the data directory read once, in 1 MB reads, from the page cache.
void BM_ReadAllTableFiles(benchmark::State& state) {
    bench_data::OfficeData& w = workspace();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        qint64 total = 0;
        for (const std::string& path : w.files()) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            ssize_t got;
            off_t offset = 0;
            while ((got = ::pread(fd, buffer.data(), buffer.size(), offset)) > 0) offset += got;
            ::close(fd);
            total += offset;
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["MB"] = double(w.bytes()) / (1 << 20);
}
BENCHMARK(BM_ReadAllTableFiles)->Unit(benchmark::kMillisecond);

// The print job in this process, as the Print command runs it, into a PDF file.
void BM_PrintJobToPdf(benchmark::State& state) {
    bench_data::OfficeData& w = workspace();
    const QString matter = print_test::fullScenario().matter;
    const bench_data::MatterPrint print(w, matter);
    if (!print.found()) std::exit(3);
    for (auto _ : state) {
        const printing::PrintOutcome outcome = printing::runPrintJob(print.context());
        if (!outcome.ok) {
            state.SkipWithError(outcome.error.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_PrintJobToPdf)->Unit(benchmark::kMillisecond);

// The whole `networth --print-pdf` process, with its peak resident memory.
void BM_PrintPdfProcess(benchmark::State& state) {
    bench_data::OfficeData& w = workspace();
    const std::string matter = print_test::fullScenario().matter.toStdString();
    const std::string pdf = w.scratch("statement.pdf").toStdString();
    const std::string data = w.directory().toStdString();
    long peakKb = 0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(NETWORTH, NETWORTH, "--print-pdf", matter.c_str(), pdf.c_str(), "--data-dir",
                    data.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("networth --print-pdf failed");
            break;
        }
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    state.counters["peak_MB"] = double(peakKb) / 1024;
}
BENCHMARK(BM_PrintPdfProcess)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    workspace();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
