// What the work for one matter reads from the data directory (which usually lies on a file
// server), in offices of 500 and 5,000 matters (bench_data::OfficeData):
//   BM_OpenForm/<form>/<matters>  opening each schedule form for a matter with 99 expense lines
//                                 and two records in every schedule, until it is shown;
//   BM_CategoryChange/<matters>   choosing another expense category on the Expenses form;
//   BM_PrintJob/<matters>         the print job for the full matter "Smith v. Smith" to a PDF.
// Counters per run: read_MB and reads (bytes and calls of reads of the data directory's files,
// counted by an Env wrapped around the real one), calls (every call that goes to the file
// server: reads, writes, opens, sizes, locks), own_KB (the matter's own records and memo
// blocks), goal_MB (twice those plus 1 MB), and link_s (read_MB over a 50 Mbit/s link, latency
// aside). Goals: read_MB within goal_MB, and the same at 500 and at 5,000 matters (within 20%),
// times too; the print job no slower than before on a small directory.
// Run: build/bin/bench_reads --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// (the directories are built once per run, in the temporary directory).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <cstdio>
#include <map>
#include <memory>

#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "io_count.h"
#include "matter_print.h"
#include "office_data.h"
#include "platform/application_setup.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "schedules/expenses_form.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

namespace {

bench_io::CountingEnv* gCounter = nullptr;

bench_data::OfficeData& office(int matters) {
    static std::map<int, std::unique_ptr<bench_data::OfficeData>> offices;
    auto& slot = offices[matters];
    if (!slot) slot = std::make_unique<bench_data::OfficeData>(matters);
    return *slot;
}

// A matter of the first half of the office, with 99 expense lines and two records everywhere.
QString typicalMatter(int matters) {
    return QString::fromStdString(bench_data::matterName(matters / 4));
}

// The IO of the measured parts of a benchmark's runs.
class Tally {
  public:
    void begin() { start_ = gCounter->total(); }
    void end() { sum_ = sum_ + (gCounter->total() - start_); }

    void report(benchmark::State& state, qint64 ownBytes) const {
        const double runs = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
        const double mb = double(1 << 20);
        state.counters["read_MB"] = double(sum_.readBytes) / runs / mb;
        state.counters["reads"] = double(sum_.reads) / runs;
        state.counters["calls"] = double(sum_.calls()) / runs;
        state.counters["own_KB"] = double(ownBytes) / 1024;
        state.counters["goal_MB"] = (2.0 * double(ownBytes) + mb) / mb;
        state.counters["link_s"] = double(sum_.readBytes) / runs / (50e6 / 8);
    }

  private:
    bench_io::Counts start_;
    bench_io::Counts sum_;
};

// A context for the schedule forms, filters installed as the main window installs them.
schedules::ScheduleContext formContext(const bench_data::OfficeData& data, const QString& matter) {
    schedules::ScheduleContext context;
    context.dataDirectory = data.directory();
    context.currentMatter = [matter] { return matter; };
    auto reader = [matter](void*) { return matter; };
    context.installMatterFilter = [reader](const QString& component, storage::TDbfCDataSet& table) {
        table.SetFilterToCB(app::matterFilter(component, table, reader), nullptr,
                            app::matterKey(reader));
    };
    context.installCategoryFilter = [reader](const QString& etype, storage::TDbfCDataSet& table) {
        table.SetFilterToCB(app::categoryFilter(etype, table, reader), nullptr,
                            app::matterKey(reader));
    };
    return context;
}

// Shows the form and lets it paint, as it is when the user sees it.
void show(QDialog& form) {
    form.show();
    QCoreApplication::processEvents();
    form.repaint();
}

void BM_OpenForm(benchmark::State& state, const schedules::ScheduleFormEntry* entry) {
    bench_data::OfficeData& data = office(int(state.range(0)));
    const QString matter = typicalMatter(data.matters());
    const schedules::ScheduleContext context = formContext(data, matter);
    Tally tally;
    for (auto _ : state) {
        tally.begin();
        std::unique_ptr<QDialog> form = schedules::openScheduleForm(*entry, context, nullptr);
        if (!form) {
            state.SkipWithError("the form did not open");
            break;
        }
        show(*form);
        tally.end();
        state.PauseTiming();
        form->close();
        form.reset();
        state.ResumeTiming();
    }
    tally.report(state, data.ownBytes(matter, entry->tables()));
}

void BM_CategoryChange(benchmark::State& state) {
    bench_data::OfficeData& data = office(int(state.range(0)));
    const QString matter = typicalMatter(data.matters());
    const schedules::ScheduleContext context = formContext(data, matter);
    std::unique_ptr<QDialog> form =
        schedules::openScheduleForm(*schedules::findScheduleForm("F_Expenses"), context, nullptr);
    show(*form);
    auto* expenses = static_cast<schedules::TF_Expenses*>(form.get());
    auto* list = form->findChild<platform::DbListBox*>("ListBox1");
    auto* grid = form->findChild<platform::DbGrid*>("DBGrid1");
    Tally tally;
    int category = 0;
    for (auto _ : state) {
        category = (category + 1) % 13;
        tally.begin();
        list->setCurrentRow(category);
        expenses->ListBox1Click();
        grid->viewport()->repaint();
        tally.end();
    }
    form->close();
    tally.report(state, data.ownBytes(matter, catalog::expensesTables()));
}

void BM_PrintJob(benchmark::State& state) {
    bench_data::OfficeData& data = office(int(state.range(0)));
    const QString matter = QStringLiteral("Smith v. Smith");
    const bench_data::MatterPrint print(data, matter);
    if (!print.found()) {
        state.SkipWithError("no General record");
        return;
    }
    Tally tally;
    for (auto _ : state) {
        tally.begin();
        const printing::PrintOutcome outcome = printing::runPrintJob(print.context());
        tally.end();
        if (!outcome.ok) {
            state.SkipWithError(outcome.error.toStdString().c_str());
            break;
        }
    }
    tally.report(state, data.ownBytes(matter));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::setUpApplication();  // as the program does
    bench_io::CountingEnv counter(storage::Env::System());
    gCounter = &counter;
    storage::Env::setDefault(&counter);
    for (const schedules::ScheduleFormEntry& entry : schedules::scheduleForms()) {
        benchmark::RegisterBenchmark((std::string("BM_OpenForm/") + entry.objectName).c_str(),
                                     BM_OpenForm, &entry)
            ->Arg(500)
            ->Arg(5000)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_CategoryChange", BM_CategoryChange)
        ->Arg(500)
        ->Arg(5000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PrintJob", BM_PrintJob)
        ->Arg(500)
        ->Arg(5000)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    storage::Env::setDefault(nullptr);
    return 0;
}
