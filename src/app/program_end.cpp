#include "app/program_end.h"

#include <QCoreApplication>

namespace app {

namespace {
bool ending = false;
ProgramEndHandler& handler() {
    static ProgramEndHandler current;
    return current;
}
}  // namespace

void endProgram() {
    ending = true;
    if (handler()) {
        handler()();
    } else {
        QCoreApplication::exit(0);  // leaves nested modal loops as well as the main one
    }
}

bool programEnding() { return ending; }

ProgramEndHandler setProgramEndHandler(ProgramEndHandler next) {
    ending = false;
    return std::exchange(handler(), std::move(next));
}

}  // namespace app
