// The program's command line as scripts use it: --help, --version and options the program does
// not know. Every run is the real program.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessRun runProgram(const QString& program, const QStringList& arguments,
                      const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // none of these may need a display
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ProcessRun run(const QStringList& arguments, const QByteArray& input = {}) {
    return runProgram(QStringLiteral(NETWORTH), arguments, input);
}

TEST(CommandLine, HelpAndVersion) {
    ProcessRun result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QString());
    for (const char* words :
         {"Usage:", "networth --print-pdf MATTER OUT.pdf [--data-dir DIR]", "networth --version"})
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
