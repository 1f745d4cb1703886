#include <QApplication>

#include "app/program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark Net Worth"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    return app::runProgram(application);
}
