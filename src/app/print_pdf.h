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
int runPrintPdf(const QStringList& arguments, const QString& programDirectory);

}  // namespace app
