#pragma once

#include <QString>
#include <QStringList>

namespace app {

// What a command needs around it. None of them shows a window.
enum class CommandNeeds {
    Nothing,          // no application object, no program directory
    CoreApplication,  // a QCoreApplication: files, JSON, the program directory
    GuiApplication,   // a QApplication on the offscreen platform: fonts, painting, PDF
};

// One command the program's command line runs instead of starting the program: its option (the
// first argument), the arguments it takes and a line for the usage text. `run` gets every
// argument after the program's name (the option first) and the program's directory, and returns
// the exit code (2 for wrong arguments).
struct CommandLineCommand {
    const char* option;
    const char* arguments;
    const char* summary;
    CommandNeeds needs;
    int (*run)(const QStringList& arguments, const QString& programDirectory);
};

// What the command line asks for.
struct CommandLine {
    enum class Kind { StartProgram, Command, Unknown };
    Kind kind = Kind::StartProgram;
    const CommandLineCommand* command = nullptr;  // for Kind::Command
};

// Reads the arguments without the program's name: none starts the program; an option of the
// table runs its command; anything else is unknown.
CommandLine parseCommandLine(const QStringList& arguments);

// Runs a command that needs no QApplication; returns its exit code.
int runWithoutWindowSystem(const CommandLineCommand& command, const QStringList& arguments,
                           int& argc, char** argv);

// The usage text of every command, one entry per command.
QString usageText();

// For an unknown command line: names the first argument and prints the usage on standard
// error. Returns 2, the exit code.
int reportUnknownOption(const QStringList& arguments);

}  // namespace app
