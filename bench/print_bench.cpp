// The print job from the print command to the PDF written, for the full matter "Smith v. Smith"
// in a data directory of 5,000 matters: 99 expense lines, one General, Family, Income and
// Support record, one record of answer marks and two records of every asset, liability and
// transfer table per matter (about 140 MB of tables). Against it, the floor: every table file
// of the directory read once from the page cache. Peak memory is measured on the whole `networth
// --print-pdf` process. Run: QT_QPA_PLATFORM=offscreen <build>/bench_print (the directory is built
// once, in /tmp).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/matter_filters.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "print_fixture.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/record.h"

namespace {

constexpr int kMatters = 5000;
constexpr int kExpenseLines = 99;
constexpr int kRecordsPerTable = 2;

void check(const storage::Status& s) {
    if (!s.ok()) {
        std::fprintf(stderr, "%s\n", s.message().c_str());
        std::exit(1);
    }
}

std::string matterName(int i) { return "Matter " + std::to_string(i) + " v. Doe"; }

// Appends `perMatter` records for each of the 5,000 matters straight to the table file (no
// memo text, no index), filling character fields with `text` (by default short text) and
// amounts with numbers.
void bulkAppend(const QString& path, int perMatter, const char* text = nullptr) {
    std::unique_ptr<storage::DbfFile> table;
    check(storage::DbfFile::open(storage::Env::Default(), path.toStdString(),
                                 storage::Access::ReadWrite, storage::Share::Exclusive, &table));
    std::vector<uint8_t> record(table->recordLength());
    const auto& fields = table->fields();
    for (int m = 0; m < kMatters; ++m) {
        for (int k = 0; k < perMatter; ++k) {
            table->blankRecord(record.data());
            for (const storage::FieldDescriptor& field : fields) {
                if (field.name == "MATTER" || field.name == "matter") {
                    storage::setText(field, record.data(), matterName(m));
                } else if (field.name == "ETYPE" || field.name == "etype") {
                    storage::setText(field, record.data(),
                                     k < 50 ? "(a) Housing" : "(m) Miscellaneous");
                } else if (field.type == 'C' && field.width >= 10) {
                    storage::setText(field, record.data(),
                                     text ? std::string(text) : "Item " + std::to_string(k));
                } else if (field.type == 'N' && field.decimals == 2 && field.width >= 10) {
                    storage::setNumber(field, record.data(), 100.25 * (k + 1));
                }
            }
            check(table->appendRecord(record.data()));
        }
    }
    check(table->close());
}

// Creates `def`'s file empty (no production index yet), fills it, then opens it once through
// the component so that its production index is built over every record.
void buildTable(const QString& dir, const catalog::TableDef& def, int perMatter,
                const char* text = nullptr) {
    storage::TDbfTable table(def.component);
    catalog::applyDefinition(table, def, dir.toStdString());
    const std::vector<std::string> indexList = table.IndexList;
    table.IndexList.clear();
    table.Open();
    table.Close();
    bulkAppend(dir + QLatin1String(def.file), perMatter, text);
    table.IndexList = indexList;
    table.Open();
    table.Close();
}

class Workspace {
  public:
    Workspace() {
        data_ = QDir(dir_.path()).filePath("data") + '/';
        QDir().mkpath(data_);
        buildTable(data_, catalog::generalTable(), 1);
        for (catalog::TableSet set :
             {catalog::familyTables(), catalog::expensesTables(), catalog::incomeTables(),
              catalog::assetsTables(), catalog::liabilitiesTables(), catalog::summaryTables()}) {
            for (const catalog::TableDef& def : set) {
                const QString component = QLatin1String(def.component);
                const int perMatter =
                    component == "T_Expenses" ? kExpenseLines
                    : component == "T_Family" || component == "T_Income" || component == "T_Support"
                        ? 1
                        : kRecordsPerTable;
                buildTable(data_, def, perMatter);
            }
        }
        // Every matter has its record of answer marks, every item marked.
        buildTable(data_, catalog::marksTable(), 1, catalog::kMarkNone);
        print_test::writeScenario(data_);
        for (const QFileInfo& file : QDir(data_).entryInfoList(QDir::Files)) {
            files_.push_back(file.absoluteFilePath().toStdString());
            bytes_ += file.size();
        }
    }
    const QString& data() const { return data_; }
    const std::vector<std::string>& files() const { return files_; }
    qint64 bytes() const { return bytes_; }
    QString pdf() const { return QDir(dir_.path()).filePath("statement.pdf"); }

  private:
    QTemporaryDir dir_{QDir::tempPath() + "/bench_print_XXXXXX"};
    QString data_;
    std::vector<std::string> files_;
    qint64 bytes_ = 0;
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

// The floor: every file of the data directory read once, in 1 MB reads, from the page cache.
void BM_ReadAllTableFiles(benchmark::State& state) {
    Workspace& w = workspace();
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
    Workspace& w = workspace();
    const QString matter = print_test::fullScenario().matter;
    storage::TDbfTable general(catalog::generalTable().component);
    catalog::applyDefinition(general, catalog::generalTable(), w.data().toStdString());
    general.Open();
    if (!general.Locate("matter", {matter.toStdString()}, 0)) std::exit(3);
    printing::PrintComponents components;
    printing::PrintContext context;
    context.programDirectory = QStringLiteral(PROGRAM_DIR);
    context.dataDirectory = w.data();
    context.currentMatter = [matter] { return matter; };
    context.general = &general;
    context.installMatterFilter = [matter](const QString& component, storage::TDbfCDataSet& t) {
        t.SetFilterToCB(app::matterFilter(component, t, [matter](void*) { return matter; }),
                        nullptr);
    };
    context.components = &components;
    context.pdfFile = w.pdf();
    for (auto _ : state) {
        const printing::PrintOutcome outcome = printing::runPrintJob(context);
        if (!outcome.ok) {
            state.SkipWithError(outcome.error.toStdString().c_str());
            break;
        }
    }
    general.Close();
}
BENCHMARK(BM_PrintJobToPdf)->Unit(benchmark::kMillisecond);

// The whole `networth --print-pdf` process, with its peak resident memory.
void BM_PrintPdfProcess(benchmark::State& state) {
    Workspace& w = workspace();
    const std::string matter = print_test::fullScenario().matter.toStdString();
    const std::string pdf = w.pdf().toStdString();
    const std::string data = w.data().toStdString();
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
