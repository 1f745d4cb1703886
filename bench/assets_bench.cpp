// The Assets and Liabilities forms over tables of 50,000 records each (10 per matter, 5,000
// matters), through the forms' own code path with the program's matter filter routines:
//   BM_ReadAssetFiles / BM_ReadLiabilityFiles  reading every byte of the set's files (from the
//                         page cache): the yardstick;
//   BM_OpenAssets / BM_OpenLiabilities         the command's work from creating the form until
//                         it is shown (opening, filtering, counting and positioning every table)
//                         for a matter with 10 records per table; ...NewMatter the same for a
//                         matter without records (every table read through, seed records);
//   BM_CloseAssets / BM_CloseLiabilities       closing the form with changes in three tables
//                         (posting, the blank-key rule, closing every table).
// Goals: opening <= 3x the read of the set's files, closing under 50 ms, peak memory under
// 60 MB (peak_rss_mb, the high-water mark of this process).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <fstream>
#include <vector>

#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "platform/application_setup.h"
#include "platform/data_source.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

namespace {

using Form = const schedules::ScheduleFormEntry&;

Form assets() { return *schedules::findScheduleForm("F_Assets"); }
Form liabilities() { return *schedules::findScheduleForm("F_Liabilities"); }

constexpr int kMatters = 5000;
constexpr int kRecords = 50000;
// The current matter: one with 10 records in every table, or a new one (a fresh name each time).
QString gMatter = QStringLiteral("Matter 2500 v. Doe");

std::string matterName(int n) { return "Matter " + std::to_string(n) + " v. Doe"; }

std::string padded(const std::string& text, int width) {
    std::string field = text.substr(0, static_cast<size_t>(width));
    field.resize(static_cast<size_t>(width), ' ');
    return field;
}

// Creates the table as the program does, then appends the records' bytes directly: every
// character field gets a short text, every number 1234.50 (12.50 where narrower), memo fields stay
// empty.
void makeTable(const catalog::TableDef& definition, const QString& directory) {
    {
        storage::TDbfTable table("maker");
        catalog::applyDefinition(table, definition, directory.toStdString());
        table.Open();
        table.Close();
    }
    const std::string path = (directory + QLatin1String(definition.file)).toStdString();
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    unsigned char header[12];
    file.read(reinterpret_cast<char*>(header), sizeof header);
    const int headerLength = header[8] | header[9] << 8;
    std::string record;
    std::string all;
    size_t written = 0;
    for (int i = 0; i < kRecords; ++i) {
        record = " ";
        for (const catalog::FieldDef& field : definition.fields) {
            if (std::strcmp(field.name, "matter") == 0) {
                record += padded(matterName(i % kMatters), field.width);
            } else if (field.type == 'C') {
                record += padded(std::string(field.name) + " " + std::to_string(i), field.width);
            } else if (field.type == 'N') {
                std::string number = field.width < 8  ? "12.50"
                                     : field.decimals ? "1234.50"
                                                      : "1234";
                record +=
                    std::string(static_cast<size_t>(field.width) - number.size(), ' ') + number;
            } else {
                record += std::string(static_cast<size_t>(field.width), ' ');
            }
        }
        all += record;
        if (all.size() > (1 << 16) || i == kRecords - 1) {
            if (i == kRecords - 1) all += '\x1a';
            file.seekp(headerLength + static_cast<std::streamoff>(written));
            file.write(all.data(), static_cast<std::streamsize>(all.size()));
            written += all.size();
            all.clear();
        }
    }
    header[4] = kRecords & 0xff;
    header[5] = (kRecords >> 8) & 0xff;
    header[6] = (kRecords >> 16) & 0xff;
    header[7] = 0;
    file.seekp(0);
    file.write(reinterpret_cast<char*>(header), sizeof header);
}

const QString& dataDirectory() {
    static QTemporaryDir directory;
    static QString path;
    if (path.isEmpty()) {
        path = directory.path() + QDir::separator();
        for (const schedules::ScheduleFormEntry* form : {&assets(), &liabilities()}) {
            for (const catalog::TableDef& table : form->tables()) {
                makeTable(table, path);
            }
        }
    }
    return path;
}

schedules::ScheduleContext context() {
    schedules::ScheduleContext context;
    context.dataDirectory = dataDirectory();
    context.currentMatter = [] { return gMatter; };
    context.installMatterFilter = [](const QString& component, storage::TDbfCDataSet& table) {
        const app::CurrentMatterReader reader = [](void*) { return gMatter; };
        table.SetFilterToCB(app::matterFilter(component, table, reader), nullptr,
                            app::matterKey(reader));
    };
    return context;
}

std::unique_ptr<QDialog> openForm(Form form) {
    const schedules::ScheduleContext c = context();
    std::unique_ptr<QDialog> dialog = schedules::openScheduleForm(form, c, nullptr);
    dialog->show();
    QCoreApplication::processEvents();
    return dialog;
}

void reportPeak(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void readFiles(benchmark::State& state, Form form) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        size_t bytes = 0;
        for (const catalog::TableDef& table : form.tables()) {
            QFile file(dataDirectory() + QLatin1String(table.file));
            file.open(QIODevice::ReadOnly);
            qint64 read;
            while ((read = file.read(buffer.data(), static_cast<qint64>(buffer.size()))) > 0) {
                bytes += static_cast<size_t>(read);
            }
        }
        benchmark::DoNotOptimize(bytes);
        state.counters["mb"] = static_cast<double>(bytes) / (1 << 20);
    }
}

void open(benchmark::State& state, Form form, bool newMatter = false) {
    dataDirectory();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        gMatter = newMatter ? QStringLiteral("New matter %1").arg(++round)
                            : QStringLiteral("Matter 2500 v. Doe");
        state.ResumeTiming();
        std::unique_ptr<QDialog> dialog = openForm(form);
        state.PauseTiming();
        dialog->reject();
        dialog.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

// Changes three tables' current records (key fields kept), then closes the form; only the
// closing is timed.
void close(benchmark::State& state, Form form,
           const std::vector<std::pair<const char*, const char*>>& changes) {
    dataDirectory();
    gMatter = QStringLiteral("Matter 2500 v. Doe");
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<QDialog> dialog = openForm(form);
        for (const auto& [source, field] : changes) {
            auto* dataSource = dialog->findChild<platform::DataSource*>(source);
            storage::TDbfCDataSet* table = dataSource->dataSet();
            table->FieldByName(field).setAsString("Changed " + std::to_string(++round));
        }
        state.ResumeTiming();
        dialog->reject();  // posts and closes every table
        state.PauseTiming();
        if (dialog->isVisible()) state.SkipWithError("the form did not close");
        dialog.reset();
        state.ResumeTiming();
    }
    reportPeak(state);
}

void BM_ReadAssetFiles(benchmark::State& state) { readFiles(state, assets()); }
void BM_OpenAssets(benchmark::State& state) { open(state, assets()); }
void BM_OpenAssetsNewMatter(benchmark::State& state) { open(state, assets(), true); }
void BM_CloseAssets(benchmark::State& state) {
    // Cash location, checking institution, stocks title.
    close(state, assets(),
          {{"DataSource1", "location"}, {"DataSource2", "instituton"}, {"DataSource7", "title"}});
}
void BM_ReadLiabilityFiles(benchmark::State& state) { readFiles(state, liabilities()); }
void BM_OpenLiabilities(benchmark::State& state) { open(state, liabilities()); }
void BM_OpenLiabilitiesNewMatter(benchmark::State& state) { open(state, liabilities(), true); }
void BM_CloseLiabilities(benchmark::State& state) {
    // Accounts payable debtor, mortgage date, credit card debtor.
    close(state, liabilities(),
          {{"DataSource1", "debtor"}, {"DataSource5", "ddate"}, {"DataSource9", "debtor"}});
}

BENCHMARK(BM_ReadAssetFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAssets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAssetsNewMatter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseAssets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLiabilityFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLiabilities)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLiabilitiesNewMatter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseLiabilities)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::setUpApplication();  // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
