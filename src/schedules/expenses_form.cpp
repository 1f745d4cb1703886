#include "schedules/expenses_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/colors.h"
#include "platform/data_source.h"
#include "platform/db_combo_box.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "platform/dialogs.h"
#include "schedules/answer_marks.h"
#include "schedules/expense_lines.h"
#include "schedules/form_controls.h"
#include "schedules/schedule_table.h"

namespace schedules {

using storage::DataSetState;

namespace {

// The category list with each category's answer mark at the right of its row.
class MarkedCategoryDelegate : public QStyledItemDelegate {
  public:
    MarkedCategoryDelegate(std::function<QString(int row)> markOf, QObject* parent)
        : QStyledItemDelegate(parent), markOf_(std::move(markOf)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QString mark = markOf_(index.row());
        if (mark.isEmpty()) return;
        painter->save();
        QFont font = option.font;
        font.setPointSizeF(font.pointSizeF() * 0.85);
        font.setBold(true);
        painter->setFont(font);
        painter->setPen(option.state & QStyle::State_Selected
                            ? option.palette.color(QPalette::HighlightedText)
                            : option.palette.color(QPalette::PlaceholderText));
        painter->drawText(option.rect.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                          mark);
        painter->restore();
    }

  private:
    std::function<QString(int row)> markOf_;
};

}  // namespace

TF_Expenses::TF_Expenses(const ScheduleFormEntry& entry, const ScheduleContext& context,
                         QWidget* owner)
    : ScheduleFrame(entry, context, owner), lines_(requireTable("T_Expenses")) {
    resize(1290, 569);
    // T_ExpensesBeforePost does nothing: the blank-item rule is the update-data event's.
    lines_.dropBlankKeyRule();
    lines_.afterInsert = [this](storage::TDbfPrimDataset& set) { T_ExpensesAfterInsert(set); };
    lines_.dataSource().OnUpdateData = [this](platform::DataSource&) { DataSource1UpdateData(); };
    buildForm();
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::close);
    connect(ListBox1_, &platform::DbListBox::chosen, this, [this] { ListBox1Click(); });
}

TF_Expenses::~TF_Expenses() { DBGrid1_->setDataSource(nullptr); }

storage::TDbfTable& TF_Expenses::T_Expenses() const { return lines_.table(); }

void TF_Expenses::buildForm() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    layout->addLayout(body, 1);

    Panel1_ = new QFrame(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setFrameShape(QFrame::StyledPanel);
    Panel1_->setFixedWidth(289);
    auto* side = new QVBoxLayout(Panel1_);
    Label1_ = new QLabel(QStringLiteral("Select an Expense Category and fill in amounts at right"),
                         Panel1_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    QFont bold = Label1_->font();
    bold.setBold(true);
    Label1_->setFont(bold);
    side->addWidget(Label1_);

    ListBox1_ = new platform::DbListBox(Panel1_);
    ListBox1_->setObjectName(QStringLiteral("ListBox1"));
    QStringList categories;
    for (const ExpenseCategory& category : expenseCategories()) {
        categories << QLatin1String(category.etype);
    }
    ListBox1_->setItems(categories);
    side->addWidget(ListBox1_, 1);
    buildCategoryMark(side);

    Label2_ = new QLabel(QStringLiteral("If any items are paid on a weekly basis, multiply by 4.3 "
                                        "to obtain monthly payment. Items included under "
                                        "\"other\" should be listed separately with separate "
                                        "dollar amounts."),
                         Panel1_);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setWordWrap(true);
    Label2_->setAutoFillBackground(true);
    QPalette cream = Label2_->palette();
    cream.setColor(QPalette::Window, platform::creamColor());
    Label2_->setPalette(cream);
    Label2_->setMargin(4);
    side->addWidget(Label2_);

    Label3_ = new QLabel(QStringLiteral("All expenses listed are monthly"), Panel1_);
    Label3_->setObjectName(QStringLiteral("Label3"));
    QFont larger = bold;
    larger.setPointSizeF(bold.pointSizeF() * 1.5);
    Label3_->setFont(larger);
    QPalette red = Label3_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label3_->setPalette(red);
    Label3_->setWordWrap(true);
    side->addWidget(Label3_);

    BitBtn1_ = new QPushButton(QStringLiteral("&Close"), Panel1_);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setAutoDefault(false);
    side->addWidget(BitBtn1_, 0, Qt::AlignLeft);
    body->addWidget(Panel1_);

    Panel2_ = new QFrame(this);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    auto* right = new QVBoxLayout(Panel2_);
    right->setContentsMargins(0, 0, 0, 0);
    DBGrid1_ = new platform::DbGrid(Panel2_);
    DBGrid1_->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1_->setColumns({
        {QStringLiteral("EXPENSE"), QStringLiteral("EXPENSE"), 332, Qt::AlignLeft},
        {QStringLiteral("AMT"), QStringLiteral("AMT"), 111, Qt::AlignRight},
        {QStringLiteral("INFO"),
         QStringLiteral("INFO (Information in this column will not be included in the totals)"),
         500, Qt::AlignLeft},
    });
    DBGrid1_->setDataSource(&lines_.dataSource());
    right->addWidget(DBGrid1_);
    body->addWidget(Panel2_, 1);

    StatusBar1_ = new QStatusBar(this);
    StatusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1_->setSizeGripEnabled(false);
    auto* status = new QLabel(QStringLiteral("Press the INSERT key to add a new item.   Hold down "
                                             "CTRL + DELETE to delete an existing item."),
                              StatusBar1_);
    status->setObjectName(QStringLiteral("StatusBar1Text"));
    StatusBar1_->addWidget(status, 1);
    layout->addWidget(StatusBar1_);
}

void TF_Expenses::open() {
    lines_.openFile();
    storage::TDbfTable& table = T_Expenses();
    // Seeding test: all of the matter's lines count, so a matter whose Housing lines were all
    // deleted is not given the standard list a second time. Taken before the grid is bound, which
    // would read the rows of every category.
    context().installCategoryFilter(QString(), table);
    lines_.bind();
    if (table.IsEmpty()) seedStandardLines();
    context().installMatterFilter(QStringLiteral("T_Expenses"), table);
    shownCategory_ = 0;
    ListBox1_->selectRow(0);
    showCategoryMark();
    // The rows once (installing the filter may have read them already). The line put into
    // editing is the one the filter left the table on: the current line when it passes, else
    // the matter's last "(a) Housing" line.
    DBGrid1_->gridModel()->reloadIfWanted();
    table.Edit();
}

// One choice under the list, for the category whose lines are shown; the list shows every
// category's mark.
void TF_Expenses::buildCategoryMark(QVBoxLayout* side) {
    if (!marks()) return;
    for (const ExpenseCategory& category : expenseCategories()) {
        if (const catalog::StatementItem* item = categoryItem(category.etype)) markPlaced(*item);
    }
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Mark for the category:"), Panel1_);
    label->setObjectName(QStringLiteral("CategoryMarkLabel"));
    row->addWidget(label);
    const catalog::StatementItem* first = categoryItem(expenseCategories().front().etype);
    categoryMark_ = newMarkChoice(*first, &marks()->dataSource(), Panel1_);
    categoryMark_->setObjectName(QStringLiteral("CategoryMark"));
    label->setBuddy(categoryMark_);
    row->addWidget(categoryMark_, 1);
    side->addLayout(row);

    ListBox1_->setItemDelegate(new MarkedCategoryDelegate(
        [this](int row) -> QString {
            storage::TDbfTable& table = marks()->table();
            const auto categories = expenseCategories();
            const catalog::StatementItem* item =
                row < int(categories.size()) ? categoryItem(categories[row].etype) : nullptr;
            if (!item || !table.Active()) return QString();
            if (table.State() == DataSetState::Browse && table.IsEmpty()) return QString();
            return QString::fromStdString(table.FieldByName(item->key).AsString());
        },
        ListBox1_));
    auto repaint = [this] { ListBox1_->viewport()->update(); };
    connect(&marks()->dataSource(), &platform::DataSource::recordChanged, ListBox1_, repaint);
    connect(&marks()->dataSource(), &platform::DataSource::fieldValueChanged, ListBox1_, repaint);
}

const catalog::StatementItem* TF_Expenses::categoryItem(const char* etype) const {
    for (const catalog::StatementItem* item : formItems(entry().objectName)) {
        if (item->category && QLatin1String(item->category) == QLatin1String(etype)) return item;
    }
    return nullptr;
}

void TF_Expenses::showCategoryMark() {
    if (!categoryMark_) return;
    const auto categories = expenseCategories();
    const catalog::StatementItem* item = categoryItem(categories[size_t(shownCategory_)].etype);
    categoryMark_->setDataField(QLatin1String(item->key));
    categoryMark_->setToolTip(QStringLiteral("Mark for \"%1\": printed in its place when it has "
                                             "no amount or remarks")
                                  .arg(QLatin1String(item->label)));
}

void TF_Expenses::seedStandardLines() {
    storage::TDbfTable& table = T_Expenses();
    const std::string matter = context().currentMatter().toStdString();
    platform::DataSource::QuietScope quiet(lines_.dataSource());
    const auto categories = expenseCategories();
    for (int row = 0; row < int(categories.size()); ++row) {
        const ExpenseCategory& category = categories[row];
        ListBox1_->selectRow(row);
        auto seed = [&](const char* item) {
            table.Append();
            table.FieldByName("matter").setAsString(matter);
            table.FieldByName("etype").setAsString(category.etype);
            table.FieldByName("expense").setAsString(item);
            table.Post();
        };
        for (const char* item : category.items) seed(item);
        if (category.items.empty()) seed("");  // dropped by the blank-item rule
    }
}

// After the binding named the new line's matter.
void TF_Expenses::T_ExpensesAfterInsert(storage::TDbfPrimDataset& table) {
    const QString etype = ListBox1_->selectedText();
    table.FieldByName("etype").setAsString(etype.toStdString());
    table.FieldByName("setype").setAsString(etype.mid(3, 25).toStdString());
}

QString TF_Expenses::blankItemQuestion(const QString& category, bool newLine) {
    return ScheduleTable::blankKeyQuestion(category, QStringLiteral("EXPENSE"), newLine);
}

void TF_Expenses::DataSource1UpdateData() {
    storage::TDbfTable& table = T_Expenses();
    if (!fieldText(table, "expense").trimmed().isEmpty()) return;
    const bool holdsInput =
        !fieldText(table, "amt").isEmpty() || !fieldText(table, "info").trimmed().isEmpty();
    const bool newLine = table.State() == DataSetState::Insert;
    if (holdsInput &&
        !platform::dialogs().confirmYesNo(blankItemQuestion(fieldText(table, "etype"), newLine))) {
        focusExpenseCell();
        throw storage::EAbort();  // whatever was leaving the line stops; it stays in editing
    }
    table.Cancel();
}

// Queued: the grid may be in the middle of a move that is being refused.
void TF_Expenses::focusExpenseCell() {
    QTimer::singleShot(0, this, [this] {
        platform::DbGridModel* model = DBGrid1_->gridModel();
        const int row = model->currentRow();
        if (row < 0) return;
        DBGrid1_->setFocus(Qt::OtherFocusReason);
        DBGrid1_->setCurrentIndex(model->index(row, 0));
    });
}

void TF_Expenses::FormShow() {
    ListBox1_->selectRow(0);
    shownCategory_ = 0;
    showCategoryMark();
}

void TF_Expenses::showEvent(QShowEvent* event) {
    ScheduleFrame::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TF_Expenses::ListBox1Click() {
    storage::TDbfTable& table = T_Expenses();
    const int chosen = ListBox1_->currentRow();
    if (chosen < 0 || !table.Active()) return;
    // The line being edited belongs to the category shown: write it (or drop it by the
    // blank-item rule) before another filter is installed, even when the same category was
    // chosen again.
    const bool finished = platform::runDataAction([&] { table.CheckBrowseMode(); });
    if (!finished || lines_.editing()) {
        ListBox1_->selectRow(shownCategory_);
        return;
    }
    if (chosen == shownCategory_) return;
    shownCategory_ = chosen;
    showCategoryMark();
    platform::runDataAction(
        [&] { context().installCategoryFilter(ListBox1_->selectedText(), table); });
}

}  // namespace schedules
