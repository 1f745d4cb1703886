// The Assets, Liabilities and Summary forms driven through their widgets on real table files:
// seeding, the matter filter, each branch of the blank-key rule, deleting, the date check, the
// tab order and the record layout of every file they create.

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "../support/find_child.h"
#include "../support/table_records.h"
#include "catalog/table_catalog.h"
#include "platform/data_source.h"
#include "platform/scripted_dialogs.h"
#include "schedules/group_box_schedule.h"
#include "schedules/schedule_forms.h"
#include "schedules/schedule_table.h"
#include "schedules/summary_form.h"
#include "storage/dbf_table.h"

using platform::ScriptedDialogs;
// The group-box forms under test, by their registry rows' object names.
constexpr const char* kAssets = "F_Assets";
constexpr const char* kLiabilities = "F_Liabilities";
constexpr const char* kSummary = "F_Summary";

catalog::TableSet tableSet(const QString& form) {
    return schedules::findScheduleForm(form.toStdString())->tables();
}
using Record = QMap<QString, QString>;

namespace {

// Every visible record of `file`, each field as its text.
QList<Record> readTable(const QString& path) {
    storage::TDbfTable table("reader");
    table.HideDeletedRecs = true;
    table.ReadOnly = true;
    table.CreateIfNotFound = false;
    table.setDbfFileName(path.toStdString());
    table.Open();
    QList<Record> records;
    for (table.First(); !table.Eof(); table.Next()) {
        Record record;
        for (int i = 0; i < table.FieldCount(); ++i) {
            const QString value = QString::fromStdString(table.Fields(i).AsString());
            if (!value.isEmpty()) {
                record[QString::fromStdString(table.Fields(i).FieldName()).toLower()] = value;
            }
        }
        records << record;
    }
    table.Close();
    return records;
}

}  // namespace

class AssetsFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    schedules::ScheduleContext context_;
    QString matter_ = "Smith v. Smith";
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<QDialog> form_;

    QString path(const char* file) const { return QDir(dir_->path()).filePath(file); }

    // Appends records (field name to text) to a schedule table, created as the catalog says.
    void writeRecords(const QString& form, const char* component, const QList<Record>& records) {
        storage::TDbfTable table("writer");
        catalog::applyDefinition(table, *catalog::findTable(tableSet(form), component),
                                 context_.dataDirectory.toStdString());
        test_support::appendRecords(table, records);
        table.Close();
    }
    QList<Record> stored(const QString& form, const char* component) {
        return readTable(path(catalog::findTable(tableSet(form), component)->file));
    }

    void open(const QString& form) {
        form_ = schedules::openScheduleForm(*schedules::findScheduleForm(form.toStdString()),
                                            context_, nullptr);
        QVERIFY(form_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->activateWindow();
    }
    // Closes through the Close button; true when the form went away.
    bool close() {
        QTest::mouseClick(widget<QPushButton>("CloseButton"), Qt::LeftButton);
        if (form_->isVisible()) return false;
        form_.reset();
        return true;
    }
    template <typename T = QWidget>
    T* widget(const QString& name, std::source_location where = std::source_location::current()) {
        return test_support::findChild<T>(form_.get(), qPrintable(name), where);
    }
    QToolButton* navigatorButton(const QString& component, const char* button) {
        return test_support::findChild<QToolButton>(widget<QWidget>("Navigator_" + component),
                                                    button);
    }
    // Clicks a box and types `text` into it after selecting what it holds.
    void type(const QString& name, const QString& text) {
        QWidget* box = widget(name);
        qobject_cast<QAbstractScrollArea*>(box) ? widget<QPlainTextEdit>(name)->setFocus()
                                                : box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Delete);
        } else {
            QTest::keyClicks(box, text);
        }
    }
    storage::TDbfCDataSet* dataSet(const char* source) {
        return widget<platform::DataSource>(source)->dataSet();
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        matter_ = "Smith v. Smith";
        context_.dataDirectory = dir_->path() + QDir::separator();
        context_.currentMatter = [this] { return matter_; };
        context_.installMatterFilter = [this](const QString&, storage::TDbfCDataSet& table) {
            table.SetFilterToCB(
                [this, &table](void*) {
                    return table.FieldByName("matter").AsString() == matter_.toStdString();
                },
                nullptr);
        };
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
    }
    void cleanup() {
        form_.reset();
        QVERIFY2((*script_)->failures().isEmpty(), qPrintable((*script_)->failures().join("; ")));
        script_.reset();
        dir_.reset();
    }

    void firstOpeningSeedsEveryTableOnce_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("tables");
        QTest::addColumn<QString>("caption");
        QTest::newRow("assets") << QString(kAssets) << 19 << "Assets - Smith v. Smith";
        QTest::newRow("liabilities")
            << QString(kLiabilities) << 10 << "Liabilities - Smith v. Smith";
        QTest::newRow("summary") << QString(kSummary) << 2 << "Summary - Smith v. Smith";
    }
    void firstOpeningSeedsEveryTableOnce() {
        QFETCH(QString, form);
        QFETCH(int, tables);
        QFETCH(QString, caption);
        const auto set = tableSet(form);
        QCOMPARE(int(set.size()), tables);
        // Another matter's record in every table decides nothing and never shows.
        for (const catalog::TableDef& table : set) {
            writeRecords(form, table.component, {{{"matter", "Jones"}}});
        }
        open(form);
        QCOMPARE(form_->windowTitle(), caption);
        QCOMPARE(widget<QScrollArea>("ScrollBox1")->verticalScrollBar()->value(), 0);
        for (int i = 1; i <= tables; ++i) {
            storage::TDbfCDataSet* set = dataSet(qPrintable(QString("DataSource%1").arg(i)));
            QCOMPARE(set->State(), storage::DataSetState::Insert);
            QCOMPARE(QString::fromStdString(set->FieldByName("matter").AsString()), matter_);
        }
        QVERIFY(close());
        open(form);
        for (int i = 1; i <= tables; ++i) {
            QCOMPARE(dataSet(qPrintable(QString("DataSource%1").arg(i)))->State(),
                     storage::DataSetState::Edit);
        }
        QVERIFY(close());
        for (const catalog::TableDef& table : set) {
            QCOMPARE(stored(form, table.component),
                     QList<Record>({{{"matter", "Jones"}}, {{"matter", "Smith v. Smith"}}}));
        }
        QVERIFY((*script_)->shown().isEmpty());
    }

    // Each branch of the blank-key rule with the question answered both ways: a record that
    // holds something besides `matter` but not its key field.
    void blankKeyQuestion_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("component");
        QTest::addColumn<Record>("first");    // the matter's stored record
        QTest::addColumn<bool>("addSecond");  // the user adds a record (else edits the first)
        QTest::addColumn<QString>("box");     // what the user types into ...
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keyBox");  // ... leaving this one empty
        QTest::addColumn<QString>("question");
        QTest::newRow("second cash record with only an amount")
            << QString(kAssets) << "t_cash" << Record{{"location", "Safe"}} << true << "t_cash_amt"
            << "250.5"
            << "t_cash_location"
            << "Cash:\n\"Location\" is empty, so this record will not be saved.\n\nDiscard the "
               "record?";
        QTest::newRow("cleared location of the only cash record")
            << QString(kAssets) << "t_cash" << Record{{"location", "Safe"}, {"amt", "100"}} << false
            << "t_cash_location"
            << ""
            << "t_cash_location"
            << "Cash:\n\"Location\" is empty, so the changes to this record will not be "
               "saved.\n\nDiscard the changes?";
        QTest::newRow("retirement record without current value")
            << QString(kAssets) << "t_retirement" << Record{{"value", "5000"}} << true
            << "t_retirement_title"
            << "Jane Smith"
            << "t_retirement_value"
            << "Retirement Accounts:\n\"Current value\" is empty, so this record will not be "
               "saved.\n\nDiscard the record?";
        QTest::newRow("second mortgage without date of incurring debt")
            << QString(kLiabilities) << "T_mortpay" << Record{{"ddate", "01/02/2003"}} << true
            << "T_mortpay_amount"
            << "180000"
            << "T_mortpay_ddate"
            << "Mortgages payable on real estate:\n\"Date of incurring debt\" is empty, so this "
               "record will not be saved.\n\nDiscard the record?";
        QTest::newRow("second transfer without date")
            << QString(kSummary) << "T_Axfered" << Record{{"xdate", "3/4/2015"}} << true
            << "T_Axfered_desc"
            << "Boat"
            << "DbEdit1"
            << "Assets Transferred:\n\"Date of transfer\" is empty, so this record will not be "
               "saved.\n\nDiscard the record?";
    }
    void blankKeyQuestion() {
        QFETCH(QString, form);
        QFETCH(QString, component);
        QFETCH(Record, first);
        QFETCH(bool, addSecond);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, keyBox);
        QFETCH(QString, question);
        Record firstStored = first;
        firstStored["matter"] = matter_;
        writeRecords(form, qPrintable(component), {firstStored});

        for (bool discard : {false, true}) {
            open(form);
            if (addSecond) {
                QTest::mouseClick(navigatorButton(component, "InsertButton"), Qt::LeftButton);
            }
            type(box, text);
            discard ? (*script_)->answerYes() : (*script_)->answerNo();
            if (addSecond) {
                QTest::mouseClick(navigatorButton(component, "PriorButton"), Qt::LeftButton);
            } else {
                QVERIFY(!discard ? !close() : close());
            }
            QCOMPARE((*script_)->shownTexts(ScriptedDialogs::Kind::YesNo).value(0), question);
            (*script_)->clear();
            if (!discard) {
                // The move or close stopped: the record is still being edited, its key box has
                // the focus, and nothing was written.
                QVERIFY(form_->isVisible());
                QTRY_COMPARE(QApplication::focusWidget(), widget(keyBox));
                const auto* table = static_cast<schedules::GroupBoxScheduleForm*>(form_.get())
                                        ->scheduleTable(qPrintable(component));
                QVERIFY(const_cast<schedules::ScheduleTable*>(table)->table().State() !=
                        storage::DataSetState::Browse);
                // Give up now: the second question is answered Yes.
                (*script_)->answerYes();
                QVERIFY(close());
                (*script_)->clear();
            } else if (addSecond) {
                QVERIFY(close());
            }
            QCOMPARE(stored(form, qPrintable(component)), QList<Record>({firstStored}));
        }
    }

    void deletingTheLastRecordReseeds() {
        writeRecords(kAssets, "t_check", {{{"matter", matter_}, {"instituton", "First Bank"}}});
        open(kAssets);
        QCOMPARE(widget<QLineEdit>("t_check_instituton")->text(), QString("First Bank"));
        (*script_)->answerCancel();
        QTest::mouseClick(navigatorButton("t_check", "DeleteButton"), Qt::LeftButton);
        QCOMPARE(widget<QLineEdit>("t_check_instituton")->text(), QString("First Bank"));
        (*script_)->answerOk();
        QTest::mouseClick(navigatorButton("t_check", "DeleteButton"), Qt::LeftButton);
        QCOMPARE((*script_)->shownTexts(ScriptedDialogs::Kind::OkCancel),
                 QStringList({"Delete record?", "Delete record?"}));
        QVERIFY(close());
        QCOMPARE(stored(kAssets, "t_check"), QList<Record>());
        open(kAssets);
        QCOMPARE(dataSet("DataSource2")->State(), storage::DataSetState::Insert);
        QCOMPARE(widget<QLineEdit>("t_check_instituton")->text(), QString());
        QVERIFY(close());
        QCOMPARE(stored(kAssets, "t_check"), QList<Record>({{{"matter", matter_}}}));
    }

    void accountsPayableOpensOnTheFirstRecord() {
        writeRecords(kLiabilities, "T_AP",
                     {{{"matter", "Jones"}, {"debtor", "Jones"}},
                      {{"matter", matter_}, {"debtor", "Husband"}},
                      {{"matter", matter_}, {"debtor", "Wife"}}});
        writeRecords(kLiabilities, "T_notespayable",
                     {{{"matter", "Jones"}, {"debtor", "Jones"}},
                      {{"matter", matter_}, {"debtor", "Husband"}},
                      {{"matter", matter_}, {"debtor", "Wife"}}});
        open(kLiabilities);
        QCOMPARE(widget<QLineEdit>("T_AP_debtor")->text(), QString("Husband"));
        QCOMPARE(dataSet("DataSource1")->State(), storage::DataSetState::Edit);
        // The other tables stay on the last of the matter's records.
        QCOMPARE(widget<QLineEdit>("T_notespayable_debtor")->text(), QString("Wife"));
        QVERIFY(close());
    }

    void supportFieldsWithoutControlsSurviveEdits() {
        writeRecords(kSummary, "T_Support",
                     {{{"matter", matter_},
                       {"paymade", "voluntarily"},
                       {"damt1", "125.5"},
                       {"childper", "week"},
                       {"swornbme", "Jane Smith"}}});
        QString before;  // the attorney stored so far
        for (const char* name : {"Mary Major, Esq.", "Mary Major"}) {
            open(kSummary);
            QCOMPARE(widget<QLineEdit>("T_Support_swornbme")->text(), QString("Jane Smith"));
            type("T_Support_attorney", "typo");
            QTest::keyClick(widget("T_Support_attorney"), Qt::Key_Escape);  // takes the typing back
            QVERIFY(form_->isVisible());
            QCOMPARE(widget<QLineEdit>("T_Support_attorney")->text(), before);
            type("T_Support_attorney", name);
            type("T_Support_otherdata", "None");
            QVERIFY(close());
            before = name;
        }
        QCOMPARE(stored(kSummary, "T_Support"), QList<Record>({{{"matter", matter_},
                                                                {"paymade", "voluntarily"},
                                                                {"damt1", "125.5"},
                                                                {"childper", "week"},
                                                                {"swornbme", "Jane Smith"},
                                                                {"attorney", "Mary Major"},
                                                                {"otherdata", "None"}}}));
    }

    void fileNamesDifferingInCaseAreOneFile() {
        // The print job's spellings, written first.
        const catalog::TableDef* vehicles =
            catalog::findTable(catalog::assetsTables(), "T_Vehicals");
        const catalog::TableDef* broker =
            catalog::findTable(catalog::liabilitiesTables(), "T_LBroker");
        for (auto [definition, file, form] : {std::tuple{vehicles, "F_Vehicals.dbf", kAssets},
                                              std::tuple{broker, "L_Broker.dbf", kLiabilities}}) {
            storage::TDbfTable table("writer");
            table.DbfFields = catalog::dbfFieldLines(*definition);
            table.setDbfFileName(path(file).toStdString());
            table.Open();
            table.Append();
            table.FieldByName("matter").setAsString(matter_.toStdString());
            table.FieldByName(form == kAssets ? "title" : "ddate").setAsString("X1");
            table.Post();
            table.Close();
            open(form);
            const QString box = form == kAssets ? "T_Vehicals_title" : "T_LBroker_ddate";
            QCOMPARE(widget<QLineEdit>(box)->text(), QString("X1"));
            QVERIFY(close());
        }
        const QStringList files = QDir(dir_->path()).entryList({"F_?ehicals.dbf", "L_?roker.dbf"});
        QCOMPARE(files, QStringList({"F_Vehicals.dbf", "L_Broker.dbf"}));
    }

    void dateErrorWhenLeavingTheDateOfTransfer_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("error");
        QTest::newRow("en_US empty") << "en_US"
                                     << "" << true;
        QTest::newRow("en_US day first") << "en_US"
                                         << "31/12/2015" << true;
        QTest::newRow("en_US letters") << "en_US"
                                       << "Dec 2015" << true;
        QTest::newRow("en_US month first") << "en_US"
                                           << "12/31/2015" << false;
        QTest::newRow("en_US two numbers") << "en_US"
                                           << "12/31" << false;
        QTest::newRow("de_DE empty") << "de_DE"
                                     << "" << true;
        QTest::newRow("de_DE slashes") << "de_DE"
                                       << "31/12/2015" << true;
        QTest::newRow("de_DE no such day") << "de_DE"
                                           << "31.02.15" << true;
        QTest::newRow("de_DE dots") << "de_DE"
                                    << "31.12.15" << false;
    }
    void dateErrorWhenLeavingTheDateOfTransfer() {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(bool, error);
        open(kSummary);
        static_cast<schedules::TF_Summary*>(form_.get())->setDateLocale(QLocale(locale));
        type("DbEdit1", typed);
        QTest::keyClick(widget("DbEdit1"), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), widget("T_Axfered_value"));
        QCOMPARE((*script_)->shownTexts(ScriptedDialogs::Kind::Message),
                 error ? QStringList({"Date Error"}) : QStringList());
        QCOMPARE(widget<QLineEdit>("DbEdit1")->text(), typed);
        (*script_)->clear();
        QVERIFY(close());
        const QList<Record> records = stored(kSummary, "T_Axfered");
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0].value("xdate"), typed);  // stored as typed, error or not
    }

    void tabOrder() {
        auto chain = [this](const QString& from, int steps) {
            QStringList names;
            QWidget* w = widget(from);
            while (names.size() < steps) {
                w = w->nextInFocusChain();
                if (w->focusPolicy() & Qt::TabFocus) names << w->objectName();
            }
            return names;
        };
        open(kLiabilities);
        // After accounts of life insurance loans and the box's mark: "Other liabilities", then
        // credit cards, then home equity with its navigator first (its mark after its fields).
        QCOMPARE(
            chain("T_loanslife_amount", 5),
            QStringList({"PriorButton", "NextButton", "InsertButton", "DeleteButton", "Mark_l_g"}));
        QCOMPARE(chain("T_loanslife_amount", 6).last(), QString("T_OtherLiab_desc"));
        QCOMPARE(chain("T_OtherLiab_amount", 6).last(), QString("t_creditcard_debtor"));
        QCOMPARE(chain("t_creditcard_curamt", 10).mid(4),
                 QStringList({"Mark_l_h", "PriorButton", "NextButton", "InsertButton",
                              "DeleteButton", "t_homeequity_mortgagee"}));
        QCOMPARE(chain("t_homeequity_curequity", 2), QStringList({"Mark_l_i", "CloseButton"}));
        QVERIFY(close());
        open(kSummary);
        // The marks of the fees and other data follow their memos.
        QCOMPARE(chain("T_Axfered_value", 8),
                 QStringList({"PriorButton", "NextButton", "InsertButton", "DeleteButton",
                              "Mark_x_transfer", "T_Support_otherdata", "Mark_o_other",
                              "T_Support_feememo"}));
        QCOMPARE(chain("T_Support_feememo", 3),
                 QStringList({"Mark_v_fees", "T_Support_swornbme", "T_Support_attorney"}));
        QVERIFY(close());
    }

    // The record layout of every file the three forms create, read back by dbfread: their
    // tables and the table of answer marks.
    void createdFilesHoldTheDeclaredFields() {
        for (const char* form : {kAssets, kLiabilities, kSummary}) {
            open(form);
            QVERIFY(close());
        }
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(FIELD_LIST_SCRIPT), dir_->path()});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QStringList actual =
            QString::fromUtf8(reader.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QStringList expected;
        for (const char* path : {EXPECTED_FIELDS, MARKS_FIELDS}) {
            QFile expectedFile(QString::fromLatin1(path));
            QVERIFY(expectedFile.open(QIODevice::ReadOnly));
            for (const QString& line : QString::fromUtf8(expectedFile.readAll()).split('\n')) {
                if (!line.isEmpty() && !line.startsWith('#')) expected << line;
            }
        }
        std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(actual.size(), 32);
        QCOMPARE(actual, expected);
    }
};

QTEST_MAIN(AssetsFormsTest)
#include "assets_forms_test.moc"
