#include "schedules/income_form.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/data_source.h"
#include "platform/db_combo_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/db_radio_group.h"
#include "schedules/form_controls.h"
#include "schedules/schedule_table.h"

namespace schedules {

namespace {

// The other sources of income, top to bottom in the right panel.
struct Source {
    const char* control;
    const char* field;
    const char* caption;
};

constexpr Source kSourcesAbove[] = {
    {"DbEdit11", "bonus", "Worker's compensation"},
    {"DbEdit12", "partnershi", "Unemployment insurance benefits"},
    {"DbEdit13", "dividends", "Investment Income, including interest and dividend income"},
    {"DbEdit7", "dividendnt", "Supplemental Security Income"},
    {"DbEdit15", "trust", "Food Stamps"},
    {"DbEdit16", "pension", "Pension (income only)"},
    {"DbEdit18", "bequests", "Veteran's benefits"},
    {"DbEdit19", "oincome",
     "Income from all other sources (including alimony, maintenance or child support from prior "
     "marriage)"},
    {"DbEdit20", "ltcapgns", "Fellowship and stipends"},
    {"DbEdit21", "depreciati", "Annuity payments"},
};

constexpr Source kSourcesBelow[] = {
    {"DbEdit24", "emphousss", "Social Security"},
    {"DbEdit25", "emphousdis", "Disability benefits"},
    {"DbEdit26", "emphouspa", "Public assistance"},
    {"DbEdit27", "emphousoth", "Other"},
};

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setBuddy(buddy);
    return label;
}

QFrame* panel(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

}  // namespace

TF_Income::TF_Income(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner)
    : ScheduleFrame(entry, context, owner), income_(requireTable("T_Income")) {
    buildForm();
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::close);
    resize(721, 573);
}

storage::TDbfTable& TF_Income::T_Income() const { return income_.table(); }

void TF_Income::buildForm() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1_ = panel("Panel1", this);
    Panel1_->setFixedHeight(49);
    auto* head = new QHBoxLayout(Panel1_);
    Label1_ = new QLabel(QStringLiteral("State source of income and annual amount."), Panel1_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1_->font();
    bold.setBold(true);
    Label1_->setFont(bold);
    Label1_->setAlignment(Qt::AlignCenter);
    BitBtn1_ = new QPushButton(QStringLiteral("&Close"), Panel1_);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setAutoDefault(false);
    head->addWidget(Label1_, 1);
    head->addWidget(BitBtn1_);
    layout->addWidget(Panel1_);

    auto* lower = new QHBoxLayout;
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    Panel2_ = panel("Panel2", this);
    Panel3_ = panel("Panel3", this);
    lower->addWidget(Panel2_);
    lower->addWidget(Panel3_);
    lower->addStretch(1);
    layout->addLayout(lower, 1);

    buildLeftPanel();
    buildRightPanel();

    // The close button, the right panel top to bottom, then the left panel.
    QList<QWidget*> order = {BitBtn1_};
    order << rightOrder_;
    for (int i = 0; i < DbRadioGroup1_->captions().size(); ++i) {
        order << DbRadioGroup1_->findChild<QAbstractButton*>(QStringLiteral("Choice%1").arg(i));
    }
    order << DbMemo1_ << DbEdit1_;
    // Each answer mark follows the control it marks.
    for (const auto& [marked, mark] : marks_) order.insert(order.indexOf(marked) + 1, mark);
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget* TF_Income::markFor(QWidget* marked, const char* field, QWidget* parent) {
    const catalog::StatementItem* item = markItem("T_Income", field);
    if (!item) return nullptr;
    QWidget* mark = markChoice(*item, parent);
    marks_.append(std::make_pair(marked, mark));
    return mark;
}

QHBoxLayout* TF_Income::withMark(QWidget* shown, QWidget* marked, const char* field,
                                 QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(shown, 1);
    if (QWidget* mark = markFor(marked, field, parent)) row->addWidget(mark, 0, Qt::AlignTop);
    return row;
}

void TF_Income::buildLeftPanel() {
    platform::DataSource* data = &income_.dataSource();
    auto* left = new QVBoxLayout(Panel2_);
    DbRadioGroup1_ = bound(new platform::DbRadioGroup(Panel2_), "DbRadioGroup1", data, "incomechg");
    DbRadioGroup1_->setColumns(2);
    DbRadioGroup1_->setItems({QStringLiteral("No"), QStringLiteral("Yes")});
    left->addWidget(caption(QStringLiteral("Salary or wages:  (State whether income has changed "
                                           "during the year preceding date of this affidavit."),
                            DbRadioGroup1_, Panel2_));
    left->addLayout(withMark(DbRadioGroup1_,
                             DbRadioGroup1_->findChild<QAbstractButton*>(QStringLiteral("Choice1")),
                             "incomechg", Panel2_));

    DbEdit1_ = bound(new platform::DbEdit(Panel2_), "DbEdit1", data, "salary");
    DbEdit1_->setAlignment(Qt::AlignRight);
    DbEdit1_->setFixedWidth(120);
    left->addWidget(caption(QStringLiteral("Gross (total) income - as should have been or should "
                                           "be reported in the most recent Federal income tax "
                                           "return."),
                            DbEdit1_, Panel2_));
    left->addLayout(withMark(DbEdit1_, DbEdit1_, "salary", Panel2_));

    DbMemo1_ = bound(new platform::DbMemo(Panel2_), "DbMemo1", data, "employers");
    left->addLayout(withMark(caption(QStringLiteral("List any amount deducted from gross income "
                                                    "for retirement benefits or tax deferred "
                                                    "savings."),
                                     DbMemo1_, Panel2_),
                             DbMemo1_, "employers", Panel2_));
    left->addWidget(DbMemo1_, 1);
}

void TF_Income::buildRightPanel() {
    platform::DataSource* data = &income_.dataSource();
    auto* right = new QVBoxLayout(Panel3_);
    right->setContentsMargins(2, 2, 2, 2);
    ScrollBox1_ = new QScrollArea(Panel3_);
    ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1_->setWidgetResizable(true);
    ScrollBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    right->addWidget(ScrollBox1_);
    auto* inner = new QWidget(ScrollBox1_);
    auto* grid = new QGridLayout(inner);
    grid->setColumnStretch(0, 1);
    int row = 0;
    auto addSource = [&](const Source& source) {
        auto* edit = bound(new platform::DbEdit(inner), source.control, data, source.field);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(100);
        grid->addWidget(caption(QLatin1String(source.caption), edit, inner), row, 0);
        grid->addWidget(edit, row, 1, Qt::AlignTop);
        rightOrder_ << edit;
        if (QWidget* mark = markFor(edit, source.field, inner))
            grid->addWidget(mark, row, 2, Qt::AlignTop);
        ++row;
    };
    for (const Source& source : kSourcesAbove) addSource(source);

    auto* names = bound(new platform::DbMemo(inner), "DbMemo3", data, "emphosehld");
    names->setFixedHeight(60);
    auto* amount = bound(new platform::DbEdit(inner), "DbEdit23", data, "emphousamt");
    amount->setAlignment(Qt::AlignRight);
    amount->setFixedWidth(100);
    grid->addWidget(caption(QStringLiteral("If any child or other member of your household is "
                                           "employed, set forth name and that person's annual "
                                           "income"),
                            names, inner),
                    row++, 0, 1, 2);
    grid->addWidget(names, row, 0);
    grid->addWidget(amount, row, 1, Qt::AlignTop);
    rightOrder_ << names << amount;
    if (QWidget* mark = markFor(amount, "emphosehld", inner))
        grid->addWidget(mark, row, 2, Qt::AlignTop);
    ++row;

    for (const Source& source : kSourcesBelow) addSource(source);
    grid->setRowStretch(row, 1);
    ScrollBox1_->setWidget(inner);
}

void TF_Income::open() { income_.open(); }

void TF_Income::FormShow() {
    if (DbRadioGroup1_->itemIndex() >= 0 || !income_.editing()) return;
    platform::runDataAction([this] { T_Income().FieldByName("incomechg").setAsString("No"); });
}

void TF_Income::FormResize() {
    Panel2_->setFixedWidth(width() / 2 - 10);
    Panel3_->setFixedWidth(width() / 2);
}

void TF_Income::showEvent(QShowEvent* event) {
    ScheduleFrame::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TF_Income::resizeEvent(QResizeEvent* event) {
    ScheduleFrame::resizeEvent(event);
    FormResize();
}

}  // namespace schedules
