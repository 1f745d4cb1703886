#include "manual_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextFrame>
#include <memory>

namespace {

constexpr double kLargestCoordinate = 32767;
constexpr double kMarginCm = 2;

struct LaidOut {
    std::unique_ptr<QTextDocument> document;
    QSizeF page;  // device dots
    double marginX = 0, marginY = 0;
};

// A copy of the manual laid out for `device`. Frame lengths such as margins are given in pixels of
// the screen's resolution, which the layout scales to the device; the page size in device dots.
LaidOut layOut(const QTextDocument& manual, QPaintDevice& device) {
    LaidOut result;
    result.document.reset(manual.clone());
    result.document->documentLayout()->setPaintDevice(&device);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpiX = screen ? screen->logicalDotsPerInchX() : 96;
    const double screenDpiY = screen ? screen->logicalDotsPerInchY() : 96;
    QTextFrameFormat frame = result.document->rootFrame()->frameFormat();
    frame.setLeftMargin(kMarginCm / 2.54 * screenDpiX);
    frame.setRightMargin(kMarginCm / 2.54 * screenDpiX);
    frame.setTopMargin(kMarginCm / 2.54 * screenDpiY);
    frame.setBottomMargin(kMarginCm / 2.54 * screenDpiY);
    result.document->rootFrame()->setFrameFormat(frame);
    result.page = QSizeF(device.width(), device.height());
    result.marginX = kMarginCm / 2.54 * device.logicalDpiX();
    result.marginY = kMarginCm / 2.54 * device.logicalDpiY();
    result.document->setPageSize(result.page);
    return result;
}

bool withinBound(const LaidOut& laidOut) {
    return laidOut.document->pageCount() * laidOut.page.height() < kLargestCoordinate;
}

}  // namespace

int manualResolution(const QTextDocument& manual, int preferred) {
    int resolution = preferred;
    for (; resolution > 18; resolution = resolution * 4 / 5) {
        QBuffer scratch;
        scratch.open(QIODevice::WriteOnly);
        QPdfWriter probe(&scratch);
        probe.setResolution(resolution);
        probe.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0)));
        if (withinBound(layOut(manual, probe))) break;
    }
    return resolution;
}

bool printManual(const QTextDocument& manual, QPagedPaintDevice& device, QString* error) {
    const LaidOut laidOut = layOut(manual, device);
    if (!withinBound(laidOut)) {
        *error = QStringLiteral("%1 pages do not fit PDF/A's number range at %2 dots per inch")
                     .arg(laidOut.document->pageCount())
                     .arg(device.logicalDpiY());
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("the PDF writer cannot be painted on");
        return false;
    }
    const QFont numberFont = laidOut.document->defaultFont();
    const QFontMetrics numberMetrics(numberFont, &device);
    const double height = laidOut.page.height();
    const int pages = laidOut.document->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) device.newPage();
        painter.save();
        const QRectF view(0, page * height, laidOut.page.width(), height);
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        laidOut.document->documentLayout()->draw(&painter, context);

        painter.setClipping(false);
        painter.setFont(numberFont);
        const QString number = QString::number(page + 1);
        const double right = laidOut.page.width() - laidOut.marginX;
        const double baseline = view.bottom() - laidOut.marginY + numberMetrics.ascent() +
                                5 * device.logicalDpiY() / 72.0;
        painter.drawText(QPointF(right - numberMetrics.horizontalAdvance(number), baseline),
                         number);
        painter.restore();
    }
    return painter.end();
}
