#pragma once

#include <QDialog>
#include <memory>

#include "storage/dbf_table.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace matter {
class TF_General;
}
namespace platform {
class DbListBox;
}

namespace app {

class DataLocation;
class TF_network;

// The longest matter name the `matter` field holds, in characters.
inline constexpr int kMatterNameLength = 50;

// A typed matter name as the `matter` field will hold it: its first 50 characters. Names are
// cut before they are compared with the stored ones, so that two long names that differ only
// after the 50th character count as the same matter.
QString storedMatterName(const QString& typed);

// The matter selection F_SelectMatter: a modal dialog listing the matters of the data
// directory's "General.dbf", from which the user opens, creates or deletes a matter, changes the
// data directory, or quits the program. It cannot be closed from its frame or with Escape: each
// of its four large buttons closes it after its action, whatever the outcome.
//
// Opening, creating and deleting work on F_General's table, which is left on the matter opened
// (being edited), on a new record (being inserted, not posted), on the first record (cancelled
// creation), on the matter of a refused duplicate name, or on the neighbour of a deleted record;
// the State box follows. The list itself is read through the dialog's own table T_Matter, which
// is only read, and which is closed when the dialog closes. Table errors are shown in a message
// box and end the action in progress.
class TF_SelectMatter : public QDialog {
    Q_OBJECT

  public:
    // `location` and `general` must outlive the dialog. `network` runs the change of the data
    // directory; when it is null (the start sequence opens the selection before the data-location
    // form exists) the dialog runs the same procedure itself.
    TF_SelectMatter(DataLocation& location, matter::TF_General& general, TF_network* network,
                    QWidget* owner);
    ~TF_SelectMatter() override;

    storage::TDbfTable& T_Matter() { return *matterTable_; }

  public slots:
    void BitBtn3Click();       // "Open the selected existing matter"
    void BitBtn1Click();       // "Press to create a new matter"
    void BitBtn4Click();       // "Delete the selected matter"
    void BitBtn2Click();       // "Quit program"
    void SpeedButton1Click();  // "Change Data Path"
    void DbListBox1DblClick();

    // Closes the dialog (and T_Matter).
    void done(int result) override;
    // The frame's close box, Alt+F4 and Escape do not close the dialog.
    void reject() override {}

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildForm();
    void FormShow();
    void listMatters();
    bool hasSelection() const;
    // Points F_General's table at the data directory's General.dbf and opens it afresh.
    void reopenGeneral();
    bool openSelected();
    // When the chosen name is no longer stored (deleted at another workstation since the list
    // was filled): says so, fills the list afresh and returns true.
    bool selectionIsGone();
    QString dataDirectory() const;

    DataLocation& location_;
    matter::TF_General& general_;
    TF_network* network_;
    std::unique_ptr<TF_network> ownNetwork_;
    std::unique_ptr<storage::TDbfTable> matterTable_;
    bool shown_ = false;

    QLabel* Label1_ = nullptr;
    QToolButton* SpeedButton1_ = nullptr;
    platform::DbListBox* DbListBox1_ = nullptr;
};

}  // namespace app
