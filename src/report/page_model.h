#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <variant>
#include <vector>

#include "project_def.h"

namespace report {

// The laid-out report: what to draw on each page, in points from the page's top-left corner.
// Text is already broken into lines, so every output device shows the same lines and pages.

struct ResolvedFont {
    QString family;
    double size = 10;
    bool bold = false, italic = false, underline = false;
    bool operator==(const ResolvedFont&) const = default;
};

struct TextRun {
    QRectF rect;  // one line; the text is aligned horizontally inside it
    ResolvedFont font;
    HAlign align = HAlign::Left;
    QString text;
};

struct LineOp {
    QPointF from, to;
    double width = 0.5;
};

struct BoxOp {
    QRectF rect;
    double width = 0.5;
};

struct CheckOp {
    QRectF rect;
    bool marked = false;
    bool frame = true;
    double width = 0.5;
};

using DrawOp = std::variant<TextRun, LineOp, BoxOp, CheckOp>;

struct Page {
    std::vector<DrawOp> ops;
};

struct Document {
    QString reportName;
    QString title, author;  // the document's properties in a PDF; empty: not given
    double width = 612, height = 792;
    std::vector<Page> pages;
};

}  // namespace report
