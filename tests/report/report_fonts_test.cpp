// The fonts shipped beside the program: loaded from its folder, standing in for the Windows
// families a report names, and embedded in the PDF in their place.
#include "report/report_fonts.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "report_test_support.h"

namespace report_test {
namespace {

class ReportFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        loaded_ = report::loadReportFonts(QStringLiteral(REPORT_FONT_DIR));
    }
    static int loaded_;
};
int ReportFonts::loaded_ = 0;

TEST_F(ReportFonts, TheProgramFolderHoldsTheStatementFontInFourStyles) { EXPECT_EQ(loaded_, 4); }

TEST_F(ReportFonts, WindowsFamiliesAreDrawnWithTheirShippedStandIns) {
    EXPECT_EQ(report::reportFontFamily(QStringLiteral("Times New Roman")), "Liberation Serif");
    EXPECT_EQ(report::reportFontFamily(QStringLiteral("times new roman")), "Liberation Serif");
    EXPECT_EQ(report::reportFontFamily(QStringLiteral("Liberation Serif")), "Liberation Serif");
    // No stand-in shipped, or none needed: the name as given.
    EXPECT_EQ(report::reportFontFamily(QStringLiteral("Arial")), "Arial");
    EXPECT_EQ(report::reportFontFamily(QStringLiteral("DejaVu Sans")), "DejaVu Sans");
}

TEST_F(ReportFonts, ThePdfEmbedsTheShippedFontForEachStyle) {
    Rendering r;
    const QStringList pages = r.render(QStringLiteral(R"(
        report Test
            font family="Times New Roman" size=10
            title
                text x=0 w=3in value="Plain"
                text x=0 y=15pt w=3in bold value="Bold"
                text x=0 y=30pt w=3in italic value="Italic"
                text x=0 y=45pt w=3in bold italic value="Bold italic"
            end
        end)"));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    const QString fonts = runTool(QStringLiteral(PDFFONTS), {r.pdfPath()});
    QStringList names;
    for (const QString& row : fonts.split('\n', Qt::SkipEmptyParts).mid(2))
        names << row.section(' ', 0, 0).section('+', -1);  // without a subset prefix
    names.sort();
    EXPECT_EQ(names, (QStringList{"LiberationSerif", "LiberationSerif-Bold",
                                  "LiberationSerif-BoldItalic", "LiberationSerif-Italic"}))
        << fonts.toStdString();
}

}  // namespace
}  // namespace report_test
