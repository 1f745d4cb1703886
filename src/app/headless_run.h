#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace storage {
class TDbfTable;
}

namespace app {

// What the commands that work on one matter without a window share: their arguments
// "MATTER [OUT.pdf] [--data-dir DIR]", boxes and the file layer's messages on standard error, the
// data directory, and the matter's General record.

struct MatterPrintArguments {
    QString matter;
    QString pdfFile;        // empty for a command that writes no PDF
    QString dataDirectory;  // empty: the settings file's
};

// Reads `arguments` (the command's option first). Nothing when they are not
// "OPTION MATTER OUT.pdf [--data-dir DIR]", or "OPTION MATTER [--data-dir DIR]" without `withPdf`.
std::optional<MatterPrintArguments> parseMatterPrintArguments(const QStringList& arguments,
                                                              bool withPdf = true);

// "networth: <text>" on standard error.
void printError(const QString& text);

// Boxes cannot be shown without windows: messages go to standard error and questions are
// declined; the file layer's fatal errors end the run after the message, with their own code when
// `failure` is 1 (a print) and with `failure` otherwise (the check's 2 means "could not check").
void installConsoleHandlers(int failure = 1);

// The data directory of the run, with its separator: DIR, or the one the settings file in
// `programDirectory` names (the file is only read), else the default. Empty, after the error
// was printed, when it does not exist or holds no matters.
QString matterPrintDataDirectory(const MatterPrintArguments& arguments,
                                 const QString& programDirectory);

// Opens `general` on "General.dbf" of `dataDirectory` and stands on the record of `matter`
// (its exact name). False, after the error was printed, when there is none or the table cannot
// be read.
bool openMatterRecord(storage::TDbfTable& general, const QString& dataDirectory,
                      const QString& matter);

}  // namespace app
