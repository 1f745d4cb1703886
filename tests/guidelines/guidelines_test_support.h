#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "guidelines/parameters.h"
#include "guidelines/worksheet.h"

namespace guidelines {

// Parses a parameter text that the test expects to be sound.
inline ParameterTable parsedParameters(std::string_view text, const std::string& name) {
    Outcome<ParameterTable> parsed = ParameterTable::parse(text, name);
    if (const Problem* problem = std::get_if<Problem>(&parsed)) {
        ADD_FAILURE() << problem->text;
        return {};
    }
    return std::get<ParameterTable>(std::move(parsed));
}

// The parameter file the program ships (Guidelines/parameters.ini).
inline const ParameterTable& shippedParameters() {
    static const ParameterTable table = [] {
        std::ifstream file(SHIPPED_PARAMETERS, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return parsedParameters(text.str(), "parameters.ini");
    }();
    return table;
}

// A computed case that the test expects to be sound.
inline Worksheet computed(const GuidelineCase& input,
                          const ParameterTable& parameters = shippedParameters()) {
    Outcome<Worksheet> sheet = computeWorksheet(input, parameters);
    if (const Problem* problem = std::get_if<Problem>(&sheet)) {
        ADD_FAILURE() << problem->field << ": " << problem->text;
        return {};
    }
    return std::get<Worksheet>(std::move(sheet));
}

// The problem a case that the test expects to be refused gives.
inline Problem refused(const GuidelineCase& input,
                       const ParameterTable& parameters = shippedParameters()) {
    Outcome<Worksheet> sheet = computeWorksheet(input, parameters);
    if (const Problem* problem = std::get_if<Problem>(&sheet)) return *problem;
    ADD_FAILURE() << "the case was computed";
    return {};
}

}  // namespace guidelines
