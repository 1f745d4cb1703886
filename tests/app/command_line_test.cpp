// The program's command line as scripts use it: the guideline calculator's answers and refusals,
// --help, --version and options the program does not know. Every run is the real program.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "../support/process_run.h"

namespace {

using test_support::ProcessRun;

ProcessRun runProgram(const QString& program, const QStringList& arguments,
                      const QByteArray& input = {}) {
    // None of these may need a display.
    test_support::ProcessOptions options;
    options.input = input;
    options.dropEnvironment = {"DISPLAY", "QT_QPA_PLATFORM"};
    return test_support::runProcess(program, arguments, options);
}

ProcessRun run(const QStringList& arguments, const QByteArray& input = {}) {
    return runProgram(QStringLiteral(NETWORTH), arguments, input);
}

// The member `key` of the object under `object` in `json`.
QJsonValue at(const QJsonObject& json, const char* object, const char* key) {
    return json.value(QLatin1String(object)).toObject().value(QLatin1String(key));
}

// The calculator on a case given on standard input.
ProcessRun calculate(const QByteArray& json) { return run({"--guidelines", "-"}, json); }

TEST(Guidelines, ACaseGivesItsAmountsAsJson) {
    QTemporaryDir directory;
    const QString path = directory.filePath("case.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Temporary maintenance (i) 30,000 - 10,000 = 20,000; child support on 130,000 and 60,000:
    // 25% of the cap of 183,000 = 45,750, of which A pays 130/190 = 31,302.63; the add-ons in
    // the same share.
    file.write(R"({"as_of": "2025-06-01", "maintenance": "temporary", "children": 2,
                   "custodial": "b", "income": {"a": 150000, "b": 40000},
                   "above_cap": "none",
                   "addons": {"child_care": 12000, "health_insurance": 3000.5}})");
    file.close();
    const ProcessRun result = run({"--guidelines", path});
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(result.err, QString());
    EXPECT_TRUE(result.out.contains("\"annual\": 20000.00,")) << qPrintable(result.out);
    const QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(at(json, "parameters", "effective").toString(), "2025-03-01");
    EXPECT_EQ(at(json, "maintenance", "payor").toString(), "a");
    EXPECT_EQ(at(json, "maintenance", "formula").toString(), "with child support");
    EXPECT_EQ(at(json, "maintenance", "monthly").toDouble(), 1666.67);
    EXPECT_EQ(at(json, "child_support", "noncustodial").toString(), "a");
    EXPECT_EQ(at(json, "child_support", "combined_income").toDouble(), 190000.0);
    EXPECT_EQ(at(json, "child_support", "percentage").toInt(), 25);
    EXPECT_EQ(at(json, "child_support", "basic_obligation").toDouble(), 45750.0);
    EXPECT_EQ(at(json, "child_support", "annual").toDouble(), 31302.63);
    EXPECT_EQ(at(json, "child_support", "monthly").toDouble(), 2608.55);
    EXPECT_TRUE(at(json, "child_support", "low_income_rule").isNull());
    EXPECT_EQ(at(json, "addons", "child_care").toDouble(), 8210.53);
    EXPECT_EQ(at(json, "addons", "health_insurance").toDouble(), 2052.97);  // 3,000.50 × 13/19
}

TEST(Guidelines, OverridesAndChoicesFromTheCommandLine) {
    // Combined 300,000 without a cap, the percentage up to 250,000: 17% = 42,500 × 0.6.
    ProcessRun result = calculate(R"({"as_of": "2024-03-01", "maintenance": "none", "children": 1,
        "custodial": "a", "income": {"a": 120000, "b": 180000}, "cssa_cap": "none"})");
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    QJsonObject json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_TRUE(at(json, "parameters", "cssa_cap").isNull());
    EXPECT_TRUE(json.value("maintenance").isNull());
    EXPECT_EQ(at(json, "child_support", "annual").toDouble(), 30600.0);

    result = calculate(R"({"as_of": "2024-03-01", "maintenance": "none", "children": 1,
        "custodial": "a", "income": {"a": 120000, "b": 180000}, "above_cap": 250000})");
    json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(at(json, "child_support", "annual").toDouble(), 25500.0);

    // Post-divorce: 124 whole months of marriage, 15% to 30% of it.
    result = calculate(R"({"as_of": "2026-03-01", "maintenance": "post-divorce", "children": 0,
        "income": {"a": 20000, "b": 300000}, "maintenance_cap": 100000,
        "married": "2015-01-10", "commenced": "2025-06-09"})");
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    json = QJsonDocument::fromJson(result.out.toUtf8()).object();
    // (i) 30% of 100,000 - 4,000 = 26,000; (ii) 40% of 120,000 - 20,000 = 28,000.
    EXPECT_EQ(at(json, "maintenance", "annual").toDouble(), 26000.0);
    EXPECT_EQ(at(json, "parameters", "maintenance_cap").toDouble(), 100000.0);
    EXPECT_EQ(at(json, "maintenance", "duration_years").toArray().at(0).toDouble(), 1.55);
    EXPECT_EQ(at(json, "maintenance", "duration_years").toArray().at(1).toDouble(), 3.1);
}

TEST(Guidelines, MalformedCasesAreRefusedNamingTheField) {
    const QByteArray base = R"("as_of": "2025-06-01", "maintenance": "none", "children": 0)";
    const struct {
        QByteArray json;
        const char* message;
    } cases[] = {
        {"{" + base + "}", "networth: -: income: missing"},
        {"{" + base + R"(, "income": {"a": 50000}})", "networth: -: income.b: missing"},
        {R"({"as_of": "2025-06-01", "maintenance": "temporary", "children": 2,
             "income": {"a": 50000, "b": 10000}})",
         "networth: -: custodial: required when there are children"},
        {"{" + base + R"(, "income": {"a": -50000, "b": 10000}})",
         "networth: -: income.a: an amount may not be negative"},
        {R"({"as_of": "2025-06-01", "maintenance": "none", "children": 1, "custodial": "a",
             "income": {"a": 50000, "b": 10000}, "addons": {"education": -1}})",
         "networth: -: addons.education: may not be negative"},
        {"{" + base + R"(, "income": {"a": 1, "b": 2}, "alimony": 5})",
         "networth: -: alimony: unknown key"},
        {"{" + base + R"(, "income": {"a": 1, "b": 2, "c": 3}})",
         "networth: -: income.c: unknown key"},
        {"{" + base + R"(, "income": {"a": 1, "b": 2}, "addons": {"tuition": 3}})",
         "networth: -: addons.tuition: unknown key"},
        {R"({"as_of": "2015-12-31", "maintenance": "none", "children": 0,
             "income": {"a": 1, "b": 2}})",
         "networth: -: as_of: 2015-12-31 is before the first parameter set (2016-01-31"},
        {R"({"maintenance": "none", "children": 0, "income": {"a": 1, "b": 2}})",
         "networth: -: as_of: missing"},
        {R"({"as_of": "2025-02-30", "maintenance": "none", "children": 0,
             "income": {"a": 1, "b": 2}})",
         "networth: -: as_of: must be a date, YYYY-MM-DD"},
        {R"({"as_of": "2025-06-01", "maintenance": "permanent", "children": 0,
             "income": {"a": 1, "b": 2}})",
         "networth: -: maintenance: must be \"temporary\", \"post-divorce\", \"none\""},
        {R"({"as_of": "2025-06-01", "maintenance": "none", "children": 1.5,
             "income": {"a": 1, "b": 2}})",
         "networth: -: children: must be a whole number"},
        {"{" + base + R"(, "income": {"a": "50000", "b": 2}})",
         "networth: -: income.a: must be a number of dollars"},
        {"{" + base + R"(, "income": {"a": 100.005, "b": 2}})",
         "networth: -: income.a: has fractions of a cent"},
        {"{" + base + R"(, "income": {"a": 1, "b": 2}, "cssa_cap": "unlimited"})",
         "networth: -: cssa_cap: must be a number of dollars or \"none\""},
        {R"({"as_of": "2025-06-01", "maintenance": "post-divorce", "children": 0,
             "income": {"a": 1, "b": 2}, "commenced": "2016-01-24"})",
         "networth: -: commenced: the post-divorce guidelines apply to actions commenced on or "
         "after 2016-01-25"},
        {"{" + base, "networth: -: not JSON: "},
        {"[1, 2]", "networth: -: the case must be a JSON object"},
    };
    for (const auto& c : cases) {
        const ProcessRun result = calculate(c.json);
        EXPECT_EQ(result.exitCode, 2) << c.json.constData();
        EXPECT_EQ(result.out, QString()) << c.json.constData();
        EXPECT_TRUE(result.err.startsWith(QString::fromUtf8(c.message)))
            << qPrintable(result.err) << " for " << c.json.constData();
    }
}

TEST(Guidelines, WrongArgumentsAndMissingFiles) {
    ProcessRun result = run({"--guidelines"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "networth: usage: networth --guidelines IN.json\n");
    result = run({"--guidelines", "a.json", "b.json"});
    EXPECT_EQ(result.exitCode, 2);
    QTemporaryDir directory;
    result = run({"--guidelines", directory.filePath("absent.json")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    EXPECT_TRUE(result.err.contains("absent.json")) << qPrintable(result.err);
}

// A program directory of its own: the program beside a parameter file the test writes.
class ProgramCopy {
  public:
    ProgramCopy() {
        const QFileInfo original(QStringLiteral(NETWORTH));
        program_ = directory_.filePath(original.fileName());
        QFile::copy(original.filePath(), program_);
#ifdef Q_OS_WIN
        // Windows finds a program's DLLs beside it.
        for (const QFileInfo& dll : original.dir().entryInfoList({"*.dll"}, QDir::Files))
            QFile::copy(dll.filePath(), directory_.filePath(dll.fileName()));
#endif
        QDir(directory_.path()).mkdir("Guidelines");
    }
    void writeParameters(const QByteArray& text) {
        QFile file(directory_.filePath("Guidelines/parameters.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    ProcessRun calculate(const QByteArray& json) {
        return runProgram(program_, {"--guidelines", "-"}, json);
    }

  private:
    QTemporaryDir directory_;
    QString program_;
};

TEST(Guidelines, TheParametersAreReadFromBesideTheProgram) {
    const QByteArray json = R"({"as_of": "2030-06-01", "maintenance": "none", "children": 1,
        "custodial": "a", "income": {"a": 100000, "b": 150000}})";
    ProgramCopy copy;
    ProcessRun result = copy.calculate(json);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QString());
    EXPECT_TRUE(result.err.contains("parameters.ini: the parameter file cannot be read"))
        << qPrintable(result.err);

    // An office adds the values of 2030 without a new build.
    copy.writeParameters(
        "[2030-03-01]\ncssa_cap = 200000\nmaintenance_cap = 250000\n"
        "poverty_guideline = 17000\nself_support_reserve = 22950\n");
    result = copy.calculate(json);
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    const QJsonObject out = QJsonDocument::fromJson(result.out.toUtf8()).object();
    EXPECT_EQ(at(out, "parameters", "effective").toString(), "2030-03-01");
    EXPECT_EQ(at(out, "parameters", "self_support_reserve").toDouble(), 22950.0);
    // 17% of 200,000 = 34,000 × 150/250.
    EXPECT_EQ(at(out, "child_support", "annual").toDouble(), 20400.0);

    copy.writeParameters("[2030-03-01]\ncssa_cap = lots\n");
    result = copy.calculate(json);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.startsWith("networth: parameters.ini: line 2: cssa_cap must be"))
        << qPrintable(result.err);
}

TEST(CommandLine, HelpAndVersion) {
    ProcessRun result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QString());
    for (const char* words : {"Usage:", "networth --print-pdf MATTER OUT.pdf [--data-dir DIR]",
                              "networth --guidelines IN.json", "networth --version"})
        EXPECT_TRUE(result.out.contains(words)) << words;
    result = run({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "Quillmark Net Worth " NETWORTH_VERSION "\n");
}

TEST(CommandLine, AnUnknownOptionPrintsTheUsageInsteadOfStarting) {
    // No display is set: starting the program instead would fail, not wait.
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"smith.pdf"}, QStringList{"-h", "--help"}}) {
        const ProcessRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(' '));
        EXPECT_EQ(result.out, QString());
        EXPECT_TRUE(result.err.startsWith(
            QStringLiteral("networth: unknown option \"%1\"\nUsage:\n").arg(arguments.first())))
            << qPrintable(result.err);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
