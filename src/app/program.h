#pragma once

#include <QString>
#include <memory>

#include "app/shell_seams.h"

class QApplication;

namespace matter {
class TF_General;
}

namespace app {

class DataLocation;
class TF_Main;
class TF_network;

// One run's application-wide forms. The constructor runs the start sequence up to the message
// loop: the main window (hidden), the General Information form as its MDI child, whose show step
// reads the data directory, opens General.dbf and, when its first record has no matter name,
// shows the matter selection at once; then the hidden data-location form. The main window's
// commands reach the General form (Matter box, UpdateGeneral) and the matter selection.
// Boxes go through platform::dialogs(); the caller installs the file layer's handlers.
class Program {
  public:
    // `programDirectory` holds the settings file "tallo.ini" and the default data directory.
    explicit Program(const QString& programDirectory);
    // Tears the forms down without saving anything (Exit and closing the window commit first).
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The last step before the message loop: shows the main window maximised; its show step
    // (run from the event loop) opens the matter selection.
    void showMainWindow();

    DataLocation& location() { return *location_; }
    TF_Main& mainWindow() { return *main_; }
    matter::TF_General& general() { return *general_; }

  private:
    // A new schedule form for the current matter over the data directory in force.
    std::unique_ptr<QDialog> createScheduleForm(const schedules::ScheduleFormEntry& form,
                                                QWidget* owner);

    std::unique_ptr<DataLocation> location_;
    std::unique_ptr<TF_Main> main_;
    matter::TF_General* general_ = nullptr;  // owned by the main window's client area
    std::unique_ptr<TF_network> network_;
};

// The program: installs the Qt dialogs and the file layer's fatal-error box, runs the start
// sequence and then the message loop. Returns the program's exit code. The first form uses the
// program's own directory.
int runProgram(QApplication& application);
int runProgram(QApplication& application, const QString& programDirectory);

}  // namespace app
