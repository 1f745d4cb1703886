#pragma once

#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QFrame;
class QVBoxLayout;

namespace platform {
class DbComboBox;
class DbGrid;
class DbListBox;
}  // namespace platform

namespace schedules {

class ScheduleTable;

// The Expenses form F_Expenses ("Expenses"): the current matter's expense lines, one category at
// a time. The list on the left picks the category; the grid on the right shows that category's
// lines of the matter, in the order they were added. A matter without any line gets the 99
// standard lines when the form first opens.
//
// A line is never stored without an item (EXPENSE). One without an item that holds nothing else
// the user typed is dropped silently when it is written or left; one that holds an amount or
// remarks makes the form ask whether to discard the line's changes: No stops whatever was
// leaving the line (a move, a category change, closing) and puts the focus on its EXPENSE cell.
//
// Under the list, the answer mark of the category shown ("CategoryMark"); the list shows each
// category's mark at the right of its row.
class TF_Expenses : public ScheduleFrame {
    Q_OBJECT

  public:
    TF_Expenses(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);
    ~TF_Expenses() override;

    // Opens T_Expenses, seeds the standard lines when the current matter has none, shows the
    // matter's "(a) Housing" lines and puts into editing the one installing their filter left
    // the table on (the line it stood on when that is one of them, else the last of them).
    // Errors propagate.
    void open() override;

    storage::TDbfTable& T_Expenses() const;
    platform::DbGrid* grid() const { return DBGrid1_; }

    // Selects "(a) Housing" in the list without installing a filter.
    void FormShow();
    // Shows the lines of the category selected in the list. A line being edited is finished
    // first (blank-item rule and question included); when it must stay, the list goes back to
    // the category shown.
    void ListBox1Click();

    // The question asked for a line without an item that holds an amount or remarks, naming
    // the line's category: the other schedules' question for a record without its key.
    static QString blankItemQuestion(const QString& category, bool newLine);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildForm();
    void seedStandardLines();
    void buildCategoryMark(QVBoxLayout* side);
    const catalog::StatementItem* categoryItem(const char* etype) const;
    // Binds the category mark to the category shown.
    void showCategoryMark();
    void T_ExpensesAfterInsert(storage::TDbfPrimDataset& table);
    void DataSource1UpdateData();
    void focusExpenseCell();

    ScheduleTable& lines_;
    QFrame* Panel1_;
    QLabel* Label1_;
    platform::DbListBox* ListBox1_;
    QLabel* Label2_;
    QLabel* Label3_;
    QPushButton* BitBtn1_;
    QFrame* Panel2_;
    platform::DbGrid* DBGrid1_;
    QStatusBar* StatusBar1_;
    platform::DbComboBox* categoryMark_ = nullptr;
    int shownCategory_ = 0;
    bool shown_ = false;
};

}  // namespace schedules
