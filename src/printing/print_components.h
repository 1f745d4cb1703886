#pragma once

#include <QString>
#include <memory>
#include <span>
#include <vector>

#include "report/report_project.h"
#include "report/report_system.h"
#include "storage/dbf_table.h"

namespace printing {

// Which table object feeds a data connection.
enum class ConnectionSource {
    General,      // DbfTable1 of the General Information form, on the matter's record
    Main,         // one of the main window's print tables (T_PFamily, T_PExpenses, T_PIncome)
    Assets,       // a table of the job's private assets set
    Liabilities,  // a table of the job's private liabilities set
    Summary,      // a table of the job's private summary set
};

// A data connection of the report and the table component it is bound to. `opened` is false for
// the two asset tables the job never opens, whose connections carry no rows.
struct ConnectionDef {
    const char* name;  // the connection's name, as the report project reads it
    ConnectionSource source;
    const char* component;  // table component name within its source
    bool opened = true;
};

// The 35 connections; within each table set in the order the job opens the tables.
std::span<const ConnectionDef> connectionDefinitions();

// The print copy of the expenses table. Besides the table component's own orders it can order
// the records that pass its filter by a key expression in memory: an ordering of this object
// alone, which no other table object, job or workstation can change or rebuild, and which costs
// one pass over the table instead of an index over every matter's lines.
class TExpenseLines : public storage::TDbfTable {
  public:
    using storage::TDbfTable::TDbfTable;

    // Makes the order the visible records (filter and deletion hiding applied) sorted by the key
    // of `expression` (as an index would key them: code-page bytes, blanks kept), equal keys in
    // record order. Nothing is written. The data set stays on its record when that is in the
    // order, else stands on the first. Records written afterwards are not in the order. Raises
    // EDbfError for an expression that does not compile.
    void OrderInMemory(const std::string& expression);
};

// The report-engine components and the print tables of the main window (T_PFamily,
// T_PExpenses, T_PIncome, ReportProject1, ReportSystem1, ReportRenderPDF1 and the 35 data
// connections), configured as the statement prints. The headless path makes its own.
class PrintComponents {
  public:
    PrintComponents();
    ~PrintComponents();
    PrintComponents(const PrintComponents&) = delete;
    PrintComponents& operator=(const PrintComponents&) = delete;

    storage::TDbfTable T_PFamily{"T_PFamily"};
    TExpenseLines T_PExpenses{"T_PExpenses"};
    storage::TDbfTable T_PIncome{"T_PIncome"};

    report::TReportSystem ReportSystem1;
    report::TReportRenderPDF ReportRenderPDF1;
    report::TReportProject ReportProject1;

    // The connection named `name` (letter case counts); nullptr when there is none.
    report::TReportConnection* connection(const QString& name) const;
    const std::vector<std::unique_ptr<report::TReportConnection>>& connections() const {
        return connections_;
    }
    // The main window's print table named `component`; nullptr when there is none.
    storage::TDbfTable* mainTable(const QString& component);

  private:
    std::vector<std::unique_ptr<report::TReportConnection>> connections_;
};

}  // namespace printing
