#include "app/program.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/data_location.h"
#include "app/main_window.h"
#include "app/network_form.h"
#include "app/program_end.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/qt_dialogs.h"
#include "storage/status.h"

namespace app {

TF_Main* F_Main = nullptr;
TF_network* F_network = nullptr;

namespace {

// The file layer's own failures end the program with the error's code, after a box that says so;
// its other messages ("Lock failed [Post]") are plain message boxes.
void haltOnFatalError(int code, const std::string& message) {
    platform::dialogs().showMessage(QString::fromStdString(message),
                                    QStringLiteral("Program halted."));
    std::exit(code);
}

}  // namespace

int runProgram(QApplication& application) {
    QApplication::setWindowIcon(platform::icon(platform::Icon::Window));
    platform::installDialogs(std::make_unique<platform::QtDialogs>());
    storage::setFatalHandler(haltOnFatalError);
    storage::setMessageHandler([](const std::string& message) {
        platform::dialogs().showMessage(QString::fromStdString(message));
    });

    DataLocation location(QCoreApplication::applicationDirPath());

    // 1. The main window, not yet visible.
    auto main = std::make_unique<TF_Main>(location);
    F_Main = main.get();

    // 2. The General Information form, the main window's MDI child, shown at once. Its show step
    //    reads the data directory, opens General.dbf and, when the first record has no matter,
    //    opens the matter selection before the main window appears. Until that form is plugged
    //    in here (with F_Main->setSeams for its Matter box, UpdateGeneral and the matter
    //    selection), only the data directory is read.
    location.read();

    // 3. The data-location form, hidden for the whole run.
    auto network = std::make_unique<TF_network>(location);
    F_network = network.get();
    F_Main->setNetworkForm(F_network);

    // 4. The message loop; showing the main window opens the matter selection.
    int exitCode = 0;
    if (!programEnding()) {
        F_Main->placeOnDesktop();
        F_Main->showMaximized();
        exitCode = application.exec();
    }

    F_network = nullptr;
    F_Main = nullptr;
    return exitCode;
}

}  // namespace app
