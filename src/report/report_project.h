#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "page_model.h"
#include "project_def.h"
#include "report_data_set.h"

class QWidget;

namespace report {

class TReportSystem;

// A named data connection: the name that report project files use for a data set. Both are
// owned by the caller; the connection only points at its data set.
class TReportConnection {
  public:
    explicit TReportConnection(QString name) : name_(std::move(name)) {}
    const QString& name() const { return name_; }
    void setDataSet(ReportDataSet* dataSet) { dataSet_ = dataSet; }
    ReportDataSet* dataSet() const { return dataSet_; }

  private:
    QString name_;
    ReportDataSet* dataSet_ = nullptr;
};

// The PDF file format offered by the setup dialog.
class TReportRenderPDF {
  public:
    QString displayName = QStringLiteral("Adobe Acrobat (PDF)");
    QString fileExtension = QStringLiteral("*.pdf");
    // Fonts are always embedded, so a filed statement looks the same on every machine.
    bool embedFonts = true;
    int imageQuality = 90;
    int metafileDpi = 300;
    QString fontEncoding = QStringLiteral("WinAnsi");
};

// A report project: the file of named reports, the connections and parameters they read.
//
// Usage: setEngine, setProjectFile, addConnection for each connection, open, setParameter,
// executeReport (or exportPdf), close.
class TReportProject {
  public:
    TReportProject();
    ~TReportProject();

    void setEngine(TReportSystem* engine) { engine_ = engine; }  // not owned
    TReportSystem* engine() const { return engine_; }

    void setProjectFile(const QString& path) { projectFile_ = path; }
    const QString& projectFile() const { return projectFile_; }

    // Registers a connection (not owned; it must outlive the project's use of it). A connection
    // added under a name already present replaces it. Names ignore letter case. A connection that
    // a report names but nobody added, or that has no data set, has no rows.
    void addConnection(TReportConnection* connection);

    // Loads and parses the project file. False with errorText() when the file does not exist
    // ("The following reporting project does not exist:" CR "\"<expanded path>\""), cannot be
    // read, or does not parse ("<file>: line N: <what is wrong>"). Parameters are kept.
    bool open();
    bool isOpen() const { return project_ != nullptr; }
    // Drops the loaded reports, every parameter and the document info.
    void close();
    const QString& errorText() const { return errorText_; }

    // Parameters are text; names ignore letter case. Setting one needs no open project.
    void setParameter(const QString& name, const QString& value);
    QString parameter(const QString& name) const;

    // The title and author of the documents the project lays out, for the properties of a PDF
    // (empty: the engine's printer title, no author). Kept until close().
    void setDocumentInfo(const QString& title, const QString& author) {
        documentTitle_ = title;
        documentAuthor_ = author;
    }

    QStringList reportNames() const;
    bool hasReport(const QString& name) const;

    // Runs the named report through the engine's windows and returns when the user is done.
    // A name the project does not hold does nothing and returns true. False when the project is
    // not open, there is no engine, or output failed (errorText()), or the user cancelled.
    bool executeReport(const QString& name, QWidget* parent = nullptr);

    // The headless path: lays out the named report and writes it to a PDF file, no windows.
    // False with errorText() for an unknown name, a closed project or a file that cannot be
    // written.
    bool exportPdf(const QString& name, const QString& pdfPath);

    // Lays out the named report (nullopt for an unknown name or a closed project).
    std::optional<Document> layout(const QString& name,
                                   const std::function<void(int page)>& pageStarted = {});

    // The project file's path as opened: backslashes taken as separators, doubled separators
    // and "." or ".." removed, made absolute.
    static QString expandPath(const QString& path);

  private:
    QString projectFile_;
    TReportSystem* engine_ = nullptr;
    QHash<QString, TReportConnection*> connections_;
    QHash<QString, QString> parameters_;
    QString documentTitle_, documentAuthor_;
    std::unique_ptr<ProjectDef> project_;
    QString errorText_;
};

}  // namespace report
