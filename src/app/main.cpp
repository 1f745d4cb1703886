#include <QApplication>
#include <QStringList>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/application_setup.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine line = app::parseCommandLine(arguments);
    if (line.kind == app::CommandLine::Kind::Unknown) return app::reportUnknownOption(arguments);
    const app::CommandLineCommand* command = line.command;
    if (command && command->needs != app::CommandNeeds::GuiApplication)
        return app::runWithoutWindowSystem(*command, arguments, argc, argv);
#ifndef Q_OS_WIN
    // Commands show no window, so they need no display.
    if (command && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark Net Worth"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    platform::setUpApplication();
    if (command) return command->run(arguments, QCoreApplication::applicationDirPath());
    return app::runProgram(application);
}
