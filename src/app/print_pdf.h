#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The headless print for offices that print in batches:
//
//   networth --print-pdf MATTER OUT.pdf [--data-dir DIR]
//
// Prints the statement of MATTER (its exact name, letter case counting) from the data directory
// (DIR, or the one the settings file in `programDirectory` names; the settings file is only
// read) into OUT.pdf with the print job of the Print command, without any window. Returns 0 when
// the PDF was written; otherwise writes the error to standard error and returns non-zero (2 for
// wrong arguments). Needs a QGuiApplication.
// The lines of the statement's completeness check (see printing/statement_check.h) are printed
// on standard error as warnings, "networth: warning: IV. ASSETS (d) Security deposits".
int runPrintPdf(const QStringList& arguments, const QString& programDirectory);

// The completeness check of a matter's statement, for scripts:
//
//   networth --check MATTER [--data-dir DIR]
//
// Prints one line per open item on standard output ("IV. ASSETS (d) Security deposits"), in the
// statement's order, and returns 0 when nothing is open, 1 when something is, 2 on wrong
// arguments and on every error (written to standard error: no data directory, no such matter,
// a table that cannot be read). Reads only: no record is created. Needs a QGuiApplication.
int runCheck(const QStringList& arguments, const QString& programDirectory);

}  // namespace app
