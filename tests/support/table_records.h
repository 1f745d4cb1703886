#pragma once
// Reading a table's records back in a test, and writing them: each as field name (lower case)
// to stored text.
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

// Appends `records` to the table (opened first when closed), each with its own post; a record
// gives some fields by name.
inline void appendRecords(storage::TDbfTable& table, const QList<QMap<QString, QString>>& records) {
    if (!table.Active()) table.Open();
    for (const QMap<QString, QString>& record : records) {
        table.Append();
        for (auto it = record.begin(); it != record.end(); ++it) {
            table.FieldByName(it.key().toStdString()).setAsString(it.value().toStdString());
        }
        table.Post();
    }
}

}  // namespace test_support
