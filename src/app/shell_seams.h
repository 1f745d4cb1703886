#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace schedules {
struct ScheduleFormEntry;
}

namespace app {

// What the main window needs from the forms built on top of it: the General Information form
// (its Matter box and its commit), the matter selection, the schedule forms and the print job.
// Every member may be left empty: then there is no matter, the commit does nothing, and the
// dialogs and the print job are not opened.
struct ShellSeams {
    // The text of F_General's Matter box, read afresh on every call; empty = no matter chosen.
    std::function<QString()> currentMatter;
    // UpdateGeneral: post the General record when it has a matter name, else drop its changes.
    // False when the current matter turned out to be deleted at another workstation (the user
    // was told and the matter selection is on its way).
    std::function<bool()> updateGeneral;
    // A new matter selection (F_SelectMatter), not yet shown; the caller shows it modally and
    // releases it when it closes.
    std::function<std::unique_ptr<QDialog>(QWidget* owner)> createMatterSelection;
    // A new schedule form (a row of the schedule form registry) with its tables opened for the
    // current matter, not yet shown; the caller shows it modally and releases it when it closes.
    std::function<std::unique_ptr<QDialog>(const schedules::ScheduleFormEntry& form,
                                           QWidget* owner)>
        createScheduleForm;
    // The print job for the current matter; returns when the user is done.
    std::function<void()> printJob;
};

}  // namespace app
