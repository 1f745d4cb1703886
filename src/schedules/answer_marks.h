#pragma once

// The answer marks on the schedule forms: a drop-down choice ("(no mark)", NONE, INAPPLICABLE,
// UNKNOWN) for each item of the statement that the form shows, bound to the item's field of the
// matter's record in "Marks.dbf". The statement prints the mark in place of an item left empty.

#include <QString>
#include <string_view>
#include <vector>

#include "catalog/statement_items.h"

class QWidget;

namespace platform {
class DataSource;
class DbComboBox;
}  // namespace platform

namespace schedules {

// The items whose marks the form named `form` shows, in the statement's order.
std::vector<const catalog::StatementItem*> formItems(std::string_view form);

// The item of `form` answered by `component` (a category of records, when `field` is null) or
// by `field` of it (the item's first field); nullptr when there is none.
const catalog::StatementItem* formItem(std::string_view form, std::string_view component,
                                       const char* field = nullptr);

// The name of an item's choice, "Mark_" followed by its key.
QString markChoiceName(const catalog::StatementItem& item);

// A new choice for `item`, named by markChoiceName, bound to `source` (the marks record).
platform::DbComboBox* newMarkChoice(const catalog::StatementItem& item,
                                    platform::DataSource* source, QWidget* parent);

}  // namespace schedules
