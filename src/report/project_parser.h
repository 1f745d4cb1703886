#pragma once

#include <QString>
#include <memory>

#include "project_def.h"

namespace report {

struct ParseError {
    int line = 0;  // 1-based line of the project file
    QString message;
    QString text() const { return QStringLiteral("line %1: %2").arg(line).arg(message); }
};

struct ParseResult {
    std::unique_ptr<ProjectDef> project;  // null on error
    ParseError error;
    bool ok() const { return project != nullptr; }
};

// Parses the text of a report project file. Stops at the first error, which names the line and
// what is wrong; never throws. Uses only QtCore, so the fuzz target can build it alone.
ParseResult parseProject(const QString& text);

}  // namespace report
