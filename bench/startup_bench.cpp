// Program start until the matter selection is on screen, with a General.dbf of 10,000 matters.
// Goal: under 0.5 s. Each iteration starts this executable anew as the program (offscreen), which
// reports the moment the selection is first painted and ends there; the time counted runs from
// just before the process is started. The peak resident memory of the program's process is
// reported as peak_rss_mb.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "catalog/table_catalog.h"
#include "storage/dbf_table.h"

namespace {

constexpr int kMatters = 10000;
constexpr const char* kChildFlag = "--program";

int64_t monotonicNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// ---- the program's side ------------------------------------------------------------------------

// Ends the process once the matter selection has been painted, after writing the moment and the
// number of matters listed.
class SelectionShown : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint &&
            watched->objectName() == QLatin1String("F_SelectMatter")) {
            const auto* list = watched->findChild<QListWidget*>(QStringLiteral("DbListBox1"));
            std::printf("%lld %d\n", static_cast<long long>(monotonicNanos()),
                        list ? list->count() : -1);
            std::fflush(stdout);
            _exit(0);
        }
        return false;
    }
};

int runAsProgram(int argc, char** argv, const char* programDirectory) {
    QApplication application(argc, argv);
    SelectionShown watcher;
    application.installEventFilter(&watcher);
    app::runProgram(application, QString::fromLocal8Bit(programDirectory));
    return 1;  // the selection never showed
}

// ---- the benchmark's side ----------------------------------------------------------------------

// A program directory whose default data directory holds General.dbf with 10,000 matters,
// written in shuffled order so that the index has work to do.
QString programDirectory() {
    static QTemporaryDir directory;
    static bool made = false;
    if (!made) {
        made = true;
        QDir(directory.path()).mkdir(QStringLiteral("data3005"));
        storage::TDbfTable table("T_Bench");
        catalog::applyDefinition(table, catalog::generalTable(),
                                 directory.filePath("data3005/").toStdString());
        table.Open();
        std::vector<int> order(kMatters);
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), std::mt19937(236));
        for (int n : order) {
            table.Append();
            table.FieldByName("matter").setAsString("Matter " + std::to_string(n) + " v. Doe");
            table.FieldByName("court").setAsString("SUPREME");
            table.FieldByName("state").setAsString("New York");
            table.FieldByName("explisted").setAsString("monthly");
            table.Post();
        }
        table.Close();
    }
    return directory.path();
}

struct Run {
    double seconds = 0;
    double peakRssMb = 0;
    bool ok = false;
};

Run startProgramOnce(const std::string& self, const std::string& directory) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen"};
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "QT_QPA_PLATFORM=", 16) != 0) environment.push_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string flag = kChildFlag;
    std::string dir = directory;
    std::string program = self;
    char* argv[] = {program.data(), flag.data(), dir.data(), nullptr};

    const int64_t started = monotonicNanos();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return {};
    }
    std::string text;
    char buffer[64];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);

    // "<moment> <matters listed>"
    long long shown = 0;
    int listed = 0;
    Run run;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             std::sscanf(text.c_str(), "%lld %d", &shown, &listed) == 2 && listed == kMatters;
    if (run.ok) run.seconds = double(shown - started) / 1e9;
    run.peakRssMb = double(usage.ru_maxrss) / 1024.0;
    return run;
}

void BM_StartupToMatterSelection(benchmark::State& state) {
    const std::string directory = programDirectory().toStdString();
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        state.SkipWithError("cannot find this executable");
        return;
    }
    self[length] = 0;
    double peak = 0;
    for (auto _ : state) {
        const Run run = startProgramOnce(self, directory);
        if (!run.ok) {
            state.SkipWithError("the program did not list the 10,000 matters");
            return;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakRssMb);
    }
    state.counters["matters"] = kMatters;
    state.counters["peak_rss_mb"] = peak;
}
BENCHMARK(BM_StartupToMatterSelection)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return runAsProgram(argc, argv, argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
