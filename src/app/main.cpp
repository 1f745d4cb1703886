#include <QApplication>
#include <QStringList>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/application_setup.h"
#include "platform/console.h"
#include "report/report_fonts.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (argc > 1) platform::useParentConsole();
    const app::CommandLine line = app::parseCommandLine(arguments);
    if (line.kind == app::CommandLine::Kind::Unknown) return app::reportUnknownOption(arguments);
    const app::CommandLineCommand* command = line.command;
    if (command && command->needs != app::CommandNeeds::GuiApplication)
        return app::runWithoutWindowSystem(*command, arguments, argc, argv);
    // Commands show no window, so they need no display; and on the offscreen platform they
    // measure and draw text as on every other system.
    if (command && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark Net Worth"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    platform::setUpApplication();
    report::loadReportFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    // Qt's own list: on Windows it reads the wide command line, so any matter name comes through.
    if (command)
        return command->run(QCoreApplication::arguments().mid(1),
                            QCoreApplication::applicationDirPath());
    return app::runProgram(application);
}
