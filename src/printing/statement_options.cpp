#include "printing/statement_options.h"

namespace printing {

StatementOptions storedStatementOptions(const QString& /*dataDirectory*/,
                                        const QString& /*matter*/) {
    return StatementOptions{};
}

QString oathParameterName() { return QStringLiteral("r_oath"); }

QString oathParameterValue(Oath oath) {
    return oath == Oath::Affirmation ? QStringLiteral("affirmation") : QStringLiteral("jurat");
}

}  // namespace printing
