// Reports rendered headless to PDF and read back page by page with pdftotext.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "report_test_support.h"

namespace report_test {
namespace {

using report::FieldKind;

// Lines of a page with their blanks squeezed, for order checks.
QStringList linesOf(const QString& page) {
    QStringList lines;
    for (const QString& line : page.split('\n')) {
        const QString simple = line.simplified();
        if (!simple.isEmpty()) lines << simple;
    }
    return lines;
}

int countMatches(const QString& text, const QString& pattern) {
    return static_cast<int>(text.count(QRegularExpression(pattern)));
}

const char kExpenseDetail[] = R"(
    detail Expenses height=15pt
        header height=20pt repeat
            text x=0 w=3in bold value="ITEM HEADING"
        end
        group key={Expenses.etype}
            header height=15pt
                text x=0 w=4in bold value={"Group " & Expenses.etype}
            end
            footer height=15pt
                text x=0 w=4in value={"Subtotal " & Expenses.etype & " n=" & count()}
                text x=5in w=1.5in align=right value={money(sum(Expenses.amt))}
            end
        end
        text x=0.2in w=3in value={Expenses.expense}
        text x=5in w=1.5in align=right value={money(Expenses.amt)}
        footer height=15pt
            text x=0 w=4in value="GRAND"
            text x=5in w=1.5in align=right value={money(sum(Expenses.amt))}
        end
    end
)";

QString project(const QString& body,
                const QString& pageSetup = QStringLiteral("page margins=0.5in")) {
    return QStringLiteral("report Test\n%1\n%2\nend\n").arg(pageSetup, body);
}

TEST(Render, PrintsParametersFieldsOfTheCurrentRecordAndMoney) {
    Rendering r;
    report::MemoryDataSet& general = r.data(QStringLiteral("General"));
    general.addField(QStringLiteral("matter"), FieldKind::Text);
    general.addField(QStringLiteral("salary"), FieldKind::Number);
    general.addField(QStringLiteral("bonus"), FieldKind::Number);
    general.addRow({QStringLiteral("Other v. Other"), 1.0, 2.0});
    general.addRow({QStringLiteral("Smith v. Smith"), 1234567.5, QVariant()});
    general.setPosition(1);  // the owner positioned it on the matter's record
    r.setParameter(QStringLiteral("r_totincome"), QStringLiteral("1,234.75"));
    r.setParameter(QStringLiteral("r_sep"), QStringLiteral("X"));

    const QStringList pages = r.render(project(QStringLiteral(R"(
        title
            text x=0 y=0 w=3in value={"Matter: " & General.matter}
            text x=0 y=20pt w=3in value={"Salary: [" & money(General.salary) & "]"}
            text x=0 y=40pt w=3in value={"Bonus: [" & money(General.bonus) & "]"}
            text x=0 y=60pt w=3in value={"Income: " & r_totincome}
            text x=0 y=80pt w=3in value={"Separated: " & r_sep & ", divorced: [" & r_div & "]"}
            check x=4in y=80pt value={r_sep}
        end)")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    const QStringList lines = linesOf(pages[0]);
    EXPECT_TRUE(lines.contains("Matter: Smith v. Smith"));
    EXPECT_TRUE(lines.contains("Salary: [1,234,567.50]"));
    EXPECT_TRUE(lines.contains("Bonus: []"));  // blank amount: nothing, not 0.00
    EXPECT_TRUE(lines.contains("Income: 1,234.75"));
    EXPECT_TRUE(lines.contains("Separated: X, divorced: []"));
    EXPECT_EQ(general.position(), 1);  // a single-record connection is never moved
}

TEST(Render, DetailRunsOverPagesWithHeadingRepeatedAndPageNOfM) {
    Rendering r;
    fillExpenses(r.data(QStringLiteral("Expenses")), 40, 3);  // 120 lines, 3 groups
    const QStringList pages =
        r.render(project(QString::fromUtf8(kExpenseDetail) + QStringLiteral(R"(
        pagefooter height=20pt
            text x=0 y=5pt w=7in align=center value={"Page " & page() & " of " & pages()}
        end)")));
    ASSERT_GE(pages.size(), 3) << r.error().toStdString();
    const int total = static_cast<int>(pages.size());
    QStringList items;
    for (int i = 0; i < total; ++i) {
        const QStringList lines = linesOf(pages[i]);
        EXPECT_EQ(lines.front(), "ITEM HEADING") << "page " << i + 1;
        EXPECT_EQ(lines.back(), QStringLiteral("Page %1 of %2").arg(i + 1).arg(total));
        for (const QString& line : lines) {
            if (line.startsWith("Item ")) items << line.section(' ', 0, 1);
        }
    }
    ASSERT_EQ(items.size(), 120);  // every row once, in order
    EXPECT_EQ(items.front(), "Item 1-1");
    EXPECT_EQ(items[40], "Item 2-1");
    EXPECT_EQ(items.back(), "Item 3-40");
}

TEST(Render, GroupSumsCountsGrandTotalsAndArithmetic) {
    Rendering r;
    fillExpenses(r.data(QStringLiteral("Expenses")), 4, 3);
    report::MemoryDataSet& debts = r.data(QStringLiteral("Debts"));
    debts.addField(QStringLiteral("owed"), FieldKind::Number);
    debts.addRow({100.0});
    debts.addRow({QVariant()});
    debts.addRow({0.5});
    const QStringList pages = r.render(project(QStringLiteral(R"(
        title
            text x=0 w=7in value={"Before: " & money(total(Expenses, Expenses.amt)) & " in " & rows(Expenses) & " lines"}
        end)") + QString::fromUtf8(kExpenseDetail) +
                                               QStringLiteral(R"(
        summary
            text x=0 w=7in value={"Net: " & money(total(Expenses, Expenses.amt) - total(Debts, Debts.owed))}
            text x=0 y=15pt w=7in value={"Debts: " & rows(Debts)}
        end)")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    const QString page = pages[0];

    // Group 1: 100.25 + 100.50 + 100.75 + 101.00; group 2 adds 100 per line; group 3 200.
    EXPECT_EQ(countMatches(page, QStringLiteral("Subtotal \\(a\\) Type 1 n=4 +402\\.50")), 1);
    EXPECT_EQ(countMatches(page, QStringLiteral("Subtotal \\(b\\) Type 2 n=4 +802\\.50")), 1);
    EXPECT_EQ(countMatches(page, QStringLiteral("Subtotal \\(c\\) Type 3 n=4 +1,202\\.50")), 1);
    EXPECT_EQ(countMatches(page, QStringLiteral("GRAND +2,407\\.50")), 1);
    EXPECT_TRUE(page.contains("Before: 2,407.50 in 12 lines"));
    EXPECT_TRUE(page.contains("Net: 2,307.00"));
    EXPECT_TRUE(page.contains("Debts: 3"));
    // Each group's heading comes before its rows and its subtotal after them.
    const QStringList lines = linesOf(page);
    auto lineStarting = [&](const char* prefix) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith(QLatin1String(prefix))) return i;
        }
        return qsizetype(-1);
    };
    EXPECT_GE(lineStarting("Group (b)"), 0);
    EXPECT_LT(lineStarting("Group (b)"), lineStarting("Item 2-1"));
    EXPECT_LT(lineStarting("Item 2-4"), lineStarting("Subtotal (b)"));
}

TEST(Render, GroupHeadingIsKeptWithItsFirstRow) {
    Rendering r;
    fillExpenses(r.data(QStringLiteral("Expenses")), 2, 1);
    // The body is 720pt high; the filler leaves 25pt: room for the heading (15pt) but not for the
    // heading and its first row (30pt), nor the detail header (20pt) with them.
    const QStringList pages = r.render(project(QStringLiteral(R"(
        band height=695pt
            text x=0 w=2in value="FILLER"
        end)") + QString::fromUtf8(kExpenseDetail)));
    ASSERT_EQ(pages.size(), 2) << r.error().toStdString();
    EXPECT_EQ(linesOf(pages[0]), QStringList{"FILLER"});
    const QStringList second = linesOf(pages[1]);
    ASSERT_GE(second.size(), 3);
    EXPECT_EQ(second[0], "ITEM HEADING");
    EXPECT_TRUE(second[1].startsWith("Group (a) Type 1"));
    EXPECT_TRUE(second[2].startsWith("Item 1-1"));
}

TEST(Render, MemoLongerThanAPageFlowsOntoTheNextPages) {
    Rendering r;
    report::MemoryDataSet& general = r.data(QStringLiteral("General"));
    general.addField(QStringLiteral("notes"), FieldKind::Memo);
    QStringList memo;
    for (int i = 1; i <= 150; ++i)
        memo << QStringLiteral("Memo line %1 of the remarks.").arg(i, 3, 10, QChar('0'));
    general.addRow({memo.join(QStringLiteral("\r\n"))});  // memo files keep CR LF
    const QStringList pages = r.render(project(QStringLiteral(R"(
        band
            text x=0 y=0 w=2in bold value="REMARKS"
            text x=0 y=15pt w=7in grow value={General.notes}
        end
        band
            text x=0 w=2in value="AFTER THE MEMO"
        end
        pagefooter height=20pt
            text x=0 y=5pt w=7in value={"Page " & page() & " of " & pages()}
        end)")));
    ASSERT_GE(pages.size(), 2) << r.error().toStdString();
    EXPECT_TRUE(linesOf(pages[0]).front() == "REMARKS");
    QStringList memoLines;
    for (const QString& page : pages) {
        for (const QString& line : linesOf(page)) {
            if (line.startsWith("Memo line")) memoLines << line;
        }
    }
    EXPECT_EQ(memoLines, memo);  // every line once, in order, across the pages
    const QStringList last = linesOf(pages.back());
    EXPECT_EQ(last[last.size() - 2], "AFTER THE MEMO");
    EXPECT_EQ(last.back(), QStringLiteral("Page %1 of %1").arg(pages.size()));
}

TEST(Render, WrappedTextStaysInsideItsWidth) {
    Rendering r;
    const QString words =
        QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa");
    r.setParameter(QStringLiteral("long"), words);
    const QStringList pages = r.render(project(QStringLiteral(R"(
        band
            text x=0 w=1.2in h=100pt wrap value={long}
        end)")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    const QStringList lines = linesOf(pages[0]);
    EXPECT_GT(lines.size(), 2);
    EXPECT_EQ(lines.join(' '), words);
}

TEST(Render, ConditionsSuppressBandsAndEmptyDetails) {
    Rendering r;
    report::MemoryDataSet& general = r.data(QStringLiteral("General"));
    general.addField(QStringLiteral("notes"), FieldKind::Memo);
    general.addField(QStringLiteral("matter"), FieldKind::Text);
    general.addRow({QString(), QStringLiteral("M")});
    report::MemoryDataSet& empty = r.data(QStringLiteral("Empty"));
    empty.addField(QStringLiteral("a"), FieldKind::Text);
    const QStringList pages = r.render(project(QStringLiteral(R"(
        band if={not empty(General.notes)}
            text x=0 w=3in value="NOTES SHOWN"
        end
        band if={not empty(General.matter)}
            text x=0 w=3in value="MATTER SHOWN"
        end
        band if={rows(Empty) > 0}
            text x=0 w=3in value="EMPTY HAS ROWS"
        end
        detail Empty height=15pt
            header
                text x=0 w=3in value="EMPTY HEADER"
            end
            text x=0 w=3in value={Empty.a}
        end
        detail Empty height=15pt showempty
            header
                text x=0 w=3in value="SHOWN HEADER"
            end
            text x=0 w=3in value={Empty.a}
            footer
                text x=0 w=3in value={"SHOWN FOOTER " & count() & " " & money(sum(Empty.a))}
            end
        end
        detail DataConnBonds height=15pt
            text x=0 w=3in value="UNBOUND ROW"
        end)")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    EXPECT_EQ(linesOf(pages[0]),
              (QStringList{"MATTER SHOWN", "SHOWN HEADER", "SHOWN FOOTER 0 0.00"}));
}

TEST(Render, FontsAreEmbeddedInThePdf) {
    Rendering r;
    const QStringList pages = r.render(project(QStringLiteral(R"(
        title
            text x=0 w=3in value="Plain"
            text x=0 y=15pt w=3in bold italic value="Bold italic"
        end)")));
    ASSERT_EQ(pages.size(), 1) << r.error().toStdString();
    const QString fonts = runTool(QStringLiteral(PDFFONTS), {r.pdfPath()});
    const QStringList rows = fonts.split('\n', Qt::SkipEmptyParts).mid(2);  // after the table head
    ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
    for (const QString& row : rows) {
        EXPECT_TRUE(row.contains(QRegularExpression(" yes +(yes|no) +(yes|no) ")))
            << row.toStdString();
    }
}

}  // namespace
}  // namespace report_test
