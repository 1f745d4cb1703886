// The registry of the schedule forms, and the one way of opening them.

#include "schedules/schedule_forms.h"

#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "platform/data_source.h"
#include "schedules/expenses_form.h"
#include "schedules/family_form.h"
#include "schedules/group_box_schedule.h"
#include "schedules/guidelines_form.h"
#include "schedules/income_form.h"
#include "schedules/statement_options_form.h"
#include "schedules/summary_form.h"

namespace schedules {

namespace {

template <typename Form>
std::unique_ptr<ScheduleFrame> make(const ScheduleFormEntry& entry, const ScheduleContext& context,
                                    QWidget* owner) {
    return std::make_unique<Form>(entry, context, owner);
}

using enum GateRule;
using platform::Icon;

// Object name, caption, table set, gate rule; menu item, its caption, toolbar button, its hint,
// picture; factory.
constexpr ScheduleFormEntry kForms[] = {
    {"F_Family", "Family Data", catalog::familyTables, OfferSelectionThenSayIncomplete, "Family1",
     "F&amily", "ToolButton5", "Family Form", Icon::Family, make<TF_Family>},
    {"F_Expenses", "Expenses", catalog::expensesTables, OfferSelectionThenSayIncomplete,
     "Expenses1", "&Expenses", "ToolButton6", "Expenses", Icon::Expenses, make<TF_Expenses>},
    {"F_Income", "Gross Income", catalog::incomeTables, OfferSelectionThenStopQuietly,
     "GrossIncome1", "&Gross Income", "ToolButton7", "Income Form", Icon::GrossIncome,
     make<TF_Income>},
    {"F_Assets", "Assets", catalog::assetsTables, OfferSelectionThenStopQuietly, "Assets1",
     "&Assets", "ToolButton8", "Assets", Icon::Assets, make<TF_Assets>},
    {"F_Liabilities", "Liabilities", catalog::liabilitiesTables, OfferSelectionThenStopQuietly,
     "Liabilities1", "&Liabilities", "ToolButton9", "Liabilities", Icon::Liabilities,
     make<TF_Liabilities>},
    {"F_Summary", "Summary", catalog::summaryTables, CommitThenStopQuietly, "Summary1", "&Summary",
     "ToolButton10", "Summary", Icon::Summary, make<TF_Summary>},
    {"F_Guidelines", "Guidelines", catalog::guidelinesTables, OfferSelectionThenStopQuietly,
     "Guidelines1", "G&uidelines", "ToolButton11", "Guideline amounts", Icon::Guidelines,
     make<TF_Guidelines>},
};

// Not a schedule: the File menu's item for the options of the printed statement.
constexpr ScheduleFormEntry kStatementOptions = {"F_Options",
                                                 "Statement Options",
                                                 catalog::marksTables,
                                                 OfferSelectionThenStopQuietly,
                                                 "Options1",
                                                 "Statement &Options...",
                                                 nullptr,
                                                 nullptr,
                                                 Icon::StatementOptions,
                                                 make<TF_StatementOptions>};

}  // namespace

std::span<const ScheduleFormEntry> scheduleForms() { return kForms; }

const ScheduleFormEntry& statementOptionsForm() { return kStatementOptions; }

const ScheduleFormEntry* findScheduleForm(std::string_view objectName) {
    for (const ScheduleFormEntry& entry : kForms) {
        if (objectName == entry.objectName) return &entry;
    }
    return nullptr;
}

std::unique_ptr<QDialog> openScheduleForm(const ScheduleFormEntry& entry,
                                          const ScheduleContext& context, QWidget* owner) {
    std::unique_ptr<ScheduleFrame> form = entry.create(entry, context, owner);
    if (!platform::runDataAction([&] {
            form->open();
            form->openMarks();
        }))
        return nullptr;
    return form;
}

}  // namespace schedules
