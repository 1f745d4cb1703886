#include <QApplication>
#include <QStringList>

#include "app/print_pdf.h"
#include "app/program.h"
#include "platform/application_setup.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const bool printPdf = app::isPrintPdfCommand(arguments);
#ifndef Q_OS_WIN
    // The headless print shows no window, so it needs no display.
    if (printPdf && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark Net Worth"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    platform::setUpApplication();
    if (printPdf) return app::runPrintPdf(arguments, QCoreApplication::applicationDirPath());
    return app::runProgram(application);
}
