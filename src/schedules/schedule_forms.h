#pragma once

// The schedule forms, one row each in a registry: the form's identity (its object name, which
// also identifies the row, and its caption), the table set it owns, what the common gate checks
// before it opens, the command that opens it (menu item and toolbar button) and its factory. The
// main window's Forms menu and toolbar, the gate and the tests read the registry; adding a form
// is one row in schedule_forms.cpp and the form's own files.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "catalog/table_def.h"
#include "platform/icons.h"

namespace storage {
class Env;
class TDbfCDataSet;
}  // namespace storage

namespace guidelines {
struct Worksheet;
}

namespace schedules {

class ScheduleFrame;

// What a schedule form needs from the program around it. Every member is set by the caller.
struct ScheduleContext {
    // The data directory in force, ending with a path separator.
    QString dataDirectory;
    // The current matter (the General Information form's Matter box), read afresh on each call.
    std::function<QString()> currentMatter;
    // Installs the matter filter routine of table component `component` on `table`, with the
    // main window as the routine's context.
    std::function<void(const QString& component, storage::TDbfCDataSet& table)> installMatterFilter;
    // Installs the routine passing the current matter's records of expense category `etype`.
    std::function<void(const QString& etype, storage::TDbfCDataSet& table)> installCategoryFilter;
    // The file system the tables are opened on; null is the real one (tests put an in-memory or
    // a failing one here).
    storage::Env* env = nullptr;
    // The program's directory, where the guideline parameters lie.
    QString programDirectory;
    // Prints a guideline worksheet of the current matter through the report engine's windows,
    // owned by `form`; `partyRoles` describe its Party A and Party B ("plaintiff, the
    // deponent", "defendant").
    std::function<void(const guidelines::Worksheet& sheet, const QStringList& partyRoles,
                       QWidget* form)>
        printGuidelines;
};

// What a command checks about the current matter before its form opens (the common gate). Every
// rule commits the General record (UpdateGeneral) on its way. "Offer the selection": an empty
// Matter box shows "No matter has been specified", triggers the matter selection and stops; the
// command does not resume after it.
enum class GateRule {
    // Offer the selection; after the commit an empty Matter box says "General information form
    // is incomplete" and stops.
    OfferSelectionThenSayIncomplete,
    // Offer the selection; after the commit an empty Matter box stops without a word.
    OfferSelectionThenStopQuietly,
    // No check before the commit; after it an empty Matter box stops without a word.
    CommitThenStopQuietly,
    // Offer the selection, commit, and go on (the print command).
    OfferSelectionOnly,
};

struct ScheduleFormEntry {
    const char* objectName;  // "F_Family": the form's object name, and the row's identity
    const char* caption;     // the window caption, "Family Data"
    catalog::TableSet (*tables)();
    GateRule gate;
    // The command: an item of the "F&orms" menu and a toolbar button that triggers it.
    const char* menuItem;     // "Family1"
    const char* menuCaption;  // "F&amily"
    const char* toolButton;   // "ToolButton5"; nullptr: none
    const char* hint;         // "Family Form"
    platform::Icon icon;
    // A new form with its widgets built and its tables not yet opened.
    std::unique_ptr<ScheduleFrame> (*create)(const ScheduleFormEntry& entry,
                                             const ScheduleContext& context, QWidget* owner);
};

// The forms in the order of the Forms menu and of the toolbar.
std::span<const ScheduleFormEntry> scheduleForms();
// The row of the form named `objectName` (letter case counts); nullptr when there is none.
const ScheduleFormEntry* findScheduleForm(std::string_view objectName);
// The Statement Options form (F_Options, the File menu's "Statement &Options..."): a row of its
// own, outside the schedules' list, with no toolbar button.
const ScheduleFormEntry& statementOptionsForm();

// Creates the form of `entry` and opens its tables for the current matter (ScheduleFrame::open)
// and then its answer marks (ScheduleFrame::openMarks), not yet shown; the caller shows it modally
// and releases it when it closes (closing posts and closes the tables). When opening fails the form
// is not returned: a table component's error has been shown in a message box (a fatal one by its
// handler, an abandoned step not at all), and the tables opened so far are closed unposted.
std::unique_ptr<QDialog> openScheduleForm(const ScheduleFormEntry& entry,
                                          const ScheduleContext& context, QWidget* owner);

}  // namespace schedules
