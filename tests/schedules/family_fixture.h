#pragma once
// Helpers for the tests of the Family, Expenses and Gross Income forms: a data directory of
// their own, the context a form gets from the main window (with the program's matter filter
// routines), tables read and written through separate table components, and the base of the
// test classes that open the forms.

#include <QDialog>
#include <QDir>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "../support/table_records.h"
#include "app/matter_filters.h"
#include "catalog/table_catalog.h"
#include "platform/scripted_dialogs.h"
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

// Each test function gets a data directory of its own and scripted dialogs; it opens one form at a
// time in form_, which is closed at the end; a question or message nobody scripted fails it.
class FormsTest : public QObject {
    Q_OBJECT

  protected:
    std::unique_ptr<FormsFixture> fx_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<QDialog> form_;

    bool open(const schedules::ScheduleFormEntry& entry) {
        form_ = schedules::openScheduleForm(entry, fx_->context(), nullptr);
        if (!form_) return false;
        form_->show();
        return QTest::qWaitForWindowExposed(form_.get());
    }
    bool open(const char* objectName) { return open(*schedules::findScheduleForm(objectName)); }
    void close() {
        QVERIFY(form_->close());
        form_.reset();
    }

  private slots:
    void init() {
        fx_ = std::make_unique<FormsFixture>();
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
    }
    void cleanup() {
        if (form_) form_->close();
        form_.reset();
        QVERIFY2((*script_)->failures().isEmpty(),
                 qPrintable((*script_)->failures().join(QLatin1Char('\n'))));
        script_.reset();
        fx_.reset();
    }
};
