// mkmanual: turns the manual's Markdown source into the PDF that Help, Contents opens.
// Usage: mkmanual INPUT.md OUTPUT.pdf
//
// Images named in the Markdown are read relative to the input file; "quillmark-logo.png" is the
// program's own logo. Every chapter (level-1 heading) after the title starts a new page. The PDF
// goes through the report engine's writer, as every PDF of the program does: PDF/A-1b.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cstdio>

#include "manual_pages.h"
#include "platform/icons.h"
#include "report/document_output.h"

namespace {

const QColor kHeadingColor(0x1f, 0x3b, 0x70);
constexpr double kMaxImageWidth = 620;  // document pixels: the text width of a Letter page

void styleHeadings(QTextDocument& document) {
    bool firstChapter = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0) continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(level == 1 ? 0 : 14);
        format.setBottomMargin(6);
        if (level == 1) {
            if (!firstChapter) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            firstChapter = false;
        }
        cursor.setBlockFormat(format);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat chars;
        chars.setForeground(kHeadingColor);
        cursor.mergeCharFormat(chars);
    }
}

void styleTables(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(QColor(0x9a, 0xa4, 0xb4));
            format.setBorderCollapse(true);
            format.setCellPadding(4);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(format);
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCellFormat head = table->cellAt(0, column).format().toTableCellFormat();
                head.setBackground(QColor(0xe4, 0xec, 0xf7));
                table->cellAt(0, column).setFormat(head);
            }
        }
        styleTables(child);
    }
}

// Images keep their shape but never run past the right margin.
void fitImages(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QVariant data = document.resource(QTextDocument::ImageResource, image.name());
            QImage picture = data.value<QImage>();
            if (picture.isNull()) picture = QImage::fromData(data.toByteArray());
            if (picture.isNull()) {
                std::fprintf(stderr, "mkmanual: image not found: %s\n", qPrintable(image.name()));
                continue;
            }
            // Printing lays out a copy of the document that has no base URL: register every
            // picture under the name the text uses.
            document.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            const double width = qMin<double>(picture.width(), kMaxImageWidth);
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkmanual INPUT.md OUTPUT.pdf\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile source(input);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkmanual: cannot read %s\n", argv[1]);
        return 1;
    }

    QTextDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(input).absolutePath() + "/"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    // Without HTML: a word in angle brackets, such as the "<name>" of a quoted message, is text
    // to print; as HTML it would open an element that swallows the rest of the manual.
    document.setMarkdown(QString::fromUtf8(source.readAll()),
                         QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                         QTextDocument::MarkdownNoHTML));
    // Resources added before setMarkdown() would be cleared by it.
    const QUrl logoName(QStringLiteral("quillmark-logo.png"));
    document.addResource(QTextDocument::ImageResource, document.baseUrl().resolved(logoName),
                         platform::logoPixmap(360).toImage());
    styleHeadings(document);
    styleTables(document.rootFrame());
    fitImages(document);

    report::PdfOptions options;
    options.title = QStringLiteral("Quillmark Net Worth - User Manual");
    options.author = QStringLiteral("Quillmark, Inc.");
    options.resolution = manualResolution(document, options.resolution);
    const auto print = [&](QPagedPaintDevice& device, QString*) {
        QString why;
        if (printManual(document, device, &why)) return true;
        std::fprintf(stderr, "mkmanual: %s\n", qPrintable(why));
        return false;
    };
    QString error;
    if (!report::writePdf(output, options, print, &error)) {
        std::fprintf(stderr, "mkmanual: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
