#pragma once

class QApplication;

namespace app {

class TF_Main;
class TF_network;

// The application-wide forms, alive from the start sequence to the end of runProgram().
extern TF_Main* F_Main;
extern TF_network* F_network;

// The program: installs the Qt dialogs and the file layer's fatal-error box, runs the start
// sequence (main window, General Information form, data-location form) and then the message
// loop, which shows the main window maximised. Returns the program's exit code.
int runProgram(QApplication& application);

}  // namespace app
