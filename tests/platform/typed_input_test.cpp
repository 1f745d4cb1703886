// What the data-aware controls tell the user about what happens to typed input: fields another
// workstation changed or deleted meanwhile (the question and the message, with the fields'
// captions), characters the tables cannot hold, and amounts that do not fit their field.

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "data_form.h"
#include "platform/data_source.h"
#include "platform/db_edit.h"
#include "platform/db_grid.h"
#include "platform/db_memo.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using platform::DataSource;
using storage::DataSetState;
using storage::TDbfTable;
using test_platform::Form;

namespace {

// A label naming `control`, as the forms give their boxes.
void label(Form& form, QWidget* control, const QString& text) {
    auto* caption = new QLabel(text, form.window.get());
    caption->setBuddy(control);
    form.window->layout()->addWidget(caption);
}

// Another workstation's component on the same file.
std::unique_ptr<TDbfTable> otherWorkstation(const QString& directory) {
    auto other = std::make_unique<TDbfTable>("T_Other");
    other->DbfFields = test_platform::kFields;
    other->HideDeletedRecs = true;
    other->setDbfFileName((directory + "/Expenses.dbf").toStdString());
    other->Open();
    return other;
}

// Types `text` as a keyboard of its language would: one key event per character, whatever the
// character (QTest::keyClicks knows Latin-1 keys only).
void typeText(QWidget* widget, const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &release);
    }
}

// Opens the editor of a grid cell, once the rows that a change of the table asked for are read
// (reading them closes an open editor).
QLineEdit* openEditor(platform::DbGrid* grid, const QModelIndex& index) {
    grid->gridModel()->reloadIfWanted();
    grid->setFocus();
    grid->setCurrentIndex(index);
    grid->edit(index);
    return qobject_cast<QLineEdit*>(grid->indexWidget(index));
}

QString largestAmount() { return QLocale::system().toString(999999999.99, 'f', 2); }

}  // namespace

class TypedInputTest : public test_platform::DirectoryTest {
    Q_OBJECT

  private slots:
    void fieldsBothChangedAreAskedAboutByTheirCaptions() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        auto* notes = form.add<platform::DbMemo>("NotesMemo", "notes");
        auto* category = form.add<platform::DbEdit>("CategoryEdit", "etype");
        label(form, item, "&Item:");
        label(form, notes, "Notes");
        form.source->setFieldCaption("amt", "Amount");
        platform::ScopedScriptedDialogs script;

        for (const bool replace : {true, false}) {
            const QString round = replace ? "1" : "2";
            form.table->First();
            auto other = otherWorkstation(dir());
            other->Edit();
            other->FieldByName("expense").setAsString(("Lease " + round).toStdString());
            other->FieldByName("notes").setAsString(("their notes " + round).toStdString());
            other->FieldByName("amt").setAsFloat(replace ? 5 : 6);
            other->FieldByName("etype").setAsString(("Utilities " + round).toStdString());
            item->selectAll();
            QTest::keyClicks(item, "Mortgage " + round);
            notes->selectAll();
            QTest::keyClicks(notes, "my notes " + round);
            form.table->FieldByName("amt").setAsFloat(replace ? 7 : 8);
            other->Post();
            replace ? script->answerYes() : script->answerNo();
            QVERIFY(platform::runDataAction([&] { form.table->Post(); }));
            QCOMPARE(script->shownTexts().last(),
                     DataSource::conflictQuestion({"Item", "Amount", "Notes"}));
            QCOMPARE(form.table->State(), DataSetState::Browse);
            // The controls show the record as stored; the category, changed there only, too.
            QCOMPARE(item->text(), (replace ? "Mortgage " : "Lease ") + round);
            QCOMPARE(notes->toPlainText(), (replace ? "my notes " : "their notes ") + round);
            QCOMPARE(category->text(), "Utilities " + round);
            other->First();
            QCOMPARE(other->FieldByName("amt").AsFloat(), replace ? 7.0 : 6.0);
        }
        QVERIFY(script->failures().isEmpty());
    }

    void aFieldWithoutCaptionIsNamedByTheFieldAndAGridColumnByItsTitle() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        auto* grid = form.add<platform::DbGrid>("DBGrid1", "");
        grid->setColumns({{"EXPENSE", "Item of expense", 200, Qt::AlignLeft}});
        form.table->First();
        QCOMPARE(form.source->fieldCaption(form.table->FieldByName("expense").Index()),
                 QString("Item of expense"));
        QCOMPARE(form.source->fieldCaption(-1), QString());
        QCOMPARE(form.source->fieldCaption(form.table->FieldByName("etype").Index()),
                 QString("ETYPE"));
    }

    void aRecordDeletedElsewhereIsToldAndStaysDeleted() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        platform::ScopedScriptedDialogs script;
        form.table->First();
        QTest::keyClicks(item, " paid");
        auto other = otherWorkstation(dir());
        other->Delete();
        QVERIFY(platform::runDataAction([&] { form.table->Post(); }));
        QCOMPARE(script->shownTexts(), QStringList{DataSource::deletedElsewhereMessage()});
        QCOMPARE(form.table->State(), DataSetState::Browse);
        QCOMPARE(item->text(), QString("Rent"));
        QCOMPARE(form.table->RecordCount(), 0u);
    }

    void everyTextControlShowsAtOnceWhatTheTablesWillHold() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        auto* item = form.add<platform::DbEdit>("ItemEdit", "expense");
        auto* notes = form.add<platform::DbMemo>("NotesMemo", "notes");
        auto* grid = form.add<platform::DbGrid>("DBGrid1", "");
        grid->setColumns({{"ETYPE", "Category", 200, Qt::AlignLeft}});
        form.window->resize(600, 400);
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));
        form.table->First();

        // One-line box: the "?" in place as each character is typed, the cursor after it.
        item->selectAll();
        typeText(item, QString::fromUtf8("Łód"));
        QCOMPARE(item->text(), QString::fromUtf8("?ód"));
        QCOMPARE(form.statusBar->currentMessage(),
                 QString::fromUtf8("\"Ł\" cannot be stored in the tables and is saved as \"?\"."));
        typeText(item, QString::fromUtf8("ź rent"));
        QCOMPARE(item->text(), QString::fromUtf8("?ód? rent"));
        QCOMPARE(item->cursorPosition(), 9);
        // Several at once, as an input method or a paste gives them, in the middle of the text.
        item->setCursorPosition(4);
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8(" Łę"));
        QApplication::sendEvent(item, &composed);
        QCOMPARE(item->text(), QString::fromUtf8("?ód? ?? rent"));
        QCOMPARE(item->cursorPosition(), 7);
        QCOMPARE(form.statusBar->currentMessage(),
                 QString::fromUtf8("\"Ł\", \"ę\" cannot be stored in the tables and are saved as "
                                   "\"?\"."));
        // Memo: the same, and the same after the record is written.
        notes->setFocus();
        typeText(notes, QString::fromUtf8("Café € 5"));
        QCOMPARE(notes->toPlainText(), QString::fromUtf8("Café ? 5"));
        QCOMPARE(form.statusBar->currentMessage(),
                 QString::fromUtf8("\"€\" cannot be stored in the tables and is saved as \"?\"."));
        form.table->Post();
        QCOMPARE(notes->toPlainText(), QString::fromUtf8("Café ? 5"));
        QCOMPARE(form.text("notes"), std::string("Caf\xC3\xA9 ? 5"));
        QCOMPARE(form.text("expense"), std::string("?\xC3\xB3"
                                                   "d? ?? rent"));

        // Grid cell.
        auto* model = grid->gridModel();
        QTRY_COMPARE(model->rowCount(), 1);
        auto* editor = openEditor(grid, model->index(0, 0));
        QVERIFY(editor);
        editor->selectAll();
        typeText(editor, QString::fromUtf8("Ωmega"));
        QCOMPARE(editor->text(), QString::fromUtf8("Ωmega"));  // Ω is in code page 437
        typeText(editor, QString::fromUtf8("→"));
        QCOMPARE(editor->text(), QString::fromUtf8("Ωmega?"));
        QCOMPARE(form.statusBar->currentMessage(),
                 QString::fromUtf8("\"→\" cannot be stored in the tables and is saved as \"?\"."));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(model->index(0, 0).data().toString(), QString::fromUtf8("Ωmega?"));
    }

    void anAmountThatDoesNotFitIsRefusedByNameAndKeptForCorrection() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        auto* amount = form.add<platform::DbEdit>("AmountEdit", "amt");
        label(form, amount, "Amount:");
        platform::ScopedScriptedDialogs script;
        form.table->First();
        const QString tooMany = QString(
            "\"Amount\" holds amounts up to %1, with at most 2 decimals; %2 does not fit. "
            "Please correct it.");

        // Too many digits: none is cut, the post stops with the message, the text stays.
        amount->selectAll();
        QTest::keyClicks(amount, "12345678901");
        QCOMPARE(amount->text(), QString("12345678901"));
        QVERIFY(!platform::runDataAction([&] { form.table->Post(); }));
        QCOMPARE(script->shownTexts(), QStringList{tooMany.arg(largestAmount(), "12345678901")});
        QCOMPARE(amount->text(), QString("12345678901"));
        QCOMPARE(form.table->State(), DataSetState::Edit);
        // Too many decimals, and a negative number one digit too long for the sign.
        for (const QString typed : {"12.345", "-999999999"}) {
            amount->selectAll();
            QTest::keyClicks(amount, typed);
            QVERIFY(!platform::runDataAction([&] { form.table->Post(); }));
            QCOMPARE(script->shownTexts().last(), tooMany.arg(largestAmount(), typed));
        }
        // What does fit: the largest value, trailing zeros, a negative amount.
        for (const auto& [typed, stored] :
             {std::pair{"999999999.99", 999999999.99}, std::pair{"12.50000", 12.5},
              std::pair{"-99999999.99", -99999999.99}}) {
            form.table->Edit();
            amount->selectAll();
            QTest::keyClicks(amount, typed);
            QVERIFY2(platform::runDataAction([&] { form.table->Post(); }), typed);
            QCOMPARE(form.table->FieldByName("amt").AsFloat(), stored);
        }
        QCOMPARE(script->shownTexts().size(), 3);
    }

    void aGridCellKeepsARefusedAmountAndEveryMoveStopsThere() {
        Form form(dir());
        form.append("M", "(a) Housing", "Rent", 100);
        form.append("M", "(a) Housing", "Taxes", 200);
        auto* grid = form.add<platform::DbGrid>("DBGrid1", "");
        grid->setColumns(
            {{"EXPENSE", "Item", 200, Qt::AlignLeft}, {"AMT", "Amount", 100, Qt::AlignRight}});
        form.window->resize(600, 400);
        form.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.window.get()));
        platform::ScopedScriptedDialogs script;
        auto* model = grid->gridModel();
        QTRY_COMPARE(model->rowCount(), 2);
        form.table->First();
        QTRY_COMPARE(grid->currentIndex().row(), 0);

        auto* editor = openEditor(grid, model->index(0, 1));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "1234567890123");
        QCOMPARE(editor->text(), QString("1234567890123"));
        QTest::keyClick(editor, Qt::Key_Return);  // committed once the key is handled
        const QString message = QString(
                                    "\"Amount\" holds amounts up to %1, with at most 2 "
                                    "decimals; 1234567890123 does not fit. Please correct it.")
                                    .arg(largestAmount());
        QTRY_COMPARE(script->shownTexts(), QStringList{message});
        QCOMPARE(model->index(0, 1).data().toString(), QString("1234567890123"));
        // Leaving the row stops with the same message, and nothing is blanked.
        QVERIFY(!model->moveToRow(1));
        QCOMPARE(script->shownTexts().size(), 2);
        QCOMPARE(script->shownTexts().last(), message);
        QCOMPARE(form.table->RecNo(), 1u);
        QCOMPARE(model->index(0, 1).data().toString(), QString("1234567890123"));
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 100.0);

        // Corrected, the row is left and the amount written.
        editor = openEditor(grid, model->index(0, 1));
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("1234567890123"));
        editor->selectAll();
        QTest::keyClicks(editor, "123456.7");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->indexWidget(model->index(0, 1)));
        QVERIFY(model->moveToRow(1));
        QCOMPARE(script->shownTexts().size(), 2);
        form.table->First();
        QCOMPARE(form.table->FieldByName("amt").AsFloat(), 123456.7);
    }
};

QTEST_MAIN(TypedInputTest)
#include "typed_input_test.moc"
