#pragma once

#include <QHash>
#include <QString>
#include <functional>

#include "page_model.h"
#include "project_def.h"
#include "report_data_set.h"

namespace report {

// What a report is laid out with. Nothing here is owned; the data sets are moved (see
// ReportDataSet for where they are left).
struct LayoutInput {
    const QHash<QString, QString>* parameters = nullptr;          // lower-case name -> text
    const QHash<QString, ReportDataSet*>* connections = nullptr;  // lower-case name -> data set
    std::function<void(int page)> pageStarted;                    // called as each page begins
};

// Lays out a report onto pages. Runs every band in order (title, the body's bands and details,
// summary), breaking pages where a band does not fit, then adds the page header and footer to
// each page with the page count known. Needs a QGuiApplication for font metrics.
Document layoutReport(const ReportDef& report, const LayoutInput& input);

}  // namespace report
