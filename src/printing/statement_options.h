#pragma once

#include <QString>

namespace printing {

// How the affiant's statement closes: sworn before a notary public (the jurat), or affirmed
// under the penalties of perjury as CPLR 2106 allows any person since 1 January 2024.
enum class Oath { Jurat, Affirmation };

// How a matter's statement is printed, beyond its stored answers.
struct StatementOptions {
    Oath oath = Oath::Jurat;
};

// The options stored for `matter` in `dataDirectory` (ending with a separator): its record of
// "Marks.dbf" (matter_marks.h), where the Statement Options form keeps the choice. A matter
// without a choice, or without a record, prints with the defaults (the jurat). The print job
// reads the same record with the marks, once.
StatementOptions storedStatementOptions(const QString& dataDirectory, const QString& matter);

// The report parameter that chooses the closing, "r_oath", and its value for each oath: "jurat"
// or "affirmation". The report prints the jurat for any other value.
QString oathParameterName();
QString oathParameterValue(Oath oath);

}  // namespace printing
