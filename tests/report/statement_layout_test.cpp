// Layout features the printed statement relies on: a detail's `where`, which lets one connection
// feed a detail per expense category, and headings kept with a growing row that moves whole.
#include <gtest/gtest.h>

#include "report_test_support.h"

namespace report_test {
namespace {

using report::FieldKind;

void fillLines(report::MemoryDataSet& set) {
    set.addField(QStringLiteral("etype"), FieldKind::Text);
    set.addField(QStringLiteral("expense"), FieldKind::Text);
    set.addField(QStringLiteral("amt"), FieldKind::Number);
    set.addRow({"(a) Housing", "Rent", 1000.5});
    set.addRow({"(a) Housing", "Taxes", QVariant()});
    set.addRow({"(c) Food", "Groceries", 250});
    set.addRow({"(a) Housing", "Repairs", 99.5});
}

QString detailFor(const QString& category) {
    return QStringLiteral(R"(
    detail E where={E.etype = "%1"} showempty
        header height=14pt
            text x=0 w=4in bold value="HEAD %1"
        end
        text x=0.2in w=3in value={"LINE " & E.expense}
        footer height=14pt
            text x=0 w=6in value={"SUB %1 n=" & count() & " sum=" & money(sum(E.amt)) & " last=" & E.expense}
        end
    end)")
        .arg(category);
}

TEST(StatementLayout, WherePicksTheRowsOfEachDetailForPrintingCountingAndSumming) {
    Rendering r;
    fillLines(r.data(QStringLiteral("E")));
    const QStringList pages = r.render(
        QStringLiteral("report Test\n%1%2%3\nend\n")
            .arg(detailFor("(a) Housing"), detailFor("(b) Utilities"), detailFor("(c) Food")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    QStringList lines;
    for (const QString& line : pages[0].split('\n'))
        if (!line.simplified().isEmpty()) lines << line.simplified();
    EXPECT_EQ(lines, QStringList({
                         "HEAD (a) Housing",
                         "LINE Rent",
                         "LINE Taxes",
                         "LINE Repairs",
                         "SUB (a) Housing n=3 sum=1,100.00 last=Repairs",
                         // No row passes: heading and footer still print, over nothing.
                         "HEAD (b) Utilities",
                         "SUB (b) Utilities n=0 sum=0.00 last=",
                         "HEAD (c) Food",
                         "LINE Groceries",
                         "SUB (c) Food n=1 sum=250.00 last=Groceries",
                     }));
}

TEST(StatementLayout, WhereWithoutShowEmptyPrintsNothingWhenNoRowPasses) {
    Rendering r;
    fillLines(r.data(QStringLiteral("E")));
    QString body = detailFor("(z) None");
    body.replace(QLatin1String(" showempty"), QString());
    const QStringList pages = r.render(
        QStringLiteral(
            "report Test\n    band\n        text x=0 w=2in value=\"START\"\n    end\n%1\nend\n")
            .arg(body));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    EXPECT_EQ(pages[0].simplified(), "START");
}

TEST(StatementLayout, WhereCannotUseAggregates) {
    Rendering r;
    fillLines(r.data(QStringLiteral("E")));
    EXPECT_TRUE(r.render(QStringLiteral("report Test\n    detail E where={count() > 1}\n"
                                        "        text x=0 w=1in value=\"x\"\n    end\nend\n"))
                    .isEmpty());
    EXPECT_TRUE(r.error().contains(QLatin1String("line 2"))) << r.error().toStdString();
}

// A heading before a growing row that fits on a fresh page goes with the whole row to the next
// page rather than staying alone at the foot of this one.
TEST(StatementLayout, HeadingMovesWithAGrowingRowThatIsKeptWhole) {
    Rendering r;
    report::MemoryDataSet& set = r.data(QStringLiteral("A"));
    set.addField(QStringLiteral("desc"), FieldKind::Memo);
    QStringList memo;
    for (int i = 1; i <= 12; ++i) memo << QStringLiteral("memo line %1").arg(i);
    set.addRow({memo.join('\n')});
    // The filler leaves room for the heading and a few memo lines, not for all twelve.
    const QStringList pages = r.render(QStringLiteral(R"(report Test
    page margins=0.5in
    band height=8.3in
        text x=0 w=2in value="FILLER"
    end
    detail A
        header height=14pt
            text x=0 w=3in bold value="HEADING"
        end
        text x=0 w=3in grow value={A.desc}
    end
end
)"));
    ASSERT_EQ(pages.size(), 2) << r.error().toStdString();
    EXPECT_FALSE(pages[0].contains(QLatin1String("HEADING")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("HEADING")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("memo line 1\n")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("memo line 12")));
}

}  // namespace
}  // namespace report_test
