#include "report_project.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "document_output.h"
#include "layout_engine.h"
#include "project_parser.h"
#include "report_system.h"

namespace report {

TReportProject::TReportProject() = default;
TReportProject::~TReportProject() = default;

void TReportProject::addConnection(TReportConnection* connection) {
    if (connection) connections_.insert(connection->name().toLower(), connection);
}

QString TReportProject::expandPath(const QString& path) {
    QString normalized = path;
    normalized.replace('\\', '/');
    return QDir::cleanPath(QFileInfo(normalized).absoluteFilePath());
}

bool TReportProject::open() {
    project_.reset();
    errorText_.clear();
    const QString path = expandPath(projectFile_);
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        errorText_ = QStringLiteral("The following reporting project does not exist:\r\"%1\"")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        errorText_ = QStringLiteral("The reporting project \"%1\" cannot be read.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    ParseResult parsed = parseProject(QString::fromUtf8(file.readAll()));
    if (!parsed.ok()) {
        errorText_ =
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), parsed.error.text());
        return false;
    }
    project_ = std::move(parsed.project);
    return true;
}

void TReportProject::close() {
    project_.reset();
    parameters_.clear();
    documentTitle_.clear();
    documentAuthor_.clear();
}

void TReportProject::setParameter(const QString& name, const QString& value) {
    parameters_.insert(name.toLower(), value);
}

QString TReportProject::parameter(const QString& name) const {
    return parameters_.value(name.toLower());
}

QStringList TReportProject::reportNames() const {
    QStringList names;
    if (project_) {
        for (const auto& report : project_->reports) names << report->name;
    }
    return names;
}

bool TReportProject::hasReport(const QString& name) const {
    return project_ && project_->find(name);
}

std::optional<Document> TReportProject::layout(const QString& name,
                                               const std::function<void(int page)>& pageStarted) {
    const ReportDef* report = project_ ? project_->find(name) : nullptr;
    if (!report) return std::nullopt;
    QHash<QString, ReportDataSet*> dataSets;
    for (auto it = connections_.cbegin(); it != connections_.cend(); ++it) {
        if (it.value()->dataSet()) dataSets.insert(it.key(), it.value()->dataSet());
    }
    LayoutInput input;
    input.parameters = &parameters_;
    input.connections = &dataSets;
    input.pageStarted = pageStarted;
    Document document = layoutReport(*report, input);
    document.title = documentTitle_;
    document.author = documentAuthor_;
    return document;
}

bool TReportProject::executeReport(const QString& name, QWidget* parent) {
    errorText_.clear();
    if (!project_) {
        errorText_ = QStringLiteral("The reporting project is not open.");
        return false;
    }
    if (!project_->find(name)) return true;
    if (!engine_) {
        errorText_ = QStringLiteral("The reporting project has no engine.");
        return false;
    }
    auto generate = [this, name](const std::function<void(int)>& pageStarted) {
        return *layout(name, pageStarted);
    };
    return engine_->execute(generate, parent, &errorText_);
}

bool TReportProject::exportPdf(const QString& name, const QString& pdfPath) {
    errorText_.clear();
    std::optional<Document> document = layout(name);
    if (!document) {
        errorText_ =
            project_
                ? QStringLiteral("The reporting project holds no report named \"%1\".").arg(name)
                : QStringLiteral("The reporting project is not open.");
        return false;
    }
    const PdfOptions options = PdfOptions::forDocument(
        *document, engine_ ? engine_->settings().printerTitle : document->reportName);
    return writePdf(*document, pdfPath, options, {}, &errorText_);
}

}  // namespace report
