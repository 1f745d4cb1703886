#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/dbf_table.h"

class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;

namespace platform {
class DataSource;
class DbCheckBox;
class DbEdit;
class DbMemo;
}  // namespace platform

namespace matter {

// What the General Information form needs from the program around it.
struct GeneralSeams {
    // Reads the data directory from the settings file; the text ends with a path separator.
    // Nothing when the settings file could not be written (the failure was already shown).
    std::function<std::optional<QString>()> readDataDirectory;
    // Triggers the main window's Open command, which shows the matter selection modally.
    std::function<void()> openMatterSelection;
};

// The General Information form F_General: the matter's master record in "General.dbf", one
// record per matter. Its Matter box names the current matter for the whole program. The form
// lives for the whole run as the main window's only MDI child and is never closed by the user.
//
// Its table `DbfTable1` is positioned, re-opened, inserted into and deleted from by the matter
// selection; every post of it, whatever triggers it, runs the before-post rules (explisted
// "monthly" when empty, state from the State box, dobypass from the custom caption, and a record
// without a matter name is discarded instead of written).
//
// Another workstation may delete the current matter meanwhile: the next post then writes nothing,
// says "The matter <name> no longer exists", leaves no matter current and opens the matter
// selection. A new matter whose name another workstation created meanwhile is not added: "Dupe
// Matter is not allowed", and the matter of that name becomes current, as the selection's own
// duplicate-name check has it.
class TF_General : public QWidget {
    Q_OBJECT

  public:
    explicit TF_General(GeneralSeams seams, QWidget* parent = nullptr);
    // Closes the table without posting (Exit and closing the main window commit first).
    ~TF_General() override;

    // Puts the form into `area` as a child window that offers minimise and maximise only and
    // refuses to be closed. The window belongs to `area`.
    QMdiSubWindow* placeIn(QMdiArea* area);

    // The show step, run once by whoever creates the form: sizes its child window to show the
    // whole form (within the main window's area), reads the data directory, opens
    // General.dbf, starts editing its first record (a new blank one on an empty table), loads
    // the State box, and triggers the matter selection when the Matter box is empty. When the
    // data directory cannot be read the step stops there and the table stays closed.
    void FormShow();

    // The text of the Matter box: the current matter, empty when none is chosen (or the one
    // shown was deleted at another workstation).
    QString currentMatter() const;

    // The commit: a record without a matter name loses its pending changes (a new record is
    // dropped); otherwise a record being edited or inserted is posted. Table errors are shown
    // in a message box and leave the record as it was. Nothing happens on a closed table.
    // False when the matter turned out to be deleted at another workstation.
    bool UpdateGeneral();

    storage::TDbfTable& DbfTable1() { return *table_; }
    platform::DataSource& DataSource1() { return *source_; }

    // Points DbfTable1 at `dataDirectory` + "General.dbf"; an open table is closed and opened
    // again there (standing on its first record), a closed one stays closed.
    void pointTableAt(const QString& dataDirectory);

    // The State box shows the current record's `state` (empty on a closed table) ...
    void loadStateBox();
    // ... or nothing, for a newly created matter.
    void clearStateBox();
    QString stateBoxText() const;

    // The 51 entries of the State box, in their order.
    static const QStringList& stateNames();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildForm();
    void setTabOrder();
    void DbfTable1BeforePost(storage::TDbfPrimDataset& table);
    void DbfTable1CameToRest();
    void ComboBox1Select(int index);
    void ComboBox1Typed();
    void BitBtn1Click();
    void showCustomCaptionIfFilled();
    void enterWithoutMatter();
    void matterDeletedElsewhere();
    void fitWindowToForm();
    bool nameTakenElsewhere();

    GeneralSeams seams_;
    std::unique_ptr<storage::TDbfTable> table_;
    platform::DataSource* source_ = nullptr;
    bool selectionPending_ = false;
    bool matterGone_ = false;  // the record stood on was deleted at another workstation

    // Components, named as in the form (objectName alike).
    platform::DbEdit* matter_ = nullptr;
    platform::DbEdit* DbEdit1_ = nullptr;
    platform::DbEdit* DbEdit2_ = nullptr;
    platform::DbEdit* DbEdit3_ = nullptr;
    platform::DbEdit* DbEdit4_ = nullptr;
    platform::DbEdit* DbEdit5_ = nullptr;
    platform::DbEdit* DbEdit6_ = nullptr;
    platform::DbEdit* DbEdit8_ = nullptr;
    platform::DbEdit* DbEdit9_ = nullptr;
    platform::DbMemo* DbMemo1_ = nullptr;
    platform::DbMemo* DbMemo2_ = nullptr;
    platform::DbMemo* CusCap_ = nullptr;
    platform::DbCheckBox* DbCheckBox3_ = nullptr;
    platform::DbCheckBox* DbCheckBox4_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QPushButton* BitBtn1_ = nullptr;
    QLabel* statusLine_ = nullptr;
    std::vector<QWidget*> entryChecked_;  // entering one of these with no matter: selection
};

}  // namespace matter
