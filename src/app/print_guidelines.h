#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The guideline worksheet of a matter, printed without any window:
//
//   networth --print-guidelines MATTER OUT.pdf [--data-dir DIR]
//
// Computes the worksheet of MATTER (its exact name) from what its Guidelines form stored and
// the figures that form takes from the matter's General Information, Gross Income and Family
// records, with the parameters beside the program, exactly as the form's Print button does, and
// writes it to OUT.pdf. A blank "As of" is the day of the run. Nothing in the data directory is
// written. Returns 0 when the PDF was written; otherwise writes the error to standard error and
// returns non-zero (2 for wrong arguments). Needs a QGuiApplication.
int runPrintGuidelines(const QStringList& arguments, const QString& programDirectory);

}  // namespace app
