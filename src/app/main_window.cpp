#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <span>

#include "app/data_location.h"
#include "app/program_end.h"
#include "platform/colors.h"
#include "platform/icons.h"
#include "printing/print_components.h"

namespace app {

using platform::Icon;

namespace {

struct Command {
    const char* name;  // objectName of the action
    const char* caption;
    Icon icon;
    void (TF_Main::*handler)();
};

constexpr Command kFileCommands[] = {
    {"New1", "&New", Icon::New, &TF_Main::New1Click},
    {"Open1", "&Open", Icon::Open, &TF_Main::Open1Click},
    {"Print1", "&Print", Icon::Print, &TF_Main::Print1Click},
    {"Options1", "Statement &Options...", Icon::StatementOptions, &TF_Main::Options1Click},
    {"Exit1", "&Exit", Icon::Exit, &TF_Main::Exit1Click},
};

// A command on the menu bar itself, between the Forms and Help menus.
constexpr Command kNetworkPath = {"NetworkPath1", "Change_Data_Network_Path", Icon::NetworkPath,
                                  &TF_Main::NetworkPath1Click};

constexpr Command kHelpCommands[] = {
    {"About1", "&About", Icon::About, &TF_Main::About1Click},
    {"Contents1", "&Contents", Icon::Contents, &TF_Main::Contents1Click},
};

struct ToolButton {
    const char* name;
    const char* command;  // the menu item it triggers
    const char* hint;
};

constexpr ToolButton kFileButtons[] = {
    {"ToolButton1", "New1", "Start a new matter"},
    {"ToolButton2", "Open1", "Open a different matter"},
    {"ToolButton3", "Print1", "Print"},
};

constexpr int kButtonHeight = 26;

}  // namespace

TF_Main::TF_Main(DataLocation& location, QWidget* parent)
    : QMainWindow(parent),
      location_(location),
      print_(std::make_unique<printing::PrintComponents>()) {
    setObjectName(QStringLiteral("F_Main"));
    setWindowTitle(QStringLiteral("Quillmark Net Worth "));
    setWindowIcon(platform::icon(Icon::Window));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("ClientArea"));
    mdiArea_->setBackground(platform::creamColor());
    setCentralWidget(mdiArea_);

    buildMenus();
    buildToolBar();
    buildStatusBar();
}

TF_Main::~TF_Main() = default;

void TF_Main::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto newAction = [this](const char* name, const char* caption, Icon icon) {
        auto* action = new QAction(platform::icon(icon), QString::fromLatin1(caption), this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto addMenu = [bar](const char* name, const char* caption) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addCommands = [&](QMenu* menu, std::span<const Command> commands) {
        for (const Command& command : commands) {
            QAction* action = newAction(command.name, command.caption, command.icon);
            connect(action, &QAction::triggered, this, command.handler);
            menu->addAction(action);
        }
    };

    addCommands(addMenu("File1", "&File"), kFileCommands);
    QMenu* forms = addMenu("Forms1", "F&orms");
    for (const schedules::ScheduleFormEntry& form : schedules::scheduleForms()) {
        QAction* action = newAction(form.menuItem, form.menuCaption, form.icon);
        connect(action, &QAction::triggered, this, [this, &form] { openScheduleForm(form); });
        forms->addAction(action);
    }
    QAction* network = newAction(kNetworkPath.name, kNetworkPath.caption, kNetworkPath.icon);
    network->setIcon(QIcon());  // a menu bar shows an icon instead of the caption
    connect(network, &QAction::triggered, this, kNetworkPath.handler);
    bar->addAction(network);
    addCommands(addMenu("Help1", "&Help"), kHelpCommands);
    open1_ = findChild<QAction*>(QStringLiteral("Open1"));
}

void TF_Main::buildToolBar() {
    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setWindowTitle(QStringLiteral("Shortcuts"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(20, 20));
    toolBar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, toolBar);

    auto addButton = [&](const char* name, const char* commandName, const char* hint) {
        QAction* command = findChild<QAction*>(QString::fromLatin1(commandName));
        auto* button = new QToolButton(toolBar);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        button->setIcon(command->icon());
        button->setAutoRaise(true);  // flat
        button->setFixedHeight(kButtonHeight);
        button->setMinimumWidth(kButtonHeight);
        connect(button, &QToolButton::clicked, command, &QAction::trigger);
        toolBar->addWidget(button);
    };

    for (const ToolButton& button : kFileButtons)
        addButton(button.name, button.command, button.hint);
    QAction* separator = toolBar->addSeparator();
    toolBar->widgetForAction(separator)->setObjectName(QStringLiteral("ToolButton4"));

    auto* label = new QLabel(QStringLiteral("Shortcut to Forms "), toolBar);
    label->setObjectName(QStringLiteral("Label1"));
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSize(7);
    label->setFont(bold);
    label->setWordWrap(true);
    label->setFixedWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("Shortcut to")) + 6);
    label->setAlignment(Qt::AlignCenter);
    toolBar->addWidget(label);

    for (const schedules::ScheduleFormEntry& form : schedules::scheduleForms())
        addButton(form.toolButton, form.menuItem, form.hint);
}

void TF_Main::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    auto* panel = new QLabel(QStringLiteral("Quillmark Main Menu"), bar);
    panel->setObjectName(QStringLiteral("StatusPanel0"));
    bar->addWidget(panel, 1);
}

void TF_Main::placeOnDesktop() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect desktop = screen->availableGeometry();
    setGeometry(desktop.left(), 0, desktop.width(), desktop.height() - 30);
}

void TF_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    setWindowTitle(QStringLiteral("Quillmark Net Worth - DeskTop Version: 3.0.0.7"));
    // The rest of the show step runs once the window is on screen.
    QMetaObject::invokeMethod(this, &TF_Main::FormShow, Qt::QueuedConnection);
}

void TF_Main::FormShow() {
    QCoreApplication::processEvents();
    if (!programEnding()) open1_->trigger();
}

void TF_Main::closeEvent(QCloseEvent* event) {
    UpdateGeneral();
    event->accept();
}

}  // namespace app
