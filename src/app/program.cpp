#include "app/program.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QMdiSubWindow>
#include <cstdlib>
#include <memory>

#include "app/data_location.h"
#include "app/main_window.h"
#include "app/network_form.h"
#include "app/program_end.h"
#include "app/select_matter.h"
#include "matter/general_form.h"
#include "platform/dialogs.h"
#include "platform/icons.h"
#include "platform/progress_window.h"
#include "platform/qt_dialogs.h"
#include "printing/guidelines_worksheet.h"
#include "printing/print_components.h"
#include "printing/print_job.h"
#include "schedules/schedule_forms.h"
#include "storage/status.h"

namespace app {

namespace {

// The file layer's own failures end the program with the error's code, after a box that says so;
// its other messages ("Lock failed [Post]") are plain message boxes.
void haltOnFatalError(int code, const std::string& message) {
    platform::dialogs().showMessage(QString::fromStdString(message),
                                    QStringLiteral("Program halted."));
    std::exit(code);
}

}  // namespace

Program::Program(const QString& programDirectory)
    : location_(std::make_unique<DataLocation>(programDirectory)) {
    // 1. The main window, not yet visible. Its commands reach the forms created below.
    main_ = std::make_unique<TF_Main>(*location_);
    ShellSeams seams;
    seams.currentMatter = [this] { return general_ ? general_->currentMatter() : QString(); };
    seams.updateGeneral = [this] { return general_ ? general_->UpdateGeneral() : true; };
    seams.createMatterSelection = [this](QWidget* owner) -> std::unique_ptr<QDialog> {
        if (!general_) return nullptr;
        return std::make_unique<TF_SelectMatter>(*location_, *general_, network_.get(), owner);
    };
    seams.createScheduleForm = [this](const schedules::ScheduleFormEntry& form, QWidget* owner) {
        return createScheduleForm(form, owner);
    };
    seams.printJob = [this] {
        printing::PrintContext context;
        context.programDirectory = location_->programDirectory();
        context.dataDirectory = location_->directory();
        context.currentMatter = [this] { return main_->currentMatter(); };
        context.general = general_ ? &general_->DbfTable1() : nullptr;
        context.installMatterFilter = [this](const QString& component,
                                             storage::TDbfCDataSet& table) {
            main_->installMatterFilter(component, table);
        };
        context.components = &main_->printComponents();
        context.mainWindow = main_.get();
        const printing::PrintOutcome outcome = printing::runPrintJob(context);
        if (!outcome.error.isEmpty()) platform::dialogs().showMessage(outcome.error);
    };
    main_->setSeams(std::move(seams));

    // 2. The General Information form, the main window's only MDI child. Its show step may open
    //    the matter selection before the main window appears.
    matter::GeneralSeams generalSeams;
    generalSeams.readDataDirectory = [this] { return location_->read(); };
    generalSeams.openMatterSelection = [this] {
        main_->findChild<QAction*>(QStringLiteral("Open1"))->trigger();
    };
    general_ = new matter::TF_General(std::move(generalSeams));
    general_->placeIn(main_->clientArea())->show();
    general_->FormShow();

    // 3. The data-location form, hidden for the whole run.
    network_ = std::make_unique<TF_network>(*location_);
    main_->setNetworkForm(network_.get());
}

Program::~Program() {
    main_.reset();  // with the General form in it
    general_ = nullptr;
    network_.reset();
}

std::unique_ptr<QDialog> Program::createScheduleForm(const schedules::ScheduleFormEntry& form,
                                                     QWidget* owner) {
    schedules::ScheduleContext context;
    context.dataDirectory = location_->directory();
    context.currentMatter = [this] { return main_->currentMatter(); };
    context.installMatterFilter = [this](const QString& component, storage::TDbfCDataSet& table) {
        main_->installMatterFilter(component, table);
    };
    context.installCategoryFilter = [this](const QString& etype, storage::TDbfCDataSet& table) {
        main_->installCategoryFilter(etype, table);
    };
    context.programDirectory = location_->programDirectory();
    context.printGuidelines = [this](const guidelines::Worksheet& sheet,
                                     const QStringList& partyRoles, QWidget* form) {
        printing::WorksheetHeading heading;
        heading.matter = main_->currentMatter();
        heading.prepared = QDate::currentDate();
        for (int i = 0; i < 2; ++i) heading.partyRoles[i] = partyRoles.value(i);
        const printing::PrintOutcome outcome = printing::printGuidelinesWorksheet(
            sheet, heading, location_->programDirectory(), QString(),
            &main_->printComponents().ReportSystem1, form);
        if (!outcome.error.isEmpty()) platform::dialogs().showMessage(outcome.error);
    };
    return schedules::openScheduleForm(form, context, owner);
}

void Program::showMainWindow() {
    main_->placeOnDesktop();
    main_->showMaximized();
}

int runProgram(QApplication& application) {
    return runProgram(application, QCoreApplication::applicationDirPath());
}

int runProgram(QApplication& application, const QString& programDirectory) {
    QApplication::setWindowIcon(platform::icon(platform::Icon::Window));
    platform::installDialogs(std::make_unique<platform::QtDialogs>());
    storage::setFatalHandler(haltOnFatalError);
    storage::setMessageHandler([](const std::string& message) {
        platform::dialogs().showMessage(QString::fromStdString(message));
    });
    platform::installIndexProgressWindow();

    Program program(programDirectory);
    // 4. The message loop; showing the main window opens the matter selection.
    if (programEnding()) return 0;
    program.showMainWindow();
    return application.exec();
}

}  // namespace app
