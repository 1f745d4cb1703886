// rpftool run as a separate process: check and render, with tables from the storage layer.
#include <gtest/gtest.h>

#include "../support/process_run.h"
#include "report_test_support.h"
#include "storage/dbf_file.h"
#include "storage/record.h"

namespace report_test {
namespace {

using ToolRun = test_support::ProcessRun;

ToolRun rpftool(const QStringList& arguments,
                const QString& locale = QStringLiteral("en_US.UTF-8")) {
    test_support::ProcessOptions options;
    options.setEnvironment = {"LC_ALL=" + locale, "QT_QPA_PLATFORM=offscreen"};
    options.timeoutMs = 60000;
    return test_support::runProcess(QStringLiteral(RPFTOOL), arguments, options);
}

// Writes a table of matters and amounts through the storage layer.
QString writeIncomeTable(const QTemporaryDir& dir) {
    const std::string path = dir.filePath(QStringLiteral("Income.dbf")).toStdString();
    storage::Env* env = storage::Env::Default();
    const std::vector<storage::FieldDescriptor> fields = {{"MATTER", 'C', 50, 0, 0},
                                                          {"SALARY", 'N', 12, 2, 0}};
    EXPECT_TRUE(storage::DbfFile::create(env, path, fields).ok());
    std::unique_ptr<storage::DbfFile> table;
    EXPECT_TRUE(storage::DbfFile::open(env, path, storage::Access::ReadWrite,
                                       storage::Share::Exclusive, &table)
                    .ok());
    if (!table) return {};
    std::vector<uint8_t> record(table->recordLength());
    const std::pair<const char*, double> rows[] = {
        {"Other v. Other", 5}, {"Smith v. Smith", 1234.5}, {"Smith v. Smith", -1}};
    for (const auto& [matter, salary] : rows) {
        table->blankRecord(record.data());
        storage::setText(table->fields()[0], record.data(), matter);
        if (salary >= 0) storage::setNumber(table->fields()[1], record.data(), salary);
        EXPECT_TRUE(table->appendRecord(record.data()).ok());
    }
    EXPECT_TRUE(table->close().ok());
    return QString::fromStdString(path);
}

const char kIncomeReport[] =
    "report Income\n"
    "  title\n"
    "    text x=0 w=5in value={\"For \" & who}\n"
    "  end\n"
    "  detail Inc height=15pt\n"
    "    text x=0 w=3in value={Inc.matter}\n"
    "    text x=3in w=2in align=right value={\"[\" & money(Inc.salary) & \"]\"}\n"
    "    footer\n"
    "      text x=0 w=5in value={\"Total \" & money(sum(Inc.salary)) & \" in \" & count()}\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(Rpftool, CheckNamesTheReportsOrTheLineThatIsWrong) {
    QTemporaryDir dir;
    const QString good =
        writeFile(dir, QStringLiteral("good.rpf"), QString::fromUtf8(kIncomeReport));
    ToolRun run = rpftool({QStringLiteral("check"), good});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("1 report(s): Income")));

    const QString bad =
        writeFile(dir, QStringLiteral("bad.rpf"),
                  QStringLiteral("report A\n  band\n    text w=1in value={1 +}\n  end\nend\n"));
    run = rpftool({QStringLiteral("check"), bad});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("bad.rpf: line 3: in {1 +}: expression ends too early")))
        << run.err.toStdString();

    run = rpftool({QStringLiteral("check"), dir.filePath(QStringLiteral("missing.rpf"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(rpftool({QStringLiteral("frobnicate")}).exitCode, 2);
}

TEST(Rpftool, RendersATableFilteredToOneMatterWithTheSystemsSeparators) {
    QTemporaryDir dir;
    const QString project =
        writeFile(dir, QStringLiteral("income.rpf"), QString::fromUtf8(kIncomeReport));
    const QString table = writeIncomeTable(dir);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const QStringList arguments = {
        QStringLiteral("render"),  project,
        QStringLiteral("income"),  pdf,
        QStringLiteral("--param"), QStringLiteral("who=the court"),
        QStringLiteral("--data"),  QStringLiteral("Inc=%1:MATTER=Smith v. Smith").arg(table)};
    ToolRun run = rpftool(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    QString text = pages[0].simplified();
    EXPECT_EQ(text,
              QStringLiteral(
                  "For the court Smith v. Smith [1,234.50] Smith v. Smith [] Total 1,234.50 in 2"));

    run = rpftool({QStringLiteral("render"), project, QStringLiteral("Income"), pdf,
                   QStringLiteral("--data"), QStringLiteral("Inc=%1:NOFIELD=x").arg(table)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("has no field NOFIELD")));

    if (!test_support::kLocaleFromEnvironment) GTEST_SKIP() << "the locale is the machine's";
    run = rpftool(arguments, QStringLiteral("de_DE.UTF-8"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("[1.234,50]"))) << pages[0].toStdString();
}

TEST(Rpftool, RenderReportsAMissingProjectAndAnUnknownReport) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    ToolRun run = rpftool({QStringLiteral("render"), dir.filePath(QStringLiteral("none.rpf")),
                           QStringLiteral("X"), pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("The following reporting project does not exist:\n\"")));

    const QString project =
        writeFile(dir, QStringLiteral("income.rpf"), QString::fromUtf8(kIncomeReport));
    run = rpftool({QStringLiteral("render"), project, QStringLiteral("Nope"), pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no report named \"Nope\"")));
}

}  // namespace
}  // namespace report_test
