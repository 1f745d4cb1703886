// The Guidelines form's widgets: the inputs in a scrolling column on the left (parties, the
// case, income and deductions, add-ons, caps), the results on the right.

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/db_edit.h"
#include "platform/db_radio_group.h"
#include "schedules/form_controls.h"
#include "schedules/guidelines_form.h"
#include "schedules/schedule_table.h"

namespace schedules {

namespace {

const char* const kDateMask = "99/99/0000;1;_";

QGroupBox* group(const char* name, const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLabel* label(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* sourceLabel(const char* name, QWidget* parent) {
    QLabel* source = label(QString(), parent, name);
    source->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    source->setMinimumWidth(90);
    QPalette palette = source->palette();
    palette.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x60));
    source->setPalette(palette);
    return source;
}

platform::DbRadioGroup* choices(const char* name, const char* field, platform::DataSource* source,
                                const QStringList& captions, const QStringList& values,
                                QWidget* parent) {
    auto* group = bound(new platform::DbRadioGroup(parent), name, source, field);
    group->setFlat(true);
    group->setColumns(int(captions.size()));
    group->setItems(captions, values);
    return group;
}

}  // namespace

platform::DbEdit* TF_Guidelines::amountEdit(const char* name, const char* field, QWidget* parent) {
    auto* edit = bound(new platform::DbEdit(parent), name, &guidelines_.dataSource(), field);
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(100);
    watch(edit);
    return edit;
}

platform::DbEdit* TF_Guidelines::dateEdit(const char* name, const char* field, QWidget* parent) {
    auto* edit = bound(new platform::DbEdit(parent), name, &guidelines_.dataSource(), field);
    edit->setEntryMask(QLatin1String(kDateMask));
    edit->setFixedWidth(100);
    watch(edit);
    return edit;
}

void TF_Guidelines::buildForm() {
    auto* layout = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    QLabel* heading = label(QStringLiteral("Maintenance and child support: the guideline amounts "
                                           "of the current matter, computed as you type."),
                            this, "Label1");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    head->addWidget(heading, 1);
    Print_ = new QPushButton(QStringLiteral("&Print"), this);
    Print_->setObjectName(QStringLiteral("PrintButton"));
    Print_->setAutoDefault(false);
    BitBtn1_ = new QPushButton(QStringLiteral("&Close"), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setAutoDefault(false);
    head->addWidget(Print_);
    head->addWidget(BitBtn1_);
    layout->addLayout(head);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("ScrollBox1"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* inputs = new QWidget(scroll);
    inputs->setObjectName(QStringLiteral("Inputs"));
    auto* column = new QVBoxLayout(inputs);
    column->addWidget(buildParties(inputs));
    column->addWidget(buildCase(inputs));
    column->addWidget(buildIncome(inputs));
    column->addWidget(buildAddOns(inputs));
    column->addWidget(buildCaps(inputs));
    column->addStretch(1);
    scroll->setWidget(inputs);
    // The inputs are never cut off at the side: the column is as wide as they need.
    scroll->setMinimumWidth(inputs->minimumSizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width() + 4);
    splitter->addWidget(scroll);
    splitter->addWidget(buildResults(splitter));
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);
}

QWidget* TF_Guidelines::buildParties(QWidget* parent) {
    QGroupBox* box = group("Parties", QStringLiteral("Parties"), parent);
    auto* grid = new QGridLayout(box);
    grid->addWidget(label(QStringLiteral("Deponent:"), box), 0, 0);
    DeponentName_ = label(QString(), box, "DeponentName");
    QFont bold = DeponentName_->font();
    bold.setBold(true);
    DeponentName_->setFont(bold);
    grid->addWidget(DeponentName_, 0, 1);
    DeponentRoleText_ = label(QString(), box, "DeponentRoleText");
    grid->addWidget(DeponentRoleText_, 0, 2);
    DeponentRole_ = choices("DeponentRole", "deponent", &guidelines_.dataSource(),
                            {QStringLiteral("Plaintiff"), QStringLiteral("Defendant")},
                            {QStringLiteral("P"), QStringLiteral("D")}, box);
    watch(DeponentRole_);
    grid->addWidget(DeponentRole_, 1, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Other party:"), box), 2, 0);
    OtherName_ = bound(new platform::DbEdit(box), "OtherName", &guidelines_.dataSource(), "oname");
    watch(OtherName_);
    grid->addWidget(OtherName_, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget* TF_Guidelines::buildCase(QWidget* parent) {
    QGroupBox* box = group("Case", QStringLiteral("Maintenance and children"), parent);
    platform::DataSource* source = &guidelines_.dataSource();
    auto* grid = new QGridLayout(box);
    int row = 0;
    grid->addWidget(label(QStringLiteral("Maintenance:"), box), row, 0);
    auto* kind = choices(
        "Maintenance", "maint", source,
        {QStringLiteral("None"), QStringLiteral("Temporary"), QStringLiteral("Post-divorce")},
        {QStringLiteral("N"), QStringLiteral("T"), QStringLiteral("P")}, box);
    watch(kind);
    grid->addWidget(kind, row++, 1, 1, 3);

    grid->addWidget(label(QStringLiteral("Number of children:"), box), row, 0);
    auto* children = bound(new platform::DbEdit(box), "Children", source, "children");
    children->setFixedWidth(50);
    children->setAlignment(Qt::AlignRight);
    watch(children);
    grid->addWidget(children, row++, 1, Qt::AlignLeft);

    grid->addWidget(label(QStringLiteral("Custodial parent:"), box), row, 0);
    auto* custodial = choices("Custodial", "custodial", source,
                              {QStringLiteral("The deponent"), QStringLiteral("The other party")},
                              {QStringLiteral("D"), QStringLiteral("O")}, box);
    watch(custodial);
    grid->addWidget(custodial, row++, 1, 1, 3);

    grid->addWidget(label(QStringLiteral("As of (parameters in force):"), box), row, 0);
    grid->addWidget(dateEdit("AsOf", "asof", box), row, 1);
    auto* commencement = new QPushButton(QStringLiteral("Date of &commencement"), box);
    commencement->setObjectName(QStringLiteral("AsOfCommencement"));
    commencement->setAutoDefault(false);
    connect(commencement, &QPushButton::clicked, this, &TF_Guidelines::AsOfCommencementClick);
    grid->addWidget(commencement, row, 2);
    AsOfToday_ = label(QString(), box, "AsOfToday");
    grid->addWidget(AsOfToday_, row++, 3);

    grid->addWidget(label(QStringLiteral("Date of marriage:"), box), row, 0);
    grid->addWidget(dateEdit("Married", "married", box), row, 1);
    MarriedSource_ = label(QString(), box, "MarriedSource");
    grid->addWidget(MarriedSource_, row++, 2, 1, 2);
    grid->addWidget(label(QStringLiteral("Date of commencement:"), box), row, 0);
    grid->addWidget(dateEdit("Commenced", "commenced", box), row, 1);
    CommencedSource_ = label(QString(), box, "CommencedSource");
    grid->addWidget(CommencedSource_, row++, 2, 1, 2);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* TF_Guidelines::buildIncome(QWidget* parent) {
    QGroupBox* box = group(
        "Income", QStringLiteral("Income and deductions, annual (DRL § 240(1-b)(b)(5))"), parent);
    auto* grid = new QGridLayout(box);
    int row = 0;
    grid->addWidget(label(QStringLiteral("Gross Income"), box), row, 1, Qt::AlignRight);
    grid->addWidget(label(QStringLiteral("Deponent"), box), row, 2, Qt::AlignHCenter);
    grid->addWidget(label(QStringLiteral("Other party"), box), row++, 3, Qt::AlignHCenter);
    bool deductions = false;
    for (const GuidelineIncomeLine& line : guidelineIncomeLines()) {
        if (line.deduction && !deductions) {
            deductions = true;
            QLabel* less = label(QStringLiteral("Less:"), box);
            QFont italic = less->font();
            italic.setItalic(true);
            less->setFont(italic);
            grid->addWidget(less, row++, 0);
        }
        const QByteArray deponent = QByteArray("d") + line.key;
        const QByteArray other = QByteArray("o") + line.key;
        QLabel* caption = label(QLatin1String(line.caption), box);
        caption->setWordWrap(true);
        grid->addWidget(caption, row, 0);
        QLabel* gross = sourceLabel(("Gross_" + QByteArray(line.key)).constData(), box);
        grossIncome_ << gross;
        grid->addWidget(gross, row, 1);
        platform::DbEdit* mine = amountEdit(deponent.constData(), deponent.constData(), box);
        deponentLines_ << mine;
        caption->setBuddy(mine);
        grid->addWidget(mine, row, 2);
        grid->addWidget(amountEdit(other.constData(), other.constData(), box), row++, 3);
    }
    QLabel* notCounted = label(QStringLiteral("Not counted (Gross Income):"), box);
    QFont italic = notCounted->font();
    italic.setItalic(true);
    notCounted->setFont(italic);
    grid->addWidget(notCounted, row++, 0);
    for (const NotCountedIncome& item : notCountedIncome()) {
        grid->addWidget(label(QLatin1String(item.caption), box), row, 0);
        QLabel* gross =
            sourceLabel(("NotCounted_" + QByteArray(item.incomeField)).constData(), box);
        notCounted_ << gross;
        grid->addWidget(gross, row++, 1);
    }
    QLabel* hint = label(QStringLiteral("A deponent's box left blank takes the Gross Income "
                                        "figure; a figure typed there is used instead."),
                         box);
    hint->setWordWrap(true);
    grid->addWidget(hint, row, 0, 1, 4);
    grid->setColumnStretch(0, 1);
    return box;
}

QWidget* TF_Guidelines::buildAddOns(QWidget* parent) {
    QGroupBox* box =
        group("AddOns", QStringLiteral("Add-ons, annual costs shared pro rata"), parent);
    auto* grid = new QGridLayout(box);
    struct AddOn {
        const char* field;
        const char* caption;
    };
    constexpr AddOn kAddOns[] = {
        {"childcare", "Child care"},
        {"healthins", "Health insurance"},
        {"medical", "Unreimbursed medical expenses"},
        {"education", "Education"},
    };
    int row = 0;
    for (const AddOn& addOn : kAddOns) {
        grid->addWidget(label(QLatin1String(addOn.caption), box), row, 0);
        grid->addWidget(amountEdit(addOn.field, addOn.field, box), row++, 1);
    }
    grid->setColumnStretch(0, 1);
    return box;
}

QWidget* TF_Guidelines::buildCaps(QWidget* parent) {
    QGroupBox* box = group("Caps", QStringLiteral("Caps and income above the cap"), parent);
    platform::DataSource* source = &guidelines_.dataSource();
    auto* grid = new QGridLayout(box);
    const QStringList capChoices = {QStringLiteral("The cap in force"),
                                    QStringLiteral("Another cap:"), QStringLiteral("No cap")};
    const QStringList capValues = {QStringLiteral("F"), QStringLiteral("A"), QStringLiteral("N")};
    int row = 0;
    grid->addWidget(label(QStringLiteral("Child support cap:"), box), row, 0);
    auto* cssa = choices("CssaCapKind", "cssacapk", source, capChoices, capValues, box);
    watch(cssa);
    grid->addWidget(cssa, row, 1);
    grid->addWidget(amountEdit("CssaCap", "cssacap", box), row++, 2);
    grid->addWidget(label(QStringLiteral("Maintenance cap:"), box), row, 0);
    auto* maint = choices("MaintCapKind", "maintcapk", source, capChoices, capValues, box);
    watch(maint);
    grid->addWidget(maint, row, 1);
    grid->addWidget(amountEdit("MaintCap", "maintcap", box), row++, 2);
    grid->addWidget(label(QStringLiteral("Combined income above the child support cap:"), box),
                    row++, 0, 1, 3);
    auto* above = bound(new platform::DbRadioGroup(box), "AboveCap", source, "abovecap");
    above->setFlat(true);
    above->setItems({QStringLiteral("Not counted"), QStringLiteral("The percentage on all of it"),
                     QStringLiteral("The percentage up to a combined income of:")},
                    {QStringLiteral("N"), QStringLiteral("P"), QStringLiteral("U")});
    watch(above);
    grid->addWidget(above, row, 0, 1, 2);
    grid->addWidget(amountEdit("AboveCapUpTo", "abovecapup", box), row++, 2, Qt::AlignBottom);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TF_Guidelines::buildResults(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("ResultsPanel"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 0, 0, 0);
    ParameterSet_ = label(QString(), panel, "ParameterSet");
    ParameterSet_->setWordWrap(true);
    column->addWidget(ParameterSet_);
    Problem_ = label(QString(), panel, "Problem");
    Problem_->setWordWrap(true);
    QPalette palette = Problem_->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x10, 0x10));
    Problem_->setPalette(palette);
    QFont bold = Problem_->font();
    bold.setBold(true);
    Problem_->setFont(bold);
    column->addWidget(Problem_);
    Results_ = new QTableWidget(0, 3, panel);
    Results_->setObjectName(QStringLiteral("Results"));
    Results_->setHorizontalHeaderLabels(
        {QStringLiteral("Step"), QStringLiteral("Amount"), QStringLiteral("Statutory basis")});
    Results_->verticalHeader()->hide();
    Results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Results_->setShowGrid(false);
    Results_->setWordWrap(true);
    Results_->setTextElideMode(Qt::ElideNone);
    Results_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Results_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    Results_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Interactive);
    Results_->setColumnWidth(1, 120);
    Results_->setColumnWidth(2, 160);
    // Long steps wrap: the rows take the height their text needs at the columns' widths.
    connect(Results_->horizontalHeader(), &QHeaderView::sectionResized, Results_,
            [table = Results_] { table->resizeRowsToContents(); });
    column->addWidget(Results_, 1);
    Notes_ = label(QString(), panel, "Notes");
    Notes_->setWordWrap(true);
    Notes_->setTextFormat(Qt::PlainText);
    column->addWidget(Notes_);
    return panel;
}

}  // namespace schedules
