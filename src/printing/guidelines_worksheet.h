#pragma once

#include <QDate>
#include <QString>

#include "guidelines/worksheet.h"
#include "printing/print_job.h"

class QWidget;

namespace report {
class TReportSystem;
}

namespace printing {

// What the worksheet prints above its lines besides the case itself.
struct WorksheetHeading {
    QString matter;  // the matter's name; empty for a case that belongs to no matter
    QDate prepared;  // the day the worksheet is made
    // What each of Party A and Party B is in the matter ("plaintiff, the deponent"), printed
    // after its name; empty prints the name alone.
    QString partyRoles[2];
};

// The worksheet's report project: the program directory with its separator, followed by
// "\Reports\Guidelines.rpf".
QString guidelinesProjectPath(const QString& programDirectory);

// Prints the worksheet of a computed case: every input, step and result with its statute
// (guidelines::worksheetLines), the notes and the parameter set, through the report
// "Guidelines". With `pdfFile` it writes that file with no window; otherwise it runs through
// `engine`'s output options, status and preview windows, owned by `parent`. The form and the
// headless print of a matter compute their case and come here alike.
PrintOutcome printGuidelinesWorksheet(const guidelines::Worksheet& sheet,
                                      const WorksheetHeading& heading,
                                      const QString& programDirectory, const QString& pdfFile,
                                      report::TReportSystem* engine = nullptr,
                                      QWidget* parent = nullptr);

}  // namespace printing
