#pragma once

#include <string>

#include "guidelines/worksheet.h"

namespace guidelines {

// The calculator's answer for a computed case, as JSON text ending in a line break:
//
//   parameters     effective, cssa_cap, maintenance_cap (as applied: a matter's override, or
//                  null for no cap), self_support_reserve, poverty_guideline
//   maintenance    payor, formula, annual, monthly, weekly, and for post-divorce
//                  duration_years [low, high] (null without both dates); null for none
//   child_support  noncustodial, combined_income, percentage, basic_obligation,
//                  noncustodial_share, annual, monthly, low_income_rule; null without children
//   addons         child_care, health_insurance, unreimbursed_medical, education: the
//                  non-custodial parent's annual shares; null without children
//
// Amounts are dollars with two decimals; the share is a fraction to six decimals.
std::string resultJson(const Worksheet& sheet);

}  // namespace guidelines
