#pragma once
// Running a program of the tests with QProcess and collecting what it did: its exit code (-1
// when it crashed or did not end in time, when it is killed), standard output and error.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace test_support {

struct ProcessRun {
    int exitCode = -1;
    QByteArray standardOutput;
    QString standardError;

    QString output() const { return QString::fromLocal8Bit(standardOutput); }
};

// Runs `program` with `arguments`; `environment` holds NAME=VALUE settings added to this
// process's environment for it.
inline ProcessRun runProcess(const QString& program, const QStringList& arguments,
                             const QStringList& environment = {}, int timeoutMs = 120000) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& setting : environment)
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, process.readAllStandardOutput(),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

}  // namespace test_support
