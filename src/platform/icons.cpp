#include "platform/icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace platform {

namespace {

// Every picture is drawn on a 16 x 16 grid; the painter scales it to the pixmap's size.
constexpr double kGrid = 16.0;

const QColor kOutline(0x3a, 0x3a, 0x3a);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kNavy(0x1f, 0x3b, 0x70);
const QColor kGreen(0x2e, 0x8b, 0x3e);
const QColor kRed(0xc0, 0x39, 0x2b);
const QColor kGold(0xe8, 0xb8, 0x30);

QPen outline(const QColor& color = kOutline, double width = 0.8) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void drawPage(QPainter& p, const QRectF& r, bool fold = true) {
    QPainterPath page;
    const double f = fold ? 3.0 : 0.0;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - f, r.top());
    page.lineTo(r.right(), r.top() + f);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawPath(page);
    if (fold) {
        p.setBrush(QColor(0xd8, 0xd8, 0xd8));
        p.drawPolygon(QPolygonF{QPointF(r.right() - f, r.top()),
                                QPointF(r.right() - f, r.top() + f),
                                QPointF(r.right(), r.top() + f)});
    }
}

void drawTextLines(QPainter& p, double left, double right, double top, int count, double step) {
    p.setPen(outline(QColor(0x90, 0x98, 0xa8), 0.8));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * step), QPointF(right, top + i * step));
}

void drawGlyph(QPainter& p, const QRectF& r, const QString& text, const QColor& color,
               double size) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(1, int(size * 10)));  // drawn ten times larger, then scaled down
    p.save();
    p.translate(r.topLeft());
    p.scale(0.1, 0.1);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(0, 0, r.width() * 10, r.height() * 10), Qt::AlignCenter, text);
    p.restore();
}

void drawQuill(QPainter& p, const QPointF& tip, const QPointF& top) {
    const QPointF d = top - tip;
    QPainterPath vane;
    vane.moveTo(top);
    vane.cubicTo(top - QPointF(d.x() * 0.55, -d.y() * 0.05),
                 tip + QPointF(d.x() * 0.25, d.y() * 0.55), tip + d * 0.12);
    vane.cubicTo(tip + QPointF(d.x() * 0.6, d.y() * 0.3), top - QPointF(d.x() * 0.05, d.y() * 0.35),
                 top);
    p.setPen(outline(kNavy, 0.6));
    p.setBrush(QColor(0x2f, 0x5a, 0xa8));
    p.drawPath(vane);
    p.setPen(outline(kNavy, 0.9));
    p.drawLine(tip, tip + d * 0.6);
}

void drawFolder(QPainter& p, const QRectF& r, bool open) {
    const double h = r.height();
    QPainterPath back;
    back.moveTo(r.left(), r.top());
    back.lineTo(r.left() + r.width() * 0.38, r.top());
    back.lineTo(r.left() + r.width() * 0.48, r.top() + h * 0.18);
    back.lineTo(r.right(), r.top() + h * 0.18);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setPen(outline(QColor(0x8a, 0x64, 0x10)));
    p.setBrush(QColor(0xd9, 0xa5, 0x20));
    p.drawPath(back);
    p.setBrush(QColor(0xf7, 0xcd, 0x4f));
    if (open) {
        p.drawPolygon(QPolygonF{QPointF(r.left() + r.width() * 0.16, r.top() + h * 0.4),
                                QPointF(r.right() + 1.2, r.top() + h * 0.4),
                                QPointF(r.right(), r.bottom()), QPointF(r.left(), r.bottom())});
    } else {
        p.drawRect(QRectF(r.left(), r.top() + h * 0.35, r.width(), h * 0.65));
    }
}

void drawPerson(QPainter& p, double x, double headY, double scale, const QColor& color) {
    p.setPen(outline(color.darker(160), 0.6));
    p.setBrush(color);
    const double r = 1.9 * scale;
    p.drawEllipse(QPointF(x, headY), r, r);
    QPainterPath body;
    const double top = headY + r + 0.6;
    const double w = 3.0 * scale;
    body.moveTo(x - w, 15.2);
    body.lineTo(x - w, top + 1.5 * scale);
    body.quadTo(x - w, top, x, top);
    body.quadTo(x + w, top, x + w, top + 1.5 * scale);
    body.lineTo(x + w, 15.2);
    body.closeSubpath();
    p.drawPath(body);
}

void draw(Icon which, QPainter& p) {
    switch (which) {
        case Icon::Window:
            drawPage(p, QRectF(1.5, 2.5, 10, 12.5));
            drawTextLines(p, 3.2, 9.5, 6.5, 4, 2.0);
            drawQuill(p, QPointF(5.5, 14.5), QPointF(15.2, 0.6));
            break;
        case Icon::New:
            drawPage(p, QRectF(2.5, 0.8, 10, 14.4));
            p.setPen(outline(kGreen.darker(130), 0.6));
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(11.5, 11.5), 3.8, 3.8);
            p.setPen(outline(kPaper, 1.4));
            p.drawLine(QPointF(11.5, 9.3), QPointF(11.5, 13.7));
            p.drawLine(QPointF(9.3, 11.5), QPointF(13.7, 11.5));
            break;
        case Icon::Open:
            drawFolder(p, QRectF(0.8, 2.5, 13.5, 11.5), true);
            break;
        case Icon::Print:
            drawPage(p, QRectF(4, 0.8, 8, 6), false);
            p.setPen(outline());
            p.setBrush(QColor(0x7c, 0x86, 0x94));
            p.drawRoundedRect(QRectF(0.8, 5.5, 14.4, 6.5), 1.2, 1.2);
            p.setBrush(kGreen);
            p.drawEllipse(QPointF(13, 7.5), 0.7, 0.7);
            drawPage(p, QRectF(4, 9.5, 8, 5.7), false);
            drawTextLines(p, 5.3, 10.7, 11.5, 2, 2.0);
            break;
        case Icon::Exit:
            p.setPen(outline());
            p.setBrush(QColor(0x9a, 0x6a, 0x3c));
            p.drawRect(QRectF(1.5, 1, 8, 14));
            p.setBrush(kGold);
            p.drawEllipse(QPointF(7.6, 8.3), 0.7, 0.7);
            p.setPen(outline(kRed, 1.8));
            p.drawLine(QPointF(9, 8), QPointF(14.6, 8));
            p.drawPolyline(QPolygonF{QPointF(12.2, 5.5), QPointF(14.8, 8), QPointF(12.2, 10.5)});
            break;
        case Icon::Family:
            drawPerson(p, 4.2, 3.4, 1.0, QColor(0x35, 0x6f, 0xc4));
            drawPerson(p, 11.8, 3.4, 1.0, QColor(0xc8, 0x4b, 0x7a));
            drawPerson(p, 8.0, 8.4, 0.75, kGreen);
            break;
        case Icon::Expenses: {
            QPainterPath receipt;
            receipt.moveTo(2.5, 0.8);
            receipt.lineTo(12.5, 0.8);
            receipt.lineTo(12.5, 15.2);
            for (int i = 0; i < 5; ++i) {
                receipt.lineTo(12.5 - i * 2 - 1, 14.0);
                receipt.lineTo(12.5 - i * 2 - 2, 15.2);
            }
            receipt.closeSubpath();
            p.setPen(outline());
            p.setBrush(QColor(0xfb, 0xf6, 0xe4));
            p.drawPath(receipt);
            drawTextLines(p, 4.2, 10.8, 3.5, 4, 2.2);
            p.setPen(outline(kRed.darker(130), 0.6));
            p.setBrush(kRed);
            p.drawEllipse(QPointF(11.8, 11.6), 3.4, 3.4);
            p.setPen(outline(kPaper, 1.4));
            p.drawLine(QPointF(9.9, 11.6), QPointF(13.7, 11.6));
            break;
        }
        case Icon::GrossIncome: {
            const double heights[] = {4.5, 7.5, 11.0};
            p.setPen(outline(kGreen.darker(150), 0.6));
            p.setBrush(QColor(0x4c, 0xb0, 0x5c));
            for (int i = 0; i < 3; ++i) {
                p.drawRect(QRectF(1.5 + i * 4.6, 15.2 - heights[i], 3.4, heights[i]));
            }
            p.setPen(outline(kNavy, 1.4));
            p.drawLine(QPointF(1.2, 8.0), QPointF(13.0, 1.6));
            p.drawPolyline(QPolygonF{QPointF(9.8, 1.1), QPointF(13.6, 1.3), QPointF(12.4, 4.8)});
            break;
        }
        case Icon::Assets:
            p.setPen(outline(QColor(0x7a, 0x5c, 0x1c)));
            p.setBrush(kGold);
            p.drawPolygon(QPolygonF{QPointF(0.8, 5.2), QPointF(8, 0.8), QPointF(15.2, 5.2)});
            p.setBrush(QColor(0xf2, 0xe6, 0xc2));
            for (int i = 0; i < 4; ++i) p.drawRect(QRectF(2.2 + i * 3.3, 6.2, 1.8, 6.8));
            p.setBrush(kGold);
            p.drawRect(QRectF(0.8, 13.2, 14.4, 2));
            break;
        case Icon::Liabilities:
            p.setPen(outline(kRed.darker(150)));
            p.setBrush(kRed);
            p.drawRoundedRect(QRectF(0.8, 3, 14.4, 10), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x30, 0x20, 0x20));
            p.drawRect(QRectF(0.9, 5.2, 14.2, 2.2));
            p.setBrush(kGold);
            p.drawRoundedRect(QRectF(2.6, 8.8, 3.2, 2.4), 0.5, 0.5);
            p.setPen(outline(kPaper, 0.8));
            p.drawLine(QPointF(7.5, 11), QPointF(13, 11));
            break;
        case Icon::Summary:
            p.setPen(outline(QColor(0x6b, 0x45, 0x1e)));
            p.setBrush(QColor(0xa8, 0x74, 0x3c));
            p.drawRoundedRect(QRectF(1.8, 1.8, 12.4, 13.6), 1, 1);
            drawPage(p, QRectF(3.3, 3.6, 9.4, 10.6), false);
            p.setPen(outline());
            p.setBrush(QColor(0xa0, 0xa4, 0xaa));
            p.drawRoundedRect(QRectF(5, 0.8, 6, 2.8), 0.8, 0.8);
            p.setPen(outline(kNavy, 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF{QPointF(10.8, 5.8), QPointF(5.6, 5.8), QPointF(8.4, 8.9),
                                     QPointF(5.6, 12.2), QPointF(10.8, 12.2)});
            break;
        case Icon::Guidelines: {
            // A balance: the post and its foot, the beam, and a pan hanging from each end.
            p.setPen(outline(QColor(0x7a, 0x5c, 0x1c)));
            p.setBrush(kGold);
            p.drawRect(QRectF(7.3, 2.6, 1.4, 10.6));
            p.drawRoundedRect(QRectF(3.8, 13.2, 8.4, 2), 0.6, 0.6);
            p.drawEllipse(QPointF(8, 2.2), 1.2, 1.2);
            p.setPen(outline(kNavy, 1.2));
            p.drawLine(QPointF(1.6, 4.2), QPointF(14.4, 4.2));
            p.setPen(outline(kNavy, 0.6));
            for (const double x : {3.0, 13.0}) {
                p.drawLine(QPointF(x, 4.2), QPointF(x - 2.2, 9.2));
                p.drawLine(QPointF(x, 4.2), QPointF(x + 2.2, 9.2));
                QPainterPath pan;
                pan.moveTo(x - 2.6, 9.2);
                pan.lineTo(x + 2.6, 9.2);
                pan.quadTo(x, 12.4, x - 2.6, 9.2);
                p.setPen(outline(QColor(0x7a, 0x5c, 0x1c), 0.6));
                p.setBrush(kGold);
                p.drawPath(pan);
                p.setPen(outline(kNavy, 0.6));
            }
            break;
        }
        case Icon::NetworkPath:
            p.setPen(outline(kNavy, 0.7));
            p.setBrush(QColor(0x5b, 0x9b, 0xd5));
            p.drawEllipse(QPointF(10, 6), 5.2, 5.2);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(10, 6), 2.2, 5.2);
            p.drawLine(QPointF(4.8, 6), QPointF(15.2, 6));
            drawFolder(p, QRectF(0.8, 7.5, 9.5, 7.7), false);
            break;
        case Icon::About:
            p.setPen(outline(kNavy, 0.7));
            p.setBrush(QColor(0x2f, 0x6f, 0xbf));
            p.drawEllipse(QRectF(0.8, 0.8, 14.4, 14.4));
            p.setPen(Qt::NoPen);
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
            p.drawRoundedRect(QRectF(6.9, 7, 2.2, 6.2), 0.6, 0.6);
            break;
        case Icon::Contents:
            p.setPen(outline());
            p.setBrush(kPaper);
            p.drawRect(QRectF(4, 1.6, 10.4, 13.6));
            p.setBrush(QColor(0x2f, 0x5a, 0xa8));
            p.drawRoundedRect(QRectF(1.6, 0.8, 10.8, 13.6), 1, 1);
            drawGlyph(p, QRectF(1.6, 0.8, 10.8, 13.6), QStringLiteral("?"), kPaper, 11);
            break;
        case Icon::OkMark:
            p.setPen(outline(kGreen, 2.6));
            p.drawPolyline(QPolygonF{QPointF(2, 8.5), QPointF(6.2, 12.5), QPointF(14.2, 3.2)});
            break;
        case Icon::NoMark:
            p.setPen(outline(kRed, 2.0));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(8, 8), 6.2, 6.2);
            p.drawLine(QPointF(3.6, 12.4), QPointF(12.4, 3.6));
            break;
        case Icon::AbortMark:
            p.setPen(outline(kRed, 2.6));
            p.drawLine(QPointF(2.5, 2.5), QPointF(13.5, 13.5));
            p.drawLine(QPointF(13.5, 2.5), QPointF(2.5, 13.5));
            break;
        case Icon::StatementOptions:
            drawPage(p, QRectF(1.5, 0.8, 10, 14.4));
            drawTextLines(p, 3, 10, 4, 3, 2.2);
            p.setPen(outline(kNavy, 0.8));
            p.drawLine(QPointF(3, 12.6), QPointF(8, 12.6));
            drawQuill(p, QPointF(7.5, 12.2), QPointF(15.2, 3.2));
            break;
        case Icon::PasteCaption:
            p.setPen(outline(QColor(0x6b, 0x45, 0x1e)));
            p.setBrush(QColor(0xa8, 0x74, 0x3c));
            p.drawRoundedRect(QRectF(0.8, 1.8, 10.4, 13.4), 1, 1);
            p.setPen(outline());
            p.setBrush(QColor(0xa0, 0xa4, 0xaa));
            p.drawRoundedRect(QRectF(3.5, 0.8, 5, 2.6), 0.8, 0.8);
            drawPage(p, QRectF(6, 5.5, 9.2, 9.7));
            drawTextLines(p, 7.4, 13.4, 9.5, 3, 2.0);
            break;
    }
}

}  // namespace

QPixmap iconPixmap(Icon which, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size / kGrid, size / kGrid);
    draw(which, painter);
    return pixmap;
}

QIcon icon(Icon which) {
    static QHash<int, QIcon> cache;
    auto found = cache.find(int(which));
    if (found != cache.end()) return *found;
    QIcon made;
    for (int size : {16, 20, 24, 32, 48}) made.addPixmap(iconPixmap(which, size));
    cache.insert(int(which), made);
    return made;
}

QPixmap logoPixmap(int width) {
    const int height = width * 3 / 8;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The picture fills a square on the left; the name takes the rest.
    p.save();
    p.scale(height / kGrid, height / kGrid);
    drawPage(p, QRectF(1.0, 2.5, 9.5, 12.5));
    drawTextLines(p, 2.6, 8.8, 6.5, 4, 2.0);
    drawQuill(p, QPointF(4.8, 14.5), QPointF(13.8, 0.6));
    p.restore();

    const QRectF textArea(height * 1.0, 0, width - height * 1.05, height);
    const QString name = QStringLiteral("Quillmark");
    QFont nameFont(QStringLiteral("DejaVu Serif"));
    nameFont.setBold(true);
    nameFont.setPixelSize(qMax(6, height * 40 / 100));
    while (nameFont.pixelSize() > 6 &&
           QFontMetricsF(nameFont).horizontalAdvance(name) > textArea.width()) {
        nameFont.setPixelSize(nameFont.pixelSize() - 1);
    }
    p.setFont(nameFont);
    p.setPen(kNavy);
    p.drawText(textArea.adjusted(0, 0, 0, -height * 0.42), Qt::AlignLeft | Qt::AlignBottom, name);

    p.setPen(outline(kGold, qMax(1.0, height / 30.0)));
    p.drawLine(QPointF(textArea.left() + 2, height * 0.62),
               QPointF(textArea.right(), height * 0.62));

    const QString line = QStringLiteral("Net Worth Statements");
    QFont lineFont(QStringLiteral("DejaVu Sans"));
    lineFont.setPixelSize(qMax(5, height * 16 / 100));
    while (lineFont.pixelSize() > 5 &&
           QFontMetricsF(lineFont).horizontalAdvance(line) > textArea.width() - 2) {
        lineFont.setPixelSize(lineFont.pixelSize() - 1);
    }
    p.setFont(lineFont);
    p.setPen(QColor(0x55, 0x5b, 0x66));
    p.drawText(textArea.adjusted(2, height * 0.66, 0, 0), Qt::AlignLeft | Qt::AlignTop, line);
    return pixmap;
}

}  // namespace platform
