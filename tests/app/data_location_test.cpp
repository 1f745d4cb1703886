// The data directory in tallo.ini: first write, trailing separator, failures, and the change
// procedure of F_network.

#include "app/data_location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/network_form.h"
#include "platform/ini_file.h"
#include "platform/scripted_dialogs.h"

using app::DataLocation;
using platform::ScopedScriptedDialogs;
using platform::ScriptedDialogs;

namespace {
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
void writeSettings(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}
QString sep() { return QString(QDir::separator()); }
}  // namespace

class DataLocationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir_;
    std::unique_ptr<DataLocation> location_;
    std::unique_ptr<ScopedScriptedDialogs> script_;

    ScriptedDialogs& script() { return script_->script(); }
    QString native(const QString& name) const {
        return QDir::toNativeSeparators(programDir_->filePath(name));
    }
    // The settings file made unwritable: a directory where the file should be.
    void blockSettingsFile() { QVERIFY(QDir(programDir_->path()).mkdir("tallo.ini")); }

  private slots:
    void init() {
        programDir_ = std::make_unique<QTemporaryDir>();
        location_ = std::make_unique<DataLocation>(programDir_->path());
        script_ = std::make_unique<ScopedScriptedDialogs>();
    }
    void cleanup() {
        QVERIFY2(script().failures().isEmpty(), qPrintable(script().failures().join("; ")));
        script_.reset();
        location_.reset();
        programDir_.reset();
    }

    void firstReadWritesTheDefaultBesideTheProgram() {
        const QString expected = native("data3005") + sep();
        QCOMPARE(location_->settingsFile(), native("tallo.ini"));
        QCOMPARE(location_->read(), std::optional<QString>(expected));
        QCOMPARE(location_->directory(), expected);
        QCOMPARE(location_->tablePath("General.dbf"), expected + "General.dbf");
        QCOMPARE(platform::readIniString(native("tallo.ini"), "Database3", "Path"), expected);
        QVERIFY(!QFileInfo::exists(native("data3005")));  // never created by the program
        QVERIFY(script().shown().isEmpty());

        // An empty key counts as missing; other lines stay.
        writeSettings(native("tallo.ini"), "; ours\n[Database3]\nPath=\n");
        QCOMPARE(location_->read(), std::optional<QString>(expected));
        QCOMPARE(contents(native("tallo.ini")),
                 QByteArray("; ours\n[Database3]\nPath=" + expected.toUtf8() + "\n"));
    }

    void aStoredPathWithoutItsSeparatorGetsOneInMemoryOnly() {
        const QByteArray text = "[Database3]\nPath=" + native("shared").toUtf8() + "\n";
        writeSettings(native("tallo.ini"), text);
        QCOMPARE(location_->read(), std::optional<QString>(native("shared") + sep()));
        QCOMPARE(contents(native("tallo.ini")), text);

        writeSettings(native("tallo.ini"), "[Database3]\nPath=/srv/nw/\n");
        QCOMPARE(location_->read(), std::optional<QString>("/srv/nw/"));
    }

    // A share, a mapped drive and a local folder with a blank in its name, as offices type them.
    void windowsPathsAreKeptAsTypedWithTheirBackslash() {
#ifndef Q_OS_WIN
        QSKIP("Paths with drive letters and UNC shares: a test of the Windows build");
#else
        const QStringList given = {R"(\\server\share\data3005)", R"(\\server\share\data3005\)",
                                   R"(S:\data3005)", R"(C:\Net Worth\data3005\)"};
        const QStringList expected = {R"(\\server\share\data3005\)", R"(\\server\share\data3005\)",
                                      R"(S:\data3005\)", R"(C:\Net Worth\data3005\)"};
        for (int i = 0; i < given.size(); ++i) {
            QVERIFY(location_->store(given[i]));
            QCOMPARE(location_->directory(), expected[i]);
            QCOMPARE(platform::readIniString(native("tallo.ini"), "Database3", "Path"),
                     expected[i]);
            DataLocation again(programDir_->path());
            QCOMPARE(again.read(), std::optional<QString>(expected[i]));
            QCOMPARE(again.tablePath("General.dbf"), expected[i] + "General.dbf");
        }
#endif
    }

    void anUnwritableSettingsFileIsReportedAndStopsTheRead() {
        blockSettingsFile();
        QCOMPARE(location_->read(), std::nullopt);
        QVERIFY(location_->directory().isEmpty());
        QCOMPARE(script().shownTexts(ScriptedDialogs::Kind::Message),
                 QStringList({"Unable to write to " + native("tallo.ini")}));
    }

    void changeCancelledChangesNothing() {
        QVERIFY(location_->read());
        const QByteArray before = contents(native("tallo.ini"));
        app::TF_network network(*location_);
        QCOMPARE(network.objectName(), QString("F_network"));
        script().answerDirectoryCancel();
        QVERIFY(!network.BitBtn1Click());
        QCOMPARE(contents(native("tallo.ini")), before);
        QCOMPARE(location_->directory(), native("data3005") + sep());
        // The chooser starts at the stored directory, and nothing else is shown.
        QCOMPARE(script().shown().size(), 1);
        QCOMPARE(script().shown().at(0).text, native("data3005") + sep());
    }

    void changeWritesTheChosenDirectoryWithItsSeparator() {
        QVERIFY(location_->read());
        writeSettings(native("tallo.ini"), contents(native("tallo.ini")) + "[Other]\nKeep=this\n");
        app::TF_network network(*location_);
        script().answerDirectory(native("elsewhere"));
        QVERIFY(network.BitBtn1Click());
        QCOMPARE(location_->directory(), native("elsewhere") + sep());
        QCOMPARE(platform::readIniString(native("tallo.ini"), "Database3", "Path"),
                 native("elsewhere") + sep());
        QCOMPARE(platform::readIniString(native("tallo.ini"), "Other", "Keep"), QString("this"));

        // A new start reads the new directory.
        DataLocation again(programDir_->path());
        QCOMPARE(again.read(), std::optional<QString>(native("elsewhere") + sep()));
    }

    void changeThatCannotBeWrittenKeepsTheOldDirectory() {
        QVERIFY(location_->read());
        const QString old = location_->directory();
        QVERIFY(QFile::remove(native("tallo.ini")));
        blockSettingsFile();
        app::TF_network network(*location_);
        script().answerDirectory(native("elsewhere"));
        QVERIFY(!network.BitBtn1Click());
        QCOMPARE(location_->directory(), old);
        QCOMPARE(script().shownTexts(ScriptedDialogs::Kind::Message),
                 QStringList({"Unable to write to " + native("tallo.ini")}));
    }
};

QTEST_GUILESS_MAIN(DataLocationTest)
#include "data_location_test.moc"
