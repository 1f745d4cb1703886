#pragma once

#include <optional>
#include <string>
#include <vector>

#include "guidelines/worksheet.h"

namespace guidelines {

// One printed line of the worksheet: what it is, its value (an amount, or text such as "17%"
// or a party's name) and the statute it rests on.
struct WorksheetLine {
    std::string section;  // the heading it stands under
    std::string label;
    std::optional<Cents> amount;
    std::string value;  // when there is no amount
    std::string basis;
    bool result = false;  // an amount the court orders or the parties recite
};

// Every input, step and result of a computed case, section by section in the order computed:
// the parameters, the inputs, maintenance, child support, the add-ons. The form that shows
// the results and the printed worksheet both read this list.
std::vector<WorksheetLine> worksheetLines(const Worksheet& sheet);

// What an attorney should know in reading the figures: the presumptions, the choices on
// unsettled points, the parameter file's notes and the case's own.
std::vector<std::string> worksheetNotes(const Worksheet& sheet);

// "58.3333%": a fraction as a percentage with four decimals.
std::string percentText(double fraction);

}  // namespace guidelines
