#include "text_measure.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include "report_fonts.h"

namespace report {

namespace {
constexpr double kReferenceDpi = 1200.0;
constexpr double kPointsPerPixel = 72.0 / kReferenceDpi;
}  // namespace

TextMeasure::TextMeasure() : device_(1, 1, QImage::Format_RGB32) {
    const int dotsPerMeter = qRound(kReferenceDpi / 0.0254);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

QFont TextMeasure::toQFont(const ResolvedFont& spec) {
    QFont font(reportFontFamily(spec.family));
    font.setPointSizeF(spec.size);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    // Hinting would fit glyphs to the device's pixels and so make widths differ between the
    // screen, the printer and the PDF; without it the breaks found here hold everywhere.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

const QFont& TextMeasure::cachedFont(const ResolvedFont& spec) {
    if (!haveLast_ || !(lastSpec_ == spec)) {
        lastSpec_ = spec;
        lastFont_ = toQFont(spec);
        haveLast_ = true;
    }
    return lastFont_;
}

double TextMeasure::lineHeight(const ResolvedFont& spec) {
    return QFontMetricsF(cachedFont(spec), &device_).lineSpacing() * kPointsPerPixel;
}

QStringList TextMeasure::breakLines(const QString& text, const ResolvedFont& spec, double width) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace('\r', '\n');
    normalized.replace('\t', ' ');
    const QStringList paragraphs = normalized.split('\n');
    if (width <= 0) return paragraphs;

    const QFont& font = cachedFont(spec);
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font, &device_);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width / kPointsPerPixel);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            while (!piece.isEmpty() && piece.back().isSpace()) piece.chop(1);
            lines.append(piece);
        }
        layout.endLayout();
    }
    return lines;
}

}  // namespace report
