#pragma once
// The manual's pages: its text document laid out on the paper of a PDF writer, page after page,
// with 2 cm margins and the page number at the foot of each page.
#include <QPagedPaintDevice>
#include <QTextDocument>

// PDF/A-1 allows real numbers of at most 32767 in a page's drawing. The layout places the whole
// manual in one run of coordinates, in dots of the writer's resolution, so the last page's text
// lies at about (pages x page height): the resolution returned, at most `preferred` dots per
// inch, keeps it within that bound.
int manualResolution(const QTextDocument& manual, int preferred);

// Paints every page of `manual` onto `device` (a writer whose painting has not begun); false with
// *error when the device cannot be painted on or the pages run past the bound above.
bool printManual(const QTextDocument& manual, QPagedPaintDevice& device, QString* error);
