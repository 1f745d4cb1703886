// The answer marks on the schedule forms and the Statement Options form, driven through their
// widgets on real table files: every item of the statement has its choice on its form, a mark
// set is stored in the matter's one record of Marks.dbf beside the marks others stored there,
// shown again on the next visit and cleared, and the oath choice keeps the jurat until another
// is chosen.

#include "schedules/answer_marks.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "../support/find_child.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "family_fixture.h"
#include "platform/db_combo_box.h"
#include "platform/db_list_box.h"
#include "platform/scripted_dialogs.h"
#include "storage/dbf_table.h"

class AnswerMarksTest : public FormsTest {
    Q_OBJECT

    platform::DbComboBox* choice(const QString& name,
                                 std::source_location where = std::source_location::current()) {
        return test_support::findChild<platform::DbComboBox>(form_.get(), name, where);
    }
    // Picks `text` with the keyboard, as a user would.
    void choose(const QString& name, const QString& text) {
        platform::DbComboBox* box = choice(name);
        const int target = box->findText(text);
        QVERIFY2(target >= 0, qPrintable(text));
        box->setFocus();
        while (box->currentIndex() < target) QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > target) QTest::keyClick(box, Qt::Key_Up);
    }
    // The matter's stored marks: fields that hold a value, by name.
    QList<Record> marks() { return fx_->read("T_Marks"); }

  private slots:
    // Each item of the statement has its choice on the form the list names (the expense
    // categories share the one under the category list), with the three marks and no mark.
    void everyItemHasItsChoiceOnItsForm() {
        int found = 0;
        for (const schedules::ScheduleFormEntry& entry : schedules::scheduleForms()) {
            QVERIFY2(open(entry), entry.objectName);
            for (const catalog::StatementItem* item : schedules::formItems(entry.objectName)) {
                const QString name = item->category ? QStringLiteral("CategoryMark")
                                                    : schedules::markChoiceName(*item);
                platform::DbComboBox* box = choice(name);
                QCOMPARE(box->count(), 4);
                QCOMPARE(box->itemText(0), QStringLiteral("(no mark)"));
                QCOMPARE(box->itemText(1), QStringLiteral("NONE"));
                QCOMPARE(box->itemText(2), QStringLiteral("INAPPLICABLE"));
                QCOMPARE(box->itemText(3), QStringLiteral("UNKNOWN"));
                QCOMPARE(box->currentValue(), QString());
                QVERIFY(box->isEnabled());
                ++found;
            }
            close();
        }
        QCOMPARE(found, 76);
        // Opening and closing every form without a mark writes no marks record.
        QCOMPARE(marks().size(), 0);
    }

    void aMarkIsStoredShownAgainAndCleared() {
        QVERIFY(open("F_Assets"));
        // A category with a group box has its choice in the box's title row; the categories
        // without a box are listed in a box of their own.
        QCOMPARE(choice("Mark_a_a")->parentWidget()->objectName(), QStringLiteral("GroupBox1"));
        QCOMPARE(choice("Mark_a_d")->parentWidget()->objectName(), QStringLiteral("OtherMarks"));
        choose("Mark_a_a", "NONE");
        choose("Mark_a_d", "INAPPLICABLE");
        close();
        QList<Record> stored = marks();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["matter"], fx_->matter);
        QCOMPARE(stored[0]["a_a"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["a_d"], QStringLiteral("INAPPLICABLE"));
        QCOMPARE(stored[0]["a_b"], QString());

        // Another form's marks go to the same record.
        QVERIFY(open("F_Liabilities"));
        choose("Mark_l_h", "UNKNOWN");
        close();
        QVERIFY(open("F_Assets"));
        QCOMPARE(choice("Mark_a_a")->currentText(), QStringLiteral("NONE"));
        QCOMPARE(choice("Mark_a_d")->currentText(), QStringLiteral("INAPPLICABLE"));
        choose("Mark_a_a", QStringLiteral("(no mark)"));
        close();
        stored = marks();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["a_a"], QString());
        QCOMPARE(stored[0]["a_d"], QStringLiteral("INAPPLICABLE"));
        QCOMPARE(stored[0]["l_h"], QStringLiteral("UNKNOWN"));
    }

    // Another workstation marks items of the matter while this one has the Assets form open:
    // closing the form writes the marks chosen on it and keeps the other workstation's, also
    // where the form still shows the old value of a mark the other changed.
    void aFormKeepsTheMarksAnotherWorkstationStoredMeanwhile() {
        fx_->write("T_Marks", {{{"matter", fx_->matter}, {"a_b", "NONE"}, {"e_d", "NONE"}}});
        QVERIFY(open("F_Assets"));
        QCOMPARE(choice("Mark_a_b")->currentText(), QStringLiteral("NONE"));
        {
            storage::TDbfTable other("T_Marks");
            catalog::applyDefinition(other, catalog::marksTable(),
                                     fx_->dataDirectory().toStdString());
            other.Open();
            QVERIFY(other.Locate("matter", {fx_->matter.toStdString()}, 0));
            other.Edit();
            other.FieldByName("a_b").setAsString("UNKNOWN");
            other.FieldByName("e_d").setAsString("INAPPLICABLE");
            other.FieldByName("l_h").setAsString("NONE");
            other.Post();
            other.Close();
        }
        choose("Mark_a_a", "NONE");
        close();
        const QList<Record> stored = marks();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["a_a"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["a_b"], QStringLiteral("UNKNOWN"));
        QCOMPARE(stored[0]["e_d"], QStringLiteral("INAPPLICABLE"));
        QCOMPARE(stored[0]["l_h"], QStringLiteral("NONE"));
    }

    // Each matter has a record of its own; a record of another matter is neither shown nor
    // changed.
    void marksBelongToTheirMatter() {
        fx_->write("T_Marks", {{{"matter", "Jones v. Jones"}, {"f_pocc", "UNKNOWN"}}});
        QVERIFY(open("F_Family"));
        QCOMPARE(choice("Mark_f_pocc")->currentValue(), QString());
        choose("Mark_f_pocc", "NONE");
        choose("Mark_f_custody", "INAPPLICABLE");
        // Items the form keeps no answer for keep only their marks, in a box of their own.
        auto* others = test_support::findChild<QGroupBox>(form_.get(), "OtherMarks");
        QStringList labels;
        for (QLabel* label : others->findChildren<QLabel*>()) {
            if (label->buddy()) labels << label->text();
        }
        QCOMPARE(labels, QStringList({"Separated or divorced", "Marital residence occupied by",
                                      "Support paid or received between the parties"}));
        choose("Mark_f_support", "INAPPLICABLE");
        close();
        const QList<Record> stored = marks();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0]["matter"], QStringLiteral("Jones v. Jones"));
        QCOMPARE(stored[0]["f_pocc"], QStringLiteral("UNKNOWN"));
        QCOMPARE(stored[1]["matter"], fx_->matter);
        QCOMPARE(stored[1]["f_pocc"], QStringLiteral("NONE"));
        QCOMPARE(stored[1]["f_custody"], QStringLiteral("INAPPLICABLE"));
        QCOMPARE(stored[1]["f_support"], QStringLiteral("INAPPLICABLE"));
    }

    // The choice under the category list follows the category shown, and the list shows each
    // category's mark.
    void theExpenseCategoryMarkFollowsTheCategory() {
        QVERIFY(open("F_Expenses"));
        auto* list = test_support::findChild<platform::DbListBox>(form_.get(), "ListBox1");
        QCOMPARE(choice("CategoryMark")->dataField(), QStringLiteral("e_a"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(2)).center());
        QCOMPARE(choice("CategoryMark")->dataField(), QStringLiteral("e_c"));
        choose("CategoryMark", "NONE");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(13)).center());
        QCOMPARE(choice("CategoryMark")->dataField(), QStringLiteral("e_n"));
        QCOMPARE(choice("CategoryMark")->currentValue(), QString());
        choose("CategoryMark", "INAPPLICABLE");
        close();
        const QList<Record> stored = marks();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["e_c"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["e_n"], QStringLiteral("INAPPLICABLE"));
        QCOMPARE(stored[0]["e_a"], QString());
        // The standard lines were seeded as ever; the marks changed nothing of them.
        QCOMPARE(fx_->read("T_Expenses").size(), 99);
    }

    void incomeAndSummaryMarks() {
        QVERIFY(open("F_Income"));
        choose("Mark_i_food", "NONE");
        choose("Mark_i_gross", "UNKNOWN");
        close();
        QVERIFY(open("F_Summary"));
        choose("Mark_x_transfer", "NONE");
        choose("Mark_v_fees", "NONE");
        choose("Mark_o_other", "INAPPLICABLE");
        close();
        const QList<Record> stored = marks();
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["i_food"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["i_gross"], QStringLiteral("UNKNOWN"));
        QCOMPARE(stored[0]["x_transfer"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["v_fees"], QStringLiteral("NONE"));
        QCOMPARE(stored[0]["o_other"], QStringLiteral("INAPPLICABLE"));
        // The Income record keeps what the form always stores, nothing of the marks.
        QCOMPARE(fx_->read("T_Income")[0]["trust"], QString());
    }

    // Until a choice is made the statement keeps the jurat, which stores nothing; the
    // affirmation is stored, and choosing the jurat again clears it.
    void theOathChoiceKeepsTheJuratUntilAnotherIsChosen() {
        QVERIFY(open(schedules::statementOptionsForm()));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Statement Options"));
        auto button = [this](int i, std::source_location where = std::source_location::current()) {
            return test_support::findChild<QAbstractButton>(
                form_.get(), QStringLiteral("Choice%1").arg(i), where);
        };
        QVERIFY(button(0)->isChecked());
        QVERIFY(button(0)->text().contains(QLatin1String("notary")));
        QVERIFY(button(1)->text().contains(QLatin1String("CPLR 2106")));
        close();
        QCOMPARE(marks().size(), 0);

        QVERIFY(open(schedules::statementOptionsForm()));
        button(1)->click();
        close();
        QCOMPARE(marks().size(), 1);
        QCOMPARE(marks()[0]["oath"], QStringLiteral("affirmation"));

        QVERIFY(open(schedules::statementOptionsForm()));
        QVERIFY(button(1)->isChecked());
        button(0)->click();
        close();
        QCOMPARE(marks().size(), 1);
        QCOMPARE(marks()[0]["oath"], QString());
    }
};

QTEST_MAIN(AnswerMarksTest)
#include "answer_marks_test.moc"
