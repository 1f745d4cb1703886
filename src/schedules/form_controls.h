#pragma once

// Small helpers of the schedule forms that place their data-aware controls in code.

#include <QLatin1String>
#include <QString>

#include "platform/data_source.h"
#include "storage/filtered_dataset.h"

namespace schedules {

// Names a data-aware control and binds it to `field` of `source`.
template <typename Control>
Control* bound(Control* control, const char* name, platform::DataSource* source,
               const char* field) {
    control->setObjectName(QLatin1String(name));
    control->setDataSource(source);
    control->setDataField(QLatin1String(field));
    return control;
}

// Stored text of field `name` of the table's current record, as a QString.
inline QString fieldText(storage::TDbfPrimDataset& table, const char* name) {
    return QString::fromStdString(table.FieldByName(name).AsString());
}

}  // namespace schedules
