#pragma once

#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <functional>

#include "page_model.h"

namespace report {

// Paints one laid-out page. The painter's origin must be the paper's top-left corner (a printer
// in full-page mode, a PDF writer without margins); points are mapped to the device's dots.
// The scales enlarge or shrink the drawing (1.0: actual size).
void paintPage(QPainter& painter, const Page& page, double scaleX = 1.0, double scaleY = 1.0);

// Paints every page onto a paged device (printer or PDF writer), starting a new device page
// between them; `pageDone` is called with each page number once it is painted. False with
// *error when the device cannot be opened (for example a file that cannot be written).
bool paintDocument(QPagedPaintDevice& device, const Document& document,
                   const std::function<void(int page)>& pageDone, QString* error,
                   double scaleX = 1.0, double scaleY = 1.0);

// The program and its version, as PDF files name their creator.
QString creatorName();

struct PdfOptions {
    QString title;   // the document's title in the PDF
    QString author;  // empty: none
    QString creator = creatorName();
    int resolution = 300;               // dots per inch of the PDF's drawing space
    double scaleX = 1.0, scaleY = 1.0;  // a laid-out document's enlargement

    // The document's own title and author; `fallbackTitle` when it has no title.
    static PdfOptions forDocument(const Document& document, const QString& fallbackTitle);
};

// Paints the pages of a PDF onto the writer it is given; false with *error when it cannot.
using PdfPainter = std::function<bool(QPagedPaintDevice& device, QString* error)>;

// Writes a PDF/A-1b file on US Letter paper (fonts embedded, text extractable, no scripts, no
// encryption), as electronic filing asks, with the pages `paint` draws; every PDF the program
// writes goes through here. The file is replaced whole only once it is complete: a failure
// leaves any earlier file of that name as it was.
bool writePdf(const QString& path, const PdfOptions& options, const PdfPainter& paint,
              QString* error);

// Writes the laid-out document through the writer above.
bool writePdf(const Document& document, const QString& path, const PdfOptions& options,
              const std::function<void(int page)>& pageDone, QString* error);

}  // namespace report
