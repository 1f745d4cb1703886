#pragma once

#include <QString>
#include <optional>

namespace app {

// The data directory: where every table of every matter lives. Its location is kept in the
// settings file "tallo.ini" of the program's directory, section "Database3", key "Path". The
// directory text always ends with a path separator, so that a table's path is the directory
// followed directly by the table's file name.
class DataLocation {
  public:
    // `programDirectory` is the folder holding the program and its settings file.
    explicit DataLocation(QString programDirectory);

    const QString& programDirectory() const { return programDirectory_; }
    QString settingsFile() const;      // programDirectory/tallo.ini, native separators
    QString defaultDirectory() const;  // programDirectory/data3005/, native separators

    // The data directory in force: empty until the first successful read().
    const QString& directory() const { return directory_; }
    QString tablePath(const QString& fileName) const { return directory_ + fileName; }

    // Reads the data directory from the settings file. A missing or empty key is first written
    // with the default directory. A stored value without its trailing separator gets one here
    // (the file is left as it is). The directory's existence is not checked. On a failed write
    // shows "Unable to write to <settings file>" and returns nothing; directory() is unchanged.
    std::optional<QString> read();

    // The value stored in the settings file as it is, without a first write; empty when none.
    QString storedDirectory() const;

    // Writes `directory` (given a trailing separator) to the settings file and makes it the data
    // directory. On failure shows "Unable to write to <settings file>", returns false and keeps
    // the previous data directory.
    bool store(const QString& directory);

  private:
    bool write(const QString& value) const;

    QString programDirectory_;
    QString directory_;
};

// `path` followed by a path separator, unless it already ends with one or is empty.
QString withTrailingSeparator(const QString& path);

}  // namespace app
