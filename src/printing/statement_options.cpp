#include "printing/statement_options.h"

#include "printing/matter_marks.h"

namespace printing {

StatementOptions storedStatementOptions(const QString& dataDirectory, const QString& matter) {
    return {MatterMarks::stored(dataDirectory, matter).affirmation() ? Oath::Affirmation
                                                                     : Oath::Jurat};
}

QString oathParameterName() { return QStringLiteral("r_oath"); }

QString oathParameterValue(Oath oath) {
    return oath == Oath::Affirmation ? QStringLiteral("affirmation") : QStringLiteral("jurat");
}

}  // namespace printing
