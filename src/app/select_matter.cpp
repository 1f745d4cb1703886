#include "app/select_matter.h"

#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/data_location.h"
#include "app/network_form.h"
#include "app/program_end.h"
#include "catalog/table_catalog.h"
#include "matter/general_form.h"
#include "platform/colors.h"
#include "platform/data_source.h"
#include "platform/db_list_box.h"
#include "platform/dialogs.h"
#include "platform/icons.h"

namespace app {

using platform::dialogs;
using platform::runDataAction;

namespace {

const QString kPreset = QStringLiteral("Matter goes here");

// T_Matter: General.dbf read for the list.
const catalog::TableDef& matterList() { return catalog::matterSelectionTables().front(); }

// Whether the matter `name` is still stored in the data directory's General.dbf, looked up
// through the selection's own table so that F_General's table is not moved. A matter deleted at
// another workstation since the list was filled is gone; so is one the lookup cannot read.
bool matterGone(storage::TDbfTable& table, const QString& dataDirectory, const std::string& name) {
    bool found = false;
    const bool read = runDataAction([&] {
        table.Close();
        table.setDbfFileName(catalog::tablePath(dataDirectory.toStdString(), matterList()));
        table.Open();
        found = table.Locate("matter", {name}, storage::loCaseInsensitive);
    });
    return read && !found;
}

// The selected name when it is no longer stored, else empty.
QString goneSelection(const platform::DbListBox& list, storage::TDbfTable& table,
                      const QString& dataDirectory) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty() || dataDirectory.isEmpty()) return QString();
    const QString name = selected.front()->text();
    return matterGone(table, dataDirectory, name.toStdString()) ? name : QString();
}

QPushButton* largeButton(QWidget* parent, const char* name, const QString& text,
                         std::optional<platform::Icon> picture) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    if (picture) button->setIcon(platform::icon(*picture));
    button->setIconSize(QSize(24, 24));
    QFont font = button->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    button->setFont(font);
    button->setMinimumHeight(40);
    button->setAutoDefault(false);
    return button;
}

storage::Date today() {
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

}  // namespace

QString storedMatterName(const QString& typed) {
    // Characters, not UTF-16 units: each character takes one byte of the field.
    const QList<uint> characters = typed.toUcs4();
    if (characters.size() <= kMatterNameLength) return typed;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                             kMatterNameLength);
}

TF_SelectMatter::TF_SelectMatter(DataLocation& location, matter::TF_General& general,
                                 TF_network* network, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      location_(location),
      general_(general),
      network_(network) {
    setObjectName(QStringLiteral("F_SelectMatter"));
    setWindowTitle(QStringLiteral("Corvane Net Worth - Select Matter"));
    setModal(true);
    if (!network_) {
        ownNetwork_ = std::make_unique<TF_network>(location_);
        network_ = ownNetwork_.get();
    }

    matterTable_ = std::make_unique<storage::TDbfTable>(matterList().component);
    catalog::declare(*matterTable_, matterList());

    buildForm();
}

TF_SelectMatter::~TF_SelectMatter() { matterTable_->Close(); }

void TF_SelectMatter::buildForm() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, platform::skyBlueColor());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(8);

    auto* title = new QLabel(QStringLiteral("Diredodu Statement Version 3.0"), this);
    title->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setItalic(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    layout->addWidget(title);

    auto* pathLine = new QHBoxLayout;
    Label1_ = new QLabel(this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    Label1_->setTextInteractionFlags(Qt::NoTextInteraction);
    pathLine->addWidget(Label1_, 1);
    SpeedButton1_ = new QToolButton(this);
    SpeedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1_->setIcon(platform::icon(platform::Icon::NetworkPath));
    SpeedButton1_->setToolTip(QStringLiteral("Change Data Path"));
    SpeedButton1_->setFocusPolicy(Qt::NoFocus);
    SpeedButton1_->setAutoRaise(true);
    connect(SpeedButton1_, &QToolButton::clicked, this, &TF_SelectMatter::SpeedButton1Click);
    pathLine->addWidget(SpeedButton1_, 0, Qt::AlignTop);
    layout->addLayout(pathLine);

    DbListBox1_ = new platform::DbListBox(this);
    DbListBox1_->setObjectName(QStringLiteral("DbListBox1"));
    DbListBox1_->setHint(QStringLiteral("Double-click to select"));
    DbListBox1_->setMinimumHeight(200);
    connect(DbListBox1_, &platform::DbListBox::doubleClickedRow, this,
            &TF_SelectMatter::DbListBox1DblClick);
    layout->addWidget(DbListBox1_, 1);

    using platform::Icon;
    QPushButton* open = largeButton(
        this, "BitBtn3", QStringLiteral("Open the selected existing matter"), Icon::OkMark);
    QPushButton* create =
        largeButton(this, "BitBtn1", QStringLiteral("Press to create a new matter"), Icon::New);
    create->setDefault(true);
    QPushButton* remove =
        largeButton(this, "BitBtn4", QStringLiteral("Delete the selected matter"), Icon::NoMark);
    QPushButton* quit =
        largeButton(this, "BitBtn2", QStringLiteral("Quit program"), Icon::AbortMark);
    connect(open, &QPushButton::clicked, this, &TF_SelectMatter::BitBtn3Click);
    connect(create, &QPushButton::clicked, this, &TF_SelectMatter::BitBtn1Click);
    connect(remove, &QPushButton::clicked, this, &TF_SelectMatter::BitBtn4Click);
    connect(quit, &QPushButton::clicked, this, &TF_SelectMatter::BitBtn2Click);
    for (QPushButton* button : {open, create, remove, quit}) layout->addWidget(button);

    QWidget::setTabOrder(DbListBox1_, create);
    QWidget::setTabOrder(create, quit);
    QWidget::setTabOrder(quit, open);
    QWidget::setTabOrder(open, remove);
    DbListBox1_->setFocus();
    setFixedWidth(440);
    setFixedHeight(heightForWidth(440));
}

void TF_SelectMatter::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window; at start it is not on screen yet, so on the screen instead.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner->isVisible()) {
        area = owner->frameGeometry();
    } else if (QScreen* screen =
                   this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TF_SelectMatter::FormShow() {
    if (!location_.read()) return;  // "Unable to write to ..." was shown
    Label1_->setText(location_.directory());
    listMatters();
}

QString TF_SelectMatter::dataDirectory() const { return location_.directory(); }

void TF_SelectMatter::listMatters() {
    QStringList names;
    runDataAction([&] {
        storage::TDbfTable& table = *matterTable_;
        table.Close();
        table.setDbfFileName(catalog::tablePath(dataDirectory().toStdString(), matterList()));
        table.Open();
        storage::TField& matter = table.FieldByName("matter");
        for (table.First(); !table.Eof(); table.Next()) {
            names << QString::fromStdString(matter.AsString());
        }
    });
    DbListBox1_->setItems(names);
}

bool TF_SelectMatter::hasSelection() const { return !DbListBox1_->selectedItems().isEmpty(); }

void TF_SelectMatter::reopenGeneral() {
    storage::TDbfTable& table = general_.DbfTable1();
    table.Close();
    general_.pointTableAt(dataDirectory());
    table.Open();
}

bool TF_SelectMatter::openSelected() {
    if (!hasSelection() || dataDirectory().isEmpty()) return false;
    const std::string name = DbListBox1_->selectedItems().front()->text().toStdString();
    return runDataAction([&] {
        storage::TDbfTable& table = general_.DbfTable1();
        reopenGeneral();
        // Gone since it was checked: edit nothing rather than whatever record is current.
        if (!table.Locate("matter", {name}, storage::loCaseInsensitive)) return;
        table.Edit();
        general_.loadStateBox();
    });
}

// Open and double-click: a name that is no longer stored (deleted at another workstation since
// the list was filled) opens nothing. The user is told, the list is filled afresh and the dialog
// stays open; F_General's table is not touched.
void TF_SelectMatter::BitBtn3Click() {
    if (selectionIsGone()) return;
    openSelected();
    done(Accepted);
}

void TF_SelectMatter::DbListBox1DblClick() {
    if (selectionIsGone()) return;
    if (openSelected()) done(Accepted);
}

bool TF_SelectMatter::selectionIsGone() {
    const QString gone = goneSelection(*DbListBox1_, *matterTable_, dataDirectory());
    if (gone.isEmpty()) return false;
    dialogs().showMessage(QStringLiteral("The matter ") + gone +
                          QStringLiteral(" no longer exists"));
    listMatters();
    return true;
}

void TF_SelectMatter::BitBtn1Click() {
    general_.UpdateGeneral();
    if (dataDirectory().isEmpty()) return done(Accepted);
    storage::TDbfTable& table = general_.DbfTable1();
    if (!runDataAction([&] {
            general_.pointTableAt(dataDirectory());
            table.Open();
        })) {
        return done(Accepted);
    }

    QString answer;
    for (;;) {
        answer = dialogs().inputBox(QStringLiteral("New Matter Input"),
                                    QStringLiteral("Enter the new matter"), kPreset);
        if (!answer.isEmpty()) break;
        dialogs().showMessage(QStringLiteral("Matter cannot be null"));
    }
    if (answer == kPreset) {  // also what a cancelled input box gives
        runDataAction([&] { table.First(); });
        return done(Accepted);
    }

    const std::string name = storedMatterName(answer).toStdString();
    runDataAction([&] {
        if (table.Locate("matter", {name}, storage::loCaseInsensitive)) {
            dialogs().showMessage(QStringLiteral("Dupe Matter is not allowed"));
            return;
        }
        reopenGeneral();
        table.Insert();
        table.FieldByName("matter").setAsString(name);
        table.FieldByName("adate").setAsDate(today());
        table.FieldByName("asofdate").setAsDate(today());
        general_.clearStateBox();
        // Posted by the next commit, under the before-post rules.
    });
    done(Accepted);
}

void TF_SelectMatter::BitBtn4Click() {
    if (hasSelection() && !dataDirectory().isEmpty()) {
        const QString name = DbListBox1_->selectedItems().front()->text();
        if (dialogs().confirmYesNo(QStringLiteral("Are you sure that you want to delete ") +
                                   name)) {
            runDataAction([&] {
                storage::TDbfTable& table = general_.DbfTable1();
                reopenGeneral();
                // Only the named record goes: when it is not there any more (another
                // workstation deleted it), nothing else is deleted in its place.
                if (!table.Locate("matter", {name.toStdString()}, storage::loCaseInsensitive)) {
                    return;
                }
                table.Edit();
                table.Delete();
            });
        }
    }
    done(Accepted);
}

void TF_SelectMatter::BitBtn2Click() {
    endProgram();
    done(Rejected);
}

void TF_SelectMatter::SpeedButton1Click() {
    if (!network_->BitBtn1Click()) return;
    Label1_->setText(location_.directory());
    listMatters();
}

void TF_SelectMatter::closeEvent(QCloseEvent* event) { event->ignore(); }

void TF_SelectMatter::done(int result) {
    matterTable_->Close();
    QDialog::done(result);
}

}  // namespace app
