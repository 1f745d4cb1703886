#pragma once

#include <QFont>
#include <QImage>
#include <QStringList>

#include "page_model.h"

namespace report {

// Measures and breaks text the same way for every output: metrics come from a fixed 1200 dpi
// reference device and are returned in points. Needs a QGuiApplication.
class TextMeasure {
  public:
    TextMeasure();

    // The QFont for a resolved font, sized in points.
    static QFont toQFont(const ResolvedFont& font);

    double lineHeight(const ResolvedFont& font);
    // Splits text into lines: at line breaks ("\r\n", "\r" or "\n") and, when `width` > 0, at
    // word boundaries (or anywhere, for a word wider than the line) so no line is wider.
    QStringList breakLines(const QString& text, const ResolvedFont& font, double width);

  private:
    const QFont& cachedFont(const ResolvedFont& font);

    QImage device_;
    ResolvedFont lastSpec_;
    QFont lastFont_;
    bool haveLast_ = false;
};

}  // namespace report
