// A workstation saving a matter's Guidelines record the way the Guidelines form does: the form's
// table binding opens "Guidelines.dbf" as the catalog declares it, stands on the matter's record
// (or starts one with the form's defaults) and posts it, as closing the form does.
//   guidelines_writer save DIR MATTER COUNT ID   saves COUNT times, the i-th time with osalary
//                                                 and oinvest both ID * 1000 + i and children
//                                                 i % 10
//   guidelines_writer crash DIR MATTER N          saves twice (the record new, with osalary 111
//                                                 and oinvest 111, then again with 222 and 222),
//                                                 printing "posted" and "rewritten" after each
//                                                 save that reported success, and is killed
//                                                 (SIGKILL) just before its N-th file write;
//                                                 N = 0 never kills and prints "writes W"
// Exit 0 when every save was posted, 2 on a failure (the message on standard error). The
// file layer's messages ("Lock failed [Post]") go to standard error.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../storage/fault_env.h"
#include "catalog/table_catalog.h"
#include "platform/dialogs.h"
#include "schedules/guideline_inputs.h"
#include "schedules/schedule_table.h"
#include "storage/status.h"

namespace {

class ConsoleDialogs : public platform::Dialogs {
  public:
    void showMessage(const QString& text, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool confirmYesNo(const QString& text, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return false;
    }
    bool confirmOkCancel(const QString& text, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return false;
    }
    QString inputBox(const QString&, const QString&, const QString& preset) override {
        return preset;
    }
    std::optional<QString> selectDirectory(const QString&) override { return std::nullopt; }
};

// One visit of the form: find or start the record, type the figures, close. A close that
// another workstation's lock refuses ("Lock failed [Post]") leaves the form open with the
// figures, and the user closes it again.
bool save(const schedules::ScheduleContext& context, const std::string& figure, int children) {
    schedules::ScheduleTable table(*catalog::findTable("T_Guidelines"), context);
    table.afterInsert = [](storage::TDbfPrimDataset& t) { schedules::setGuidelineDefaults(t); };
    const bool opened = platform::runDataAction([&] {
        table.open();
        table.table().FieldByName("osalary").setAsString(figure);
        table.table().FieldByName("oinvest").setAsString(figure);
        table.table().FieldByName("children").setAsString(std::to_string(children));
    });
    if (!opened) return false;
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (table.post()) return true;
        storage::Env::Default()->sleepBetweenAttempts();
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 5) return 2;
    const std::string command = argv[1];
    platform::installDialogs(std::make_unique<ConsoleDialogs>());
    storage::setFatalHandler([](int code, const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
        std::exit(code > 0 && code < 256 ? code : 2);
    });
    schedules::ScheduleContext context;
    context.dataDirectory = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
    const QString matter = QString::fromLocal8Bit(argv[3]);
    context.currentMatter = [matter] { return matter; };

    if (command == "save" && argc == 6) {
        const int count = std::atoi(argv[4]);
        const int id = std::atoi(argv[5]);
        for (int i = 0; i < count; ++i) {
            if (!save(context, std::to_string(id * 1000 + i), i % 10)) return 2;
        }
        return 0;
    }
    if (command == "crash") {
        helper_tables::FaultEnv env(storage::Env::Default(), std::atol(argv[4]));
        context.env = &env;
        if (!save(context, "111", 1)) return 2;
        std::printf("posted\n");
        std::fflush(stdout);
        if (!save(context, "222", 2)) return 2;
        std::printf("rewritten\n");
        std::printf("writes %ld\n", env.writes());
        return 0;
    }
    return 2;
}
