#pragma once

#include <functional>

namespace app {

// Ends the run at once ("Quit program", Exit): the message loop and every modal loop nested in it
// stop, and nothing more is saved. The call returns to its caller, which should return too.
void endProgram();

// True once endProgram() has been called; the start sequence does not enter the message loop
// then, and the main window opens no more dialogs.
bool programEnding();

// What endProgram() does besides setting programEnding(). The default stops the application's
// event loops; tests install a recorder. Installing a handler also clears programEnding(). An
// empty handler restores the default. Returns the previous handler.
using ProgramEndHandler = std::function<void()>;
ProgramEndHandler setProgramEndHandler(ProgramEndHandler handler);

}  // namespace app
