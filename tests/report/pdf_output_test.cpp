// The PDF files the engine writes: document properties read back by pdfinfo, the metadata that Qt
// leaves out of step or cannot write, and the cross-reference table rewritten around it. (Every
// file the tests write is also validated as PDF/A-1b by the suite's check.)
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTime>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "report/pdf_metadata.h"
#include "report_test_support.h"

namespace report_test {
namespace {

const char kOnePage[] = "report Props\n  title\n    text x=0 w=3in value=\"Jurat\"\n  end\nend\n";

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// pdfinfo's "Key: value" lines as a map.
QMap<QString, QString> pdfInfo(const QString& pdf) {
    QMap<QString, QString> info;
    for (const QString& line : runTool(QStringLiteral(PDFINFO), {pdf}).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return info;
}

// Every in-use entry of the file's cross-reference table points at its own "N 0 obj".
void expectXrefPointsAtObjects(const QByteArray& pdf) {
    const qsizetype xref = pdf.indexOf("\nxref\n0 ") + 1;
    ASSERT_GT(xref, 0);
    const QList<QByteArray> head = pdf.mid(xref, 32).split('\n');
    const int count = head.at(1).split(' ').at(1).toInt();
    const qsizetype entries = xref + head.at(0).size() + head.at(1).size() + 2;
    ASSERT_GT(count, 5);
    for (int object = 1; object < count; ++object) {
        const qint64 offset = pdf.mid(entries + object * 20, 10).toLongLong();
        EXPECT_TRUE(pdf.mid(offset).startsWith(QByteArray::number(object) + " 0 obj\n"))
            << "object " << object << " at " << offset;
    }
    const qsizetype startxref = pdf.lastIndexOf("startxref\n");
    EXPECT_EQ(pdf.mid(startxref + 10).split('\n').at(0).trimmed().toLongLong(), xref);
}

TEST(PdfOutput, NamesTheTitleAuthorAndTheProgramAsCreator) {
    Rendering r;
    // Characters that PDF strings and XML escape: parentheses, backslash, ampersand, angle
    // brackets, quotes, and letters outside Latin-1's ASCII half.
    const QString author = QStringLiteral("Zo\u00eb O'Brien (n\u00e9e \\Smith\\) & <Co> \"Jr\"");
    r.project().setDocumentInfo(QStringLiteral("Statement of Net Worth - Smith v. Smith"), author);
    ASSERT_EQ(r.render(QString::fromUtf8(kOnePage), QStringLiteral("Props")).size(), 1)
        << r.error().toStdString();

    const QMap<QString, QString> info = pdfInfo(r.pdfPath());
    EXPECT_EQ(info.value("Title"), "Statement of Net Worth - Smith v. Smith");
    EXPECT_EQ(info.value("Author"), author);
    EXPECT_EQ(info.value("Creator"), "Quillmark Net Worth 3.0.0.7");
    EXPECT_EQ(info.value("Encrypted"), "no");
    EXPECT_EQ(info.value("JavaScript"), "no");
    const QString xmp = runTool(QStringLiteral(PDFINFO), {QStringLiteral("-meta"), r.pdfPath()});
    EXPECT_TRUE(xmp.contains(QStringLiteral(
        "<dc:creator><rdf:Seq><rdf:li>Zo\u00eb O'Brien (n\u00e9e \\Smith\\) &amp; &lt;Co&gt; "
        "&quot;Jr&quot;</rdf:li></rdf:Seq></dc:creator>")))
        << xmp.toStdString();
    EXPECT_TRUE(xmp.contains(QStringLiteral("pdfaid:part=\"1\" pdfaid:conformance=\"B\"")));
    expectXrefPointsAtObjects(readAll(r.pdfPath()));

    // close() forgets them: the next document has the engine's title and no author.
    r.project().close();
    ASSERT_EQ(r.render(QString::fromUtf8(kOnePage), QStringLiteral("Props")).size(), 1);
    const QMap<QString, QString> plain = pdfInfo(r.pdfPath());
    EXPECT_EQ(plain.value("Title"), "Props");
    EXPECT_FALSE(plain.contains("Author"));
    EXPECT_EQ(plain.value("Creator"), "Quillmark Net Worth 3.0.0.7");
}

// The XMP dates of the metadata stream, as written.
QList<QByteArray> xmpDates(const QByteArray& pdf) {
    QList<QByteArray> dates;
    for (const QByteArray& key :
         {QByteArray("xmp:CreateDate=\""), QByteArray("xmp:ModifyDate=\"")}) {
        const qsizetype at = pdf.indexOf(key) + key.size();
        dates << pdf.mid(at, pdf.indexOf('"', at) - at);
    }
    return dates;
}

// Qt reads the clock twice, for the information dictionary and for the XMP metadata: when a
// second passes in between, the dates differ and the file is not PDF/A. Here the XMP dates are
// put a second off, as that would leave them, in each form of time zone that Qt writes.
TEST(PdfOutput, TheXmpDatesAreTheCreationDateOfTheDictionary) {
    const QByteArray savedZone = qgetenv("TZ");
    struct Case {
        const char* zone;
        QByteArray winter, summer;  // the zone's offset as XMP writes it
    };
#ifdef Q_OS_WIN
    // Windows takes the zone from the system's settings, not from TZ: the one case is the zone
    // the machine is set to, written as XMP writes an offset.
    const int offset = QDateTime::currentDateTime().offsetFromUtc();
    const QByteArray system = offset == 0 ? QByteArray("Z")
                                          : QTime(0, 0)
                                                .addSecs(std::abs(offset))
                                                .toString("hh:mm")
                                                .toLatin1()
                                                .prepend(offset < 0 ? '-' : '+');
    const std::vector<Case> cases = {Case{"", system, system}};
#else
    const std::vector<Case> cases = {Case{"UTC", "Z", "Z"},
                                     Case{"America/New_York", "-05:00", "-04:00"},
                                     Case{"Asia/Kolkata", "+05:30", "+05:30"}};
#endif
    for (const Case& c : cases) {
        if (*c.zone) {
            qputenv("TZ", c.zone);
            tzset();
        }
        // The offset of today's date, which is what Qt writes.
        const bool summer = QDateTime::currentDateTime().isDaylightTime();
        Rendering r;
        ASSERT_EQ(r.render(QString::fromUtf8(kOnePage), QStringLiteral("Props")).size(), 1);
        QByteArray pdf = readAll(r.pdfPath());
        const qsizetype dateAt = pdf.indexOf("/CreationDate (D:") + 17;
        const QByteArray digits = pdf.mid(dateAt, 14);
        const qsizetype xmpAt = pdf.indexOf("xmp:CreateDate=\"") + 16;
        pdf[xmpAt + 18] = pdf[xmpAt + 18] == '9' ? '0' : char(pdf[xmpAt + 18] + 1);  // seconds
        ASSERT_TRUE(report::completePdfMetadata(pdf, QString()));

        for (const QByteArray& date : xmpDates(pdf)) {
            EXPECT_EQ(
                QByteArray(date).remove(19, 10).replace('-', "").replace(':', "").replace('T', ""),
                digits)
                << c.zone << " " << date.constData();
            EXPECT_EQ(date.mid(19), summer ? c.summer : c.winter) << c.zone;
        }
        expectXrefPointsAtObjects(pdf);
        // Completed, the file passes the suite's PDF/A check.
        const QString completed = r.dir().filePath(QStringLiteral("completed.pdf"));
        QFile file(completed);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pdf);
        file.close();
        EXPECT_EQ(pdfPages(completed).size(), 1);
    }
    if (savedZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();
}

TEST(PdfOutput, TheAuthorIsAddedOnlyToTheLayoutQtWrites) {
    Rendering r;
    ASSERT_EQ(r.render(QString::fromUtf8(kOnePage), QStringLiteral("Props")).size(), 1);
    const QByteArray written = readAll(r.pdfPath());

    QByteArray pdf = written;
    ASSERT_TRUE(report::completePdfMetadata(pdf, QStringLiteral("A. Deponent")));
    expectXrefPointsAtObjects(pdf);
    EXPECT_EQ(pdf.count("/Author "), 1);
    // Once named, the author is not added again.
    QByteArray again = pdf;
    EXPECT_FALSE(report::completePdfMetadata(again, QStringLiteral("B. Other")));
    EXPECT_EQ(again, pdf);

    // Anything else is left as it was: no trailer, a table that points elsewhere, no metadata.
    for (QByteArray other : {QByteArray("not a PDF at all"),
                             QByteArray(written).replace("startxref\n", "startxref\n9"),
                             QByteArray(written).replace("/Metadata ", "/Metadatx ")}) {
        const QByteArray before = other;
        EXPECT_FALSE(report::completePdfMetadata(other, QStringLiteral("A. Deponent")));
        EXPECT_EQ(other, before);
    }
}

}  // namespace
}  // namespace report_test
