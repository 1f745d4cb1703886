#pragma once
// Data directories for print tests: tables written through the table component with the
// catalog's definitions, and a full matter with every schedule filled.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace print_test {

using Record = QMap<QString, QString>;  // field name -> stored text ("" leaves a field blank)

// Appends `records` to table component `component` of the catalog (any form; the first found)
// in `dataDirectory` (ending with a separator), creating the file when missing.
void writeTable(const QString& dataDirectory, const char* component, const QList<Record>& records);
// As writeTable, for a workstation among others: while another holds the append lock, the append
// is tried again (as a user answers the lock message), so every record is stored.
void writeTableRetrying(const QString& dataDirectory, const char* component,
                        const QList<Record>& records);
// Creates every table file of the schedules that is still missing, empty.
void createAllTables(const QString& dataDirectory);
// Appends records to General.dbf with the General Information form's fields and index.
void writeGeneral(const QString& dataDirectory, const QList<Record>& records);
// Every visible record of a catalog table, in record order, each field as its text.
QList<Record> readTable(const QString& dataDirectory, const char* component);

// One asset or liability table as the statement shows it: which stored fields hold the value
// as of the date of commencement and the current value.
struct ValueColumns {
    const char* component;
    const char* commencement;  // nullptr: the table keeps only a current value
    const char* current;
};
const QList<ValueColumns>& assetColumns();
const QList<ValueColumns>& liabilityColumns();

// The full matter "Smith v. Smith": every schedule filled, several records per table, long
// memos and amounts in the thousands; beside it the matters "Jones v. Jones" and "SMITH V.
// SMITH" (a letter-case twin), whose records must never reach Smith's statement.
struct Scenario {
    QString matter = QStringLiteral("Smith v. Smith");
    QList<Record> general, family, expenses, income, support, transfers;
    Record marks;  // its record of Marks.dbf: a mark on every item it leaves empty
    QMap<QString, QList<Record>> assets, liabilities;  // component -> the matter's records
};
const Scenario& fullScenario();
// Writes the scenario (and the other matters' records) into `dataDirectory`.
void writeScenario(const QString& dataDirectory);

// A report project that lists every connection's rows and every parameter, one per line, for
// tests of what the job hands to the report: "CONN|field=value|..." and "PARAM name=value".
QString dumpProject();

}  // namespace print_test
