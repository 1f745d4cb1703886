#pragma once
// PDF files that tests write: their text as pdftotext reads it, and the suite's PDF/A check.
//
// Every PDF a test writes goes to the check: pdfPages() hands each file it reads, and a test that
// writes a PDF without reading it calls checkPdfA(). The file is copied into the folder that the
// test "pdfa_check" validates with PDFBox Preflight, in one run of the Java VM, once every test
// of the CTest fixture "pdfa" has run. A test target gets the folder and pdftotext from the
// CMake function networth_pdf_test(); its tests require the fixture through
// ${NETWORTH_PDFA_FIXTURE}.
#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <utility>

#if !defined(NETWORTH_PDFA_DIR) || !defined(NETWORTH_PDFTOTEXT)
#error "a test target that writes PDF files is declared with networth_pdf_test()"
#endif

namespace test_support {

// Copies `pdf` for the PDF/A check, named after the test program, the test (the GoogleTest
// filter under which CTest runs it) and the file, so that a failure names the test.
inline void checkPdfA(const QString& pdf) {
    static QAtomicInt counter;
    QString test = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    // GoogleTest takes its options out of the program's arguments; the process's own record of
    // its command line still holds them (on Linux).
    QFile commandLine(QStringLiteral("/proc/self/cmdline"));
    if (commandLine.open(QIODevice::ReadOnly)) {
        for (const QByteArray& argument : commandLine.readAll().split('\0')) {
            if (argument.startsWith("--gtest_filter="))
                test += '.' + QString::fromLocal8Bit(argument).section('=', 1);
        }
    }
    test.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    const QString copy = QStringLiteral("%1/%2-%3-%4-%5")
                             .arg(QStringLiteral(NETWORTH_PDFA_DIR), test)
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetchAndAddRelaxed(1))
                             .arg(QFileInfo(pdf).fileName());
    QDir().mkpath(QStringLiteral(NETWORTH_PDFA_DIR));
    QFile::remove(copy);
    QFile::copy(pdf, copy);
}

// Who wrote a PDF file: the program (it must be PDF/A) or something else, such as a printer driver
// that prints to PDF files.
enum class PdfOrigin { Program, Other };

// The text of each page of `pdf` (pdftotext, its layout kept unless `layout` is false), with the
// typeface's ligatures ("ffi" and the like, which pdftotext gives as single characters) spelled
// out; a file of the program also goes to the PDF/A check. Empty when pdftotext cannot read it.
inline QStringList pdfPages(const QString& pdf, bool layout = true,
                            PdfOrigin origin = PdfOrigin::Program) {
    if (!QFileInfo::exists(pdf)) return {};
    if (origin == PdfOrigin::Program) checkPdfA(pdf);
    QProcess process;
    QStringList arguments;
    if (layout) arguments << QStringLiteral("-layout");
    process.start(QStringLiteral(NETWORTH_PDFTOTEXT), arguments << pdf << QStringLiteral("-"));
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    const std::pair<char16_t, const char*> ligatures[] = {
        {0xFB00, "ff"}, {0xFB01, "fi"}, {0xFB02, "fl"}, {0xFB03, "ffi"}, {0xFB04, "ffl"}};
    for (const auto& [ligature, letters] : ligatures)
        text.replace(QChar(ligature), QLatin1String(letters));
    QStringList pages = text.split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace test_support
