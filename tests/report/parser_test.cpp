// The project file parser and the expression language, without rendering.
#include <gtest/gtest.h>

#include <QFile>

#include "report/evaluator.h"
#include "report/memory_data_set.h"
#include "report/project_parser.h"

namespace report {
namespace {

QString readSample(const char* name) {
    QFile file(QStringLiteral(REPORT_SAMPLES "/%1").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(ProjectParser, ReadsTheSampleProject) {
    const ParseResult result = parseProject(readSample("demo.rpf"));
    ASSERT_TRUE(result.ok()) << result.error.text().toStdString();
    ASSERT_EQ(result.project->reports.size(), 1u);
    const ReportDef* report = result.project->find(QStringLiteral("demo"));  // letter case ignored
    ASSERT_NE(report, nullptr);
    EXPECT_DOUBLE_EQ(report->page.marginLeft, 54);
    EXPECT_TRUE(report->pageHeader && report->pageFooter && report->title && report->summary);
    ASSERT_EQ(report->body.size(), 3u);
    const DetailDef& detail = *report->body[0].detail;
    EXPECT_EQ(detail.connection, QStringLiteral("Expenses"));
    EXPECT_EQ(detail.groups.size(), 1u);
    EXPECT_TRUE(detail.header->repeat);
    EXPECT_EQ(detail.aggregates.size(), 2u);  // the group's sum and the grand sum
    EXPECT_EQ(detail.footerFields, std::vector<QString>{QStringLiteral("etype")});
    EXPECT_EQ(report->totals.size(), 2u);  // rows(Expenses) and total(Expenses, ...)
    EXPECT_TRUE(report->body[1].band->keepWithNext);
}

TEST(ProjectParser, HoldsSeveralReportsAndFindsThemByName) {
    const ParseResult result =
        parseProject(QStringLiteral("report One\n  title\n    text w=1in value=\"1\"\n  end\nend\n"
                                    "report \"Two words\"\nend\n"));
    ASSERT_TRUE(result.ok()) << result.error.text().toStdString();
    EXPECT_NE(result.project->find(QStringLiteral("ONE")), nullptr);
    EXPECT_NE(result.project->find(QStringLiteral("Two words")), nullptr);
    EXPECT_EQ(result.project->find(QStringLiteral("Three")), nullptr);
}

TEST(ProjectParser, AcceptsUnitsCommentsAndMultiLineExpressions) {
    const ParseResult result =
        parseProject(QStringLiteral("# comment\n"
                                    "report R   # trailing comment\n"
                                    "  page margins=1in,0.5in,25.4mm,2.54cm\n"
                                    "  title height=36pt\n"
                                    "    text x=0 w=1in value={\"a # not a comment\" &\n"
                                    "          \"}\"}\n"
                                    "  end\n"
                                    "end\n"));
    ASSERT_TRUE(result.ok()) << result.error.text().toStdString();
    const ReportDef& report = *result.project->reports.front();
    EXPECT_DOUBLE_EQ(report.page.marginLeft, 72);
    EXPECT_DOUBLE_EQ(report.page.marginTop, 36);
    EXPECT_NEAR(report.page.marginRight, 72, 1e-9);
    EXPECT_NEAR(report.page.marginBottom, 72, 1e-9);
    EXPECT_EQ(*report.title->height, 36);
    EXPECT_EQ(evaluate(*report.title->items[0].value, {}).toText(),
              QStringLiteral("a # not a comment}"));
}

struct BadProject {
    const char* text;
    int line;
    const char* message;
};

class ProjectParserErrors : public ::testing::TestWithParam<BadProject> {};

TEST_P(ProjectParserErrors, NameTheLineAndWhatIsWrong) {
    const BadProject& bad = GetParam();
    const ParseResult result = parseProject(QString::fromUtf8(bad.text));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error.line, bad.line) << result.error.text().toStdString();
    EXPECT_TRUE(result.error.message.contains(QString::fromUtf8(bad.message)))
        << result.error.text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectParserErrors,
    ::testing::Values(
        BadProject{"", 1, "holds no report"},
        BadProject{"report A\nend\nend\n", 3, "expected 'report', found 'end'"},
        BadProject{"report A\nend\nreport a\nend\n", 3, "a second report named 'a'"},
        BadProject{"report A\n  band\n    text w=1in value=\"x\"\n", 2,
                   "'band' on line 2 has no 'end'"},
        BadProject{"report A\n  text w=1in value=\"x\"\nend\n", 2,
                   "'text' does not belong in a report"},
        BadProject{"report A\n band\n  text w=1in colour=red value=\"x\"\n end\nend\n", 3,
                   "'text' does not take 'colour'"},
        BadProject{"report A\n band\n  text x=abc w=1in value=\"x\"\n end\nend\n", 3,
                   "'x' is not a length"},
        BadProject{"report A\n band\n  text x=-1in w=1in value=\"x\"\n end\nend\n", 3,
                   "'x' is not a length"},
        BadProject{"report A\n band\n  text w=1in value=\"open\n end\nend\n", 3, "no closing '\"'"},
        BadProject{"report A\n band\n\n  text w=1in value={1 +\n 2\n end\nend\n", 4,
                   "'{' has no closing '}'"},
        BadProject{"report A\n band\n  text w=1in value={1 +\n\n (2 *}\n end\nend\n", 5,
                   "expression ends too early"},
        BadProject{"report A\n band\n  text w=1in value={frobnicate(1)}\n end\nend\n", 3,
                   "unknown function 'frobnicate'"},
        BadProject{"report A\n band\n  text w=1in value={money(1, 2)}\n end\nend\n", 3,
                   "money() takes 1 argument(s), not 2"},
        BadProject{"report A\n title\n  text w=1in value={sum(X.a)}\n end\nend\n", 3,
                   "sum() and count() belong in a detail"},
        BadProject{
            "report A\n detail X\n  header\n   text w=1in value={count()}\n  end\n end\nend\n", 4,
            "sum() and count() belong in a detail"},
        BadProject{"report A\n band\n  text w=1in value={pages()}\n end\nend\n", 3,
                   "pages() belongs in a page"},
        BadProject{"report A\n detail X\n  text w=1in value={sum(total(Y, Y.a))}\n end\nend\n", 3,
                   "an aggregate cannot hold another"},
        BadProject{"report A\n band\n  text w=1in value={total(1, 2)}\n end\nend\n", 3,
                   "total() needs a connection name first"},
        BadProject{"report A\n band height=0.2in\n  box y=0.1in w=1in h=0.2in\n end\nend\n", 3,
                   "reaches below its band"},
        BadProject{"report A\n band\n  text x=7in w=1in value=\"x\"\n end\nend\n", 3,
                   "runs past the right margin"},
        BadProject{"report A\n band\n  text value=\"x\"\n end\nend\n", 3, "needs a width w"},
        BadProject{"report A\n band\n  text w=1in size=500 value=\"x\"\n end\nend\n", 3,
                   "font size in points"},
        BadProject{"report A\n band\n  text w=1in align=middle value=\"x\"\n end\nend\n", 3,
                   "'align' is one of left, center, right"},
        BadProject{"report A\n band if=\"yes\"\n end\nend\n", 2, "'if' needs an {expression}"},
        BadProject{"report A\n page size=legal\nend\n", 2, "the page size is letter"},
        BadProject{"report A\n page margins=5in\nend\n", 2, "less than an inch"},
        BadProject{"report A\n detail X\n  group\n  end\n end\nend\n", 3,
                   "'group' needs key={expression}"},
        BadProject{"report A\n title\n end\n title\n end\nend\n", 4, "only one of these bands"},
        BadProject{"report A\n band\n  circle r=1\n end\nend\n", 3, "unknown item 'circle'"},
        BadProject{"report A\n band\n  text w=1in value=\"x\" =\n end\nend\n", 3,
                   "'=' without a name"},
        BadProject{"report\nend\n", 1, "'report' needs a name"}),
    [](const ::testing::TestParamInfo<BadProject>& info) {
        return "Case" + std::to_string(info.index) + "Line" + std::to_string(info.param.line);
    });

// A tiny scope for evaluating expressions directly.
struct Scope {
    QHash<QString, QString> parameters;
    QHash<QString, ReportDataSet*> connections;
    MemoryDataSet general;

    Scope() {
        general.addField(QStringLiteral("matter"), FieldKind::Text);
        general.addField(QStringLiteral("amount"), FieldKind::Number);
        general.addField(QStringLiteral("created"), FieldKind::Date);
        general.addField(QStringLiteral("married"), FieldKind::Boolean);
        general.addRow({QStringLiteral("Smith v. Smith"), QVariant(), QDate(2024, 3, 15), true});
        connections.insert(QStringLiteral("general"), &general);
        parameters.insert(QStringLiteral("r_sep"), QStringLiteral("X"));
        parameters.insert(QStringLiteral("r_totincome"), QStringLiteral("1,234.75"));
    }

    QString eval(const char* text) {
        ExpressionError error;
        std::unique_ptr<Expr> expr = parseExpression(QString::fromUtf8(text), &error);
        if (!expr) return QStringLiteral("error: ") + error.message;
        EvalScope scope;
        scope.parameters = &parameters;
        scope.connections = &connections;
        return evaluate(*expr, scope).toText();
    }
};

TEST(Expressions, FollowPrecedenceAndConvertValues) {
    Scope s;
    EXPECT_EQ(s.eval("1 + 2 * 3 - 4 / 2"), "5");
    EXPECT_EQ(s.eval("-(1 + 2) * 2"), "-6");
    EXPECT_EQ(s.eval("\"a\" & 1 + 2 & \"b\""), "a3b");
    EXPECT_EQ(s.eval("2 < 10"), "Yes");
    EXPECT_EQ(s.eval("\"2\" < 10"), "Yes");  // text that reads as a number compares as one
    EXPECT_EQ(s.eval("\"abc\" = \"abc\" and not (1 = 2) or false"), "Yes");
    EXPECT_EQ(s.eval("iif(r_sep = \"X\", \"separated\", \"no\")"), "separated");
    EXPECT_EQ(s.eval("R_SEP"), "X");  // parameter names ignore letter case
    EXPECT_EQ(s.eval("r_unset"), "");
    EXPECT_EQ(s.eval("r_totincome + 0.25"),
              "1235");  // "1,234.75" read with the system's separators
    EXPECT_EQ(s.eval("upper(left(General.matter, 5)) & \"|\" & trim(\"  x  \")"), "SMITH|x");
    EXPECT_EQ(s.eval("round(2.345, 2)"), "2.35");
    EXPECT_EQ(s.eval("abs(-3)"), "3");
}

TEST(Expressions, BlankFieldsMissingDataAndBadArithmeticNeverFail) {
    Scope s;
    EXPECT_EQ(s.eval("money(General.amount)"), "");  // blank amount prints as nothing
    EXPECT_EQ(s.eval("empty(General.amount)"), "Yes");
    EXPECT_EQ(s.eval("General.amount + 5"), "5");  // blank counts as 0 in arithmetic
    EXPECT_EQ(s.eval("empty(General.nosuchfield)"), "Yes");
    EXPECT_EQ(s.eval("Nowhere.field"), "");
    EXPECT_EQ(s.eval("money(1 / 0)"), "");
    EXPECT_EQ(s.eval("money(\"abc\")"), "");
    EXPECT_EQ(s.eval("General.married"), "Yes");
    EXPECT_EQ(s.eval("date(General.created, \"yyyy-MM-dd\")"), "2024-03-15");
    EXPECT_EQ(s.eval("date(\"sometime in May\")"),
              "sometime in May");             // free-text dates print as typed
    EXPECT_EQ(s.eval("rows(General)"), "0");  // results the layout fills in are 0 without it
    s.general.setPosition(1);                 // past the end
    EXPECT_EQ(s.eval("General.matter"), "");
}

TEST(Expressions, RejectMalformedTextWithoutCrashing) {
    Scope s;
    EXPECT_TRUE(s.eval("1 +").startsWith("error: expression ends too early"));
    EXPECT_TRUE(s.eval("\"open").startsWith("error: text has no closing"));
    EXPECT_TRUE(s.eval("General.").startsWith("error: a field name must follow"));
    EXPECT_TRUE(s.eval("1 2").startsWith("error: unexpected"));
    EXPECT_TRUE(
        s.eval(QByteArray(300, '(').constData()).startsWith("error: expression nested too deeply"));
    QByteArray chain = "1";
    for (int i = 0; i < 3000; ++i) chain += "+1";
    EXPECT_TRUE(s.eval(chain.constData()).startsWith("error: expression too long"));
}

TEST(Money, UsesGroupingTwoDecimalsAndRoundsHalfUp) {
    // The tests run with LC_ALL=en_US.UTF-8: comma groups, point decimals.
    EXPECT_EQ(formatMoney(Value::number(1234.5)), "1,234.50");
    EXPECT_EQ(formatMoney(Value::number(1234567.891)), "1,234,567.89");
    EXPECT_EQ(formatMoney(Value::number(0)), "0.00");
    EXPECT_EQ(formatMoney(Value::number(-0.001)), "0.00");
    EXPECT_EQ(formatMoney(Value::number(-1500)), "-1,500.00");
    EXPECT_EQ(formatMoney(Value::number(0.125)), "0.13");
    EXPECT_EQ(formatMoney(Value::number(1.005)), "1.01");
    EXPECT_EQ(formatMoney(Value()), "");
    EXPECT_EQ(formatMoney(Value::text(QStringLiteral("  "))), "");
}

}  // namespace
}  // namespace report
