#pragma once
// Helpers for tests of the General Information form and the matter selection: General.dbf read
// and written through a separate table component, and a driver that acts in each matter
// selection as it is shown.

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "../support/find_child.h"
#include "../support/table_records.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/select_matter.h"
#include "catalog/table_catalog.h"
#include "matter/general_form.h"
#include "platform/db_list_box.h"
#include "platform/scripted_dialogs.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

using Record = QMap<QString, QString>;

inline QString generalPath(const QString& directory) {
    return QDir(directory).filePath(QStringLiteral("General.dbf"));
}

// Every visible record of `directory`'s General.dbf in record order, each field as its text
// (character fields without trailing blanks, dates "YYYYMMDD", memos as stored).
inline QList<Record> readGeneral(const QString& directory) {
    storage::TDbfTable table("T_Reader");
    table.HideDeletedRecs = true;
    table.ReadOnly = true;
    table.CreateIfNotFound = false;
    table.setDbfFileName(generalPath(directory).toStdString());
    table.Open();
    const QList<Record> records = test_support::readRecords(table);
    table.Close();
    return records;
}

inline QStringList storedMatters(const QString& directory) {
    QStringList names;
    for (const Record& record : readGeneral(directory)) names << record["matter"];
    return names;
}

// Appends records to `directory`'s General.dbf (created with the form's fields and index when
// missing); each record gives some fields by name.
inline void writeGeneral(const QString& directory, const QList<Record>& records) {
    storage::TDbfTable table("T_Writer");
    catalog::declare(table, catalog::generalTable());
    table.setDbfFileName(generalPath(directory).toStdString());
    test_support::appendRecords(table, records);
    table.Close();
}

// Acts in each matter selection as it is shown, in the order the actions were queued, and notes
// what each selection showed. A selection with no action left is closed and noted as a failure.
class SelectionDriver : public QObject {
  public:
    using Action = std::function<void(app::TF_SelectMatter&)>;

    struct Visit {
        QStringList list;  // the matter names listed
        QString pathLine;  // the data directory shown
        bool mainVisible;  // the main window was on screen
    };

    SelectionDriver() { qApp->installEventFilter(this); }
    ~SelectionDriver() override { qApp->removeEventFilter(this); }

    SelectionDriver& then(Action action) {
        actions_.push_back(std::move(action));
        return *this;
    }
    int pending() const { return int(actions_.size()); }
    const QList<Visit>& visits() const { return visits_; }
    const QStringList& failures() const { return failures_; }
    // From now on every schedule form is closed as soon as it is shown (which posts it), so that
    // a command that opens one returns to the test; formsShown() lists them by object name.
    void closeScheduleFormsWhenShown() { closeForms_ = true; }
    const QStringList& formsShown() const { return formsShown_; }

    // Actions.
    static void click(QWidget& dialog, const char* button) {
        QTest::mouseClick(test_support::findChild<QWidget>(&dialog, button), Qt::LeftButton);
    }
    // Clicks the entry `name` in the list (which selects it).
    static void select(QWidget& dialog, const QString& name) {
        auto* list = test_support::findChild<platform::DbListBox>(&dialog, "DbListBox1");
        const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable("no entry " + name));
        const QRect rect = list->visualItemRect(items.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static Action openMatter(const QString& name) {
        return [name](app::TF_SelectMatter& dialog) {
            select(dialog, name);
            click(dialog, "BitBtn3");
        };
    }
    // Creates the matter `name` through the "new matter" button, answering its input box.
    static Action createMatter(platform::ScopedScriptedDialogs& script, const QString& name) {
        return [&script, name](app::TF_SelectMatter& dialog) {
            script->answerInput(name);
            click(dialog, "BitBtn1");
        };
    }
    static Action press(const char* button) {
        return [button](app::TF_SelectMatter& dialog) { click(dialog, button); };
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (closeForms_ && isScheduleForm(watched)) {
                // A command that passed the gate opens its form modally; closing it (which
                // posts) lets the command return to the test.
                formsShown_ << watched->objectName();
                QPointer<QWidget> form(static_cast<QWidget*>(watched));
                QTimer::singleShot(0, form, [form] {
                    if (form) form->close();
                });
                return false;
            }
            if (auto* dialog = qobject_cast<app::TF_SelectMatter*>(watched)) {
                QPointer<app::TF_SelectMatter> guard(dialog);
                QTimer::singleShot(0, dialog, [this, guard] {
                    if (guard) act(*guard);
                });
            }
        }
        return false;
    }

  private:
    static bool isScheduleForm(QObject* object) {
        return object->isWidgetType() && static_cast<QWidget*>(object)->isWindow() &&
               schedules::findScheduleForm(object->objectName().toStdString());
    }

    static bool mainWindowVisible() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<app::TF_Main*>(widget) && widget->isVisible()) return true;
        }
        return false;
    }

    void act(app::TF_SelectMatter& dialog) {
        auto* list = test_support::findChild<platform::DbListBox>(&dialog, "DbListBox1");
        auto* path = test_support::findChild<QLabel>(&dialog, "Label1");
        visits_ << Visit{list->items(), path->text(), mainWindowVisible()};
        if (actions_.empty()) {
            failures_ << "a matter selection nobody expected";
            dialog.done(QDialog::Rejected);
            return;
        }
        Action action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);  // an action that leaves the dialog open finishes it itself
    }

    std::deque<Action> actions_;
    QList<Visit> visits_;
    QStringList failures_;
    QStringList formsShown_;
    bool closeForms_ = false;
};
