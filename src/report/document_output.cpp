#include "document_output.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include "pdf_metadata.h"
#include "text_measure.h"

namespace report {

namespace {

Qt::Alignment toQt(HAlign align) {
    switch (align) {
        case HAlign::Center:
            return Qt::AlignHCenter;
        case HAlign::Right:
            return Qt::AlignRight;
        case HAlign::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

void paintPage(QPainter& painter, const Page& page, double scaleX, double scaleY) {
    QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 72.0 * scaleX;
    const double sy = device->logicalDpiY() / 72.0 * scaleY;
    auto mapRect = [&](const QRectF& r) {
        return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy);
    };
    auto mapPoint = [&](const QPointF& p) { return QPointF(p.x() * sx, p.y() * sy); };
    auto pen = [&](double width) {
        QPen p(Qt::black);
        p.setWidthF(std::max(width * sx, 1.0));
        p.setCapStyle(Qt::FlatCap);
        return p;
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrush(Qt::NoBrush);
    ResolvedFont currentFont;
    bool haveFont = false;
    for (const DrawOp& op : page.ops) {
        if (const auto* text = std::get_if<TextRun>(&op)) {
            if (!haveFont || !(currentFont == text->font)) {
                QFont font = TextMeasure::toQFont(text->font);
                font.setPointSizeF(text->font.size * scaleY);
                painter.setFont(font);
                currentFont = text->font;
                haveFont = true;
            }
            painter.setPen(Qt::black);
            painter.drawText(
                mapRect(text->rect),
                toQt(text->align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                text->text);
        } else if (const auto* line = std::get_if<LineOp>(&op)) {
            painter.setPen(pen(line->width));
            painter.drawLine(mapPoint(line->from), mapPoint(line->to));
        } else if (const auto* box = std::get_if<BoxOp>(&op)) {
            painter.setPen(pen(box->width));
            painter.drawRect(mapRect(box->rect));
        } else if (const auto* check = std::get_if<CheckOp>(&op)) {
            const QRectF r = mapRect(check->rect);
            painter.setPen(pen(check->width));
            if (check->frame) painter.drawRect(r);
            if (check->marked) {
                const QRectF mark = r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2,
                                               -r.height() * 0.2);
                painter.setPen(pen(check->width * 2));
                painter.drawLine(mark.topLeft(), mark.bottomRight());
                painter.drawLine(mark.topRight(), mark.bottomLeft());
            }
        }
    }
    painter.restore();
}

bool paintDocument(QPagedPaintDevice& device, const Document& document,
                   const std::function<void(int page)>& pageDone, QString* error, double scaleX,
                   double scaleY) {
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error) *error = QStringLiteral("The output cannot be opened for writing.");
        return false;
    }
    for (size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0) device.newPage();
        paintPage(painter, document.pages[i], scaleX, scaleY);
        if (pageDone) pageDone(static_cast<int>(i + 1));
    }
    painter.end();
    return true;
}

QString creatorName() { return QStringLiteral("Quillmark Net Worth " NETWORTH_VERSION); }

PdfOptions PdfOptions::forDocument(const Document& document, const QString& fallbackTitle) {
    PdfOptions options;
    options.title = document.title.isEmpty() ? fallbackTitle : document.title;
    options.author = document.author;
    return options;
}

bool writePdf(const QString& path, const PdfOptions& options, const PdfPainter& paint,
              QString* error) {
    const QString failure = QStringLiteral("The file \"%1\" cannot be written.").arg(path);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        // PDF/A-1b gives the file identifier, the output intent and the XMP metadata that the
        // archival format asks for; fonts are embedded either way.
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(options.resolution);
        // Every report is laid out on US Letter (ReportDef's PageSetup).
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        writer.setTitle(options.title);
        writer.setCreator(options.creator);
        if (!paint(writer, error)) {
            if (error) *error = failure;
            return false;
        }
    }
    QByteArray pdf = buffer.buffer();
    buffer.close();
    if (pdf.isEmpty()) {
        if (error) *error = failure;
        return false;
    }
    completePdfMetadata(pdf, options.author);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit()) {
        if (error) *error = failure;
        return false;
    }
    return true;
}

bool writePdf(const Document& document, const QString& path, const PdfOptions& options,
              const std::function<void(int page)>& pageDone, QString* error) {
    return writePdf(
        path, options,
        [&](QPagedPaintDevice& device, QString* paintError) {
            return paintDocument(device, document, pageDone, paintError, options.scaleX,
                                 options.scaleY);
        },
        error);
}

}  // namespace report
