#pragma once
// Looking a widget or action up by object name in a Qt Test: a name that is not found fails the
// running test with that name and hands back a stand-in object, so that the test goes on to its
// end instead of crashing the test program on a null pointer.
#include <QAction>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTest>
#include <source_location>

namespace test_support {

// T must be a class that can be made (ask for QCheckBox rather than QAbstractButton).
template <typename T>
T* findChild(const QObject* parent, const char* name,
             std::source_location where = std::source_location::current()) {
    if (T* found = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr)
        return found;
    const QByteArray message =
        QByteArray("no ") + T::staticMetaObject.className() + " named " + name;
    QTest::qFail(message.constData(), where.file_name(), static_cast<int>(where.line()));
    // Never deleted: a widget must not outlive the application object, so the stand-in is left
    // for the end of the failed test program.
    return new T();
}

// Triggers the action named `name` below `parent` (a menu item, which its toolbar button
// triggers too); a missing one fails the running test with its name.
inline void triggerAction(const QObject* parent, const char* name,
                          std::source_location where = std::source_location::current()) {
    findChild<QAction>(parent, name, where)->trigger();
}

}  // namespace test_support
