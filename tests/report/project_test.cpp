// The operations the print job calls: project file, open, parameters, execute, close.
#include <gtest/gtest.h>

#include <QDir>

#include "report/report_system.h"
#include "report_test_support.h"

namespace report_test {
namespace {

const char kSmallProject[] =
    "report DirEdodu\n"
    "  title\n"
    "    text x=0 w=5in value={\"Income \" & r_totincome}\n"
    "  end\n"
    "end\n";

TEST(Project, MissingFileFailsWithTheExpandedPathInQuotes) {
    QTemporaryDir dir;
    report::TReportProject project;
    // The print job joins the program's directory (with its separator) and "\Reports\...".
    project.setProjectFile(dir.path() + QStringLiteral("/\\Reports\\Diredodu.rpf"));
    EXPECT_FALSE(project.open());
    EXPECT_FALSE(project.isOpen());
    const QString expanded =
        QDir::toNativeSeparators(dir.path() + QStringLiteral("/Reports/Diredodu.rpf"));
    EXPECT_EQ(
        project.errorText(),
        QStringLiteral("The following reporting project does not exist:\r\"%1\"").arg(expanded));

    // The same doubled-separator path opens once the file is there.
    QDir(dir.path()).mkdir(QStringLiteral("Reports"));
    writeFile(dir, QStringLiteral("Reports/Diredodu.rpf"), QString::fromUtf8(kSmallProject));
    EXPECT_TRUE(project.open()) << project.errorText().toStdString();
    EXPECT_EQ(project.reportNames(), QStringList{"DirEdodu"});
}

TEST(Project, ParseErrorOnOpenNamesTheFileAndLine) {
    QTemporaryDir dir;
    report::TReportProject project;
    project.setProjectFile(
        writeFile(dir, QStringLiteral("bad.rpf"), QStringLiteral("report A\n  bogus\nend\n")));
    EXPECT_FALSE(project.open());
    EXPECT_TRUE(project.errorText().endsWith(
        QStringLiteral("bad.rpf: line 2: 'bogus' does not belong in a report")))
        << project.errorText().toStdString();
}

TEST(Project, UnknownReportNameDoesNothingAndKnownOneRunsThroughTheEngine) {
    Rendering r;
    report::TReportSystem system;
    int setupShown = 0;
    system.setupHook = [&](report::OutputOptionsDialog&) {
        ++setupShown;
        return false;  // Cancel
    };
    r.project().setEngine(&system);
    r.project().setProjectFile(
        writeFile(r.dir(), QStringLiteral("p.rpf"), QString::fromUtf8(kSmallProject)));
    ASSERT_TRUE(r.project().open());

    EXPECT_TRUE(r.project().executeReport(QStringLiteral("NoSuchReport")));
    EXPECT_EQ(setupShown, 0);
    EXPECT_TRUE(r.project().errorText().isEmpty());

    EXPECT_FALSE(r.project().executeReport(QStringLiteral("direDODU")));  // cancelled in the setup
    EXPECT_EQ(setupShown, 1);

    EXPECT_FALSE(r.project().exportPdf(QStringLiteral("NoSuchReport"), r.pdfPath()));
    EXPECT_TRUE(
        r.project().errorText().contains(QStringLiteral("no report named \"NoSuchReport\"")));
}

TEST(Project, ParametersAreTextIgnoreCaseAndCloseDropsThem) {
    Rendering r;
    r.setParameter(QStringLiteral("R_TOTINCOME"), QStringLiteral("0.00"));
    QStringList pages = r.render(QString::fromUtf8(kSmallProject), QStringLiteral("DirEdodu"));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Income 0.00")));
    EXPECT_EQ(r.project().parameter(QStringLiteral("r_totincome")), QStringLiteral("0.00"));

    r.project().close();
    EXPECT_FALSE(r.project().isOpen());
    EXPECT_TRUE(r.project().parameter(QStringLiteral("r_totincome")).isEmpty());
    EXPECT_FALSE(
        r.project().executeReport(QStringLiteral("DirEdodu")));  // closed: an error, not a crash

    pages = r.render(QString::fromUtf8(kSmallProject), QStringLiteral("DirEdodu"));  // reopens
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    EXPECT_EQ(pages[0].simplified(), QStringLiteral("Income"));
}

TEST(Project, UnwritablePdfPathIsAnErrorNotACrash) {
    Rendering r;
    r.project().setProjectFile(
        writeFile(r.dir(), QStringLiteral("p.rpf"), QString::fromUtf8(kSmallProject)));
    ASSERT_TRUE(r.project().open());
    EXPECT_FALSE(
        r.project().exportPdf(QStringLiteral("DirEdodu"), r.dir().filePath("no/such/dir/out.pdf")));
    EXPECT_TRUE(r.project().errorText().contains(QStringLiteral("cannot be written")));
}

}  // namespace
}  // namespace report_test
