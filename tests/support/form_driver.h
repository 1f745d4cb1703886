#pragma once
// Drives the schedule forms (and Statement Options) a command opens modally: each action queued
// runs in the next such form shown, which must be the one named; afterwards the form is closed
// (which posts) unless the action closed it, so that the command returns to the test.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <utility>

#include "schedules/schedule_forms.h"

namespace test_support {

class FormDriver : public QObject {
  public:
    using Action = std::function<void(QDialog&)>;

    FormDriver() { qApp->installEventFilter(this); }
    ~FormDriver() override { qApp->removeEventFilter(this); }

    void then(const QString& form, Action action) { actions_.push_back({form, std::move(action)}); }
    int pending() const { return int(actions_.size()); }
    int shown() const { return shown_; }
    // Forms shown with no action queued for them (closed at once), or another form than queued.
    const QStringList& failures() const { return failures_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* form = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && form && isDriven(form->objectName())) {
            ++shown_;
            QPointer<QDialog> guard(form);
            QTimer::singleShot(0, form, [this, guard] {
                if (guard) act(*guard);
            });
        }
        return false;
    }

  private:
    // The schedule forms and the Statement Options form, which the File menu opens.
    static bool isDriven(const QString& name) {
        return schedules::findScheduleForm(name.toStdString()) ||
               name == QLatin1String(schedules::statementOptionsForm().objectName);
    }

    void act(QDialog& form) {
        QPointer<QDialog> guard(&form);
        if (actions_.empty() || actions_.front().first != form.objectName()) {
            failures_ << "unexpected " + form.objectName();
        } else {
            Action action = std::move(actions_.front().second);
            actions_.pop_front();
            action(form);  // a failed check returns early, with the form still open
        }
        if (guard && guard->isVisible()) guard->close();
    }

    std::deque<std::pair<QString, Action>> actions_;
    QStringList failures_;
    int shown_ = 0;
};

}  // namespace test_support
