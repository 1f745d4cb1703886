// The Family, Expenses and Gross Income forms over a data directory of their own: what the user
// types reaches the right field, first and later visits, the seeding of the standard expense
// lines and the rules for a line without an item.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include "../support/find_child.h"
#include "family_fixture.h"
#include "platform/db_edit.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "platform/db_radio_group.h"
#include "platform/entry_mask.h"
#include "platform/scripted_dialogs.h"
#include "schedules/expenses_form.h"

using storage::DataSetState;

class FamilyFormsTest : public FormsTest {
    Q_OBJECT

    template <typename T = QWidget>
    T* child(const char* name, std::source_location where = std::source_location::current()) {
        return test_support::findChild<T>(form_.get(), name, where);
    }
    // The names of `count` controls in tab order from `first`: the data controls, the radio
    // buttons and the close button; the widgets between them are passed over.
    QStringList tabOrder(const char* first, int count) {
        QStringList order;
        QWidget* widget = child(first);
        for (int i = 0; i < count; ++i, widget = widget->nextInFocusChain()) {
            while (!(widget->focusPolicy() & Qt::TabFocus) ||
                   (!widget->objectName().startsWith(QLatin1String("Db")) &&
                    !widget->objectName().startsWith(QLatin1String("Choice")) &&
                    widget->objectName() != QLatin1String("BitBtn1"))) {
                widget = widget->nextInFocusChain();
            }
            order << widget->objectName();
        }
        return order;
    }
    // The label whose buddy is `control`.
    QString captionOf(QWidget* control) {
        for (QLabel* label : form_->findChildren<QLabel*>()) {
            if (label->buddy() == control) return label->text();
        }
        return QString();
    }
    void typeInto(QWidget* control, const QString& text) {
        control->setFocus();
        QTest::keyClicks(control, text);
    }

    // Expenses.
    platform::DbGrid* grid() { return child<platform::DbGrid>("DBGrid1"); }
    storage::TDbfTable& expenses() {
        return static_cast<schedules::TF_Expenses*>(form_.get())->T_Expenses();
    }
    QStringList gridColumn(int column) {
        QStringList texts;
        auto* model = grid()->gridModel();
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, column).data().toString();
        }
        return texts;
    }
    void chooseCategory(int row) {
        auto* list = child<platform::DbListBox>("ListBox1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void typeCell(int row, int column, const QString& text) {
        const QModelIndex index = grid()->gridModel()->index(row, column);
        grid()->setFocus();
        grid()->setCurrentIndex(index);
        grid()->edit(index);
        QLineEdit* editor = nullptr;
        QTRY_VERIFY((editor = grid()->findChild<QLineEdit*>()) && editor->isVisible());
        editor->selectAll();
        if (text.isEmpty()) QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QStringList recordsOf(const QString& etype, const char* field) {
        QStringList values;
        for (const Record& record : fx_->read("T_Expenses")) {
            if (record["etype"] == etype) values << record[field];
        }
        return values;
    }

  private slots:
    // ---- Family ----------------------------------------------------------------------------

    void familyFirstVisitStoresTheMatterAndTheSecondEditsIt() {
        fx_->write("T_Family", {{{"matter", "Jones"}, {"husbocc", "Baker"}}});
        QVERIFY(open("F_Family"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Family Data"));
        close();
        QList<Record> stored = fx_->read("T_Family");
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1]["matter"], QStringLiteral("Smith v. Smith"));
        QCOMPARE(stored[1]["husbocc"], QString());
        QCOMPARE(stored[1]["custody"], QString());

        QVERIFY(open("F_Family"));
        typeInto(child("DbEdit11"), QStringLiteral("Teacher"));
        // Escape takes back the typing; a second one leaves the form open.
        QTest::keyClick(child("DbEdit11"), Qt::Key_Escape);
        QTest::keyClick(child("DbEdit11"), Qt::Key_Escape);
        QVERIFY(form_->isVisible());
        typeInto(child("DbEdit11"), QStringLiteral("Teacher"));
        close();
        stored = fx_->read("T_Family");
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0]["husbocc"], QStringLiteral("Baker"));  // in the order of `matter`
        QCOMPARE(stored[1]["wifeocc"], QStringLiteral("Teacher"));
    }

    void familyCustodyAndPriorMarriageFlags() {
        fx_->write("T_Family", {{{"matter", "Smith v. Smith"}, {"custody", "Wife"}},
                                {{"matter", "Jones"}, {"custody", "Sole"}}});
        QVERIFY(open("F_Family"));
        auto* custody = child<platform::DbRadioGroup>("DbRadioGroup2");
        QCOMPARE(custody->title(), QStringLiteral("Custody of children of prior marriage"));
        QCOMPARE(custody->itemIndex(), 1);
        QCOMPARE(test_support::findChild<QRadioButton>(custody, "Choice1")->text(),
                 QStringLiteral("Defendant"));
        test_support::findChild<QRadioButton>(custody, "Choice0")->click();  // "Plaintiff"
        child<QCheckBox>("DbCheckBox2")->click();
        close();
        // The reader goes in the order of the matter index: Jones, then Smith v. Smith.
        Record stored = fx_->read("T_Family")[1];
        QCOMPARE(stored["custody"], QStringLiteral("Husband"));
        QCOMPARE(stored["childpri2"], QStringLiteral("T"));
        QCOMPARE(stored["childpri1"], QString());

        fx_->matter = QStringLiteral("Jones");
        QVERIFY(open("F_Family"));
        QCOMPARE(child<platform::DbRadioGroup>("DbRadioGroup2")->itemIndex(), -1);
        child<QCheckBox>("DbCheckBox1")->click();
        child<QCheckBox>("DbCheckBox1")->click();
        close();
        QCOMPARE(fx_->read("T_Family")[0]["custody"], QStringLiteral("Sole"));
        QCOMPARE(fx_->read("T_Family")[0]["childpri1"], QStringLiteral("F"));
    }

    void familyDatesCaptionsAndTabOrder() {
        QVERIFY(open("F_Family"));
        QCOMPARE(captionOf(child("DbEdit1")), QStringLiteral("Plantiff's Date of Birth"));
        QCOMPARE(captionOf(child("DbEdit2")), QStringLiteral("Defendants Date of Birth"));
        QCOMPARE(captionOf(child("DbEdit3")), QStringLiteral("Date married::"));
        QCOMPARE(captionOf(child("DbMemo4")), QStringLiteral("Defendant's present address"));
        child<QLineEdit>("DbEdit1")->setCursorPosition(0);
        typeInto(child("DbEdit1"), QStringLiteral("03152010"));
        child<QLineEdit>("DbEdit3")->setCursorPosition(0);
        typeInto(child("DbEdit3"), QStringLiteral("0612"));  // the year is still missing

        QCOMPARE(tabOrder("DbEdit1", 15),
                 QStringList({"DbEdit1", "DbEdit2", "DbEdit3", "DbMemo1", "DbCheckBox1",
                              "DbCheckBox2", "DbMemo3", "DbMemo4", "DbEdit10", "DbEdit11",
                              "Choice0", "Choice1", "Choice2", "Choice3", "BitBtn1"}));
        // A date without its four year digits is refused: leaving the box brings the message
        // and the focus back, and closing the form does not happen.
        const QString refused = "Invalid input value.  Use escape key to abandon changes";
        child("DbEdit10")->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(child("DbEdit3")->hasFocus());
        QCOMPARE((*script_)->shownTexts(), QStringList({refused}));
        QVERIFY(!form_->close());
        QVERIFY(form_->isVisible());
        QCOMPARE((*script_)->shownTexts(), QStringList({refused, refused}));
        child<QLineEdit>("DbEdit3")->setCursorPosition(6);
        QTest::keyClicks(child("DbEdit3"), QStringLiteral("1995"));
        close();
        const QChar sep = platform::systemDateSeparator();
        const Record stored = fx_->read("T_Family")[0];
        QCOMPARE(stored["husbage"], QStringLiteral("03") + sep + "15" + sep + "2010");
        QCOMPARE(stored["husbage"].size(), 10);
        QCOMPARE(stored["datemarrie"], QStringLiteral("06") + sep + "12" + sep + "1995");
        QCOMPARE(stored["wifeage"], QString());  // an empty date box stays allowed
    }

    // ---- Expenses --------------------------------------------------------------------------

    void expensesFirstVisitSeedsTheStandardLines();
    void expensesLaterVisitsDoNotSeedAgain();
    void expensesOpenOnTheLineTheFilterLeaves();

    void expensesNewLineUnderRecreational() {
        QVERIFY(open("F_Expenses"));
        chooseCategory(10);
        QTRY_COMPARE(gridColumn(0).size(), 9);
        QTest::keyClick(grid(), Qt::Key_Insert);
        QCOMPARE(expenses().State(), DataSetState::Insert);
        const QString item = QStringLiteral(
            "Ski lessons for the children (weekly), season pass at Hunter Mtn.");  // 65 characters

        QCOMPARE(item.size(), 65);
        typeCell(9, 0, item);
        typeCell(9, 1, QStringLiteral("310.5"));
        close();
        QCOMPARE(recordsOf("(k) Recreational", "expense").last(), item);
        QCOMPARE(recordsOf("(k) Recreational", "amt").last(), QStringLiteral("310.5"));
        QCOMPARE(recordsOf("(k) Recreational", "setype").last(), QStringLiteral(" Recreational"));
        QCOMPARE(recordsOf("(k) Recreational", "matter").last(), QStringLiteral("Smith v. Smith"));
    }

    void expensesAmountOnlyNewLineAsksBeforeItIsDropped() {
        QVERIFY(open("F_Expenses"));
        QTest::keyClick(grid(), Qt::Key_Insert);
        typeCell(6, 1, QStringLiteral("75"));

        (*script_)->answerNo();
        chooseCategory(2);
        QCOMPARE((*script_)->shownTexts(platform::ScriptedDialogs::Kind::YesNo),
                 QStringList("(a) Housing:\n\"EXPENSE\" is empty, so this record will not be "
                             "saved.\n\nDiscard the record?"));
        QCOMPARE(expenses().State(), DataSetState::Insert);
        QCOMPARE(child<platform::DbListBox>("ListBox1")->selectedText(),
                 QStringLiteral("(a) Housing"));
        QTRY_COMPARE(grid()->currentIndex().column(), 0);
        QTRY_VERIFY(grid()->hasFocus());

        (*script_)->answerNo();
        QVERIFY(!form_->close());  // closing stops too
        QCOMPARE(expenses().State(), DataSetState::Insert);

        (*script_)->answerYes();
        chooseCategory(2);
        QTRY_COMPARE(gridColumn(0), QStringList({"Groceries", "Dining Out/Take Out", "Other"}));
        close();
        QCOMPARE(fx_->read("T_Expenses").size(), 99);
    }

    void expensesClearedItemAndEmptyNewLine() {
        QVERIFY(open("F_Expenses"));
        typeCell(1, 1, QStringLiteral("2150"));  // Mortgage
        typeCell(1, 0, QString());
        grid()->setCurrentIndex(grid()->gridModel()->index(3, 0));  // leave the line
        // Unanswered: No, the line stays.
        QCOMPARE((*script_)->shownTexts(),
                 QStringList("(a) Housing:\n\"EXPENSE\" is empty, so the changes to this record "
                             "will not be saved.\n\nDiscard the changes?"));
        QCOMPARE(expenses().State(), DataSetState::Edit);
        (*script_)->answerYes();
        chooseCategory(1);
        chooseCategory(0);
        QTRY_COMPARE(gridColumn(0).value(1), QStringLiteral("Mortgage/Co-op Loan"));
        QCOMPARE(gridColumn(1).value(1), QString());

        // A new line left empty goes without a word.
        (*script_)->clear();
        QTest::keyClick(grid(), Qt::Key_Insert);
        chooseCategory(4);
        QTRY_COMPARE(gridColumn(0).size(), 12);
        close();
        QVERIFY((*script_)->shownTexts().isEmpty());
        QCOMPARE(recordsOf("(a) Housing", "expense").size(), 6);
        QCOMPARE(recordsOf("(a) Housing", "amt").value(1), QString());
    }

    void expensesReclickingTheShownCategoryKeepsTheTypedAmount() {
        QVERIFY(open("F_Expenses"));
        typeCell(0, 1, QStringLiteral("1800"));
        chooseCategory(0);
        QCOMPARE(recordsOf("(a) Housing", "amt").value(0), QStringLiteral("1800"));
        close();
        QCOMPARE(recordsOf("(a) Housing", "amt").value(0), QStringLiteral("1800"));
    }

    void expensesFormTexts() {
        QVERIFY(open("F_Expenses"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Expenses"));
        auto* model = grid()->gridModel();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("EXPENSE"));
        QCOMPARE(
            model->headerData(2, Qt::Horizontal).toString(),
            QStringLiteral("INFO (Information in this column will not be included in the totals)"));
        QCOMPARE(grid()->columnWidth(0), 332);
        QCOMPARE(grid()->columnWidth(1), 111);
        QCOMPARE(grid()->columnWidth(2), 500);
        QCOMPARE(model->columns()[1].alignment, Qt::AlignRight);
        QCOMPARE(child<QLabel>("StatusBar1Text")->text(),
                 QStringLiteral("Press the INSERT key to add a new item.   Hold down CTRL + "
                                "DELETE to delete an existing item."));
        QCOMPARE(child<QLabel>("Label2")->text(),
                 QStringLiteral("If any items are paid on a weekly basis, multiply by 4.3 to "
                                "obtain monthly payment. Items included under \"other\" should "
                                "be listed separately with separate dollar amounts."));
    }

    // The Expenses form is 1290 pixels wide: on a smaller screen it is fitted to the available
    // area, the category panel keeping its width and the grid taking what is left.
    void expensesFormFitsASmallerScreen() {
        QVERIFY(open("F_Expenses"));
        const QRect area = form_->screen()->availableGeometry();
        QVERIFY2(area.width() < 1290, "the test screen is wider than the form");
        QVERIFY(area.contains(form_->frameGeometry()));
        QCOMPARE(form_->width(), area.width() - (form_->frameGeometry().width() - form_->width()));
        QCOMPARE(child<QWidget>("Panel1")->width(), 289);
        QVERIFY(grid()->isVisible());
        QVERIFY(grid()->width() > 200);
        // A form that fits is left as it was made.
        close();
        QVERIFY(open("F_Family"));
        QCOMPARE(form_->size(), QSize(705, 544));
        QVERIFY(area.contains(form_->frameGeometry()));
    }

    // ---- Gross Income ----------------------------------------------------------------------

    void incomeCaptionsNameTheirFields() {
        QVERIFY(open("F_Income"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Gross Income"));
        QMap<QString, QString> fieldOf;
        for (QLabel* label : form_->findChildren<QLabel*>()) {
            auto* edit = qobject_cast<platform::DbEdit*>(label->buddy());
            if (edit) fieldOf[label->text()] = edit->dataField();
        }
        const QMap<QString, QString> expected = {
            {"Gross (total) income - as should have been or should be reported in the most "
             "recent Federal income tax return.",
             "salary"},
            {"Worker's compensation", "bonus"},
            {"Unemployment insurance benefits", "partnershi"},
            {"Investment Income, including interest and dividend income", "dividends"},
            {"Supplemental Security Income", "dividendnt"},
            {"Food Stamps", "trust"},
            {"Pension (income only)", "pension"},
            {"Veteran's benefits", "bequests"},
            {"Income from all other sources (including alimony, maintenance or child support "
             "from prior marriage)",
             "oincome"},
            {"Fellowship and stipends", "ltcapgns"},
            {"Annuity payments", "depreciati"},
            {"Social Security", "emphousss"},
            {"Disability benefits", "emphousdis"},
            {"Public assistance", "emphouspa"},
            {"Other", "emphousoth"},
        };
        QCOMPARE(fieldOf, expected);
        QCOMPARE(captionOf(child("DbRadioGroup1")),
                 QStringLiteral("Salary or wages:  (State whether income has changed during the "
                                "year preceding date of this affidavit."));

        // Tab order: the close button, the right panel top to bottom, then the left panel.
        QCOMPARE(
            tabOrder("BitBtn1", 21),
            QStringList({"BitBtn1",  "DbEdit11", "DbEdit12", "DbEdit13", "DbEdit7",  "DbEdit15",
                         "DbEdit16", "DbEdit18", "DbEdit19", "DbEdit20", "DbEdit21", "DbMemo3",
                         "DbEdit23", "DbEdit24", "DbEdit25", "DbEdit26", "DbEdit27", "Choice0",
                         "Choice1",  "DbMemo1",  "DbEdit1"}));

        typeInto(child("DbEdit15"), QStringLiteral("1200"));     // Food Stamps
        typeInto(child("DbEdit11"), QStringLiteral("5400.25"));  // Worker's compensation
        close();
        const Record stored = fx_->read("T_Income")[0];
        QCOMPARE(stored["trust"], QStringLiteral("1200"));
        QCOMPARE(stored["bonus"], QStringLiteral("5400.25"));
    }

    void incomeSalaryQuestionIsAnswered() {
        fx_->write("T_Income", {{{"matter", "Jones"}, {"incomechg", "Yes"}}});
        QVERIFY(open("F_Income"));
        QCOMPARE(child<platform::DbRadioGroup>("DbRadioGroup1")->itemIndex(), 0);
        close();
        QList<Record> stored = fx_->read("T_Income");
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1]["matter"], QStringLiteral("Smith v. Smith"));
        QCOMPARE(stored[1]["incomechg"], QStringLiteral("No"));

        fx_->matter = QStringLiteral("Jones");
        QVERIFY(open("F_Income"));
        QCOMPARE(child<platform::DbRadioGroup>("DbRadioGroup1")->itemIndex(), 1);
        close();
        stored = fx_->read("T_Income");
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0]["incomechg"], QStringLiteral("Yes"));
    }

    void incomePanelsFollowTheWidth() {
        QVERIFY(open("F_Income"));
        QCOMPARE(form_->width(), 721);
        QCOMPARE(child("Panel2")->width(), 350);
        QCOMPARE(child("Panel3")->width(), 360);
        form_->resize(1000, 573);
        QTRY_COMPARE(child("Panel2")->width(), 490);
        QTRY_COMPARE(child("Panel3")->width(), 500);
    }
};

void FamilyFormsTest::expensesFirstVisitSeedsTheStandardLines() {
    // Another matter's lines neither show nor count for the seeding test.
    fx_->write(
        "T_Expenses",
        {{{"matter", "Jones"}, {"etype", "(a) Housing"}, {"expense", "Rent"}},
         {{"matter", "SMITH V. SMITH"}, {"etype", "(b) Utilities"}, {"expense", "Electric"}}});
    QVERIFY(open("F_Expenses"));
    QCOMPARE(child<platform::DbListBox>("ListBox1")->selectedText(), QStringLiteral("(a) Housing"));
    QTRY_COMPARE(gridColumn(0), QStringList({"Rent", "Mortgage/Co-op Loan", "Real estate taxes",
                                             "Home Equity Line of Credit/Second Mortgage",
                                             "Homeowner's/Renter's Insurance",
                                             "Homeowner's Association/Maintenance/Condo Charges"}));
    // Seeding ends on a later category's line: the filter leaves the last Housing line.
    QCOMPARE(grid()->gridModel()->currentRow(), 5);
    QCOMPARE(expenses().State(), DataSetState::Edit);
    close();

    const QList<Record> stored = fx_->read("T_Expenses");
    QCOMPARE(stored.size(), 101);
    const QList<QPair<QString, QStringList>> expected = {
        {"(a) Housing",
         {"Rent", "Mortgage/Co-op Loan", "Real estate taxes",
          "Home Equity Line of Credit/Second Mortgage", "Homeowner's/Renter's Insurance",
          "Homeowner's Association/Maintenance/Condo Charges"}},
        {"(b) Utilities",
         {"Fuel oil/Gas", "Cable/Satellite TV", "Electric", "Telephone (Land Line)", "Mobile Phone",
          "Internet", "Alarm", "Water", "Other"}},
        {"(c) Food", {"Groceries", "Dining Out/Take Out", "Other"}},
        {"(d) Clothing", {"Yourself", "Dry Cleaning", "Children", "Other"}},
        {"(e) Insurance",
         {"Life", "Long Term Care Insurance",
          "Fire, theft and liability and personal articles policy", "Automotive", "Umbrella policy",
          "Medical plan for yourself(incl. carrier/insured)",
          "Medical plan for children(incl. carrier/insured)", "Dental plan", "Optical plan",
          "Disability", "Worker's compensation", "Other"}},
        {"(f) Unreimbursed medical",
         {"Medical", "Dental", "Optical", "Pharmaceutical", "Surgical, nursing, hospital", "Other",
          "Psychotherapy"}},
        {"(g) Household maintenance",
         {"Repairs/Maintenance", "Gardening/Landscaping", "Extermination", "Sanitation/carting",
          "Snow removal", "Other"}},
        {"(h) Household help",
         {"Baby sitter", "Domestic (housekeeper, maid, etc.)", "Nanny/Au Pair/Child Care)",
          "Other"}},
        {"(i) Automotive",
         {"Year, Make, Personal/Business (use info column)", "Lease or Loan Payments",
          "Gas and oil", "Repairs", "Car wash", "Parking and tolls", "Other"}},
        {"(j) Educational",
         {"Nursery and pre-school", "Primary and secondary", "College", "Post-graduate",
          "Religious instruction", "School transportation", "School supplies/books",
          "School Lunches", "Child(ren) extra-curricular activities", "Tutoring", "School events",
          "Other"}},
        {"(k) Recreational",
         {"Summer camp", "Vacations", "Music (Digital or Physical Media)",
          "Movies, Theatre, ballet, etc.", "Activities for yourself", "Health Club",
          "Birthday party costs for child(ren)", "Recreational Clubs and Memberships", "Other"}},
        {"(l) Income taxes",
         {"Federal", "State", "City", "Social security and medicare",
          "Number of dependants claimed in prior tax year (use info column)",
          "Refund received by you for prior tax year (use info column)"}},
        {"(m) Miscellaneous",
         {"Beauty parlor/barber", "Books, magazines, newspapers",
          "Toiletries/Non-Prescription Drugs", "Gifts", "Charitable contributions",
          "Religious organization dues", "Union and organization dues", "Commutation expenses",
          "Veterinarian/pet expenses", "Child support payment (prior marriage)",
          "Alimony and maintenance payments", "Loan payments", "Unreimbursed business expenses",
          "Safe Deposit Box fee"}},
    };
    int at = 2;
    for (const auto& [etype, items] : expected) {
        for (const QString& item : items) {
            const Record& line = stored[at++];
            QCOMPARE(line["matter"], QStringLiteral("Smith v. Smith"));
            QCOMPARE(line["etype"], etype);
            QCOMPARE(line["setype"], etype.mid(3));
            QCOMPARE(line["expense"], item);
            QCOMPARE(line["amt"], QString());
            QCOMPARE(line["info"], QString());
        }
    }
    QCOMPARE(at, 101);
    QCOMPARE(stored[at - 1]["setype"], QStringLiteral(" Miscellaneous"));
}

void FamilyFormsTest::expensesLaterVisitsDoNotSeedAgain() {
    QVERIFY(open("F_Expenses"));
    // The matter's Housing lines all go: the next visit must not seed the list a second time.
    for (int i = 0; i < 6; ++i) {
        (*script_)->answerOk();
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier);
    }
    QTRY_COMPARE(gridColumn(0), QStringList());
    close();
    QCOMPARE(fx_->read("T_Expenses").size(), 93);

    QVERIFY(open("F_Expenses"));
    // Nothing to edit: a new Housing line is started, and goes without a word when left empty.
    QCOMPARE(expenses().State(), DataSetState::Insert);
    chooseCategory(3);
    QTRY_COMPARE(gridColumn(0), QStringList({"Yourself", "Dry Cleaning", "Children", "Other"}));
    close();
    QCOMPARE(fx_->read("T_Expenses").size(), 93);

    // Another matter without lines is seeded in full beside them.
    fx_->matter = QStringLiteral("Jones");
    QVERIFY(open("F_Expenses"));
    QTRY_COMPARE(gridColumn(0).size(), 6);
    close();
    QCOMPARE(fx_->read("T_Expenses").size(), 192);
}

// The line put into editing is the one the "(a) Housing" filter leaves the table on: the file's
// first line when it is one of the matter's Housing lines, else the matter's last Housing line.
void FamilyFormsTest::expensesOpenOnTheLineTheFilterLeaves() {
    for (const char* matter : {"Smith v. Smith", "Jones"}) {
        fx_->matter = QString::fromLatin1(matter);
        QVERIFY(open("F_Expenses"));  // seeds the matter's lines
        close();
    }
    const QList<std::pair<const char*, int>> cases = {{"Smith v. Smith", 0}, {"Jones", 5}};
    for (const auto& [matter, row] : cases) {
        fx_->matter = QString::fromLatin1(matter);
        QVERIFY(open("F_Expenses"));
        QCOMPARE(expenses().State(), DataSetState::Edit);
        QCOMPARE(QString::fromStdString(expenses().FieldByName("matter").AsString()),
                 QString::fromLatin1(matter));
        QCOMPARE(QString::fromStdString(expenses().FieldByName("expense").AsString()),
                 QString(row == 0 ? "Rent" : "Homeowner's Association/Maintenance/Condo Charges"));
        QTRY_COMPARE(grid()->gridModel()->currentRow(), row);
        QTRY_COMPARE(grid()->currentIndex().row(), row);
        close();
    }
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FamilyFormsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "family_forms_test.moc"
