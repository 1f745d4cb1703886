// The scripted dialogs, the directory chooser, the shell open and the pictures.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "../support/find_child.h"
#include "platform/directory_chooser.h"
#include "platform/icons.h"
#include "platform/progress_window.h"
#include "platform/scripted_dialogs.h"
#include "platform/shell_open.h"
#include "storage/indexed_table.h"

using platform::DirectoryChooser;
using platform::ScopedScriptedDialogs;
using platform::ScriptedDialogs;

class PlatformWidgetsTest : public QObject {
    Q_OBJECT

    // Types `text` into the chooser and presses OK.
    static void typeAndPressOk(DirectoryChooser& chooser, const QString& text) {
        auto* edit = test_support::findChild<QLineEdit>(&chooser, "DirectoryEdit");
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::mouseClick(test_support::findChild<QPushButton>(&chooser, "OkButton"),
                          Qt::LeftButton);
    }

  private slots:
    void scriptedDialogsRecordAndAnswerInOrder() {
        ScopedScriptedDialogs script;
        script->answerYes();
        script->answerInputCancel();
        script->answerInput("Smith v. Smith");
        script->answerDirectory("/srv/data");
        platform::Dialogs& boxes = platform::dialogs();
        boxes.showMessage("first");
        QVERIFY(boxes.confirmYesNo("Delete?"));
        QCOMPARE(boxes.inputBox("New Matter Input", "Enter the new matter", "Matter goes here"),
                 QString("Matter goes here"));
        QCOMPARE(boxes.inputBox("New Matter Input", "Enter the new matter", "Matter goes here"),
                 QString("Smith v. Smith"));
        QCOMPARE(boxes.selectDirectory("/start"), std::optional<QString>("/srv/data"));

        QCOMPARE(script->shownTexts(), QStringList({"first", "Delete?", "Matter goes here",
                                                    "Matter goes here", "/start"}));
        const ScriptedDialogs::Shown& input = script->shown().at(2);
        QCOMPARE(input.caption, QString("New Matter Input"));
        QCOMPARE(input.prompt, QString("Enter the new matter"));
        QCOMPARE(script->shown().at(4).caption, QString("Select Directory"));
        QVERIFY(script->failures().isEmpty());
        QCOMPARE(script->pendingAnswers(), 0);
    }

    void unscriptedOrMismatchedQuestionsAreDeclinedAndNoted() {
        ScopedScriptedDialogs script;
        script->answerOk();
        QVERIFY(!platform::dialogs().confirmYesNo("Wrong kind?"));  // an OK meant for OK/Cancel
        QCOMPARE(script->pendingAnswers(), 1);
        QVERIFY(platform::dialogs().confirmOkCancel("Right kind"));
        QVERIFY(!platform::dialogs().confirmYesNo("Nothing left"));
        QCOMPARE(platform::dialogs().inputBox("c", "p", "preset"), QString("preset"));
        QCOMPARE(platform::dialogs().selectDirectory("/x"), std::nullopt);
        QCOMPARE(script->failures().size(), 4);
    }

    void scopedScriptPutsThePreviousInstanceBack() {
        ScopedScriptedDialogs outer;
        {
            ScopedScriptedDialogs inner;
            platform::dialogs().showMessage("inner");
            QCOMPARE(inner->shown().size(), 1);
        }
        platform::dialogs().showMessage("outer");
        QCOMPARE(outer->shownTexts(), QStringList({"outer"}));
    }

    void chooserAcceptsAnExistingDirectoryNamedRelativeToItsStart() {
        ScopedScriptedDialogs script;
        QTemporaryDir temp;
        QVERIFY(QDir(temp.path()).mkdir("sub"));
        DirectoryChooser chooser(temp.path());
        QCOMPARE(chooser.windowTitle(), QString("Select Directory"));
        QVERIFY(test_support::findChild<QComboBox>(&chooser, "DriveList")->count() > 0);
        test_support::findChild<QTreeView>(&chooser, "FolderList");  // fails the test if missing
        chooser.open();
        typeAndPressOk(chooser, "sub");
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QCOMPARE(chooser.selectedDirectory(), QDir::toNativeSeparators(temp.filePath("sub")));
        QVERIFY(script->shown().isEmpty());
    }

    void chooserCreatesAMissingDirectoryOnlyAfterYes() {
        ScopedScriptedDialogs script;
        QTemporaryDir temp;
        const QString wanted = temp.filePath("a/b");
        DirectoryChooser chooser(temp.path());
        chooser.open();

        script->answerNo();
        typeAndPressOk(chooser, wanted);
        QVERIFY(chooser.isVisible());  // No: back to the chooser, nothing created
        QVERIFY(!QFileInfo::exists(wanted));

        script->answerYes();
        typeAndPressOk(chooser, wanted);
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(wanted).isDir());
        QCOMPARE(chooser.selectedDirectory(), QDir::toNativeSeparators(wanted));
        QCOMPARE(script->shownTexts(ScriptedDialogs::Kind::YesNo),
                 QStringList(2, "The specified directory does not exist. Create it?"));
        QVERIFY(script->failures().isEmpty());
    }

    void chooserReportsADirectoryItCannotCreate() {
        ScopedScriptedDialogs script;
        QTemporaryDir temp;
        QFile blocker(temp.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        DirectoryChooser chooser(temp.path());
        chooser.open();
        script->answerYes();
        typeAndPressOk(chooser, temp.filePath("file/inside"));
        QVERIFY(chooser.isVisible());
        QCOMPARE(script->shownTexts(ScriptedDialogs::Kind::Message),
                 QStringList({"Unable to create directory"}));

        QTest::mouseClick(test_support::findChild<QPushButton>(&chooser, "CancelButton"),
                          Qt::LeftButton);
        QCOMPARE(chooser.result(), int(QDialog::Rejected));
        QVERIFY(chooser.selectedDirectory().isEmpty());
    }

    void selectDirectoryGoesThroughTheCurrentDialogs() {
        ScopedScriptedDialogs script;
        script->answerDirectoryCancel();
        QCOMPARE(platform::dialogs().selectDirectory("/data"), std::nullopt);
        QCOMPARE(script->shown().at(0).kind, ScriptedDialogs::Kind::SelectDirectory);
    }

    void openDocumentHandsAFileUrlToTheOpener() {
        QUrl opened;
        auto previous = platform::setDocumentOpener([&](const QUrl& url) { opened = url; });
        platform::openDocument("/opt/networth/Help/ManualE.pdf");
        platform::setDocumentOpener(previous);
        QCOMPARE(opened, QUrl::fromLocalFile("/opt/networth/Help/ManualE.pdf"));
    }

    void indexProgressShowsWhileABuildRunsAndHidesAfter() {
        platform::installIndexProgressWindow();
        storage::ProgressHook hook = storage::setIndexProgressHandler({});
        storage::setIndexProgressHandler(hook);
        QVERIFY(hook);
        hook("Indexing /data/General.MDX...");
        QLabel* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "IndexProgress") window = qobject_cast<QLabel*>(widget);
        }
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->text(), QString("Indexing /data/General.MDX..."));
        hook("");
        QVERIFY(!window->isVisible());
        storage::setIndexProgressHandler({});
    }

    void everyIconIsDrawnAndNoTwoLookAlike() {
        QList<QImage> drawn;
        for (platform::Icon which : platform::kAllIcons) {
            const QIcon icon = platform::icon(which);
            QVERIFY(!icon.isNull());
            for (int size : {16, 24}) QCOMPARE(icon.pixmap(size).width(), size);
            const QImage image = platform::iconPixmap(which, 16).toImage();
            for (const QImage& other : drawn) QVERIFY(image != other);
            drawn << image;
        }
        const QPixmap logo = platform::logoPixmap(200);
        QCOMPARE(logo.width(), 200);
        QVERIFY(logo.toImage() != QImage(logo.size(), logo.toImage().format()));
    }
};

QTEST_MAIN(PlatformWidgetsTest)
#include "platform_widgets_test.moc"
