#include "pdf_metadata.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>

namespace report {

namespace {

constexpr qsizetype kXrefEntrySize = 20;  // "0000012345 00000 n \n"

// Bytes replaced in the file: `removed` bytes at `at` give way to `inserted`.
struct Edit {
    qsizetype at = 0;
    qsizetype removed = 0;
    QByteArray inserted;
};

// A PDF text string in UTF-16BE with its byte order mark, written in hex so that no character
// needs escaping.
QByteArray pdfTextString(const QString& text) {
    QByteArray hex = "<FEFF";
    for (const QChar c : text) hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    return hex.toUpper() + '>';
}

// The unsigned number that follows `key` in `text` from `from` on; -1 when there is none.
qint64 numberAfter(const QByteArray& text, const QByteArray& key, qsizetype from = 0,
                   qsizetype* numberAt = nullptr, qsizetype* numberLength = nullptr) {
    const qsizetype keyAt = text.indexOf(key, from);
    if (keyAt < 0) return -1;
    qsizetype begin = keyAt + key.size();
    qsizetype end = begin;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == begin || end - begin > 18) return -1;
    if (numberAt) *numberAt = begin;
    if (numberLength) *numberLength = end - begin;
    return text.mid(begin, end - begin).toLongLong();
}

// The classic cross-reference table that QPdfWriter writes: one section "xref\n0 N\n" of N
// fixed-size entries, then the trailer.
struct XrefTable {
    qsizetype position = 0;  // of "xref"
    qsizetype entries = 0;   // of the first entry
    qsizetype count = 0;
    qsizetype trailer = 0;  // of "trailer"

    qint64 offset(const QByteArray& pdf, qint64 object) const {
        if (object <= 0 || object >= count) return -1;
        return pdf.mid(entries + object * kXrefEntrySize, 10).toLongLong();
    }
};

bool readXref(const QByteArray& pdf, XrefTable* table) {
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0) return false;
    const qint64 position = numberAfter(pdf, "startxref\n", startxref);
    if (position <= 0 || position >= startxref) return false;
    qsizetype countAt = 0, countLength = 0;
    if (!pdf.mid(position, 7).startsWith("xref\n0 ")) return false;
    const qint64 count = numberAfter(pdf, "xref\n0 ", position, &countAt, &countLength);
    if (count < 2 || countAt != position + 7 || pdf.at(countAt + countLength) != '\n') return false;
    table->position = position;
    table->entries = countAt + countLength + 1;
    table->count = count;
    table->trailer = table->entries + count * kXrefEntrySize;
    if (table->trailer > startxref || !pdf.mid(table->trailer).startsWith("trailer")) return false;
    for (qint64 i = 1; i < count; ++i) {
        const QByteArray entry = pdf.mid(table->entries + i * kXrefEntrySize, kXrefEntrySize);
        if (entry.size() != kXrefEntrySize || entry.at(17) != 'n') return false;
    }
    return true;
}

// The text of object `object` from its "N 0 obj" to its "endobj"; empty when the table does not
// point at it.
QByteArray objectText(const QByteArray& pdf, const XrefTable& xref, qint64 object,
                      qsizetype* start) {
    const qint64 at = xref.offset(pdf, object);
    const QByteArray head = QByteArray::number(object) + " 0 obj\n";
    if (at <= 0 || at >= xref.position || !pdf.mid(at, head.size()).startsWith(head)) return {};
    const qsizetype end = pdf.indexOf("endobj", at);
    if (end < 0 || end > xref.position) return {};
    *start = at;
    return pdf.mid(at, end - at);
}

// "D:20261209034819-05'00'" (a PDF date as QPdfWriter writes it) in the form of XMP,
// "2026-12-09T03:48:19-05:00"; empty for anything else.
QByteArray xmpDate(const QByteArray& pdfDate) {
    static const QRegularExpression form(QStringLiteral(
        "^D:(\\d{4})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(\\d{2})(Z|[+-]\\d{2}'\\d{2}')$"));
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(pdfDate));
    if (!m.hasMatch()) return {};
    QString zone = m.captured(7);
    if (zone != QLatin1String("Z")) zone = zone.left(3) + ':' + zone.mid(4, 2);
    return QStringLiteral("%1-%2-%3T%4:%5:%6%7")
        .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4), m.captured(5),
             m.captured(6), zone)
        .toLatin1();
}

// The information dictionary: its /CreationDate in the form of XMP, and /Author added just
// inside it when `author` is given.
bool infoEdits(const QByteArray& pdf, const XrefTable& xref, const QString& author,
               QByteArray* creationDate, QList<Edit>* edits) {
    const qint64 info = numberAfter(pdf.mid(xref.trailer), "/Info ");
    qsizetype start = 0;
    const QByteArray text = objectText(pdf, xref, info, &start);
    const QByteArray open = QByteArray::number(info) + " 0 obj\n<<\n";
    if (!text.startsWith(open) || text.contains("/Author")) return false;
    const QByteArray dateKey = "/CreationDate (";
    const qsizetype dateAt = text.indexOf(dateKey);
    const qsizetype dateEnd = text.indexOf(')', dateAt);
    if (dateAt < 0 || dateEnd < 0) return false;
    *creationDate = xmpDate(text.mid(dateAt + dateKey.size(), dateEnd - dateAt - dateKey.size()));
    if (creationDate->isEmpty()) return false;
    if (!author.isEmpty())
        edits->append({start + open.size(), 0, "/Author " + pdfTextString(author) + '\n'});
    return true;
}

// The catalog's XMP metadata: its dates made the dictionary's, dc:creator after the title when
// `author` is given, and the stream's new length.
bool metadataEdits(const QByteArray& pdf, const XrefTable& xref, const QString& author,
                   const QByteArray& creationDate, QList<Edit>* edits) {
    qsizetype start = 0;
    const qint64 root = numberAfter(pdf.mid(xref.trailer), "/Root ");
    const QByteArray catalog = objectText(pdf, xref, root, &start);
    const qint64 metadata = numberAfter(catalog, "/Metadata ");
    const QByteArray text = objectText(pdf, xref, metadata, &start);
    if (text.isEmpty()) return false;
    qsizetype lengthAt = 0, lengthSize = 0;
    const qint64 length = numberAfter(text, "/Length ", 0, &lengthAt, &lengthSize);
    const qsizetype stream = text.indexOf(">>\nstream\n");
    if (length <= 0 || stream < lengthAt) return false;
    const qsizetype contentAt = stream + 10;
    if (contentAt + length > text.size()) return false;
    const QByteArray content = text.mid(contentAt, length);

    QList<Edit> inContent;
    for (const QByteArray& attribute :
         {QByteArray("xmp:CreateDate=\""), QByteArray("xmp:ModifyDate=\"")}) {
        const qsizetype valueAt = content.indexOf(attribute);
        const qsizetype valueEnd = content.indexOf('"', valueAt + attribute.size());
        if (valueAt < 0 || valueEnd < 0) return false;
        const qsizetype from = valueAt + attribute.size();
        inContent.append({from, valueEnd - from, creationDate});
    }
    if (!author.isEmpty()) {
        const QByteArray afterTitle = "</dc:title>";
        const qsizetype titleEnd = content.indexOf(afterTitle);
        if (titleEnd < 0 || content.contains("<dc:creator")) return false;
        inContent.append({titleEnd + afterTitle.size(), 0,
                          "\n      <dc:creator><rdf:Seq><rdf:li>" +
                              author.toHtmlEscaped().toUtf8() +
                              "</rdf:li></rdf:Seq></dc:creator>"});
    }
    qint64 newLength = length;
    for (Edit& edit : inContent) {
        newLength += edit.inserted.size() - edit.removed;
        edit.at += start + contentAt;
        edits->append(edit);
    }
    edits->append({start + lengthAt, lengthSize, QByteArray::number(newLength)});
    return true;
}

}  // namespace

bool completePdfMetadata(QByteArray& pdf, const QString& author) {
    XrefTable xref;
    QByteArray creationDate;
    QList<Edit> edits;
    if (!readXref(pdf, &xref) || !infoEdits(pdf, xref, author, &creationDate, &edits) ||
        !metadataEdits(pdf, xref, author, creationDate, &edits)) {
        return false;
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    auto moved = [&edits](qint64 offset) {
        qint64 shift = 0;
        for (const Edit& edit : edits)
            if (edit.at < offset) shift += edit.inserted.size() - edit.removed;
        return offset + shift;
    };

    QByteArray out;
    out.reserve(pdf.size() + 512);
    qsizetype copied = 0;
    for (const Edit& edit : edits) {
        out += pdf.mid(copied, edit.at - copied);
        out += edit.inserted;
        copied = edit.at + edit.removed;
    }
    out += pdf.mid(copied, xref.position - copied);

    const qsizetype newXref = out.size();
    out += pdf.mid(xref.position, xref.entries - xref.position);  // "xref\n0 N\n"
    out += pdf.mid(xref.entries, kXrefEntrySize);                 // the free entry
    for (qint64 i = 1; i < xref.count; ++i) {
        const qsizetype entry = xref.entries + i * kXrefEntrySize;
        out += QByteArray::number(moved(pdf.mid(entry, 10).toLongLong())).rightJustified(10, '0');
        out += pdf.mid(entry + 10, kXrefEntrySize - 10);
    }
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    out += pdf.mid(xref.trailer, startxref - xref.trailer);
    out += "startxref\n" + QByteArray::number(newXref) + "\n%%EOF\n";
    pdf = std::move(out);
    return true;
}

}  // namespace report
