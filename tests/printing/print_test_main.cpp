#include <gtest/gtest.h>

#include <QApplication>

#include "report/report_fonts.h"

int main(int argc, char** argv) {
    // Also when ctest lists the tests, which it does without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The statement's fonts, loaded as the program loads them at start: the tests run beside it.
    // Without them Windows has no stand-in for the report's "Times New Roman" and breaks lines
    // in other places.
    report::loadReportFonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
