// Feeds arbitrary bytes to the guideline parameter file's parser; a file that parses gives the
// set in force on several dates and computes a case with every step. Nothing may crash, hang,
// overflow or read out of bounds, and every refusal says why.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "guidelines/parameters.h"
#include "guidelines/result_json.h"
#include "guidelines/worksheet.h"
#include "guidelines/worksheet_lines.h"

using namespace guidelines;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Outcome<ParameterTable> parsed = ParameterTable::parse(text, "fuzz.ini");
    if (const Problem* problem = std::get_if<Problem>(&parsed)) {
        if (problem->text.empty()) __builtin_trap();
        return 0;
    }
    const ParameterTable& table = std::get<ParameterTable>(parsed);
    for (const CivilDate date :
         {table.firstDate(), CivilDate{2025, 6, 1}, CivilDate{9999, 12, 31}}) {
        GuidelineCase in;
        in.asOf = date;
        in.maintenance = MaintenanceKind::PostDivorce;
        in.children = 2;
        in.custodial = Party::B;
        in.setIncome(Party::A, dollars(900'000'000));
        in.setIncome(Party::B, dollars(20000));
        in.aboveCap.kind = AboveCap::Kind::Percentage;
        in.addOns.childCare = dollars(1000);
        in.married = CivilDate{2001, 2, 3};
        in.commenced = CivilDate{2020, 1, 1};
        const Outcome<Worksheet> sheet = computeWorksheet(in, table);
        if (const Worksheet* computed = std::get_if<Worksheet>(&sheet)) {
            worksheetLines(*computed);
            worksheetNotes(*computed);
            resultJson(*computed);
        } else if (std::get<Problem>(sheet).text.empty()) {
            __builtin_trap();
        }
    }
    return 0;
}
