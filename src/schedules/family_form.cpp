#include "schedules/family_form.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_combo_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/db_radio_group.h"
#include "schedules/form_controls.h"
#include "schedules/schedule_table.h"

namespace schedules {

namespace {

const char* const kDateMask = "99/99/0000;1;_";

// A box of the form with the caption beside it.
enum class Kind { Date, Memo, Text };
struct Box {
    const char* control;
    const char* field;
    const char* caption;
    Kind kind;
    int height = 0;  // memos
};

// Above the scrolling area, top to bottom.
constexpr Box kTop[] = {
    {"DbEdit1", "husbage", "Plantiff's Date of Birth", Kind::Date},
    {"DbEdit2", "wifeage", "Defendants Date of Birth", Kind::Date},
    {"DbEdit3", "datemarrie", "Date married::", Kind::Date},
    {"DbMemo1", "depnames", "Names and dates of birth of children:", Kind::Memo, 70},
};

// In the scrolling area, below the prior-marriage line and the custody choices.
constexpr Box kBelowCustody[] = {
    {"DbMemo3", "husbaddr", "Plaintiff's present address", Kind::Memo, 64},
    {"DbMemo4", "wifaddr", "Defendant's present address", Kind::Memo, 64},
    {"DbEdit10", "husbocc", "Occupation of Plaintiff", Kind::Text},
    {"DbEdit11", "wifeocc", "Occupation of Defendant", Kind::Text},
};

// Places `box` with its caption in row `row` of `grid`; returns the control.
QWidget* place(const Box& box, QGridLayout* grid, int row, QWidget* parent,
               platform::DataSource* source) {
    QWidget* control = nullptr;
    if (box.kind == Kind::Memo) {
        control = bound(new platform::DbMemo(parent), box.control, source, box.field);
        control->setFixedHeight(box.height);
    } else {
        auto* edit = bound(new platform::DbEdit(parent), box.control, source, box.field);
        if (box.kind == Kind::Date) {
            edit->setEntryMask(QLatin1String(kDateMask));
            edit->setFixedWidth(100);
        }
        control = edit;
    }
    auto* label = new QLabel(QLatin1String(box.caption), parent);
    label->setBuddy(control);
    if (box.kind == Kind::Date) {
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
    } else {
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(control, row, 1);
    }
    return control;
}

}  // namespace

TF_Family::TF_Family(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner)
    : ScheduleFrame(entry, context, owner), family_(requireTable("T_Family")) {
    resize(705, 544);
    buildForm();
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::close);
}

storage::TDbfTable& TF_Family::T_Family() const { return family_.table(); }

void TF_Family::buildForm() {
    platform::DataSource* source = &family_.dataSource();
    auto* layout = new QVBoxLayout(this);
    // Top to bottom, except that the custody choices come after the occupations.
    QList<QWidget*> order;

    // Each box's answer mark stands at the right of its row and follows it in the tab order.
    auto placeWithMark = [&](const Box& box, QGridLayout* grid, int row, QWidget* parent) {
        order << place(box, grid, row, parent, source);
        if (const catalog::StatementItem* item = markItem("T_Family", box.field)) {
            order << markChoice(*item, parent);
            grid->addWidget(order.last(), row, 2, Qt::AlignTop);
        }
    };
    auto* top = new QGridLayout;
    int row = 0;
    for (const Box& box : kTop) placeWithMark(box, top, row++, this);
    top->setColumnStretch(1, 1);
    layout->addLayout(top);

    ScrollBox1_ = new QScrollArea(this);
    ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1_->setWidgetResizable(true);
    auto* inner = new QWidget(ScrollBox1_);
    inner->setObjectName(QStringLiteral("ScrollBox1Contents"));
    auto* area = new QGridLayout(inner);

    DbCheckBox1_ = bound(new platform::DbCheckBox(QStringLiteral("Plaintiff"), inner),
                         "DbCheckBox1", source, "childpri1");
    DbCheckBox2_ = bound(new platform::DbCheckBox(QStringLiteral("Defendant"), inner),
                         "DbCheckBox2", source, "childpri2");
    auto* priorLine = new QHBoxLayout;
    priorLine->addWidget(new QLabel(QStringLiteral("Minor children of prior marriage:  "), inner));
    priorLine->addWidget(DbCheckBox1_);
    priorLine->addWidget(DbCheckBox2_);
    priorLine->addStretch(1);
    area->addLayout(priorLine, 0, 0, 1, 2);
    order << DbCheckBox1_ << DbCheckBox2_;

    DbRadioGroup2_ = bound(
        new platform::DbRadioGroup(QStringLiteral("Custody of children of prior marriage"), inner),
        "DbRadioGroup2", source, "custody");
    DbRadioGroup2_->setColumns(2);
    DbRadioGroup2_->setItems({QStringLiteral("Plaintiff"), QStringLiteral("Defendant"),
                              QStringLiteral("Joint"), QStringLiteral("N/A")},
                             {QStringLiteral("Husband"), QStringLiteral("Wife"),
                              QStringLiteral("Joint"), QStringLiteral("N/A")});
    area->addWidget(DbRadioGroup2_, 1, 0, 1, 2);
    QWidget* custodyMark = nullptr;
    if (const catalog::StatementItem* item = markItem("T_Family", "custody")) {
        custodyMark = markChoice(*item, inner);
        area->addWidget(custodyMark, 1, 2, Qt::AlignTop);
    }

    row = 2;
    for (const Box& box : kBelowCustody) placeWithMark(box, area, row++, inner);
    // Items of the statement's family data that no box here answers keep only their marks.
    QWidget* otherMarks = unplacedMarks(
        QStringLiteral("Also asked on the statement"),
        QStringLiteral("The statement also asks about these; this form keeps no answers for "
                       "them. Mark each one NONE, INAPPLICABLE or UNKNOWN as it applies."),
        inner);
    if (otherMarks) area->addWidget(otherMarks, row++, 0, 1, 3);
    area->setColumnStretch(1, 1);
    area->setRowStretch(row, 1);
    ScrollBox1_->setWidget(inner);
    layout->addWidget(ScrollBox1_, 1);

    BitBtn1_ = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setAutoDefault(false);
    layout->addWidget(BitBtn1_, 0, Qt::AlignRight);

    for (int i = 0; i < DbRadioGroup2_->captions().size(); ++i) {
        order << DbRadioGroup2_->findChild<QAbstractButton*>(QStringLiteral("Choice%1").arg(i));
    }
    if (custodyMark) order << custodyMark;
    if (otherMarks) {
        for (QWidget* choice : otherMarks->findChildren<platform::DbComboBox*>()) order << choice;
    }
    order << BitBtn1_;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TF_Family::open() { family_.open(); }

}  // namespace schedules
