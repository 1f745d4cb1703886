#pragma once
// One of the program's own executables run as a child process by a test: its exit code, what it
// wrote to standard output and standard error.
//
// Windows programs write their console text with "\r\n" line ends; the text members hold "\n"
// on every platform, so that a test spells an expected message once. The bytes of standard
// output stay as written, for output that is not text (a PDF written to "-").
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace test_support {

struct ProcessRun {
    int exitCode = -1;  // -1 when the process did not start, did not end in time or crashed
    QByteArray outBytes;
    QString out;
    QString err;
};

struct ProcessOptions {
    QByteArray input;             // standard input, closed after it
    QStringList setEnvironment;   // "NAME=value" settings added to the test's environment
    QStringList dropEnvironment;  // names taken out of the test's environment
    int timeoutMs = 120000;
};

// Whether a child process takes its number format from the LC_ALL set for it. A Windows program
// takes it from the user's settings of the machine instead, which a test does not change.
#ifdef Q_OS_WIN
inline constexpr bool kLocaleFromEnvironment = false;
#else
inline constexpr bool kLocaleFromEnvironment = true;
#endif

inline QString consoleText(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
#ifdef Q_OS_WIN
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
    return text;
}

inline ProcessRun runProcess(const QString& program, const QStringList& arguments,
                             const ProcessOptions& options = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : options.dropEnvironment) env.remove(name);
    for (const QString& setting : options.setEnvironment)
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForStarted(options.timeoutMs)) return {};
    process.write(options.input);
    process.closeWriteChannel();
    ProcessRun run;
    if (!process.waitForFinished(options.timeoutMs)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.outBytes = process.readAllStandardOutput();
    run.out = consoleText(run.outBytes);
    run.err = consoleText(process.readAllStandardError());
    return run;
}

}  // namespace test_support
