#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "report/memory_data_set.h"
#include "report/report_project.h"

namespace report_test {

// Runs a program and returns its standard output ("" when it cannot run).
QString runTool(const QString& program, const QStringList& arguments);

// The text of each page of a PDF file, as pdftotext reads it (layout kept); the file goes to the
// suite's PDF/A check.
QStringList pdfPages(const QString& pdfPath);

// Writes text to a file in `dir` and returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QString& text);

// A report project over in-memory data sets, rendered headless into a temporary folder.
class Rendering {
  public:
    Rendering();
    // Adds (or replaces) a connection to a data set kept by this object.
    report::MemoryDataSet& data(const QString& connection);
    void setParameter(const QString& name, const QString& value) {
        project_.setParameter(name, value);
    }
    report::TReportProject& project() { return project_; }
    const QTemporaryDir& dir() const { return dir_; }

    // Opens `projectText` as a project file and renders `report` to PDF; returns the text of each
    // page, or an empty list with the error in `error()` when anything fails.
    QStringList render(const QString& projectText, const QString& report = QStringLiteral("Test"));
    const QString& error() const { return error_; }
    QString pdfPath() const { return dir_.filePath(QStringLiteral("out.pdf")); }

  private:
    QTemporaryDir dir_;
    report::TReportProject project_;
    std::vector<std::unique_ptr<report::MemoryDataSet>> dataSets_;
    std::vector<std::unique_ptr<report::TReportConnection>> connections_;
    QString error_;
};

// Expense lines like the statement's: etype, expense, amt (amount), info.
void fillExpenses(report::MemoryDataSet& set, int linesPerType, int types);

}  // namespace report_test
