#include "memory_data_set.h"

namespace report {

void MemoryDataSet::addField(const QString& name, FieldKind kind) {
    columnByLowerName_.insert(name.toLower(), static_cast<int>(names_.size()));
    names_.append(name);
    kinds_.push_back(kind);
}

void MemoryDataSet::addRow(const QVariantList& values) { rows_.push_back(values); }

void MemoryDataSet::next() {
    if (!atEnd()) ++position_;
}

bool MemoryDataSet::atEnd() const {
    return position_ < 0 || position_ >= static_cast<int>(rows_.size());
}

std::optional<FieldKind> MemoryDataSet::fieldKind(const QString& name) const {
    const auto it = columnByLowerName_.constFind(name.toLower());
    if (it == columnByLowerName_.cend()) return std::nullopt;
    return kinds_[static_cast<size_t>(*it)];
}

QVariant MemoryDataSet::cell(const QString& name) const {
    if (atEnd()) return {};
    const auto it = columnByLowerName_.constFind(name.toLower());
    if (it == columnByLowerName_.cend()) return {};
    const QVariantList& row = rows_[static_cast<size_t>(position_)];
    return *it < row.size() ? row.at(*it) : QVariant();
}

QString MemoryDataSet::text(const QString& name) const {
    const QVariant v = cell(name);
    if (!v.isValid()) return {};
    QString s = v.toString();
    while (!s.isEmpty() && s.back().isSpace()) s.chop(1);
    return s;
}

std::optional<double> MemoryDataSet::number(const QString& name) const {
    const QVariant v = cell(name);
    bool ok = false;
    const double n = v.toDouble(&ok);
    if (!v.isValid() || !ok) return std::nullopt;
    return n;
}

QDate MemoryDataSet::date(const QString& name) const { return cell(name).toDate(); }

bool MemoryDataSet::boolean(const QString& name) const { return cell(name).toBool(); }

}  // namespace report
