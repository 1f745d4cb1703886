#pragma once

// A data directory as an office's looks after years of use, for the benchmarks that open forms
// or print in it: `matters` matters named "Matter N v. Doe", each with one General, Family,
// Income and Support record, one record of answer marks (every item "NONE"), 99 expense lines
// written together (as the Expenses form seeds them) and two records in every asset, liability and
// transfer table, entered one round after the other (so a matter's two records lie far apart).
// Halfway through, the full matter "Smith v. Smith" of the print tests is written with every
// schedule filled (and its letter-case twin and "Jones v. Jones" beside it). Every production index
// is built over all records at the end.

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/table_def.h"

namespace bench_data {

class OfficeData {
  public:
    explicit OfficeData(int matters);

    int matters() const { return matters_; }
    // The data directory, ending with a separator.
    const QString& directory() const { return data_; }
    // Every file of the directory, and their total size.
    const std::vector<std::string>& files() const { return files_; }
    qint64 bytes() const { return bytes_; }
    // A path beside the data directory for output files.
    QString scratch(const QString& name) const;

    // Bytes of `matter`'s own records with the memo blocks they point to, in the tables of
    // `set` (in General.dbf and every schedule's table when `set` is empty).
    qint64 ownBytes(const QString& matter, catalog::TableSet set = {}) const;

  private:
    int matters_;
    QTemporaryDir dir_;
    QString data_;
    std::vector<std::string> files_;
    qint64 bytes_ = 0;
};

// The name of matter `n` of an office.
std::string matterName(int n);

}  // namespace bench_data
