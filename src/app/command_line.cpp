// The program's command line: one table of the commands it runs without a window.

#include "app/command_line.h"

#include <QCoreApplication>
#include <array>
#include <cstdio>

#include "app/guidelines_command.h"
#include "app/print_guidelines.h"
#include "app/print_pdf.h"

namespace app {

namespace {

void write(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int showHelp(const QStringList&, const QString&) {
    write(stdout, usageText());
    return 0;
}

int showVersion(const QStringList&, const QString&) {
    write(stdout, QStringLiteral("Quillmark Net Worth %1\n").arg(QLatin1String(NETWORTH_VERSION)));
    return 0;
}

// A new command is one row here.
constexpr std::array kCommands = {
    CommandLineCommand{"--print-pdf", "MATTER OUT.pdf [--data-dir DIR]",
                       "Prints the statement of MATTER into OUT.pdf.", CommandNeeds::GuiApplication,
                       runPrintPdf},
    CommandLineCommand{"--check", "MATTER [--data-dir DIR]",
                       "Lists the items of MATTER's statement that are neither answered nor "
                       "marked; exits 1 when there are any.",
                       CommandNeeds::GuiApplication, runCheck},
    CommandLineCommand{"--print-guidelines", "MATTER OUT.pdf [--data-dir DIR]",
                       "Prints the guideline worksheet of MATTER into OUT.pdf.",
                       CommandNeeds::GuiApplication, runPrintGuidelines},
    CommandLineCommand{"--guidelines", "IN.json",
                       "Writes the guideline amounts of the case in IN.json (- reads standard "
                       "input) as JSON.",
                       CommandNeeds::CoreApplication, runGuidelines},
    CommandLineCommand{"--help", "", "Shows this text.", CommandNeeds::Nothing, showHelp},
    CommandLineCommand{"--version", "", "Shows the program's version.", CommandNeeds::Nothing,
                       showVersion},
};

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    if (arguments.isEmpty()) return line;
    for (const CommandLineCommand& command : kCommands) {
        if (arguments.first() == QLatin1String(command.option)) {
            line.kind = CommandLine::Kind::Command;
            line.command = &command;
            return line;
        }
    }
    line.kind = CommandLine::Kind::Unknown;
    return line;
}

int runWithoutWindowSystem(const CommandLineCommand& command, const QStringList& arguments,
                           int& argc, char** argv) {
    if (command.needs == CommandNeeds::Nothing) return command.run(arguments, QString());
    QCoreApplication application(argc, argv);
    return command.run(arguments, QCoreApplication::applicationDirPath());
}

QString usageText() {
    QString text = QStringLiteral("Usage:\n  networth\n      Starts the program.\n");
    for (const CommandLineCommand& command : kCommands) {
        text += QStringLiteral("  networth %1").arg(QLatin1String(command.option));
        if (*command.arguments) text += QLatin1Char(' ') + QLatin1String(command.arguments);
        text += QStringLiteral("\n      %1\n").arg(QString::fromUtf8(command.summary));
    }
    return text;
}

int reportUnknownOption(const QStringList& arguments) {
    const QString first = arguments.isEmpty() ? QString() : arguments.first();
    write(stderr, QStringLiteral("networth: unknown option \"%1\"\n").arg(first) + usageText());
    return 2;
}

}  // namespace app
