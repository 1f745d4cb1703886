#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "printing/statement_options.h"

class QWidget;

namespace storage {
class TDbfCDataSet;
}

namespace printing {

class PrintComponents;

// What the print job needs from the program around it. Every member but `statementOptions`,
// `mainWindow` and `pdfFile` must be set.
struct PrintContext {
    QString programDirectory;  // holds Reports/Diredodu.rpf
    QString dataDirectory;     // ends with a path separator
    // The current matter, read afresh on each call.
    std::function<QString()> currentMatter;
    // The General Information table, standing on the current matter's record; read, not moved.
    storage::TDbfCDataSet* general = nullptr;
    // Installs the matter filter routine of table component `component` on `table`.
    std::function<void(const QString& component, storage::TDbfCDataSet& table)> installMatterFilter;
    // The print tables and report-engine components (the main window's, or the headless run's).
    PrintComponents* components = nullptr;
    // The options the statement of `matter` prints with; empty: storedStatementOptions().
    std::function<StatementOptions(const QString& matter)> statementOptions;
    // Owner of the engine's windows; null when headless.
    QWidget* mainWindow = nullptr;
    // Headless: the statement is written to this PDF file, with no window. Empty: the report
    // runs through the engine's output options, status and preview windows.
    QString pdfFile;
    // Only the completeness check: nothing is printed and no record is created (a matter
    // without its Family or Income record reads as one without answers there).
    bool checkOnly = false;
};

// How a print job ended. `ok` is false when it failed (`error` says why) and when the user
// cancelled the output options or declined to print an incomplete statement (`error` empty).
// `openItems` holds the completeness check's lines (statement_check.h), empty when the
// statement is complete or the job failed before the check.
struct PrintOutcome {
    bool ok = false;
    QString error;
    QStringList openItems;
};

// The report project's path as the job names it: the program directory with its separator,
// followed by "\Reports\Diredodu.rpf".
QString projectFilePath(const QString& programDirectory);

// The print job for the current matter, run after the common gate (the matter is not empty and
// the General record is committed): positions or creates the matter's Family and Income
// records, filters the expenses (ordered by "etype + expense" in an order of this run alone) and
// private instances of the assets, liabilities and summary table sets to the
// matter, binds the 35 connections, checks the statement for completeness (with the matter's
// answer marks of "Marks.dbf"), sets the 30 parameters, the marks' and the oath's, names the
// document after the matter and its deponent and runs the report "DirEdodu". When the check
// finds open items and the job runs through the engine's windows, the user is asked first
// (platform::dialogs(), Yes/No) whether to print all the same; No ends the job. A headless job
// prints regardless and hands the lines back.
// Returns when the user is done with the engine's windows (or the PDF is written). Whatever
// happens, everything the job opened or created is closed and released before it returns, so
// the next job starts afresh; the error is returned for the caller to show.
PrintOutcome runPrintJob(const PrintContext& context);

}  // namespace printing
