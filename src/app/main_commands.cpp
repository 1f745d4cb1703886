// The main window's commands and the common gate that schedule commands pass.

#include <QCoreApplication>
#include <QDir>

#include "app/data_location.h"
#include "app/main_window.h"
#include "app/matter_filters.h"
#include "app/network_form.h"
#include "app/program_end.h"
#include "app/splash_form.h"
#include "platform/dialogs.h"
#include "platform/shell_open.h"

namespace app {

QString TF_Main::currentMatter() const {
    return seams_.currentMatter ? seams_.currentMatter() : QString();
}

namespace {

QString matterOf(void* owner) { return static_cast<TF_Main*>(owner)->currentMatter(); }

}  // namespace

void TF_Main::installMatterFilter(const QString& component, storage::TDbfCDataSet& table) {
    table.SetFilterToCB(matterFilter(component, table, matterOf), this, matterKey(matterOf));
}

void TF_Main::installCategoryFilter(const QString& etype, storage::TDbfCDataSet& table) {
    table.SetFilterToCB(categoryFilter(etype, table, matterOf), this, matterKey(matterOf));
}

bool TF_Main::UpdateGeneral() { return seams_.updateGeneral ? seams_.updateGeneral() : true; }

// Created first and shown after the commit, so that the selection opens on committed data.
void TF_Main::showMatterSelection() {
    std::unique_ptr<QDialog> selection =
        seams_.createMatterSelection ? seams_.createMatterSelection(this) : nullptr;
    UpdateGeneral();
    if (selection && !programEnding()) selection->exec();
}

void TF_Main::New1Click() { showMatterSelection(); }

void TF_Main::Open1Click() { showMatterSelection(); }

bool TF_Main::passGate(schedules::GateRule rule) {
    using schedules::GateRule;
    if (rule != GateRule::CommitThenStopQuietly && currentMatter().isEmpty()) {
        platform::dialogs().showMessage(QStringLiteral("No matter has been specified"));
        open1_->trigger();
        return false;  // the user gives the command again once a matter is chosen
    }
    // A matter deleted at another workstation: the user was told, the selection opens.
    if (!UpdateGeneral()) return false;
    if (rule == GateRule::OfferSelectionOnly) return true;
    if (currentMatter().isEmpty()) {
        if (rule == GateRule::OfferSelectionThenSayIncomplete) {
            platform::dialogs().showMessage(
                QStringLiteral("General information form is incomplete"));
        }
        return false;
    }
    return true;
}

void TF_Main::openScheduleForm(const schedules::ScheduleFormEntry& form) {
    if (!passGate(form.gate) || !seams_.createScheduleForm) return;
    std::unique_ptr<QDialog> dialog = seams_.createScheduleForm(form, this);
    if (dialog && !programEnding()) dialog->exec();
}

void TF_Main::Print1Click() {
    if (passGate(schedules::GateRule::OfferSelectionOnly) && seams_.printJob) seams_.printJob();
}

void TF_Main::Options1Click() { openScheduleForm(schedules::statementOptionsForm()); }

void TF_Main::Exit1Click() {
    UpdateGeneral();
    endProgram();
}

void TF_Main::NetworkPath1Click() {
    if (!network_ || !network_->BitBtn1Click()) return;
    QCoreApplication::processEvents();
    showMatterSelection();  // lists the matters of the new directory
}

void TF_Main::About1Click() {
    TF_Splash splash(this);
    splash.exec();
}

void TF_Main::Contents1Click() {
    platform::openDocument(
        QDir(location_.programDirectory()).filePath(QStringLiteral("Help/ManualE.pdf")));
}

}  // namespace app
