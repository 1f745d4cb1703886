// The data source and the data-aware controls, driven on real tables in a temporary directory.

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "../support/find_child.h"
#include "data_form.h"
#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_edit.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "platform/db_memo.h"
#include "platform/db_navigator.h"
#include "platform/db_radio_group.h"
#include "platform/entry_mask.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using platform::DataSource;
using storage::DataSetState;
using storage::TDbfTable;
using test_platform::Form;

namespace {

// The `expense` of every stored, visible record, read by a second component on the file.
std::vector<std::string> storedExpenses(const QString& directory) {
    TDbfTable reader("reader");
    reader.HideDeletedRecs = true;
    reader.setDbfFileName((directory + "/Expenses.dbf").toStdString());
    reader.Open();
    std::vector<std::string> items;
    for (reader.First(); !reader.Eof() && reader.RecNo(); reader.Next()) {
        items.push_back(reader.FieldByName("expense").AsString());
    }
    return items;
}

// The blank-item rule of the Expenses form: a line without an item is never written.
void blankItemRule(DataSource& source) {
    if (source.dataSet()->FieldByName("expense").AsString().empty()) source.dataSet()->Cancel();
}

}  // namespace

class DataControlsTest : public test_platform::DirectoryTest {
    Q_OBJECT

  private slots:
    void typingStartsAnEditStoresOnMoveAndShowsTheNewRecord() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        form.append("M", "(a) Housing", "Mortgage", 200);
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        auto* amount = form.add<platform::DbEdit>("AmountEdit", "amt");
        form.table->First();
        QCOMPARE(item->text(), QString("Rent"));
        QCOMPARE(amount->text(), QString("100.00"));
        QCOMPARE(item->maxLength(), 65);
        QCOMPARE(form.table->State(), DataSetState::Browse);

        QTest::keyClick(item, Qt::Key_End);
        QTest::keyClicks(item, " paid");
        QCOMPARE(form.table->State(), DataSetState::Edit);
        QCOMPARE(item->text(), QString("Rent paid"));  // the first key is kept
        QCOMPARE(amount->text(), QString("100.00"));
        QCOMPARE(form.text("expense"), std::string("Rent"));  // stored only when written

        form.table->Next();
        QCOMPARE(form.table->State(), DataSetState::Browse);
        QCOMPARE(item->text(), QString("Mortgage"));
        QCOMPARE(amount->text(), QString("200.00"));
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent paid", "Mortgage"}));

        // Escape brings the field's value back; the unchanged edit is then dropped by a move.
        QTest::keyClicks(amount, "9");
        QTest::keyClick(amount, Qt::Key_Escape);
        QCOMPARE(amount->text(), QString("200.00"));
        form.table->First();
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent paid", "Mortgage"}));
        form.table->Last();
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 200.0);

        // The edit takes no more than the field's width.
        item->selectAll();
        QTest::keyClicks(item, QString(70, 'x'));
        form.table->Post();
        QCOMPARE(form.text("expense"), std::string(65, 'x'));
    }

    void numbersAndMemosConvertOnTheWayInAndOut() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent");
        auto* amount = form.add<platform::DbEdit>("AmountEdit", "amt");
        auto* memo = form.add<platform::DbMemo>("NotesMemo", "notes");
        platform::ScopedScriptedDialogs script;

        QTest::keyClicks(amount, "12a.5");
        QCOMPARE(amount->text(), QString("12.5"));  // a number box refuses letters
        QTest::keyClicks(memo, "first line");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "second line");
        form.table->Post();
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 12.5);
        QCOMPARE(amount->text(), QString("12.50"));
        QCOMPARE(form.text("notes"), std::string("first line\r\nsecond line"));
        QCOMPARE(memo->toPlainText(), QString("first line\nsecond line"));

        // A memo written with CR LF elsewhere shows with the platform's breaks.
        form.table->Edit();
        form.table->FieldByName("notes").setAsString("a\r\nb\r\n");
        QCOMPARE(memo->toPlainText(), QString("a\nb\n"));
        form.table->Post();
        TDbfTable reader("reader");
        reader.setDbfFileName((dir() + "/Expenses.dbf").toStdString());
        reader.Open();
        QCOMPARE(reader.FieldByName("notes").AsString(), std::string("a\r\nb\r\n"));

        // A number that does not read stops the post with a message; the record stays edited.
        amount->setValidator(nullptr);
        QTest::keyClicks(amount, "x");
        QVERIFY(!platform::runDataAction([&] { form.table->Post(); }));
        QCOMPARE(script->shownTexts(), QStringList{"'12.50x' is not a valid number"});
        QCOMPARE(form.table->State(), DataSetState::Edit);
        QCOMPARE(reader.FieldByName("amt").AsFloat(), 12.5);

        // An amount that does not fit N 12.2 is refused with a message instead of being stored
        // as asterisks (amounts_test.cpp has the rest).
        amount->selectAll();
        QTest::keyClicks(amount, "1234567890123");
        QCOMPARE(amount->text(), QString("1234567890123"));
        QVERIFY(!platform::runDataAction([&] { form.table->Post(); }));
        QVERIFY2(script->shownTexts().last().startsWith("\"AMT\" holds amounts up to "),
                 qPrintable(script->shownTexts().last()));
        form.table->Cancel();
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 12.5);
    }

    void updateDataHandlerCancelsALineWithoutItem() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        std::vector<std::string> seen;
        form.source->OnUpdateData = [&](DataSource& source) {
            seen.push_back(source.dataSet()->FieldByName("expense").AsString());
            blankItemRule(source);
        };
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        auto* amount = form.add<platform::DbEdit>("AmountEdit", "amt");

        // A new line with only an amount is discarded when left.
        form.table->Insert();
        QTest::keyClicks(amount, "55");
        form.table->First();
        QCOMPARE(storedExpenses(dir()), std::vector<std::string>{"Rent"});
        QCOMPARE(form.table->State(), DataSetState::Browse);

        // Clearing the item of a stored line and leaving it gives back all its stored values.
        item->selectAll();
        QTest::keyClick(item, Qt::Key_Delete);
        amount->selectAll();
        QTest::keyClicks(amount, "7");
        QCOMPARE(form.table->State(), DataSetState::Edit);
        form.table->Next();
        QCOMPARE(item->text(), QString("Rent"));
        QCOMPARE(amount->text(), QString("100.00"));
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 100.0);
        QVERIFY(!seen.empty());
        QCOMPARE(seen.front(), std::string());  // the controls stored before the event ran

        // A line with an item is written.
        form.table->Insert();
        QTest::keyClicks(item, "Water");
        form.table->Post();
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent", "Water"}));
    }

    void movesInsideAQuietScopeStillStoreTheControlsAndRunTheUpdateEvent() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent");
        int updates = 0;
        form.source->OnUpdateData = [&](DataSource& source) {
            ++updates;
            blankItemRule(source);
        };
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        form.table->Insert();
        QTest::keyClicks(item, "Water");
        {
            DataSource::QuietScope quiet(*form.source);
            form.table->First();
        }
        QCOMPARE(updates, 1);
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent", "Water"}));
    }

    void controlsWithoutTheirFieldShowNothingAndWriteNothing() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent");
        auto* missing = form.add<platform::DbEdit>("MissingEdit", "nosuch");
        auto* check = form.add<platform::DbCheckBox>("MissingCheck", "nosuch");
        auto* radio = form.add<platform::DbRadioGroup>("MissingRadio", "nosuch");
        radio->setItems({"One", "Two"});
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        QCOMPARE(missing->text(), QString());
        QVERIFY(missing->isReadOnly());
        QTest::keyClicks(missing, "abc");
        QTest::mouseClick(check, Qt::LeftButton);
        test_support::findChild<QRadioButton>(radio, "Choice1")->click();
        QCOMPARE(form.table->State(), DataSetState::Browse);
        QVERIFY(!check->isChecked());
        QCOMPARE(radio->itemIndex(), -1);

        // A closed table: every control is empty and takes no input.
        QCOMPARE(item->text(), QString("Rent"));
        form.table->Close();
        QCOMPARE(item->text(), QString());
        QTest::keyClicks(item, "abc");
        QCOMPARE(item->text(), QString());
        form.table->Open();
        QCOMPARE(item->text(), QString("Rent"));

        // The data source going first leaves the controls unbound, not dangling.
        delete form.source;
        QCOMPARE(item->dataSource(), nullptr);
        QTest::keyClicks(item, "x");
        QCOMPARE(form.table->State(), DataSetState::Browse);
        form.source = new DataSource(form.window.get());
    }

    void checkBoxesAndRadioGroupsStoreTheirValues() {
        Form form(dir());
        form.append("M", "", "one");
        form.table->First();
        auto* xbox = form.add<platform::DbCheckBox>("DbCheckBox3", "xflag");
        xbox->setValueChecked("X");
        xbox->setValueUnchecked(" ");
        auto* logical = form.add<platform::DbCheckBox>("DbCheckBox2", "flag");
        auto* custody = form.add<platform::DbRadioGroup>("DbRadioGroup2", "custody");
        custody->setItems({"Plaintiff", "Defendant", "Joint", "N/A"},
                          {"Husband", "Wife", "Joint", "N/A"});
        custody->setColumns(2);
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));
        QVERIFY(!xbox->isChecked());
        QVERIFY(!logical->isChecked());
        QCOMPARE(custody->itemIndex(), -1);

        QTest::mouseClick(xbox, Qt::LeftButton, {}, QPoint(6, xbox->height() / 2));
        QCOMPARE(form.table->State(), DataSetState::Edit);
        QCOMPARE(form.text("xflag"), std::string("X"));
        QTest::mouseClick(logical, Qt::LeftButton, {}, QPoint(6, logical->height() / 2));
        QCOMPARE(form.text("flag"), std::string("T"));
        test_support::findChild<QRadioButton>(custody, "Choice0")->click();
        QCOMPARE(form.text("custody"), std::string("Husband"));
        form.table->Post();
        QVERIFY(xbox->isChecked() && logical->isChecked());
        QCOMPARE(custody->itemIndex(), 0);

        QTest::mouseClick(xbox, Qt::LeftButton, {}, QPoint(6, xbox->height() / 2));
        QTest::mouseClick(logical, Qt::LeftButton, {}, QPoint(6, logical->height() / 2));
        form.table->Post();
        QCOMPARE(form.text("xflag"), std::string());  // one blank, read without trailing blanks
        QCOMPARE(form.text("flag"), std::string("F"));
        QVERIFY(!xbox->isChecked() && !logical->isChecked());

        // A stored value shows its caption; one outside the list shows no choice.
        form.table->Edit();
        form.table->FieldByName("custody").setAsString("Wife");
        QCOMPARE(custody->itemIndex(), 1);
        QVERIFY(test_support::findChild<QRadioButton>(custody, "Choice1")->isChecked());
        form.table->FieldByName("custody").setAsString("Other");
        QCOMPARE(custody->itemIndex(), -1);
        const auto choices = custody->findChildren<QRadioButton*>();
        QVERIFY(std::none_of(choices.begin(), choices.end(),
                             [](QRadioButton* b) { return b->isChecked(); }));
        form.table->Cancel();
        QCOMPARE(custody->itemIndex(), 0);
    }

    // A date whose required year digits are not all typed is never stored: leaving the box
    // brings the message and the focus back, a post is refused, Escape abandons the typing; an
    // empty box and a full date are stored.
    void incompleteMaskedDateIsRefused() {
        platform::ScopedScriptedDialogs script;
        const QChar separator = platform::systemDateSeparator();
        Form form(dir());
        form.append("M", "", "one");
        auto* date = form.add<platform::DbEdit>("DbEdit1", "dob");
        date->setEntryMask("99/99/0000;1;_");
        auto* other = form.add<platform::DbEdit>("ItemEdit", "expense");
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));
        const QString refused = "Invalid input value.  Use escape key to abandon changes";

        date->setFocus();
        date->setCursorPosition(0);
        QTest::keyClicks(date, "123120");  // the year's last two digits missing
        other->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(date->hasFocus());
        QCOMPARE(script->shownTexts(), QStringList({refused}));
        QCOMPARE(QString::fromStdString(form.text("dob")), QString());
        QVERIFY_THROWS_EXCEPTION(storage::EDbfError, form.table->Post());
        QCOMPARE(form.table->State(), DataSetState::Edit);
        QCOMPARE(script->shownTexts().size(), 1);

        QTest::keyClick(date, Qt::Key_Escape);  // back to the stored (empty) value
        QCOMPARE(date->displayText(), QString("__%1__%1____").arg(separator));
        other->setFocus(Qt::TabFocusReason);
        form.table->Post();
        QCOMPARE(QString::fromStdString(form.text("dob")), QString());

        date->setFocus();
        date->setCursorPosition(0);
        QTest::keyClicks(date, "12312004");
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(QString::fromStdString(form.text("dob")),
                 QString("12") + separator + "31" + separator + "2004");
        QCOMPARE(script->shownTexts().size(), 1);

        platform::EntryMask mask = *platform::EntryMask::parse("99/99/0000;1;_", '/');
        QVERIFY(mask.isComplete("__/__/____"));
        QVERIFY(mask.isComplete("__/__/2004"));  // the day and month digits are optional
        QVERIFY(mask.isComplete("1_/3_/2004"));
        QVERIFY(!mask.isComplete("12/31/200_"));
        QVERIFY(!mask.isComplete("12/31/____"));
    }

    void dateMaskStoresTheTextWithTheSystemSeparator() {
        const QChar separator = platform::systemDateSeparator();
        const QString expected = QString("12") + separator + "31" + separator + "2004";
        Form form(dir());
        form.append("M", "", "one");
        auto* date = form.add<platform::DbEdit>("DbEdit1", "dob");
        date->setEntryMask("99/99/0000;1;_");
        QCOMPARE(date->displayText(), QString("__%1__%1____").arg(separator));
        date->setCursorPosition(0);
        QTest::keyClicks(date, "12312004");
        form.table->Post();
        QCOMPARE(QString::fromStdString(form.text("dob")), expected);
        QCOMPARE(date->displayText(), expected);

        // Stored under another separator, a date shows the system's.
        auto mask = platform::EntryMask::parse("99/99/0000;1;_", '.');
        QVERIFY(mask);
        QCOMPARE(mask->inputMask(), QString("00.00.9999;_"));
        QCOMPARE(mask->editText("12/31/2004"), QString("12.31.2004"));
        QCOMPARE(mask->storedText("1_.3_.2004"), QString("1 .3 .2004"));
        QCOMPARE(mask->storedText("__.__.____"), QString());  // nothing typed stores nothing
        auto bare = platform::EntryMask::parse("99/99/0000;0;_", '/');
        QCOMPARE(bare->storedText("12/31/2004"), QString("12312004"));
        QCOMPARE(bare->editText("12312004"), QString("12/31/2004"));
        QVERIFY(!platform::EntryMask::parse(""));
    }

    void gridShowsTheFilteredRecordsAndMovingPosts() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 1);
        form.append("Other", "(a) Housing", "Not ours", 2);
        form.append("M", "(b) Utilities", "Water", 3);
        form.append("M", "(a) Housing", "Taxes", 4);
        QString category = "(a) Housing";
        form.table->SetFilterToCB(
            [&](void*) {
                return form.table->FieldByName("matter").AsString() == "M" &&
                       form.table->FieldByName("etype").AsString() == category.toStdString();
            },
            nullptr);
        auto* grid = form.add<platform::DbGrid>("DBGrid1", "");
        grid->setColumns({{"EXPENSE", "EXPENSE", 332, Qt::AlignLeft},
                          {"AMT", "AMT", 111, Qt::AlignRight},
                          {"INFO",
                           "INFO (Information in this column will not be included in the "
                           "totals)",
                           500, Qt::AlignLeft}});
        QAbstractItemModelTester tester(grid->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        form.window->resize(1000, 400);
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));

        auto* model = grid->gridModel();
        QTRY_COMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(0, 0).data().toString(), QString("Rent"));
        QCOMPARE(model->index(1, 0).data().toString(), QString("Taxes"));
        QCOMPARE(model->index(1, 1).data().toString(), QString("4.00"));
        QCOMPARE(model->index(0, 2).data().toString(), QString());  // no INFO field: empty
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("AMT"));
        QCOMPARE(
            model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);
        QCOMPARE(grid->horizontalHeader()->sectionSize(0), 332);
        QCOMPARE(grid->currentIndex().row(), 1);  // the filter left the table on its last line

        // Clicking a row moves the data set there.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(model->index(0, 1)).center());
        QCOMPARE(form.text("expense"), std::string("Rent"));

        // Editing a cell starts an edit; moving to another row posts it.
        grid->edit(model->index(0, 1));
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(model->index(0, 1)));
        QVERIFY(editor);
        QCOMPARE(form.table->State(), DataSetState::Edit);
        editor->selectAll();
        QTest::keyClicks(editor, "12.5");
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(form.table->State(), DataSetState::Browse);
        QCOMPARE(form.text("expense"), std::string("Taxes"));
        QCOMPARE(model->index(0, 1).data().toString(), QString("12.50"));
        form.table->First();
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 12.5);
        QTRY_COMPARE(grid->currentIndex().row(), 0);

        // Another filter from code: the grid reads the rows again.
        category = "(b) Utilities";
        form.table->SetFilterToCB(
            [&](void*) {
                return form.table->FieldByName("matter").AsString() == "M" &&
                       form.table->FieldByName("etype").AsString() == category.toStdString();
            },
            nullptr);
        QTRY_COMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QString("Water"));
        QCOMPARE(form.text("expense"), std::string("Water"));  // the walk came back

        // A form that puts the line into editing at once still gets its rows.
        form.table->Edit();
        category = "(a) Housing";
        form.table->SetFilterToCB(
            [&](void*) {
                return form.table->FieldByName("etype").AsString() == category.toStdString();
            },
            nullptr);
        form.table->Edit();
        QTRY_COMPARE(model->rowCount(), 3);
        QCOMPARE(form.table->State(), DataSetState::Edit);
        QCOMPARE(grid->currentIndex().row(), 2);
    }

    void gridInsertKeyAndCtrlDelete() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 1);
        form.append("M", "(a) Housing", "Taxes", 2);
        form.source->OnUpdateData = blankItemRule;
        form.table->AfterInsert = [](storage::TDbfPrimDataset& set) {
            set.FieldByName("matter").setAsString("M");
            set.FieldByName("etype").setAsString("(a) Housing");
        };
        auto* grid = form.add<platform::DbGrid>("DBGrid1", "");
        grid->setColumns(
            {{"EXPENSE", "EXPENSE", 200, Qt::AlignLeft}, {"AMT", "AMT", 80, Qt::AlignRight}});
        QAbstractItemModelTester tester(grid->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));
        auto* model = grid->gridModel();
        QTRY_COMPARE(model->rowCount(), 2);
        platform::ScopedScriptedDialogs script;

        // Insert starts a line; one with only an amount is discarded when left.
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(form.table->State(), DataSetState::Insert);
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(grid->currentIndex().row(), 2);
        QCOMPARE(form.text("etype"), std::string("(a) Housing"));  // AfterInsert ran
        grid->setCurrentIndex(model->index(2, 1));
        grid->edit(model->index(2, 1));
        QTest::keyClicks(grid->indexWidget(model->index(2, 1)), "9");
        QTest::keyClick(grid, Qt::Key_Up);
        QTRY_COMPARE(model->rowCount(), 2);
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent", "Taxes"}));

        // A line with an item is written when left, and stays in the grid.
        QTest::keyClick(grid, Qt::Key_Insert);
        grid->setCurrentIndex(model->index(2, 0));
        grid->edit(model->index(2, 0));
        QTest::keyClicks(grid->indexWidget(model->index(2, 0)), "Water");
        QTest::keyClick(grid->indexWidget(model->index(2, 0)), Qt::Key_Return);
        QTRY_VERIFY(!grid->indexWidget(model->index(2, 0)));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(model->index(0, 0)).center());
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Rent", "Taxes", "Water"}));
        QTRY_COMPARE(model->rowCount(), 3);
        QCOMPARE(model->index(2, 0).data().toString(), QString("Water"));
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(form.text("expense"), std::string("Rent"));

        // Ctrl+Delete asks; Cancel keeps the line, OK deletes it.
        script->answerCancel();
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(script->shownTexts(), QStringList{"Delete record?"});
        QCOMPARE(script->shown().front().kind, platform::ScriptedDialogs::Kind::OkCancel);
        QCOMPARE(storedExpenses(dir()).size(), size_t(3));
        script->answerOk();
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"Taxes", "Water"}));
        QTRY_COMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(0, 0).data().toString(), QString("Taxes"));
        QCOMPARE(grid->currentIndex().row(), 0);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(script->shown().size(), 2);  // Delete without Ctrl asks nothing
        QVERIFY(script->failures().isEmpty());
    }

    void navigatorMovesInsertsAndDeletesAfterAsking() {
        Form form(dir());
        form.append("M", "", "one");
        form.append("M", "", "two");
        form.table->First();
        form.source->OnUpdateData = blankItemRule;
        auto* navigator = new platform::DbNavigator(form.window.get());
        navigator->setDataSource(form.source);
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        auto button = [&](const char* name) {
            return test_support::findChild<QToolButton>(navigator, name);
        };
        QCOMPARE(button("PriorButton")->toolTip(), QString("Prior record"));
        QCOMPARE(button("NextButton")->toolTip(), QString("Next record"));
        QCOMPARE(button("InsertButton")->toolTip(), QString("Insert record"));
        QCOMPARE(button("DeleteButton")->toolTip(), QString("Delete record"));
        QCOMPARE(button("InsertButton")->text(), QString("+"));
        QCOMPARE(button("DeleteButton")->text(), QString("-"));
        platform::ScopedScriptedDialogs script;

        QTest::keyClicks(item, " edited");
        QTest::mouseClick(button("NextButton"), Qt::LeftButton);
        QCOMPARE(item->text(), QString("two"));
        QTest::mouseClick(button("PriorButton"), Qt::LeftButton);
        QCOMPARE(item->text(), QString("one edited"));  // the move posted the typed text

        QTest::mouseClick(button("InsertButton"), Qt::LeftButton);
        QCOMPARE(form.table->State(), DataSetState::Insert);
        QCOMPARE(item->text(), QString());
        QTest::mouseClick(button("PriorButton"), Qt::LeftButton);
        QCOMPARE(storedExpenses(dir()), (std::vector<std::string>{"one edited", "two"}));

        script->answerCancel();
        QTest::mouseClick(button("DeleteButton"), Qt::LeftButton);
        QCOMPARE(storedExpenses(dir()).size(), size_t(2));
        script->answerOk();
        QTest::mouseClick(button("DeleteButton"), Qt::LeftButton);
        QCOMPARE(script->shownTexts(), QStringList({"Delete record?", "Delete record?"}));
        QCOMPARE(storedExpenses(dir()), std::vector<std::string>{"two"});
        QCOMPARE(item->text(), QString("two"));

        script->answerOk();
        QTest::mouseClick(button("DeleteButton"), Qt::LeftButton);
        QVERIFY(form.table->IsEmpty());
        QVERIFY(!button("DeleteButton")->isEnabled());
        QVERIFY(button("InsertButton")->isEnabled());
        form.table->Close();
        QVERIFY(!button("InsertButton")->isEnabled());
        form.table->Open();
    }

    void listBoxTellsUserChoicesOnly() {
        platform::DbListBox list;
        list.setItems({"(a) Housing", "(b) Utilities", "(c) Food"});
        list.setHint("Categories");
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy chosen(&list, &platform::DbListBox::chosen);
        QSignalSpy doubled(&list, &platform::DbListBox::doubleClickedRow);
        list.selectRow(0);
        QCOMPARE(list.selectedText(), QString("(a) Housing"));
        QCOMPARE(chosen.count(), 0);
        const QPoint second = list.visualItemRect(list.item(1)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(chosen.count(), 2);  // a click on the selected entry counts too
        QCOMPARE(chosen.last().at(0).toInt(), 1);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(chosen.count(), 3);
        QCOMPARE(list.selectedText(), QString("(c) Food"));
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(doubled.count(), 1);
        QCOMPARE(list.hint(), QString("Categories"));
    }
};

QTEST_MAIN(DataControlsTest)
#include "data_controls_test.moc"
