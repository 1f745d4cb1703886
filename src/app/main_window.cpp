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

#include "app/data_location.h"
#include "app/program_end.h"
#include "platform/colors.h"
#include "platform/icons.h"
#include "printing/print_components.h"

namespace app {

using platform::Icon;

namespace {

struct Command {
    const char* menu;  // objectName of the menu; null: a command on the menu bar itself
    const char* name;  // objectName of the action
    const char* caption;
    Icon icon;
    void (TF_Main::*handler)();
};

struct Menu {
    const char* name;
    const char* caption;
};

constexpr Menu kMenus[] = {{"File1", "&File"}, {"Forms1", "F&orms"}, {"Help1", "&Help"}};

// In menu bar order; "Change_Data_Network_Path" stands between the Forms and Help menus.
const Command kCommands[] = {
    {"File1", "New1", "&New", Icon::New, &TF_Main::New1Click},
    {"File1", "Open1", "&Open", Icon::Open, &TF_Main::Open1Click},
    {"File1", "Print1", "&Print", Icon::Print, &TF_Main::Print1Click},
    {"File1", "Exit1", "&Exit", Icon::Exit, &TF_Main::Exit1Click},
    {"Forms1", "Family1", "F&amily", Icon::Family, &TF_Main::Family1Click},
    {"Forms1", "Expenses1", "&Expenses", Icon::Expenses, &TF_Main::Expenses1Click},
    {"Forms1", "GrossIncome1", "&Gross Income", Icon::GrossIncome, &TF_Main::GrossIncome1Click},
    {"Forms1", "Assets1", "&Assets", Icon::Assets, &TF_Main::Assets1Click},
    {"Forms1", "Liabilities1", "&Liabilities", Icon::Liabilities, &TF_Main::Liabilities1Click},
    {"Forms1", "Summary1", "&Summary", Icon::Summary, &TF_Main::Summary1Click},
    {nullptr, "NetworkPath1", "Change_Data_Network_Path", Icon::NetworkPath,
     &TF_Main::NetworkPath1Click},
    {"Help1", "About1", "&About", Icon::About, &TF_Main::About1Click},
    {"Help1", "Contents1", "&Contents", Icon::Contents, &TF_Main::Contents1Click},
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

constexpr ToolButton kFormButtons[] = {
    {"ToolButton5", "Family1", "Family Form"},      {"ToolButton6", "Expenses1", "Expenses"},
    {"ToolButton7", "GrossIncome1", "Income Form"}, {"ToolButton8", "Assets1", "Assets"},
    {"ToolButton9", "Liabilities1", "Liabilities"}, {"ToolButton10", "Summary1", "Summary"},
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
    auto addMenu = [&](const char* name) {
        for (const Menu& menu : kMenus) {
            if (qstrcmp(menu.name, name) != 0) continue;
            QMenu* made = bar->addMenu(QString::fromLatin1(menu.caption));
            made->setObjectName(QString::fromLatin1(menu.name));
            return made;
        }
        return static_cast<QMenu*>(nullptr);
    };

    QMenu* current = nullptr;
    for (const Command& command : kCommands) {
        auto* action =
            new QAction(platform::icon(command.icon), QString::fromLatin1(command.caption), this);
        action->setObjectName(QString::fromLatin1(command.name));
        connect(action, &QAction::triggered, this, command.handler);
        if (!command.menu) {
            action->setIcon(QIcon());  // a menu bar shows an icon instead of the caption
            bar->addAction(action);
            current = nullptr;
            continue;
        }
        if (!current || current->objectName() != QLatin1String(command.menu)) {
            current = addMenu(command.menu);
        }
        current->addAction(action);
    }
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

    auto addButtons = [&](const auto& buttons) {
        for (const ToolButton& spec : buttons) {
            QAction* command = findChild<QAction*>(QString::fromLatin1(spec.command));
            auto* button = new QToolButton(toolBar);
            button->setObjectName(QString::fromLatin1(spec.name));
            button->setToolTip(QString::fromLatin1(spec.hint));
            button->setIcon(command->icon());
            button->setAutoRaise(true);  // flat
            button->setFixedHeight(kButtonHeight);
            button->setMinimumWidth(kButtonHeight);
            connect(button, &QToolButton::clicked, command, &QAction::trigger);
            toolBar->addWidget(button);
        }
    };

    addButtons(kFileButtons);
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

    addButtons(kFormButtons);
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
