#pragma once

namespace platform {

// On Windows a windowed program starts without standard output and error; a command-line run
// (the headless print, for example) then writes to the console of the command that started it.
// Where they already lead somewhere (a console, a pipe, a file, or on Linux) nothing changes.
void useParentConsole();

}  // namespace platform
