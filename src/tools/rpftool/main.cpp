// rpftool: checks report project files and renders their reports to PDF, for people who edit a
// layout and want to see it.
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <vector>

#include "report/project_parser.h"
#include "report/report_fonts.h"
#include "report/report_project.h"
#include "report/table_data_set.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

namespace {

constexpr int kUsageError = 2;

const char kUsage[] =
    "usage: rpftool check PROJECT\n"
    "       rpftool render PROJECT REPORT OUT.pdf [--param NAME=VALUE]...\n"
    "                      [--data CONN=TABLE.dbf[:FIELD=VALUE]]...\n";

void printError(const QString& text) { std::fprintf(stderr, "rpftool: %s\n", qPrintable(text)); }

int usage() {
    std::fputs(kUsage, stderr);
    return kUsageError;
}

int check(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("%1: cannot be read").arg(path));
        return 1;
    }
    const report::ParseResult result = report::parseProject(QString::fromUtf8(file.readAll()));
    if (!result.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error.text()));
        return 1;
    }
    QStringList names;
    for (const auto& r : result.project->reports) names << r->name;
    std::printf("%s: %d report(s): %s\n", qPrintable(path), static_cast<int>(names.size()),
                qPrintable(names.join(QStringLiteral(", "))));
    return 0;
}

// "CONN=TABLE.dbf[:FIELD=VALUE]". The table path may itself hold ':' (a Windows drive), so the
// filter is the part after the last ':' that is followed by a '='.
struct DataOption {
    QString connection, table, field, value;
};

bool parseDataOption(const QString& text, DataOption* option) {
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0) return false;
    option->connection = text.left(equals);
    QString rest = text.mid(equals + 1);
    const qsizetype colon = rest.lastIndexOf(':');
    if (colon > 0 && rest.indexOf('=', colon) > colon + 1) {
        const QString filter = rest.mid(colon + 1);
        const qsizetype filterEquals = filter.indexOf('=');
        option->field = filter.left(filterEquals);
        option->value = filter.mid(filterEquals + 1);
        rest = rest.left(colon);
    }
    option->table = rest;
    return !option->table.isEmpty();
}

// A table bound to a connection: opened read-only through the table component, hiding deleted
// records, with a filter routine when the option names a field.
struct BoundTable {
    storage::TDbfTable table{"rpftool"};
    std::unique_ptr<report::TableDataSet> rows;
};

bool openTable(const DataOption& data, BoundTable* bound, QString* error) {
    storage::TDbfTable& table = bound->table;
    table.CreateIfNotFound = false;
    table.ReadOnly = true;
    table.HideDeletedRecs = true;
    // The file layer's own failures end the program by default; here they become an error.
    const storage::FatalHandler previous = storage::setFatalHandler([](int, const std::string&) {});
    try {
        table.setDbfFileName(data.table.toStdString());
        table.Open();
        if (!data.field.isEmpty()) {
            storage::TField* field = table.FindField(data.field.toStdString());
            if (!field) {
                *error = QStringLiteral("%1 has no field %2").arg(data.table, data.field);
                storage::setFatalHandler(previous);
                return false;
            }
            const std::string wanted = data.value.toStdString();
            table.SetFilterToCB([field, wanted](void*) { return field->AsString() == wanted; },
                                nullptr);
        }
    } catch (const storage::FatalError& failure) {
        *error = QString::fromStdString(failure.message);
    } catch (const std::exception& failure) {
        *error = QString::fromStdString(failure.what());
    }
    storage::setFatalHandler(previous);
    if (!error->isEmpty()) return false;
    bound->rows = std::make_unique<report::TableDataSet>(table);
    return true;
}

int render(const QStringList& args) {
    if (args.size() < 3) return usage();
    const QString projectPath = args.at(0), reportName = args.at(1), outPath = args.at(2);
    report::TReportProject project;
    project.setProjectFile(projectPath);

    std::vector<std::unique_ptr<BoundTable>> tables;
    std::vector<std::unique_ptr<report::TReportConnection>> connections;
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QString& option = args.at(i);
        if (i + 1 >= args.size() || (option != "--param" && option != "--data")) return usage();
        const QString value = args.at(++i);
        if (option == "--param") {
            const qsizetype equals = value.indexOf('=');
            if (equals <= 0) return usage();
            project.setParameter(value.left(equals), value.mid(equals + 1));
            continue;
        }
        DataOption data;
        if (!parseDataOption(value, &data)) return usage();
        QString error;
        auto bound = std::make_unique<BoundTable>();
        if (!openTable(data, bound.get(), &error)) {
            printError(error);
            return 1;
        }
        auto connection = std::make_unique<report::TReportConnection>(data.connection);
        connection->setDataSet(bound->rows.get());
        project.addConnection(connection.get());
        tables.push_back(std::move(bound));
        connections.push_back(std::move(connection));
    }

    if (!project.open()) {
        printError(QString(project.errorText()).replace('\r', '\n'));
        return 1;
    }
    if (!project.exportPdf(reportName, outPath)) {
        printError(project.errorText());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command == "check") {
        if (argc != 3) return usage();
        return check(QString::fromLocal8Bit(argv[2]));
    }
    if (command != "render") return usage();

    // Rendering measures fonts, which needs a GUI application; without a display it runs on
    // Qt's offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    report::loadReportFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    QStringList args = app.arguments().mid(2);
    return render(args);
}
