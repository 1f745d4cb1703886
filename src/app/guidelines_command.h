#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "guidelines/guideline_case.h"
#include "guidelines/problem.h"

namespace app {

// The guideline calculator for tests, scripts and what-if runs:
//
//   networth --guidelines IN.json
//
// reads a case (IN.json, or standard input for "-"), computes it with the parameters in force
// on its `as_of` date from <program dir>/Guidelines/parameters.ini and writes the results as
// JSON on standard output (guidelines/result_json.h). Exit 0; 2 with a message on standard
// error naming the field, and nothing on standard output, for a malformed case or wrong
// arguments; 1 when the parameter file cannot be read.
int runGuidelines(const QStringList& arguments, const QString& programDirectory);

// Reads the calculator's JSON case. Keys: as_of, maintenance, children, custodial,
// income {a, b}, and optionally above_cap, addons {child_care, health_insurance,
// unreimbursed_medical, education}, married, commenced, cssa_cap, maintenance_cap. A problem
// names the key (income.a, addons.education ...) for text that is not JSON, a missing or
// unknown key, or a value of the wrong kind; the rules of the law are checked when computing.
guidelines::Outcome<guidelines::GuidelineCase> readGuidelineCase(const QByteArray& json);

}  // namespace app
