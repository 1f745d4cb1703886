#pragma once
// Helpers for the tests of the Family, Expenses and Gross Income forms: a data directory of
// their own, the context a form gets from the main window (with the program's matter filter
// routines), and tables read and written through separate table components.

#include <QDir>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "../support/table_records.h"
#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

using Record = QMap<QString, QString>;

class FormsFixture {
  public:
    FormsFixture() : dir_(std::make_unique<QTemporaryDir>()) {}

    QString dataDirectory() const { return dir_->path() + QDir::separator(); }
    QString matter = QStringLiteral("Smith v. Smith");

    schedules::ScheduleContext context() {
        schedules::ScheduleContext context;
        context.dataDirectory = dataDirectory();
        context.currentMatter = [this] { return matter; };
        auto reader = [this](void*) { return matter; };
        context.installMatterFilter = [reader](const QString& component,
                                               storage::TDbfCDataSet& table) {
            table.SetFilterToCB(app::matterFilter(component, table, reader), nullptr);
        };
        context.installCategoryFilter = [reader](const QString& etype,
                                                 storage::TDbfCDataSet& table) {
            table.SetFilterToCB(app::categoryFilter(etype, table, reader), nullptr);
        };
        return context;
    }

    // Every live record of `component`'s file in record order, fields by lower-case name
    // (character fields without trailing blanks, numbers in plain digits, logicals T/F).
    QList<Record> read(const char* component) const {
        storage::TDbfTable table("T_Reader");
        table.HideDeletedRecs = true;
        table.ReadOnly = true;
        table.CreateIfNotFound = false;
        table.setDbfFileName(
            catalog::tablePath(dataDirectory().toStdString(), *catalog::findTable(component)));
        table.Open();
        return test_support::readRecords(table);
    }

    // Appends records to `component`'s file, created as the catalog declares it when missing.
    void write(const char* component, const QList<Record>& records) const {
        storage::TDbfTable table("T_Writer");
        catalog::applyDefinition(table, *catalog::findTable(component),
                                 dataDirectory().toStdString());
        test_support::appendRecords(table, records);
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
};
