// expense_appender DIR MATTER LABEL COUNT: appends COUNT expense lines "LABEL 001", "LABEL 002",
// ... (category "(n) Other", amount the line's number) to the matter in the data directory DIR,
// one at a time through the table component as the Expenses form posts a line. The Windows and
// the Linux build together are two workstations sharing one data directory.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "print_fixture.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int count = args.size() == 5 ? args[4].toInt(&ok) : 0;
    if (!ok || count < 1) {
        std::fputs("usage: expense_appender DIR MATTER LABEL COUNT\n", stderr);
        return 2;
    }
    const QString directory = QDir(args[1]).absolutePath() + QLatin1Char('/');
    for (int i = 1; i <= count; ++i) {
        print_test::writeTableRetrying(
            directory, "T_Expenses",
            {{{"matter", args[2]},
              {"etype", QStringLiteral("(n) Other")},
              {"expense", QStringLiteral("%1 %2").arg(args[3]).arg(i, 3, 10, QLatin1Char('0'))},
              {"amt", QString::number(i)}}});
    }
    return 0;
}
