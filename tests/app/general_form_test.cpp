// The General Information form on its own, over a General.dbf in a temporary data directory:
// layout and texts, the before-post rules, the State box, the custom caption, and entering a box
// with no matter chosen.

#include "matter/general_form.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "../support/find_child.h"
#include "general_fixture.h"
#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using matter::TF_General;
using storage::DataSetState;

class GeneralFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dataDir_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<TF_General> form_;
    int selections_ = 0;
    QStringList fatal_;

    QString dir() const { return dataDir_->path(); }
    template <typename T>
    T* child(const char* name, std::source_location where = std::source_location::current()) {
        return test_support::findChild<T>(form_.get(), name, where);
    }
    storage::TDbfTable& table() { return form_->DbfTable1(); }
    QString field(const char* name) {
        return QString::fromStdString(table().FieldByName(name).AsString());
    }
    // `readable` false: reading the data directory fails, as with an unwritable settings file.
    void makeForm(bool readable = true) {
        matter::GeneralSeams seams;
        seams.readDataDirectory = [this, readable] {
            return readable ? std::optional<QString>(dir() + "/") : std::nullopt;
        };
        seams.openMatterSelection = [this] { ++selections_; };
        form_ = std::make_unique<TF_General>(std::move(seams));
        form_->resize(800, 640);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        form_->FormShow();
    }
    // What a created matter looks like before its first post.
    void createMatter(const QString& name) {
        table().Insert();
        table().FieldByName("matter").setAsString(name.toStdString());
        form_->clearStateBox();
    }
    void type(QWidget* box, const QString& text) {
        box->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(box, text);
    }

  private slots:
    void init() {
        dataDir_ = std::make_unique<QTemporaryDir>();
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        storage::setFatalHandler(
            [this](int, const std::string& text) { fatal_ << QString::fromStdString(text); });
        selections_ = 0;
        fatal_.clear();
    }
    void cleanup() {
        form_.reset();
        QVERIFY2(fatal_.isEmpty(), qPrintable(fatal_.join("; ")));
        QVERIFY2(script_->script().failures().isEmpty(),
                 qPrintable(script_->script().failures().join("; ")));
        script_.reset();
    }

    void formShowsEveryTextAndTheMatterBoxCannotBeTyped() {
        makeForm();
        QStringList texts;
        for (QLabel* label : form_->findChildren<QLabel*>()) texts << label->text();
        for (const char* expected :
             {"388 - Affidavit of net worth, income and assets transferred;",
              "matrimonial: UCS Rev. 6/2016 eff. 8/12/2016", "Quillmark, Inc.",
              "Statement of Net Worth ", "Matter:", "Date of Commencement of action:", "Index No.:",
              "COURT", "COUNTY OF", "Plaintiff:", "Defendant:",
              "Press to copy and paste caption information from your word processor (this will "
              "replace all of the above information).",
              "State of:", "County of:", "the",
              "herein, being duly sworn, deposes and says that the following is an accurate "
              "statement as of",
              "of my net worth (assets of whatsoever kind and nature and wherever situated minus "
              "liabilities), statements of income from all sources and statements of assets "
              "transferred of whatsoever kind and nature and wherever situated and statement of "
              "expenses:",
              "   * Use FORMS menu or shortcut buttons to call other entry screens"}) {
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), expected);
        }
        QVERIFY(!child<QLabel>("Image1")->pixmap().isNull());
        QVERIFY(child<QLabel>("StatusBar1")->font().bold());  // made bold by the show step
        QCOMPARE(selections_, 1);  // an empty table: the show step asks for a matter
        QCOMPARE(child<QCheckBox>("DbCheckBox3")->text(), QString("Plaintiff"));
        QCOMPARE(child<QCheckBox>("DbCheckBox4")->text(), QString("Defendant"));

        auto* matter = child<platform::DbEdit>("matter");
        QVERIFY(!matter->isEnabled());
        QVERIFY(!matter->hasFrame());
        QVERIFY(matter->font().bold());
        QCOMPARE(matter->focusPolicy(), Qt::NoFocus);

        // Bound fields and their widths.
        const QList<std::pair<const char*, const char*>> bound = {
            {"DbEdit1", "asofdate_c"}, {"DbEdit2", "adate_c"}, {"DbEdit3", "indexnum"},
            {"DbEdit4", "court"},      {"DbEdit5", "court2"},  {"DbEdit6", "county"},
            {"DbEdit8", "county2"},    {"DbEdit9", "xname"}};
        for (const auto& [name, fieldName] : bound) {
            auto* box = child<platform::DbEdit>(name);
            QCOMPARE(box->dataField(), QString(fieldName));
            QCOMPARE(box->maxLength(), table().FieldByName(fieldName).Size());
        }
        QCOMPARE(child<platform::DbMemo>("DbMemo1")->dataField(), QString("plainfiff"));
        QCOMPARE(child<platform::DbMemo>("DbMemo2")->dataField(), QString("defendant"));
        QCOMPARE(child<platform::DbMemo>("CusCap")->dataField(), QString("bypass"));

        auto* states = child<QComboBox>("ComboBox1");
        QVERIFY(states->isEditable());
        QStringList entries;
        for (int i = 0; i < states->count(); ++i) entries << states->itemText(i);
        // Fifty-one names, spelled as the form lists them: "Ohio " with its blank, "South
        // Dekota", and none for Idaho and Mississippi.
        const QStringList expected = {"Alabama",        "Alaska",         "Arizona",
                                      "Arkansas",       "California",     "Colorado",
                                      "Connecticut",    "Delaware",       "District of Columbia",
                                      "Florida",        "Georgia",        "Hawaii",
                                      "Illinois",       "Indiana",        "Iowa",
                                      "Kansas",         "Kentucky",       "Louisiana",
                                      "Maine",          "Maryland",       "Massachusetts",
                                      "Michigan",       "Minnesota",      "Missouri",
                                      "Montana",        "Nebraska",       "Nevada",
                                      "New Hampshire",  "New Jersey",     "New Mexico",
                                      "New York",       "North Carolina", "North Dakota",
                                      "Ohio ",          "Oklahoma",       "Oregon",
                                      "Pennsylvania",   "Puerto Rico",    "Rhode Island",
                                      "South Carolina", "South Dekota",   "Tennessee",
                                      "Texas",          "Utah",           "Vermont",
                                      "Virginia",       "Virgin Islands", "Washington",
                                      "West Virginia",  "Wisconsin",      "Wyoming"};
        QCOMPARE(entries, expected);
    }

    void tabOrderFollowsTheForm() {
        makeForm();
        const QStringList expected = {"DbEdit3", "DbEdit4",     "DbEdit5",     "DbEdit6",
                                      "DbMemo1", "DbMemo2",     "ComboBox1",   "DbEdit8",
                                      "DbEdit9", "DbCheckBox3", "DbCheckBox4", "CusCap",
                                      "BitBtn1", "DbEdit1",     "DbEdit2"};
        QStringList order;
        QWidget* widget = child<QWidget>("DbEdit3");
        for (int i = 0; i < 200 && order.size() < expected.size(); ++i) {
            if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, expected);
    }

    void beforePostFillsExplistedStateAndDobypass() {
        makeForm();
        createMatter("Smith v. Smith");
        test_support::findChild<QComboBox>(form_.get(), "ComboBox1")
            ->setEditText("Ontario");  // not in the list
        child<platform::DbMemo>("CusCap")->setPlainText("SUPREME COURT\nSmith against Smith");
        table().Post();
        QList<Record> stored = readGeneral(dir());
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["explisted"], QString("monthly"));
        QCOMPARE(stored[0]["state"], QString("Ontario"));
        QCOMPARE(stored[0]["dobypass"], QString("X"));
        QCOMPARE(stored[0]["bypass"], QString("SUPREME COURT\r\nSmith against Smith"));

        // A set explisted stays; an emptied custom caption clears dobypass.
        table().Edit();
        table().FieldByName("explisted").setAsString("weekly");
        child<platform::DbMemo>("CusCap")->clear();
        table().Post();
        stored = readGeneral(dir());
        QCOMPARE(stored[0]["explisted"], QString("weekly"));
        QCOMPARE(stored[0]["dobypass"], QString());
        QCOMPARE(stored[0]["bypass"], QString());

        // A record without a matter name is dropped quietly instead of written.
        table().Insert();
        type(child<QWidget>("DbEdit9"), "John Smith");
        table().Post();
        QCOMPARE(table().State(), DataSetState::Browse);
        QCOMPARE(readGeneral(dir()).size(), 1);
        QCOMPARE(script_->script().shown().size(), 0);  // no error box
    }

    void stateBoxFollowsTheRecordAndStoresChoicesAtOnce() {
        writeGeneral(dir(), {{{"matter", "Adams v. Adams"}, {"state", "Ohio"}},
                             {{"matter", "Baker v. Baker"}, {"state", "Vermont"}}});
        makeForm();
        auto* box = child<QComboBox>("ComboBox1");
        QCOMPARE(box->currentText(), QString("Ohio"));
        form_->UpdateGeneral();  // at rest

        // Choosing from the list starts editing and stores at once.
        box->setFocus(Qt::OtherFocusReason);
        box->showPopup();
        const int newYork = box->findText("New York");
        box->setCurrentIndex(newYork);
        emit box->activated(newYork);
        box->hidePopup();
        QCOMPARE(table().State(), DataSetState::Edit);
        QCOMPARE(field("state"), QString("New York"));

        // Moving loads the box from the other record.
        table().Next();
        QCOMPARE(box->currentText(), QString("Vermont"));
        table().First();
        QCOMPARE(box->currentText(), QString("New York"));

        // Typed text reaches `state` at the next post, even when typed into a resting record.
        QCOMPARE(table().State(), DataSetState::Browse);
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "Quebec");
        QCOMPARE(field("state"), QString("New York"));
        form_->UpdateGeneral();
        QCOMPARE(readGeneral(dir())[0]["state"], QString("Quebec"));
        QCOMPARE(box->currentText(), QString("Quebec"));

        // A dropped new record brings back the state of the record stood on.
        table().Insert();
        form_->clearStateBox();
        QCOMPARE(box->currentText(), QString());
        form_->UpdateGeneral();
        QCOMPARE(box->currentText(), QString("Quebec"));
    }

    void withoutADataDirectoryTheFormShowsNoRecord() {
        makeForm(false);
        QVERIFY(!table().Active());
        QCOMPARE(selections_, 0);  // the show step stopped
        auto* box = child<QComboBox>("ComboBox1");
        QCOMPARE(box->currentText(), QString());  // no record, so no state either
        QCOMPARE(box->currentIndex(), -1);
        type(child<QWidget>("DbEdit1"), "1/1/2016");
        QCOMPARE(child<QLineEdit>("DbEdit1")->text(), QString());
        form_->UpdateGeneral();
        QVERIFY(!QFileInfo::exists(generalPath(dir())));
    }

    void customCaptionShowsWhenFilledAndTheButtonToggles() {
        writeGeneral(dir(), {{{"matter", "Adams v. Adams"}, {"bypass", "IN THE MATTER OF"}},
                             {{"matter", "Baker v. Baker"}}});
        makeForm();
        auto* caption = child<platform::DbMemo>("CusCap");
        auto* button = child<QPushButton>("BitBtn1");
        QVERIFY(caption->isVisible());
        QCOMPARE(caption->toPlainText(), QString("IN THE MATTER OF"));
        QCOMPARE(caption->geometry(), child<QWidget>("CaptionBlock")->geometry());  // over it
        table().Next();
        QVERIFY(!caption->isVisible());

        QTest::mouseClick(button, Qt::LeftButton);  // open the empty memo to paste into
        QVERIFY(caption->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!caption->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        caption->setFocus(Qt::OtherFocusReason);
        QTest::keyClicks(caption, "Pasted caption");
        form_->UpdateGeneral();
        QVERIFY(caption->isVisible());
        QCOMPARE(readGeneral(dir())[1]["dobypass"], QString("X"));

        // Storing any field re-decides: an emptied memo hides.
        table().Edit();
        caption->clear();
        table().FieldByName("xname").setAsString("Baker");
        QVERIFY(!caption->isVisible());
    }

    void enteringABoxWithoutMatterOpensTheSelection() {
        makeForm();
        QCOMPARE(selections_, 1);  // the show step's
        const QStringList checked = {"DbEdit3", "DbEdit4", "DbEdit5",   "DbEdit6", "DbMemo1",
                                     "DbMemo2", "CusCap",  "ComboBox1", "DbEdit8", "DbEdit9"};
        const QStringList unchecked = {"DbCheckBox3", "DbCheckBox4", "DbEdit1", "DbEdit2",
                                       "BitBtn1"};
        child<QWidget>("CusCap")->show();
        for (const QString& name : checked + unchecked) {
            selections_ = 0;
            QWidget* widget = test_support::findChild<QWidget>(form_.get(), qPrintable(name));
            widget->setFocus(Qt::TabFocusReason);
            QVERIFY2(widget->hasFocus() || widget->isAncestorOf(QApplication::focusWidget()),
                     qPrintable(name));
            QCoreApplication::processEvents();
            QCOMPARE(selections_, checked.contains(name) ? 1 : 0);
            child<QWidget>("DbEdit2")->setFocus(Qt::OtherFocusReason);  // not counted
            QCoreApplication::processEvents();
        }

        // With a matter nothing opens; nor when focus only comes back to the window.
        createMatter("Smith v. Smith");
        selections_ = 0;
        child<QWidget>("DbEdit3")->setFocus(Qt::MouseFocusReason);
        child<QWidget>("DbEdit4")->setFocus(Qt::ActiveWindowFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(selections_, 0);
    }
};

QTEST_MAIN(GeneralFormTest)
#include "general_form_test.moc"
