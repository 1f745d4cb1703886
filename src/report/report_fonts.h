#pragma once

#include <QString>

namespace report {

// The fonts shipped in the program's "fonts" folder, so that a report prints with the same glyphs
// and widths on every machine whatever fonts its system has. Loaded once at start; reports then
// draw a family they name with the shipped font of that name or, for the usual Windows families,
// with the shipped font of the same metrics (Times New Roman: Liberation Serif).

// Adds every font file of `folder` to the application's fonts; returns how many were added.
// Needs a QGuiApplication.
int loadReportFonts(const QString& folder);

// The family that text in the font `family` is drawn with: `family` itself unless the program
// ships its stand-in.
QString reportFontFamily(const QString& family);

}  // namespace report
