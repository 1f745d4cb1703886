// The manual that Help, Contents opens: the built Help/ManualE.pdf holds every word of its source
// on pages that all carry text, names itself as the program's manual, and (like every PDF of the
// program) is PDF/A-1b; mkmanual prints what Markdown would take for HTML as the text it is, and
// keeps a long manual within PDF/A's number range.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "../support/pdf_text.h"
#include "../support/process_run.h"

namespace {

struct MkmanualRun {
    int exitCode = -1;
    QString errors;
};

MkmanualRun runMkmanual(const QStringList& arguments) {
    test_support::ProcessOptions options;
#ifdef Q_OS_WIN
    // mkmanual is a build tool outside the program's directory: it finds the DLLs and the
    // platform plugins there, as the build's own run of it does.
    const QString programDir = QDir::toNativeSeparators(QStringLiteral(PROGRAM_DIR));
    options.setEnvironment = {"PATH=" + programDir + ';' + qEnvironmentVariable("PATH"),
                              "QT_PLUGIN_PATH=" + programDir};
#endif
    const test_support::ProcessRun run =
        test_support::runProcess(QStringLiteral(MKMANUAL), arguments, options);
    return {run.exitCode, run.err};
}

// Writes `markdown` to a file in `dir` and the manual mkmanual makes of it beside it; the pages'
// text, or none when mkmanual fails.
QStringList writeManual(const QTemporaryDir& dir, const QString& markdown) {
    QFile source(dir.filePath(QStringLiteral("Manual.md")));
    if (!source.open(QIODevice::WriteOnly) || source.write(markdown.toUtf8()) < 0) return {};
    source.close();
    const QString pdf = dir.filePath(QStringLiteral("Manual.pdf"));
    const MkmanualRun run = runMkmanual({source.fileName(), pdf});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    return run.exitCode == 0 ? test_support::pdfPages(pdf, false) : QStringList();
}

// A compound broken at a line's end loses its hyphen in pdftotext's text: words are compared
// with the hyphens between letters taken out.
QSet<QString> wordsOf(QString text) {
    text.replace(QRegularExpression(QStringLiteral("(?<=[A-Za-z])-\\s*(?=[A-Za-z])")), QString());
    QSet<QString> words;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("[A-Za-z]{2,}")).globalMatch(text);
    while (it.hasNext()) words.insert(it.next().captured());
    return words;
}

// The words a reader sees of a Markdown text: without the code fences' marks, the images and the
// links' targets.
QSet<QString> visibleWords(const QString& markdown) {
    QString text = markdown;
    text.remove(QRegularExpression(QStringLiteral("^```.*$"), QRegularExpression::MultilineOption));
    text.remove(QRegularExpression(QStringLiteral("!\\[[^\\]]*\\]\\([^)]*\\)")));
    text.replace(QRegularExpression(QStringLiteral("\\]\\([^)]*\\)")), QStringLiteral("]"));
    return wordsOf(text);
}

QString readSource() {
    QFile file(QStringLiteral(MANUAL_SOURCE));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A page carries text besides its number.
bool hasText(const QString& page) {
    return page.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

// The last page of `pages` that has `word` on it; -1 when none has.
int lastPageWith(const QStringList& pages, const QString& word) {
    for (int page = int(pages.size()) - 1; page >= 0; --page) {
        if (wordsOf(pages[page]).contains(word)) return page;
    }
    return -1;
}

TEST(Manual, EveryPageHasTextAndEveryWordOfTheSourceIsPrinted) {
    const QString source = readSource();
    ASSERT_FALSE(source.isEmpty());
    const QStringList pages = test_support::pdfPages(QStringLiteral(MANUAL_PDF), false);
    ASSERT_GE(pages.size(), 10);
    for (int page = 0; page < pages.size(); ++page) {
        EXPECT_TRUE(hasText(pages[page])) << "page " << page + 1 << " has no text";
        // Each page ends with its number.
        EXPECT_TRUE(pages[page].trimmed().endsWith(QString::number(page + 1)))
            << "page " << page + 1 << ": " << pages[page].right(80).toStdString();
    }
    QString all = pages.join(QLatin1Char('\n'));
    const QSet<QString> printed = wordsOf(all);
    QStringList missing;
    for (const QString& word : visibleWords(source)) {
        if (!printed.contains(word)) missing << word;
    }
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(' ').toStdString();

    // The source's last word closes the last page.
    const QStringList sourceWords =
        source.split(QRegularExpression(QStringLiteral("[^A-Za-z]+")), Qt::SkipEmptyParts);
    ASSERT_FALSE(sourceWords.isEmpty());
    EXPECT_EQ(lastPageWith(pages, sourceWords.last()), pages.size() - 1)
        << sourceWords.last().toStdString();
}

TEST(Manual, NamesItselfAsTheProgramsManual) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral(PDFINFO), {QStringLiteral(MANUAL_PDF)});
    ASSERT_TRUE(pdfinfo.waitForFinished(60000));
    QMap<QString, QString> info;
    for (const QString& line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    EXPECT_EQ(info.value("Title"), "Quillmark Net Worth - User Manual");
    EXPECT_EQ(info.value("Author"), "Quillmark, Inc.");
    EXPECT_EQ(info.value("Creator"), "Quillmark Net Worth 3.0.0.7");
    EXPECT_EQ(info.value("Page size"), "612 x 792 pts (letter)");
    EXPECT_EQ(info.value("Metadata Stream"), "yes");
}

// Markdown reads a word in angle brackets as HTML; the manual prints it as typed and goes on with
// the text after it (a character's entity name stays what Markdown makes of it).
TEST(ManualWriter, PrintsWhatLooksLikeHtmlAsText) {
    QTemporaryDir dir;
    const QStringList pages = writeManual(
        dir, QStringLiteral("# Messages\n\nThe program says \"The matter <name> no longer "
                            "exists\" and goes on.\n\n<div>A block</div>\n\n"
                            "Fields <b>bold</b> &amp; more.\n\n# Last chapter\n\n"
                            "Closing words of the manual.\n"));
    ASSERT_EQ(pages.size(), 2);
    const QString first = pages[0].simplified();
    EXPECT_TRUE(first.contains("\"The matter <name> no longer exists\" and goes on."))
        << first.toStdString();
    EXPECT_TRUE(first.contains("<div>A block</div>")) << first.toStdString();
    EXPECT_TRUE(first.contains("Fields <b>bold</b> & more.")) << first.toStdString();
    EXPECT_TRUE(pages[1].simplified().startsWith("Last chapter Closing words of the manual. 2"))
        << pages[1].toStdString();
}

// A manual of some thirty pages: the text of its last pages lies far down the writer's drawing
// space, where PDF/A's bound on numbers would be passed at the writer's usual resolution.
TEST(ManualWriter, LongManualKeepsEveryPageAndStaysPdfA) {
    QString markdown = QStringLiteral("# Long manual\n\n");
    for (int section = 1; section <= 60; ++section) {
        markdown += QStringLiteral("## Section %1\n\n").arg(section);
        for (int paragraph = 0; paragraph < 8; ++paragraph)
            markdown += QStringLiteral(
                            "Words that fill the page, line after line, until the "
                            "section ends and the next one begins. ")
                            .repeated(3) +
                        QStringLiteral("\n\n");
    }
    markdown += QStringLiteral("Closing words.\n");
    QTemporaryDir dir;
    const QStringList pages = writeManual(dir, markdown);  // checked as PDF/A-1b
    ASSERT_GE(pages.size(), 30);
    for (int page = 0; page < pages.size(); ++page)
        EXPECT_TRUE(hasText(pages[page])) << "page " << page + 1 << " has no text";
    EXPECT_TRUE(pages.join('\n').contains("Section 60"));
    EXPECT_TRUE(pages.last().simplified().contains("Closing words."));
}

TEST(ManualWriter, FailsOnAMissingSourceOrWrongArguments) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("Manual.pdf"));
    const MkmanualRun missing = runMkmanual({dir.filePath(QStringLiteral("none.md")), pdf});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.errors.contains("cannot read")) << missing.errors.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(runMkmanual({pdf}).exitCode, 2);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
