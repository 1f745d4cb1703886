// The Expenses form over an Expenses.dbf of 50,000 and 500,000 lines (100 per matter), through
// the form's own code path with the program's matter filter routines:
//   BM_FilteredCount      one GetFilteredCount with the form's initial filter (the yardstick);
//   BM_OpenTable          opening and closing the table alone (its index checked);
//   BM_OpenFirstVisit     the Expenses command for a matter without lines (seeding included)
//                         until the form is shown with its grid painted;
//   BM_OpenLaterVisit     the same for a matter whose lines are in the middle of the file;
//   BM_CategoryChange     choosing another category until the grid is painted again;
//   BM_ScrollRepaint      scrolling a grid of 2,000 lines by a page and painting it.
// Goals: opening <= 3 counts, a category change <= 1.5 counts, the scroll repaint the same for
// both sizes, peak memory under 40 MB. The table files are made by a child process of this
// executable, so that peak_rss_mb (the high-water mark of this process) covers the form alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstring>
#include <map>

#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "platform/application_setup.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "schedules/expense_lines.h"
#include "schedules/expenses_form.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

namespace {

constexpr int kLinesPerMatter = 100;
constexpr int kScrollLines = 2000;
const char* const kScrollMatter = "Scroll v. Scroll";

QString matterName(int n) { return QStringLiteral("Matter %1 v. Doe").arg(n, 5, 10, QChar('0')); }

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// ---- the files (child process) -------------------------------------------------------------

void padTo(std::string& record, const std::string& text, size_t width) {
    std::string value = text.substr(0, width);
    value.resize(width, ' ');
    record += value;
}

// Creates Expenses.dbf through the table component, then appends the lines as plain records
// (100 per matter, in the order seeding writes them, and the scroll matter's lines at the end)
// and removes the index so that the next opening builds it for all of them.
int makeTable(const QString& directory, int lines) {
    const QString dir = directory + QDir::separator();
    {
        storage::TDbfTable table("T_Expenses");
        catalog::applyDefinition(table, *catalog::findTable("T_Expenses"), dir.toStdString());
        table.Open();
        table.Close();
    }
    const QString path = dir + "Expenses.dbf";
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return 1;
    QByteArray header = file.read(32);
    const uint16_t headerLength = uint8_t(header[8]) | uint8_t(header[9]) << 8;
    file.seek(headerLength);
    std::string batch;
    uint32_t count = 0;
    auto add = [&](const QString& matter, const char* etype, const char* expense,
                   const char* amount) {
        std::string record = " ";
        padTo(record, matter.toStdString(), 50);
        padTo(record, etype, 25);
        padTo(record, expense, 65);
        std::string amt = amount;
        record += std::string(12 - amt.size(), ' ') + amt;
        padTo(record, std::string(etype).substr(3), 25);
        padTo(record, "", 65);
        batch += record;
        ++count;
        if (batch.size() > (1 << 20)) {
            file.write(batch.data(), qint64(batch.size()));
            batch.clear();
        }
    };
    const int matters = (lines - kScrollLines) / kLinesPerMatter;
    for (int m = 0; m < matters; ++m) {
        int written = 0;
        for (const schedules::ExpenseCategory& category : schedules::expenseCategories()) {
            for (const char* item : category.items) {
                add(matterName(m), category.etype, item, written % 3 ? "" : "125.00");
                ++written;
            }
        }
        for (; written < kLinesPerMatter; ++written) {
            add(matterName(m), "(n) Other", "Storage unit", "95.00");
        }
    }
    for (int i = 0; i < kScrollLines; ++i) add(kScrollMatter, "(n) Other", "Item", "1.00");
    batch += '\x1a';
    file.write(batch.data(), qint64(batch.size()));
    file.seek(4);
    const char number[4] = {char(count), char(count >> 8), char(count >> 16), char(count >> 24)};
    file.write(number, 4);
    file.close();
    for (const QString& name : QDir(directory).entryList({"*.mdx", "*.MDX"}, QDir::Files)) {
        QFile::remove(dir + name);
    }
    // One opening builds the index.
    storage::TDbfTable table("T_Expenses");
    catalog::applyDefinition(table, *catalog::findTable("T_Expenses"), dir.toStdString());
    table.ShowProgress = false;
    table.Open();
    return table.RecordCount() == count ? 0 : 2;
}

// ---- the benchmarks --------------------------------------------------------------------------

QString self;

const QString& directoryFor(int lines) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> directories;
    static std::map<int, QString> paths;
    auto& slot = directories[lines];
    if (!slot) {
        slot = std::make_unique<QTemporaryDir>();
        QProcess::execute(self, {"--make", slot->path(), QString::number(lines)});
        paths[lines] = slot->path() + QDir::separator();
    }
    return paths[lines];
}

struct Session {
    QString matter;
    schedules::ScheduleContext context;
    explicit Session(int lines, QString name) : matter(std::move(name)) {
        context.dataDirectory = directoryFor(lines);
        context.currentMatter = [this] { return matter; };
        auto reader = [this](void*) { return matter; };
        context.installMatterFilter = [reader](const QString& component,
                                               storage::TDbfCDataSet& table) {
            table.SetFilterToCB(app::matterFilter(component, table, reader), nullptr,
                                app::matterKey(reader));
        };
        context.installCategoryFilter = [reader](const QString& etype,
                                                 storage::TDbfCDataSet& table) {
            table.SetFilterToCB(app::categoryFilter(etype, table, reader), nullptr,
                                app::matterKey(reader));
        };
    }
};

void paint(QDialog& form) {
    form.show();
    QCoreApplication::processEvents();
    auto* grid = form.findChild<platform::DbGrid*>("DBGrid1");
    grid->viewport()->repaint();
}

void report(benchmark::State& state) { state.counters["peak_rss_mb"] = peakRssMb(); }

std::unique_ptr<QDialog> openExpensesForm(const schedules::ScheduleContext& context) {
    return schedules::openScheduleForm(*schedules::findScheduleForm("F_Expenses"), context,
                                       nullptr);
}

void BM_FilteredCount(benchmark::State& state) {
    Session session(int(state.range(0)), matterName(int(state.range(0)) / 200));
    storage::TDbfTable table("T_Expenses");
    catalog::applyDefinition(table, *catalog::findTable("T_Expenses"),
                             session.context.dataDirectory.toStdString());
    table.Open();
    session.context.installMatterFilter("T_Expenses", table);
    for (auto _ : state) benchmark::DoNotOptimize(table.GetFilteredCount());
    report(state);
}

void BM_OpenTable(benchmark::State& state) {
    Session session(int(state.range(0)), QString());
    for (auto _ : state) {
        storage::TDbfTable table("T_Expenses");
        catalog::applyDefinition(table, *catalog::findTable("T_Expenses"),
                                 session.context.dataDirectory.toStdString());
        table.Open();
        table.Close();
    }
    report(state);
}

void BM_OpenLaterVisit(benchmark::State& state) {
    // A matter in the middle of the file.
    Session session(int(state.range(0)), matterName(int(state.range(0)) / 200));
    for (auto _ : state) {
        std::unique_ptr<QDialog> form = openExpensesForm(session.context);
        paint(*form);
        state.PauseTiming();
        form->close();
        form.reset();
        state.ResumeTiming();
    }
    report(state);
}

void BM_OpenFirstVisit(benchmark::State& state) {
    Session session(int(state.range(0)), QString());
    // Never a name used before, also when the benchmark is run again (trial runs, repetitions).
    static int n = 0;
    for (auto _ : state) {
        session.matter = QStringLiteral("New matter %1").arg(++n);
        std::unique_ptr<QDialog> form = openExpensesForm(session.context);
        paint(*form);
        state.PauseTiming();
        form->close();
        form.reset();
        state.ResumeTiming();
    }
    report(state);
}

void BM_CategoryChange(benchmark::State& state) {
    Session session(int(state.range(0)), matterName(int(state.range(0)) / 200));
    std::unique_ptr<QDialog> form = openExpensesForm(session.context);
    paint(*form);
    auto* expenses = static_cast<schedules::TF_Expenses*>(form.get());
    auto* list = form->findChild<platform::DbListBox*>("ListBox1");
    int category = 0;
    for (auto _ : state) {
        category = (category + 1) % 13;
        list->setCurrentRow(category);
        expenses->ListBox1Click();
        paint(*form);
    }
    form->close();
    report(state);
}

void BM_ScrollRepaint(benchmark::State& state) {
    Session session(int(state.range(0)), QString::fromLatin1(kScrollMatter));
    std::unique_ptr<QDialog> form = openExpensesForm(session.context);
    paint(*form);
    auto* expenses = static_cast<schedules::TF_Expenses*>(form.get());
    form->findChild<platform::DbListBox*>("ListBox1")->setCurrentRow(13);
    expenses->ListBox1Click();
    paint(*form);
    auto* grid = form->findChild<platform::DbGrid*>("DBGrid1");
    QScrollBar* bar = grid->verticalScrollBar();
    if (grid->gridModel()->rowCount() != kScrollLines) state.SkipWithError("rows missing");
    for (auto _ : state) {
        bar->setValue(
            bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        grid->viewport()->repaint();
    }
    form->close();
    report(state);
}

BENCHMARK(BM_FilteredCount)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTable)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLaterVisit)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFirstVisit)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryChange)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollRepaint)->Arg(50000)->Arg(500000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0) {
        QCoreApplication application(argc, argv);
        return makeTable(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    self = QCoreApplication::applicationFilePath();
    platform::setUpApplication();  // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
