// marks_screenshots DIR: the pictures of the manual and the README, written into DIR: the Assets
// and Expenses forms with marks chosen, the Statement Options form, and the question asked before
// an incomplete statement is printed (with the program's own boxes).
#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "../support/find_child.h"
#include "family_fixture.h"
#include "platform/db_list_box.h"
#include "platform/qt_dialogs.h"
#include "platform/scripted_dialogs.h"
#include "printing/statement_check.h"

namespace {

bool shoot(FormsFixture& fx, const schedules::ScheduleFormEntry& entry, const QString& file,
           const std::function<void(QDialog&)>& arrange) {
    std::unique_ptr<QDialog> form = schedules::openScheduleForm(entry, fx.context(), nullptr);
    if (!form) return false;
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return false;
    arrange(*form);
    QTest::qWait(100);
    const bool saved = form->grab().save(file);
    form->close();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: marks_screenshots DIR\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    FormsFixture fx;
    platform::ScopedScriptedDialogs script;
    fx.write("T_Marks", {{{"matter", fx.matter},
                          {"a_d", "NONE"},
                          {"a_e", "INAPPLICABLE"},
                          {"a_f", "NONE"},
                          {"a_h", "NONE"},
                          {"a_i", "NONE"},
                          {"a_n", "UNKNOWN"},
                          {"a_p", "NONE"},
                          {"e_d", "NONE"},
                          {"e_h", "INAPPLICABLE"},
                          {"e_n", "NONE"}}});
    fx.write(
        "t_cash",
        {{{"matter", fx.matter}, {"location", "Wallet"}, {"source", "Salary"}, {"amt", "240"}}});
    fx.write("t_check", {{{"matter", fx.matter},
                          {"instituton", "First Federal Savings"},
                          {"accountnum", "0042-7731"},
                          {"balance", "4200"}}});
    bool ok = shoot(fx, *schedules::findScheduleForm("F_Assets"), out.filePath("assets-marks.png"),
                    [](QDialog&) {});
    ok &= shoot(
        fx, *schedules::findScheduleForm("F_Assets"), out.filePath("assets-other-marks.png"),
        [](QDialog& form) {
            auto* box = test_support::findChild<QWidget>(&form, "OtherMarks");
            test_support::findChild<QScrollArea>(&form, "ScrollBox1")->ensureWidgetVisible(box);
        });
    ok &= shoot(fx, *schedules::findScheduleForm("F_Expenses"), out.filePath("expenses-marks.png"),
                [](QDialog& form) {
                    auto* list = test_support::findChild<platform::DbListBox>(&form, "ListBox1");
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualItemRect(list->item(3)).center());
                });
    ok &= shoot(fx, schedules::statementOptionsForm(), out.filePath("statement-options.png"),
                [](QDialog&) {});
    ok &= shoot(fx, *schedules::findScheduleForm("F_Family"), out.filePath("family-marks.png"),
                [](QDialog&) {});
    ok &= shoot(fx, *schedules::findScheduleForm("F_Income"), out.filePath("income-marks.png"),
                [](QDialog&) {});
    ok &= shoot(fx, *schedules::findScheduleForm("F_Summary"), out.filePath("summary-marks.png"),
                [](QDialog&) {});

    // A matter whose expenses are marked, with nothing else in it and no index number.
    printing::CheckSource source;
    source.answers = [](const catalog::StatementItem&) { return nullptr; };
    source.mark = [](const catalog::StatementItem& item) {
        return QLatin1String(item.key).startsWith(QLatin1String("e_")) ? QStringLiteral("NONE")
                                                                       : QString();
    };
    source.general = [](const char* field) {
        return QLatin1String(field) == QLatin1String("indexnum") ? QString() : QStringLiteral("x");
    };
    const QString question =
        printing::openItemsQuestion(printing::checkStatement(source), fx.matter);
    bool asked = false;
    QTimer::singleShot(500, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            asked = box->grab().save(out.filePath("check-question.png"));
            box->close();
        }
    });
    platform::QtDialogs().confirmYesNo(question, QStringLiteral("Statement of Net Worth"));
    return ok && asked ? 0 : 1;
}
