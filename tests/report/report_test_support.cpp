#include "report_test_support.h"

#include <QFile>
#include <QProcess>

#include "../support/pdf_text.h"

namespace report_test {

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pdfPages(const QString& pdfPath) { return test_support::pdfPages(pdfPath); }

QString writeFile(const QTemporaryDir& dir, const QString& name, const QString& text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.toUtf8());
    return path;
}

Rendering::Rendering() = default;

report::MemoryDataSet& Rendering::data(const QString& connection) {
    dataSets_.push_back(std::make_unique<report::MemoryDataSet>());
    connections_.push_back(std::make_unique<report::TReportConnection>(connection));
    connections_.back()->setDataSet(dataSets_.back().get());
    project_.addConnection(connections_.back().get());
    return *dataSets_.back();
}

QStringList Rendering::render(const QString& projectText, const QString& report) {
    error_.clear();
    project_.setProjectFile(writeFile(dir_, QStringLiteral("test.rpf"), projectText));
    if (!project_.open()) {
        error_ = project_.errorText();
        return {};
    }
    if (!project_.exportPdf(report, pdfPath())) {
        error_ = project_.errorText();
        return {};
    }
    QStringList pages = pdfPages(pdfPath());
    if (pages.isEmpty()) error_ = QStringLiteral("pdftotext read nothing");
    return pages;
}

void fillExpenses(report::MemoryDataSet& set, int linesPerType, int types) {
    set.addField(QStringLiteral("etype"), report::FieldKind::Text);
    set.addField(QStringLiteral("expense"), report::FieldKind::Text);
    set.addField(QStringLiteral("amt"), report::FieldKind::Number);
    set.addField(QStringLiteral("info"), report::FieldKind::Text);
    for (int t = 0; t < types; ++t) {
        const QString type = QStringLiteral("(%1) Type %2").arg(QChar('a' + t)).arg(t + 1);
        for (int i = 1; i <= linesPerType; ++i) {
            set.addRow({type, QStringLiteral("Item %1-%2").arg(t + 1).arg(i),
                        (t + 1) * 100.0 + i * 0.25, QString()});
        }
    }
}

}  // namespace report_test
