#include "matter/general_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include "catalog/table_catalog.h"
#include "platform/colors.h"
#include "platform/control_text.h"
#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/dialogs.h"

namespace matter {

using storage::DataSetState;

namespace {

bool editing(const storage::TDbfTable& table) {
    return table.State() == DataSetState::Edit || table.State() == DataSetState::Insert;
}

// The form's child window refuses the user's close requests (Ctrl+F4, a window manager's).
class FixedSubWindow : public QMdiSubWindow {
  public:
    using QMdiSubWindow::QMdiSubWindow;

  protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

TF_General::TF_General(GeneralSeams seams, QWidget* parent)
    : QWidget(parent), seams_(std::move(seams)) {
    setObjectName(QStringLiteral("F_General"));
    setWindowTitle(QStringLiteral("General Information"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, platform::skyBlueColor());
    setPalette(palette);
    setAutoFillBackground(true);

    const catalog::TableDef& definition = catalog::generalTable();
    table_ = std::make_unique<storage::TDbfTable>(definition.component);
    catalog::declare(*table_, definition);
    table_->BeforePost = [this](storage::TDbfPrimDataset& table) { DbfTable1BeforePost(table); };
    table_->AfterScroll = [this](storage::TDbfPrimDataset&) { DbfTable1CameToRest(); };
    table_->AfterCancel = [this](storage::TDbfPrimDataset&) { DbfTable1CameToRest(); };
    table_->AfterInsert = [this](storage::TDbfPrimDataset&) {
        matterGone_ = false;
        showCustomCaptionIfFilled();
    };
    table_->OnDeletedElsewhere = [this](storage::TDbfFileDataSet&) { matterDeletedElsewhere(); };
    table_->OnKeyTakenElsewhere = [this](storage::TDbfFileDataSet&) {
        return nameTakenElsewhere();
    };

    source_ = new platform::DataSource(this);
    source_->setObjectName(QStringLiteral("DataSource1"));
    source_->setDataSet(table_.get());
    connect(source_, &platform::DataSource::fieldValueChanged, this,
            &TF_General::showCustomCaptionIfFilled);

    buildForm();
    // Fields whose boxes have no label of their own, and those the form sets itself.
    for (const auto& [field, caption] :
         {std::pair{"court", "Court"}, std::pair{"court2", "Court (after \"COURT\")"},
          std::pair{"xname", "Deponent"}, std::pair{"xplaintiff", "Deponent is the plaintiff"},
          std::pair{"xdefendant", "Deponent is the defendant"},
          std::pair{"asofdate_c", "Statement as of"}, std::pair{"bypass", "Custom caption"},
          std::pair{"dobypass", "Custom caption"}, std::pair{"state", "State of"},
          std::pair{"explisted", "Expenses listed"}}) {
        source_->setFieldCaption(QString::fromLatin1(field), QString::fromUtf8(caption));
    }

    connect(ComboBox1_, &QComboBox::activated, this, &TF_General::ComboBox1Select);
    connect(ComboBox1_->lineEdit(), &QLineEdit::textEdited, this, &TF_General::ComboBox1Typed);
    connect(ComboBox1_->lineEdit(), &QLineEdit::textEdited, this,
            [this] { platform::replaceUnstorable(ComboBox1_->lineEdit()); });
    connect(BitBtn1_, &QPushButton::clicked, this, &TF_General::BitBtn1Click);
    for (QWidget* widget : entryChecked_) widget->installEventFilter(this);
}

TF_General::~TF_General() {
    source_->setDataSet(nullptr);
    table_->Close();
}

QMdiSubWindow* TF_General::placeIn(QMdiArea* area) {
    auto* window = new FixedSubWindow(area);
    window->setObjectName(QStringLiteral("F_GeneralWindow"));
    window->setWidget(this);
    window->setWindowTitle(windowTitle());
    window->setWindowIcon(windowIcon());
    area->addSubWindow(window);
    window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinMaxButtonsHint);
    window->move(0, 0);
    return window;
}

void TF_General::FormShow() {
    QFont bold = statusLine_->font();
    bold.setBold(true);
    statusLine_->setFont(bold);
    fitWindowToForm();

    const std::optional<QString> directory =
        seams_.readDataDirectory ? seams_.readDataDirectory() : std::nullopt;
    if (!directory) return;
    const bool opened = platform::runDataAction([&] {
        pointTableAt(*directory);
        table_->Open();
        table_->Edit();  // on an empty table: a new blank record
    });
    if (!opened) return;
    loadStateBox();
    if (currentMatter().isEmpty() && seams_.openMatterSelection) seams_.openMatterSelection();
}

// The child window takes the form's full size (the bold status line is taller than the plain one
// it was placed with), as far as the main window's area has room.
void TF_General::fitWindowToForm() {
    auto* window = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!window) return;
    window->adjustSize();
    QMdiArea* area = window->mdiArea();
    if (area && area->isVisible())
        window->resize(window->size().boundedTo(area->viewport()->size()));
}

QString TF_General::currentMatter() const { return matterGone_ ? QString() : matter_->text(); }

bool TF_General::UpdateGeneral() {
    if (!table_->Active()) return true;
    platform::runDataAction([this] {
        if (table_->FieldByName("matter").AsString().empty()) {
            table_->Cancel();
        } else if (editing(*table_)) {
            table_->Post();
        }
    });
    return !matterGone_;
}

// The post wrote nothing. The selection is opened once this post is over (the table is in the
// middle of it), unless a matter was chosen meanwhile.
void TF_General::matterDeletedElsewhere() {
    const QString name = QString::fromStdString(table_->FieldByName("matter").AsString());
    matterGone_ = true;
    matter_->clear();
    platform::dialogs().showMessage(QStringLiteral("The matter ") + name +
                                    QStringLiteral(" no longer exists"));
    QTimer::singleShot(0, this, [this] {
        if (matterGone_ && seams_.openMatterSelection) seams_.openMatterSelection();
    });
}

// The table then stands on the record of that name.
bool TF_General::nameTakenElsewhere() {
    platform::dialogs().showMessage(QStringLiteral("Dupe Matter is not allowed"));
    return false;
}

void TF_General::pointTableAt(const QString& dataDirectory) {
    table_->setDbfFileName(
        catalog::tablePath(dataDirectory.toStdString(), catalog::generalTable()));
}

void TF_General::loadStateBox() {
    const QString state = table_->Active()
                              ? QString::fromStdString(table_->FieldByName("state").AsString())
                              : QString();
    ComboBox1_->setCurrentIndex(ComboBox1_->findText(state, Qt::MatchExactly));
    ComboBox1_->setEditText(state);
}

void TF_General::clearStateBox() {
    ComboBox1_->setCurrentIndex(-1);
    ComboBox1_->setEditText(QString());
}

QString TF_General::stateBoxText() const { return ComboBox1_->currentText(); }

void TF_General::DbfTable1BeforePost(storage::TDbfPrimDataset& table) {
    storage::TField& explisted = table.FieldByName("explisted");
    if (explisted.AsString().empty()) explisted.setAsString("monthly");
    table.FieldByName("state").setAsString(ComboBox1_->currentText().toStdString());
    table.FieldByName("dobypass").setAsString(CusCap_->toPlainText().isEmpty() ? "" : "X");
    // A record without a matter name is never written: dropping the change here ends the post
    // quietly, and a move that asked for it goes on.
    if (table.FieldByName("matter").AsString().empty()) table.Cancel();
}

void TF_General::DbfTable1CameToRest() {
    // Standing on another record (the matter selection's doing) ends a deleted matter's state;
    // a post that finds its record deleted comes to rest first and tells afterwards.
    matterGone_ = false;
    loadStateBox();
    showCustomCaptionIfFilled();
}

void TF_General::ComboBox1Select(int index) {
    if (index < 0 || !table_->Active()) return;
    platform::runDataAction([this] {
        if (!source_->edit()) return;
        table_->FieldByName("state").setAsString(ComboBox1_->currentText().toStdString());
    });
}

// Typed text reaches `state` when the record is next posted; starting to edit a resting record
// here makes sure that post happens, as typing into any bound box does.
void TF_General::ComboBox1Typed() {
    if (!table_->Active() || editing(*table_)) return;
    const QString typed = ComboBox1_->currentText();
    platform::runDataAction([this] { source_->edit(); });
    if (ComboBox1_->currentText() != typed) ComboBox1_->setEditText(typed);
}

void TF_General::BitBtn1Click() { CusCap_->setVisible(!CusCap_->isVisible()); }

void TF_General::showCustomCaptionIfFilled() {
    CusCap_->setVisible(!CusCap_->toPlainText().isEmpty());
}

bool TF_General::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Only the user's own moves count as entering a box: focus given back when a window is
        // activated again (after the matter selection closes) does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                            reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
        if (byUser && currentMatter().isEmpty()) enterWithoutMatter();
    }
    return QWidget::eventFilter(watched, event);
}

// Queued, so that the modal selection does not open in the middle of the focus change.
void TF_General::enterWithoutMatter() {
    if (selectionPending_ || !seams_.openMatterSelection) return;
    selectionPending_ = true;
    QTimer::singleShot(0, this, [this] {
        selectionPending_ = false;
        if (currentMatter().isEmpty()) seams_.openMatterSelection();
    });
}

void TF_General::closeEvent(QCloseEvent* event) {
    UpdateGeneral();
    table_->Close();
    event->accept();
}

}  // namespace matter
