#pragma once
// Looking a widget or action up by object name in a Qt Test: a name that is not found fails the
// running test with that name and hands back a stand-in object, so that the test goes on to its
// end instead of crashing the test program on a null pointer. Outside a running test (a tool
// built on the test fixtures) a name that is not found ends the program with that name.
#include <QAbstractButton>
#include <QAction>
#include <QByteArray>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <source_location>
#include <type_traits>

namespace test_support {

// The class of the stand-in handed back for a T that is not found: T itself, or for an abstract
// T a plain class that is one.
template <typename T>
struct StandIn {
    using type = T;
};
template <>
struct StandIn<QAbstractButton> {
    using type = QPushButton;
};

template <typename T>
T* findChild(const QObject* parent, const QString& name,
             std::source_location where = std::source_location::current()) {
    using Made = typename StandIn<T>::type;
    static_assert(!std::is_abstract_v<Made>, "give test_support::StandIn a class it can make");
    if (T* found = parent ? parent->findChild<T*>(name) : nullptr) return found;
    const QByteArray message =
        QByteArray("no ") + T::staticMetaObject.className() + " named " + name.toUtf8();
    if (!QTest::currentTestFunction())
        qFatal("%s:%d: %s", where.file_name(), static_cast<int>(where.line()), message.constData());
    QTest::qFail(message.constData(), where.file_name(), static_cast<int>(where.line()));
    // Never deleted: a widget must not outlive the application object, so the stand-in is left
    // for the end of the failed test program.
    return new Made();
}

template <typename T>
T* findChild(const QObject* parent, const char* name,
             std::source_location where = std::source_location::current()) {
    return findChild<T>(parent, QString::fromLatin1(name), where);
}

// Triggers the action named `name` below `parent` (a menu item, which its toolbar button
// triggers too); a missing one fails the running test with its name.
inline void triggerAction(const QObject* parent, const char* name,
                          std::source_location where = std::source_location::current()) {
    findChild<QAction>(parent, name, where)->trigger();
}

}  // namespace test_support
