// The pieces both headless prints of a matter share.

#include "app/headless_run.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "app/data_location.h"
#include "catalog/table_catalog.h"
#include "platform/dialogs.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

namespace app {

namespace {

const QString kDataDir = QStringLiteral("--data-dir");

class ConsoleDialogs : public platform::Dialogs {
  public:
    void showMessage(const QString& text, const QString&) override { printError(text); }
    bool confirmYesNo(const QString& text, const QString&) override {
        printError(text);
        return false;
    }
    bool confirmOkCancel(const QString& text, const QString&) override {
        printError(text);
        return false;
    }
    QString inputBox(const QString&, const QString&, const QString& preset) override {
        return preset;
    }
    std::optional<QString> selectDirectory(const QString&) override { return std::nullopt; }
};

}  // namespace

std::optional<MatterPrintArguments> parseMatterPrintArguments(const QStringList& arguments,
                                                              bool withPdf) {
    const int fixed = withPdf ? 3 : 2;
    if (arguments.size() != fixed && arguments.size() != fixed + 2) return std::nullopt;
    MatterPrintArguments out;
    out.matter = arguments.at(1);
    if (withPdf) out.pdfFile = arguments.at(2);
    if (arguments.size() == fixed + 2) {
        if (arguments.at(fixed) != kDataDir || arguments.at(fixed + 1).isEmpty())
            return std::nullopt;
        out.dataDirectory = arguments.at(fixed + 1);
    }
    if (out.matter.isEmpty() || (withPdf && out.pdfFile.isEmpty())) return std::nullopt;
    return out;
}

void printError(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("networth: %1\n").arg(text)), stderr);
    std::fflush(stderr);
}

void installConsoleHandlers(int failure) {
    platform::installDialogs(std::make_unique<ConsoleDialogs>());
    storage::setFatalHandler([failure](int code, const std::string& message) {
        printError(QString::fromStdString(message));
        std::exit(failure == 1 && code > 0 && code < 256 ? code : failure);
    });
    storage::setMessageHandler(
        [](const std::string& message) { printError(QString::fromStdString(message)); });
}

QString matterPrintDataDirectory(const MatterPrintArguments& arguments,
                                 const QString& programDirectory) {
    QString dataDirectory = arguments.dataDirectory;
    if (dataDirectory.isEmpty()) {
        DataLocation location(programDirectory);
        dataDirectory = location.storedDirectory();
        if (dataDirectory.isEmpty()) dataDirectory = location.defaultDirectory();
    }
    dataDirectory = withTrailingSeparator(QDir::toNativeSeparators(dataDirectory));
    if (!QFileInfo(dataDirectory).isDir()) {
        printError(QStringLiteral("The data directory %1 does not exist").arg(dataDirectory));
        return QString();
    }
    const std::string generalPath =
        catalog::tablePath(dataDirectory.toStdString(), catalog::generalTable());
    if (!storage::Env::Default()->fileExists(generalPath)) {
        printError(QStringLiteral("%1 holds no matters").arg(dataDirectory));
        return QString();
    }
    return dataDirectory;
}

bool openMatterRecord(storage::TDbfTable& general, const QString& dataDirectory,
                      const QString& matter) {
    catalog::applyDefinition(general, catalog::generalTable(), dataDirectory.toStdString());
    try {
        general.Open();
        if (general.Locate("matter", {matter.toStdString()}, 0)) return true;
        printError(
            QStringLiteral("There is no matter named \"%1\" in %2").arg(matter, dataDirectory));
    } catch (const std::exception& error) {
        printError(QString::fromStdString(error.what()));
    }
    return false;
}

}  // namespace app
