#pragma once
// Reading a table's records back in a test: each as field name (lower case) to stored text.
#include <QList>
#include <QMap>
#include <QString>

#include "storage/dbf_table.h"

namespace test_support {

// Every visible record of the open table, from its first.
inline QList<QMap<QString, QString>> readRecords(storage::TDbfTable& table) {
    QList<QMap<QString, QString>> records;
    for (table.First(); !table.Eof(); table.Next()) {
        QMap<QString, QString> record;
        for (int i = 0; i < table.FieldCount(); ++i) {
            storage::TField& field = table.Fields(i);
            record[QString::fromStdString(field.FieldName()).toLower()] =
                QString::fromStdString(field.AsString());
        }
        records << record;
    }
    return records;
}

}  // namespace test_support
