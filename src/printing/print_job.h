#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace printing {

// What the print job needs from the program around it.
struct PrintContext {
    QString programDirectory;  // holds Reports/Diredodu.rpf
    QString dataDirectory;     // ends with a path separator
    std::function<QString()> currentMatter;
    QWidget* mainWindow = nullptr;  // owner of the report windows; null when headless
};

// The print job for the current matter, run after the common gate; returns when the user is done.
void runPrintJob(const PrintContext& context);

}  // namespace printing
