#pragma once

#include <QMainWindow>
#include <memory>

#include "app/shell_seams.h"
#include "schedules/schedule_forms.h"
#include "storage/filtered_dataset.h"

class QAction;
class QLabel;
class QMdiArea;

namespace printing {
class PrintComponents;
}

namespace app {

class DataLocation;
class TF_network;

// The main window F_Main: an MDI frame whose only child is the General Information form, with
// the menu bar, the toolbar of shortcuts and the status line. The File and Help commands have a
// handler named after their menu item (`Open1Click`, ...); the Forms menu and its toolbar
// buttons come from the schedule form registry, one item and one button per row. Each toolbar
// button triggers its menu item, so both run one handler.
//
// Schedule commands and Print first pass the common gate on the current matter, as the form's
// registry row says. The forms behind the commands come from ShellSeams.
class TF_Main : public QMainWindow {
    Q_OBJECT
  public:
    // `location` must outlive the window.
    explicit TF_Main(DataLocation& location, QWidget* parent = nullptr);
    ~TF_Main() override;

    void setSeams(ShellSeams seams) { seams_ = std::move(seams); }
    // The data-location form whose change procedure the "Change_Data_Network_Path" command runs.
    void setNetworkForm(TF_network* form) { network_ = form; }

    QMdiArea* clientArea() const { return mdiArea_; }
    // The print tables T_PFamily, T_PExpenses, T_PIncome and the report-engine components
    // (ReportProject1, ReportSystem1, ReportRenderPDF1, the data connections) of the Print command.
    printing::PrintComponents& printComponents() const { return *print_; }
    DataLocation& dataLocation() const { return location_; }

    // The current matter: F_General's Matter box, read afresh; empty when none is chosen.
    QString currentMatter() const;
    // F_General's commit (UpdateGeneral); false when the current matter no longer exists.
    bool UpdateGeneral();

    // Installs the matter filter routine of table component `component` (see matterFilterTables)
    // on `table`, with this window as the routine's context: the table then shows only the
    // current matter's records.
    void installMatterFilter(const QString& component, storage::TDbfCDataSet& table);
    // The same routine for one category of the expenses table.
    void installCategoryFilter(const QString& etype, storage::TDbfCDataSet& table);

    // The window's normal bounds: the desktop's left edge, top 0, the desktop's width and its
    // height less 30 pixels. The window itself opens maximised.
    void placeOnDesktop();

  public slots:
    void New1Click();
    void Open1Click();
    void Print1Click();
    // The Statement Options form of the current matter, behind the gate of the schedules.
    void Options1Click();
    void Exit1Click();
    void NetworkPath1Click();
    void About1Click();
    void Contents1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void FormShow();
    bool passGate(schedules::GateRule rule);
    void openScheduleForm(const schedules::ScheduleFormEntry& form);
    void showMatterSelection();

    DataLocation& location_;
    ShellSeams seams_;
    TF_network* network_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QAction* open1_ = nullptr;
    std::unique_ptr<printing::PrintComponents> print_;
    bool shown_ = false;
};

}  // namespace app
