#pragma once

#include <string>
#include <variant>

namespace guidelines {

// Why a case or a parameter file cannot be computed: the input field at fault (the calculator's
// key, such as "income.a" or "as_of"; empty for a whole file) and what is wrong with it.
struct Problem {
    std::string field;
    std::string text;
};

// A value or the problem that kept it from being made.
template <typename T>
using Outcome = std::variant<T, Problem>;

}  // namespace guidelines
