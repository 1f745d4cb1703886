// print_scenario DIR: writes the full test matter "Smith v. Smith" (and two other matters) into
// the data directory DIR.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "print_fixture.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: print_scenario DIR\n", stderr);
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    print_test::writeScenario(QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/');
    return 0;
}
