#include "app/data_location.h"

#include <QDir>

#include "platform/dialogs.h"
#include "platform/ini_file.h"

namespace app {

namespace {
const QString kSection = QStringLiteral("Database3");
const QString kKey = QStringLiteral("Path");
}  // namespace

QString withTrailingSeparator(const QString& path) {
    if (path.isEmpty() || path.endsWith(QDir::separator()) || path.endsWith(u'/')) return path;
    return path + QDir::separator();
}

DataLocation::DataLocation(QString programDirectory)
    : programDirectory_(std::move(programDirectory)) {}

QString DataLocation::settingsFile() const {
    return QDir::toNativeSeparators(QDir(programDirectory_).filePath(QStringLiteral("tallo.ini")));
}

QString DataLocation::defaultDirectory() const {
    return withTrailingSeparator(
        QDir::toNativeSeparators(QDir(programDirectory_).filePath(QStringLiteral("data3005"))));
}

QString DataLocation::storedDirectory() const {
    return platform::readIniString(settingsFile(), kSection, kKey);
}

std::optional<QString> DataLocation::read() {
    if (storedDirectory().isEmpty() && !write(defaultDirectory())) return std::nullopt;
    // An empty value read back (a settings file that changed under us) must not turn into the
    // file system's root, which is what an empty text plus a separator would name.
    QString stored = storedDirectory();
    if (stored.isEmpty()) stored = defaultDirectory();
    directory_ = withTrailingSeparator(stored);
    return directory_;
}

bool DataLocation::store(const QString& directory) {
    const QString value = withTrailingSeparator(directory);
    if (!write(value)) return false;
    directory_ = value;
    return true;
}

bool DataLocation::write(const QString& value) const {
    if (platform::writeIniString(settingsFile(), kSection, kKey, value)) return true;
    platform::dialogs().showMessage(QStringLiteral("Unable to write to %1").arg(settingsFile()));
    return false;
}

}  // namespace app
