#pragma once
// The real program for end-to-end tests: a program directory of its own holding an empty
// default data directory, the file layer's fatal errors recorded instead of ending the test
// program, and commands given by their action's name.
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <source_location>

#include "app/main_window.h"
#include "app/program.h"
#include "find_child.h"
#include "storage/status.h"

namespace test_support {

class ProgramRun {
  public:
    ProgramRun() {
        QDir(directory_.path()).mkdir(QStringLiteral("data3005"));
        previousFatal_ = storage::setFatalHandler(
            [this](int, const std::string& text) { fatalErrors_ << QString::fromStdString(text); });
    }
    ~ProgramRun() {
        program_.reset();
        storage::setFatalHandler(previousFatal_);
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    QString programDirectory() const { return directory_.path(); }
    QString dataDirectory() const { return directory_.filePath(QStringLiteral("data3005")); }
    const QStringList& fatalErrors() const { return fatalErrors_; }

    // Starts the program (its start sequence may already show the matter selection) and shows
    // the main window, whose show step opens the matter selection.
    void start() {
        program_ = std::make_unique<app::Program>(programDirectory());
        program_->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&program_->mainWindow()));
    }
    // Tears the run's forms down without saving (as the end of the program does).
    void stop() { program_.reset(); }
    bool running() const { return program_ != nullptr; }
    app::Program& program() { return *program_; }

    // Triggers the main window's action `name`, as its menu item or toolbar button would.
    void command(const char* name, std::source_location where = std::source_location::current()) {
        triggerAction(&program_->mainWindow(), name, where);
    }

  private:
    QTemporaryDir directory_;
    std::unique_ptr<app::Program> program_;
    QStringList fatalErrors_;
    storage::FatalHandler previousFatal_;
};

}  // namespace test_support
