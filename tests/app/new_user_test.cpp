// A new user's first two runs: start on an empty data directory, create "Smith v. Smith", fill
// every box of the General Information form and exit; start again, open the matter and find
// every box filled; then read the stored General.dbf with dbfread and find exactly what was typed.

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "../support/program_run.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

namespace {

// What the user types, box by box, and the field each one fills.
struct Entry {
    const char* box;
    const char* field;
    QString text;
};

const QList<Entry>& entries() {
    static const QList<Entry> list = {
        {"DbEdit3", "indexnum", "12345/2016"},
        {"DbEdit4", "court", "SUPREME"},
        {"DbEdit5", "court2", "OF THE STATE OF NEW YORK"},
        {"DbEdit6", "county", "ALBANY"},
        {"DbMemo1", "plainfiff", "JANE SMITH,\nPlaintiff,"},
        {"DbMemo2", "defendant", "JOHN SMITH,\nDefendant."},
        {"DbEdit8", "county2", "Albany"},
        {"DbEdit9", "xname", "Jane Smith"},
        {"CusCap", "bypass", "SUPREME COURT OF THE STATE OF NEW YORK\nIn re Smith \u00a7 236"},
        {"DbEdit1", "asofdate_c", "04/01/2016"},
        {"DbEdit2", "adate_c", "03/14/2016"},
    };
    return list;
}

}  // namespace

class NewUserTest : public QObject {
    Q_OBJECT

    test_support::ProgramRun run_;

    template <typename T>
    T* box(const char* name, std::source_location where = std::source_location::current()) {
        return test_support::findChild<T>(&run_.program().general(), name, where);
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }

  private slots:

    void firstRunSecondRunAndTheStoredFile() {
        platform::ScopedScriptedDialogs script;
        SelectionDriver driver;
        QStringList ended;
        app::setProgramEndHandler([&] { ended << "end"; });

        // First run: the selection before the main window creates the matter, the one after
        // it opens it.
        driver.then(SelectionDriver::createMatter(script, "Smith v. Smith"));
        driver.then(SelectionDriver::openMatter("Smith v. Smith"));
        run_.start();
        QTRY_COMPARE(driver.visits().size(), 2);
        QCOMPARE(run_.program().general().currentMatter(), QString("Smith v. Smith"));
        // The form's child window shows it whole, down to its last line, the status line.
        auto& general = run_.program().general();
        auto* generalWindow =
            test_support::findChild<QMdiSubWindow>(&run_.program().mainWindow(), "F_GeneralWindow");
        QVERIFY(generalWindow->height() >= generalWindow->sizeHint().height());
        QVERIFY(general.height() >= general.sizeHint().height());
        auto* lastLine = box<QLabel>("StatusBar1");
        QVERIFY(general.rect().contains(
            QRect(lastLine->mapTo(&general, QPoint(0, 0)), lastLine->size())));
        run_.program().mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&run_.program().mainWindow()));

        for (const Entry& entry : entries()) {
            QWidget* widget = box<QWidget>(entry.box);
            if (widget->isHidden()) {  // the custom caption: open the empty memo first
                QTest::mouseClick(box<QPushButton>("BitBtn1"), Qt::LeftButton);
                QVERIFY(widget->isVisible());
            }
            click(widget);
            const QStringList lines = entry.text.split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0) QTest::keyClick(widget, Qt::Key_Return);
                QTest::keyClicks(widget, lines[i]);
            }
        }
        click(box<QCheckBox>("DbCheckBox3"));
        auto* state = box<QComboBox>("ComboBox1");
        click(state);
        state->showPopup();
        QAbstractItemView* popup = state->view();
        QTRY_VERIFY(popup->isVisible());
        const QModelIndex newYork = state->model()->index(state->findText("New York"), 0);
        popup->scrollTo(newYork);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                          popup->visualRect(newYork).center());
        QTRY_VERIFY(!popup->isVisible());
        QCOMPARE(state->currentText(), QString("New York"));

        run_.command("Exit1");
        QCOMPARE(ended, QStringList({"end"}));
        run_.stop();

        // Second run: the matter is there and every box shows what was typed.
        app::setProgramEndHandler([&] { ended << "end"; });
        driver.then(SelectionDriver::openMatter("Smith v. Smith"));
        run_.start();
        QTRY_COMPARE(driver.visits().size(), 3);
        QCOMPARE(driver.visits().last().list, QStringList({"Smith v. Smith"}));
        QCOMPARE(run_.program().general().currentMatter(), QString("Smith v. Smith"));
        for (const Entry& entry : entries()) {
            QWidget* widget = box<QWidget>(entry.box);
            const QString shown = qobject_cast<QLineEdit*>(widget)
                                      ? qobject_cast<QLineEdit*>(widget)->text()
                                      : qobject_cast<QPlainTextEdit*>(widget)->toPlainText();
            QCOMPARE(shown, entry.text);
        }
        QVERIFY(box<QCheckBox>("DbCheckBox3")->isChecked());
        QVERIFY(!box<QCheckBox>("DbCheckBox4")->isChecked());
        QCOMPARE(box<QComboBox>("ComboBox1")->currentText(), QString("New York"));
        QVERIFY(box<QWidget>("CusCap")->isVisible());
        run_.stop();
        app::setProgramEndHandler(nullptr);
        QVERIFY2(script->failures().isEmpty(), qPrintable(script->failures().join("; ")));
        QVERIFY(script->shownTexts(platform::ScriptedDialogs::Kind::Message).isEmpty());
        QVERIFY(driver.failures().isEmpty());
        QVERIFY2(run_.fatalErrors().isEmpty(), qPrintable(run_.fatalErrors().join("; ")));

        // The stored file, read by dbfread.
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(READ_GENERAL_SCRIPT), generalPath(run_.dataDirectory())});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject file = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();

        QStringList layout;
        for (const QJsonValue& field : file["fields"].toArray()) {
            const QJsonArray f = field.toArray();
            layout << QStringLiteral("%1,%2,%3,%4")
                          .arg(f[0].toString(), f[1].toString())
                          .arg(f[2].toInt())
                          .arg(f[3].toInt());
        }
        // As the file stores them: a date field takes the eight bytes of its YYYYMMDD text.
        const QStringList expectedLayout = {
            "matter,C,50,0",    "court,C,50,0",     "court2,C,50,0",    "county,C,50,0",
            "plainfiff,M,10,0", "defendant,M,10,0", "bypass,M,10,0",    "indexnum,C,15,0",
            "state,C,50,0",     "ss,C,11,0",        "adate,D,8,0",      "xname,C,50,0",
            "xpetition,C,1,0",  "xresponde,C,1,0",  "xplaintiff,C,1,0", "xdefendant,C,1,0",
            "dobypass,C,1,0",   "county2,C,50,0",   "explisted,C,7,0",  "asofdate,D,8,0",
            "adate_c,C,10,0",   "asofdate_c,C,10,0"};
        QCOMPARE(layout, expectedLayout);

        const QJsonArray records = file["records"].toArray();
        QCOMPARE(records.size(), 1);
        const QJsonObject stored = records[0].toObject();
        QVariantMap expected = {{"matter", "Smith v. Smith"},
                                {"state", "New York"},
                                {"ss", ""},
                                {"xpetition", ""},
                                {"xresponde", ""},
                                {"xplaintiff", "X"},
                                {"xdefendant", ""},
                                {"dobypass", "X"},
                                {"explisted", "monthly"},
                                {"adate", QDate::currentDate().toString(Qt::ISODate)},
                                {"asofdate", QDate::currentDate().toString(Qt::ISODate)}};
        for (const Entry& entry : entries()) {
            QString text = entry.text;
            if (QString(entry.field) == "plainfiff" || QString(entry.field) == "defendant" ||
                QString(entry.field) == "bypass") {
                text.replace("\n", "\r\n");  // memos are stored with CR LF
            }
            // The section sign is stored as byte 0x15, its code page 437 glyph, which Python's
            // cp437 codec reads as the control character.
            text.replace(QChar(0x00a7), QChar(0x15));
            expected[entry.field] = text;
        }
        QCOMPARE(stored.keys().size(), expected.size());
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QCOMPARE(stored[it.key()].toString(), it.value().toString());
        }
    }
};

QTEST_MAIN(NewUserTest)
#include "new_user_test.moc"
