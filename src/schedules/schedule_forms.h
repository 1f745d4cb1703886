#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace storage {
class TDbfCDataSet;
}

namespace schedules {

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
};

// Each creates its form with its tables opened and positioned for the current matter, not yet
// shown; the caller shows it modally and releases it when it closes (closing posts and closes
// the tables).
std::unique_ptr<QDialog> createFamilyForm(const ScheduleContext& context, QWidget* owner);
std::unique_ptr<QDialog> createExpensesForm(const ScheduleContext& context, QWidget* owner);
std::unique_ptr<QDialog> createIncomeForm(const ScheduleContext& context, QWidget* owner);
std::unique_ptr<QDialog> createAssetsForm(const ScheduleContext& context, QWidget* owner);
std::unique_ptr<QDialog> createLiabilitiesForm(const ScheduleContext& context, QWidget* owner);
std::unique_ptr<QDialog> createSummaryForm(const ScheduleContext& context, QWidget* owner);

}  // namespace schedules
