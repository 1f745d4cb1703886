#include "printing/matter_marks.h"

#include "catalog/table_catalog.h"
#include "storage/dbf_table.h"

namespace printing {

QString MatterMarks::mark(const catalog::StatementItem& item) const {
    return fields_.value(QLatin1String(item.key));
}

bool MatterMarks::affirmation() const {
    return fields_.value(QLatin1String(catalog::kOathField)) ==
           QLatin1String(catalog::kOathAffirmation);
}

MatterMarks MatterMarks::fromRecord(storage::TDbfCDataSet& table) {
    MatterMarks marks;
    if (!table.Active() || table.IsEmpty()) return marks;
    for (const catalog::FieldDef& field : catalog::marksTable().fields) {
        if (const storage::TField* stored = table.FindField(field.name)) {
            marks.fields_.insert(QLatin1String(field.name),
                                 QString::fromStdString(stored->AsString()).trimmed());
        }
    }
    return marks;
}

MatterMarks MatterMarks::stored(const QString& dataDirectory, const QString& matter) {
    const catalog::TableDef& definition = catalog::marksTable();
    const std::string path = catalog::tablePath(dataDirectory.toStdString(), definition);
    if (!storage::Env::Default()->fileExists(path)) return {};
    storage::TDbfTable table(definition.component);
    catalog::applyDefinition(table, definition, dataDirectory.toStdString());
    table.CreateIfNotFound = false;
    table.Open();
    MatterMarks marks;
    if (table.Locate("matter", {matter.toStdString()}, 0)) marks = fromRecord(table);
    table.Close();
    return marks;
}

}  // namespace printing
