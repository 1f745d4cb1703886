#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "field.h"

namespace storage {

// Field definitions of a table component, one line per field: "name,type,width,decimals".
// Items are trimmed; the type is the first character of its item.
//
// Returns nullopt when a line does not have exactly three commas. Definitions that a dBASE table
// cannot hold are corrected (unknown type -> C; N width above 20 -> 20, N decimals above 18 -> 18,
// N decimals that leave no room -> width - 2; C width of 255 or more -> 254); each correction is
// reported through `report` with the text "Invalid field definition for <component>: ..." naming
// the definition before and after.
std::optional<std::vector<FieldDescriptor>> parseDbfFields(
    const std::vector<std::string>& lines, const std::string& componentName,
    const std::function<void(const std::string&)>& report);

std::string trimmed(const std::string& text);

}  // namespace storage
