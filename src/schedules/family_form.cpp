#include "schedules/family_form.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "catalog/table_catalog.h"
#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/db_radio_group.h"

namespace schedules {

namespace {

const char* const kDateMask = "99/99/0000;1;_";

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TF_Family::TF_Family(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner)
    : ScheduleDialog(entry, context, owner) {
    resize(705, 544);
    createTable(*catalog::findTable(entry.tables(), "T_Family"));
    DataSource1_ = new platform::DataSource(this);
    DataSource1_->setObjectName(QStringLiteral("DataSource1"));
    buildForm();
    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::close);
}

TF_Family::~TF_Family() { DataSource1_->setDataSet(nullptr); }

void TF_Family::buildForm() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QGridLayout;
    DbEdit1_ = bound(new platform::DbEdit(this), "DbEdit1", DataSource1_, "husbage");
    DbEdit2_ = bound(new platform::DbEdit(this), "DbEdit2", DataSource1_, "wifeage");
    DbEdit3_ = bound(new platform::DbEdit(this), "DbEdit3", DataSource1_, "datemarrie");
    int row = 0;
    for (auto [edit, text] :
         {std::pair{DbEdit1_, "Plantiff's Date of Birth"},
          std::pair{DbEdit2_, "Defendants Date of Birth"}, std::pair{DbEdit3_, "Date married::"}}) {
        edit->setEntryMask(QLatin1String(kDateMask));
        edit->setFixedWidth(100);
        top->addWidget(caption(QLatin1String(text), edit, this), row, 0);
        top->addWidget(edit, row, 1, Qt::AlignLeft);
        ++row;
    }
    DbMemo1_ = bound(new platform::DbMemo(this), "DbMemo1", DataSource1_, "depnames");
    DbMemo1_->setFixedHeight(70);
    top->addWidget(caption(QStringLiteral("Names and dates of birth of children:"), DbMemo1_, this),
                   row, 0, Qt::AlignTop);
    top->addWidget(DbMemo1_, row, 1);
    top->setColumnStretch(1, 1);
    layout->addLayout(top);

    ScrollBox1_ = new QScrollArea(this);
    ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1_->setWidgetResizable(true);
    auto* inner = new QWidget(ScrollBox1_);
    inner->setObjectName(QStringLiteral("ScrollBox1Contents"));
    auto* area = new QGridLayout(inner);

    DbCheckBox1_ = bound(new platform::DbCheckBox(QStringLiteral("Plaintiff"), inner),
                         "DbCheckBox1", DataSource1_, "childpri1");
    DbCheckBox2_ = bound(new platform::DbCheckBox(QStringLiteral("Defendant"), inner),
                         "DbCheckBox2", DataSource1_, "childpri2");
    auto* priorLine = new QHBoxLayout;
    priorLine->addWidget(new QLabel(QStringLiteral("Minor children of prior marriage:  "), inner));
    priorLine->addWidget(DbCheckBox1_);
    priorLine->addWidget(DbCheckBox2_);
    priorLine->addStretch(1);
    area->addLayout(priorLine, 0, 0, 1, 2);

    DbRadioGroup2_ = bound(
        new platform::DbRadioGroup(QStringLiteral("Custody of children of prior marriage"), inner),
        "DbRadioGroup2", DataSource1_, "custody");
    DbRadioGroup2_->setColumns(2);
    DbRadioGroup2_->setItems({QStringLiteral("Plaintiff"), QStringLiteral("Defendant"),
                              QStringLiteral("Joint"), QStringLiteral("N/A")},
                             {QStringLiteral("Husband"), QStringLiteral("Wife"),
                              QStringLiteral("Joint"), QStringLiteral("N/A")});
    area->addWidget(DbRadioGroup2_, 1, 0, 1, 2);

    DbMemo3_ = bound(new platform::DbMemo(inner), "DbMemo3", DataSource1_, "husbaddr");
    DbMemo4_ = bound(new platform::DbMemo(inner), "DbMemo4", DataSource1_, "wifaddr");
    DbEdit10_ = bound(new platform::DbEdit(inner), "DbEdit10", DataSource1_, "husbocc");
    DbEdit11_ = bound(new platform::DbEdit(inner), "DbEdit11", DataSource1_, "wifeocc");
    row = 2;
    for (auto [control, text] :
         {std::pair<QWidget*, const char*>{DbMemo3_, "Plaintiff's present address"},
          std::pair<QWidget*, const char*>{DbMemo4_, "Defendant's present address"},
          std::pair<QWidget*, const char*>{DbEdit10_, "Occupation of Plaintiff"},
          std::pair<QWidget*, const char*>{DbEdit11_, "Occupation of Defendant"}}) {
        if (qobject_cast<platform::DbMemo*>(control)) control->setFixedHeight(64);
        area->addWidget(caption(QLatin1String(text), control, inner), row, 0, Qt::AlignTop);
        area->addWidget(control, row, 1);
        ++row;
    }
    area->setColumnStretch(1, 1);
    area->setRowStretch(row, 1);
    ScrollBox1_->setWidget(inner);
    layout->addWidget(ScrollBox1_, 1);

    BitBtn1_ = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setAutoDefault(false);
    layout->addWidget(BitBtn1_, 0, Qt::AlignRight);

    // Top to bottom, except that the custody choices come after the occupations.
    QList<QWidget*> order = {DbEdit1_,     DbEdit2_, DbEdit3_, DbMemo1_,  DbCheckBox1_,
                             DbCheckBox2_, DbMemo3_, DbMemo4_, DbEdit10_, DbEdit11_};
    for (int i = 0; i < DbRadioGroup2_->captions().size(); ++i) {
        order << DbRadioGroup2_->findChild<QAbstractButton*>(QStringLiteral("Choice%1").arg(i));
    }
    order << BitBtn1_;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void TF_Family::open() {
    storage::TDbfTable& table = T_Family();
    table.Open();
    DataSource1_->setDataSet(&table);
    if (locateOrInsert()) {
        table.FieldByName("matter").setAsString(context().currentMatter().toStdString());
    }
}

}  // namespace schedules
