// The Guidelines form over a data directory of its own: the deponent's lines prefilled from
// Gross Income, an override kept over later visits, the results following every change, the
// choice of the deponent when General Information does not say, the as-of date, and Print.
//
// The amounts expected are worked by hand with the parameters in force from 2025-03-01 (child
// support cap 183,000; maintenance cap 228,000; self-support reserve 21,128):
//   deponent (Jane Smith): 85,000 + 1,250 - 5,270 - 1,232.50 = 79,747.50
//   other party (John Smith): 150,000 - 9,300 - 2,175 = 138,525.00
//   without children, payor John: (i) 30% of 138,525 - 20% of 79,747.50 = 25,608.00;
//     (ii) 40% of 218,272.50 - 79,747.50 = 7,561.50; maintenance 7,561.50
//   two children with Jane: (i) 20% of 138,525 - 25% of 79,747.50 = 7,768.13 (7,768.125 up);
//     (ii) 7,561.50 again; maintenance 7,561.50 a year, 630.13 a month, 145.41 a week;
//     child support on 87,309.00 and 130,963.50 (combined 218,272.50, above the cap):
//     25% of 183,000 = 45,750.00, John's share 130,963.50 / 218,272.50 = 60%: 27,450.00 a
//     year, 2,287.50 a month; child care 12,000 at 60% = 7,200.00
//   Jane's salary typed as 90,000 instead: 84,747.50; (ii) 40% of 223,272.50 - 84,747.50 =
//     4,561.50, below (i) 6,518.13
//   alone, Jane pays: (i) 30% of 79,747.50 = 23,924.25, below (ii) 31,899.00

#include "schedules/guidelines_form.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "../support/find_child.h"
#include "family_fixture.h"
#include "guidelines/worksheet.h"
#include "platform/db_edit.h"
#include "platform/db_radio_group.h"
#include "platform/scripted_dialogs.h"

namespace {

const Record kGeneral = {{"matter", "Smith v. Smith"},
                         {"xname", "Jane Smith"},
                         {"xplaintiff", "X"},
                         {"xdefendant", " "},
                         {"plainfiff", "JANE SMITH,\r\nPlaintiff,"},
                         {"defendant", "JOHN SMITH,\r\nDefendant."},
                         {"adate_c", "03/14/2016"}};

const Record kIncome = {{"matter", "Smith v. Smith"},
                        {"salary", "85000"},
                        {"dividends", "1250"},
                        {"trust", "1200"},
                        {"sstax", "5270"},
                        {"medicare", "1232.5"}};

}  // namespace

class GuidelinesFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormsFixture> fx_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<QDialog> form_;
    schedules::ScheduleContext context_;
    std::vector<guidelines::Worksheet> printed_;
    QList<QStringList> printedRoles_;

    schedules::TF_Guidelines& form() { return static_cast<schedules::TF_Guidelines&>(*form_); }
    template <typename T = QWidget>
    T* child(const char* name) {
        return test_support::findChild<T>(form_.get(), name);
    }
    void open() {
        form_ = schedules::openScheduleForm(*schedules::findScheduleForm("F_Guidelines"), context_,
                                            nullptr);
        QVERIFY(form_);
        form().setToday(QDate(2025, 6, 2));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void close() {
        QVERIFY(form_->close());
        form_.reset();
    }
    void type(const char* name, const QString& text) {
        auto* edit = child<QLineEdit>(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void choose(const char* group, int choice,
                std::source_location where = std::source_location::current()) {
        test_support::findChild<QAbstractButton>(child<platform::DbRadioGroup>(group),
                                                 QStringLiteral("Choice%1").arg(choice), where)
            ->click();
    }
    // The amount or text shown beside the result line `label`; "(none)" when no line has it.
    QString result(const QString& label) {
        auto* table = child<QTableWidget>("Results");
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == label && table->item(row, 1))
                return table->item(row, 1)->text();
        }
        return QStringLiteral("(none)");
    }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    void typeOtherParty() {
        type("osalary", "150000");
        type("oficass", "9300");
        type("oficamed", "2175");
    }

  private slots:
    void init() {
        fx_ = std::make_unique<FormsFixture>();
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        context_ = fx_->context();
        context_.programDirectory = QStringLiteral(PROGRAM_DIR);
        printed_.clear();
        printedRoles_.clear();
        context_.printGuidelines = [this](const guidelines::Worksheet& sheet,
                                          const QStringList& roles, QWidget* owner) {
            QCOMPARE(owner, form_.get());
            printed_.push_back(sheet);
            printedRoles_ << roles;
        };
        fx_->write("DbfTable1", {kGeneral});
        fx_->write("T_Income", {kIncome});
    }
    void cleanup() {
        form_.reset();
        QVERIFY2(script_->script().failures().isEmpty(),
                 qPrintable(script_->script().failures().join("; ")));
        script_.reset();
        fx_.reset();
    }

    // The first visit shows the Gross Income figures beside the deponent's boxes and computes
    // with them; what the Act does not count is shown but left out.
    void theDeponentsLinesComeFromGrossIncome() {
        open();
        QCOMPARE(text("DeponentName"), QStringLiteral("Jane Smith"));
        QCOMPARE(text("DeponentRoleText"), QStringLiteral("the plaintiff (General Information)"));
        QVERIFY(child<QWidget>("DeponentRole")->isHidden());
        QCOMPARE(child<QLineEdit>("OtherName")->placeholderText(), QStringLiteral("JOHN SMITH"));
        QCOMPARE(text("Gross_salary"), QStringLiteral("85,000.00"));
        QCOMPARE(text("Gross_invest"), QStringLiteral("1,250.00"));
        QCOMPARE(text("Gross_ficamed"), QStringLiteral("1,232.50"));
        QCOMPARE(text("Gross_imputed"), QString());
        QCOMPARE(text("NotCounted_trust"), QStringLiteral("1,200.00"));
        QCOMPARE(child<QLineEdit>("dsalary")->text(), QString());
        QCOMPARE(child<QLineEdit>("dsalary")->placeholderText(), QStringLiteral("85,000.00"));

        QCOMPARE(result("Jane Smith: Gross income (last federal return)"),
                 QStringLiteral("85,000.00"));
        QCOMPARE(result("Jane Smith: Investment income"), QStringLiteral("1,250.00"));
        QCOMPARE(result("Jane Smith: less Social Security tax (FICA) actually paid"),
                 QStringLiteral("-5,270.00"));
        QCOMPARE(result("Jane Smith: income before maintenance"), QStringLiteral("79,747.50"));
        QCOMPARE(result("JOHN SMITH: Gross income (last federal return)"), QStringLiteral("0.00"));
        QCOMPARE(result("Payor (the higher income)"), QStringLiteral("Jane Smith"));
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("23,924.25"));
        QCOMPARE(text("ParameterSet"), QStringLiteral("Parameters in force on 2025-06-02: the set "
                                                      "from 2025-03-01 (parameters.ini)"));
        QVERIFY(
            text("Notes").contains("The deponent's figures are those of the Gross Income "
                                   "schedule."));
        QVERIFY(
            text("Notes").contains("Not counted as the deponent's income under DRL "
                                   "§ 240(1-b)(b)(5), from the Gross Income schedule: Food "
                                   "stamps 1,200.00."));
        QVERIFY(text("Notes").contains("0.9% Additional Medicare Tax"));
        QVERIFY(child<QWidget>("Problem")->isHidden());
        close();
    }

    // Each change is computed at once: the other party's income, the children, a missing
    // custodial parent (a problem until chosen), the add-ons.
    void theResultsFollowEveryChange() {
        open();
        typeOtherParty();
        QCOMPARE(result("JOHN SMITH: income before maintenance"), QStringLiteral("138,525.00"));
        QCOMPARE(result("Payor (the higher income)"), QStringLiteral("JOHN SMITH"));
        QCOMPARE(result("(i) 30% of the payor's capped income less 20% of the payee's income"),
                 QStringLiteral("25,608.00"));
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("7,561.50"));

        type("Children", "2");
        QCOMPARE(text("Problem"),
                 QStringLiteral("Custodial parent: choose the parent the children live with"));
        QVERIFY(!child<QPushButton>("PrintButton")->isEnabled());
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("(none)"));

        choose("Custodial", 0);
        QVERIFY(child<QWidget>("Problem")->isHidden());
        QVERIFY(child<QPushButton>("PrintButton")->isEnabled());
        QCOMPARE(result("(i) 20% of the payor's capped income less 25% of the payee's income"),
                 QStringLiteral("7,768.13"));
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("7,561.50"));
        QCOMPARE(result("Guideline maintenance, monthly"), QStringLiteral("630.13"));
        QCOMPARE(result("Guideline maintenance, weekly"), QStringLiteral("145.41"));
        QCOMPARE(result("Combined parental income"), QStringLiteral("218,272.50"));
        QCOMPARE(result("Basic child support obligation (25%)"), QStringLiteral("45,750.00"));
        QCOMPARE(result("Child support, annual"), QStringLiteral("27,450.00"));
        QCOMPARE(result("Child support, monthly"), QStringLiteral("2,287.50"));

        type("childcare", "12000");
        QCOMPARE(result("JOHN SMITH's share of child care (60.0000%)"), QStringLiteral("7,200.00"));
        QCOMPARE(result("Child support with the add-ons, annual"), QStringLiteral("34,650.00"));

        type("OtherName", "John Q. Smith");
        QCOMPARE(result("Child support, annual"), QStringLiteral("27,450.00"));
        QCOMPARE(result("Non-custodial parent"), QStringLiteral("John Q. Smith"));
        close();
    }

    // A figure typed for the deponent replaces the Gross Income figure, is stored in the form's
    // own table (Gross Income keeps its own), and is there again on the next visit.
    void anOverrideIsKeptAndReadBackOnTheNextVisit() {
        open();
        typeOtherParty();
        type("dsalary", "90000");
        type("Children", "2");
        choose("Custodial", 0);
        QCOMPARE(result("Jane Smith: Gross income (last federal return)"),
                 QStringLiteral("90,000.00"));
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("4,561.50"));
        QVERIFY(text("Notes").contains(
            "except as entered on the guidelines form: Gross income (last federal return)."));
        close();

        const QList<Record> stored = fx_->read("T_Guidelines");
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0]["matter"], QStringLiteral("Smith v. Smith"));
        QCOMPARE(stored[0]["dsalary"], QStringLiteral("90000"));
        QCOMPARE(stored[0]["dinvest"], QString());  // left blank: still taken from Gross Income
        QCOMPARE(stored[0]["osalary"], QStringLiteral("150000"));
        QCOMPARE(stored[0]["oficamed"], QStringLiteral("2175"));
        QCOMPARE(stored[0]["children"], QStringLiteral("2"));
        QCOMPARE(stored[0]["custodial"], QStringLiteral("D"));
        QCOMPARE(stored[0]["maint"], QStringLiteral("T"));
        QCOMPARE(stored[0]["abovecap"], QStringLiteral("N"));
        QCOMPARE(stored[0]["cssacapk"], QStringLiteral("F"));
        QCOMPARE(stored[0]["asof"], QString());
        QCOMPARE(fx_->read("T_Income")[0]["salary"], QStringLiteral("85000"));

        open();
        QCOMPARE(child<QLineEdit>("dsalary")->text(), QStringLiteral("90000.00"));
        QCOMPARE(text("Gross_salary"), QStringLiteral("85,000.00"));
        QCOMPARE(child<QLineEdit>("osalary")->text(), QStringLiteral("150000.00"));
        QCOMPARE(child<platform::DbRadioGroup>("Custodial")->itemIndex(), 0);
        QCOMPARE(child<platform::DbRadioGroup>("Maintenance")->itemIndex(), 1);
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("4,561.50"));
        // The 40% test leaves John 60% of the combined income again.
        QCOMPARE(result("Child support, annual"), QStringLiteral("27,450.00"));

        // Emptying the box takes the Gross Income figure again.
        type("dsalary", "");
        QTest::keyClick(child<QLineEdit>("dsalary"), Qt::Key_Backspace);
        QCOMPARE(result("Guideline maintenance, annual"), QStringLiteral("7,561.50"));
        close();
        QCOMPARE(fx_->read("T_Guidelines")[0]["dsalary"], QString());
        QCOMPARE(fx_->read("T_Guidelines").size(), 1);
    }

    // General Information that ticks neither box leaves the choice to the form, which stores it;
    // the caption's other party then names the other party.
    void theUserChoosesTheDeponentWhenGeneralInformationDoesNotSay() {
        Record general = kGeneral;
        general["matter"] = "Doe v. Doe";
        general["xplaintiff"] = " ";
        fx_->write("DbfTable1", {general});
        fx_->matter = "Doe v. Doe";
        open();
        QVERIFY(child<QWidget>("DeponentRole")->isVisible());
        QCOMPARE(child<QLineEdit>("OtherName")->placeholderText(), QString());
        QCOMPARE(result("Other party: Gross income (last federal return)"), QStringLiteral("0.00"));
        QVERIFY(text("Notes").contains("The matter has no Gross Income schedule"));
        QCOMPARE(text("Gross_salary"), QString());
        choose("DeponentRole", 1);
        QCOMPARE(child<QLineEdit>("OtherName")->placeholderText(), QStringLiteral("JANE SMITH"));
        QCOMPARE(result("JANE SMITH: Gross income (last federal return)"), QStringLiteral("0.00"));
        close();
        QCOMPARE(fx_->read("T_Guidelines")[0]["deponent"], QStringLiteral("D"));
        // The other matter's record is not touched.
        QCOMPARE(fx_->read("T_Guidelines").size(), 1);
    }

    // A blank "As of" is today; the button puts the date of commencement there, which picks
    // that date's parameters.
    void theAsOfDateDefaultsToTodayAndCanBeTheCommencement() {
        open();
        // Today in the system's short date format (Windows' for the United States has the
        // whole year).
#ifdef Q_OS_WIN
        QCOMPARE(text("AsOfToday"), QStringLiteral("blank: today, 6/2/2025"));
#else
        QCOMPARE(text("AsOfToday"), QStringLiteral("blank: today, 6/2/25"));
#endif
        QVERIFY(text("ParameterSet").startsWith("Parameters in force on 2025-06-02"));
        QTest::mouseClick(child<QPushButton>("AsOfCommencement"), Qt::LeftButton);
        QCOMPARE(child<platform::DbEdit>("AsOf")->valueText(), QStringLiteral("03/14/2016"));
        QCOMPARE(text("ParameterSet"), QStringLiteral("Parameters in force on 2016-03-14: the set "
                                                      "from 2016-03-01 (parameters.ini)"));
        QCOMPARE(result("Child support cap, combined parental income (from 2016-03-01)"),
                 QStringLiteral("143,000.00"));
        type("AsOf", "01012016");
        QCOMPARE(text("Problem"),
                 QStringLiteral("As of: 2016-01-01 is before the first parameter set (2016-01-31, "
                                "parameters.ini)"));
        close();
        QCOMPARE(fx_->read("T_Guidelines")[0]["asof"], QStringLiteral("01/01/2016"));
    }

    // Post-divorce maintenance takes the dates of marriage and commencement from Family and
    // General Information for its advisory duration, unless others are typed:
    // 1999-06-15 to 2016-03-14 is 200 whole months, 30% to 40%: 5.00 to 6.67 years;
    // from 2001-06-15, 176 months, 15% to 30%: 2.20 to 4.40 years.
    void postDivorceDurationFromTheMattersDates() {
        fx_->write("T_Family", {{{"matter", "Smith v. Smith"}, {"datemarrie", "06/15/1999"}}});
        open();
        QCOMPARE(text("MarriedSource"), QStringLiteral("blank: Family Data: 06/15/1999"));
        QCOMPARE(text("CommencedSource"), QStringLiteral("blank: General Information: 03/14/2016"));
        choose("Maintenance", 2);
        QCOMPARE(result("Length of the marriage"), QStringLiteral("200 months (16.67 years)"));
        QCOMPARE(result("Advisory duration, 30% to 40% of the length"),
                 QStringLiteral("5.00 to 6.67 years"));
        type("Married", "06152001");
        QCOMPARE(result("Length of the marriage"), QStringLiteral("176 months (14.67 years)"));
        QCOMPARE(result("Advisory duration, 15% to 30% of the length"),
                 QStringLiteral("2.20 to 4.40 years"));
        type("Commenced", "01012016");
        QCOMPARE(text("Problem"),
                 QStringLiteral("Date of commencement: the post-divorce guidelines apply to "
                                "actions commenced on or after 2016-01-25"));
        close();
    }

    // Print hands the worksheet on screen to the program, with the parties' roles; a case with
    // a problem is not printed and says why.
    void printHandsOnTheWorksheetShown() {
        open();
        typeOtherParty();
        QTest::mouseClick(child<QPushButton>("PrintButton"), Qt::LeftButton);
        QCOMPARE(printed_.size(), size_t(1));
        QCOMPARE(printed_[0].maintenance->amounts.annual, guidelines::Cents(756150));
        QCOMPARE(printed_[0].partyName(guidelines::Party::A), std::string("Jane Smith"));
        QCOMPARE(printedRoles_[0], QStringList({"plaintiff, the deponent", "defendant"}));
        type("Children", "1");
        form().PrintClick();
        QCOMPARE(printed_.size(), size_t(1));
        QCOMPARE(script_->script().shownTexts(),
                 QStringList({"The worksheet cannot be printed: Custodial parent: choose the "
                              "parent the children live with"}));
        close();
    }

    // Without its parameter file the form still opens and says what is missing.
    void aMissingParameterFileIsShown() {
        context_.programDirectory = fx_->dataDirectory();
        open();
        QVERIFY(text("Problem").startsWith("The guideline parameters cannot be read:"));
        QVERIFY(!child<QPushButton>("PrintButton")->isEnabled());
        close();
    }
};

QTEST_MAIN(GuidelinesFormTest)
#include "guidelines_form_test.moc"
