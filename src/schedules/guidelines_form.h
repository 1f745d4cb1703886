#pragma once

#include <QDate>
#include <memory>
#include <optional>

#include "guidelines/parameters.h"
#include "guidelines/worksheet.h"
#include "schedules/guideline_inputs.h"
#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace platform {
class DbEdit;
class DbRadioGroup;
}  // namespace platform

namespace schedules {

class ScheduleTable;

// The Guidelines form F_Guidelines: the matter's maintenance and child support guideline
// amounts. Its inputs are the current matter's one record of "Guidelines.dbf", found (or
// started with the defaults) when the form opens and written when it closes; the deponent's
// income lines show the Gross Income figures, and a figure typed beside one takes its place.
// The results are computed from what the controls show, anew after every change, line by line
// with the parameter set used; Print prints that worksheet.
class TF_Guidelines : public ScheduleFrame {
    Q_OBJECT

  public:
    TF_Guidelines(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);

    // Opens the form's own table on the matter's record (a new one gets the defaults) and reads
    // the matter's General, Gross Income and Family records and the parameter file.
    void open() override;

    storage::TDbfTable& T_Guidelines() const;

    // What the controls hold now, by field name.
    FieldTexts entries() const;
    // The worksheet of what the controls hold; nullopt while a value is missing or wrong
    // (problem() says which).
    const std::optional<guidelines::Worksheet>& worksheet() const { return worksheet_; }
    const QString& problem() const { return problem_; }

    // The day whose parameters a blank "As of" takes (today, unless a test sets another).
    void setToday(const QDate& today);

  public slots:
    // Computes the results again from the controls and shows them.
    void recompute();
    // The Print button: the worksheet through the report engine, or the problem.
    void PrintClick();
    // Puts the date of commencement into the "As of" box.
    void AsOfCommencementClick();

  private:
    void buildForm();
    QWidget* buildParties(QWidget* parent);
    QWidget* buildCase(QWidget* parent);
    QWidget* buildIncome(QWidget* parent);
    QWidget* buildAddOns(QWidget* parent);
    QWidget* buildCaps(QWidget* parent);
    QWidget* buildResults(QWidget* parent);
    void showSources();
    void showResults();
    void watch(platform::DbEdit* edit);
    void watch(platform::DbRadioGroup* group);
    platform::DbEdit* amountEdit(const char* name, const char* field, QWidget* parent);
    platform::DbEdit* dateEdit(const char* name, const char* field, QWidget* parent);

    // The receiver of every change the results follow; going before the tables are closed, it
    // takes the connections along, so that the closing does not compute again.
    std::unique_ptr<QObject> changes_ = std::make_unique<QObject>();
    ScheduleTable& guidelines_;
    ScheduleTable& general_;
    ScheduleTable& income_;
    ScheduleTable& family_;
    GuidelineSources sources_;
    std::optional<guidelines::ParameterTable> parameters_;
    QString parameterProblem_;
    QDate today_ = QDate::currentDate();
    bool opened_ = false;
    bool computing_ = false;

    std::optional<guidelines::Worksheet> worksheet_;
    QString problem_;

    QLabel* DeponentName_ = nullptr;
    QLabel* DeponentRoleText_ = nullptr;
    platform::DbRadioGroup* DeponentRole_ = nullptr;
    platform::DbEdit* OtherName_ = nullptr;
    QLabel* AsOfToday_ = nullptr;
    QLabel* MarriedSource_ = nullptr;
    QLabel* CommencedSource_ = nullptr;
    QList<QLabel*> grossIncome_;  // one per income line, in order
    QList<platform::DbEdit*> deponentLines_;
    QList<QLabel*> notCounted_;
    QLabel* ParameterSet_ = nullptr;
    QLabel* Problem_ = nullptr;
    QTableWidget* Results_ = nullptr;
    QLabel* Notes_ = nullptr;
    QPushButton* Print_ = nullptr;
    QPushButton* BitBtn1_ = nullptr;
};

}  // namespace schedules
