// The General Information form's components, texts and layout.

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "matter/general_form.h"
#include "platform/colors.h"
#include "platform/data_source.h"
#include "platform/db_check_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/icons.h"

namespace matter {

namespace {

// Labels are named Label1, Label2, ... in the order the form is laid out.
QLabel* addLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    const int number = parent->window()->findChildren<QLabel*>().size();
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    return label;
}

QFont withBold(QFont font, qreal scale = 1.0) {
    font.setBold(true);
    if (scale != 1.0) font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

}  // namespace

const QStringList& TF_General::stateNames() {
    // "Ohio " keeps its blank and "South Dekota" its spelling: stored records hold these texts.
    static const QStringList names = {"Alabama",        "Alaska",         "Arizona",
                                      "Arkansas",       "California",     "Colorado",
                                      "Connecticut",    "Delaware",       "District of Columbia",
                                      "Florida",        "Georgia",        "Hawaii",
                                      "Illinois",       "Indiana",        "Iowa",
                                      "Kansas",         "Kentucky",       "Louisiana",
                                      "Maine",          "Maryland",       "Massachusetts",
                                      "Michigan",       "Minnesota",      "Missouri",
                                      "Montana",        "Nebraska",       "Nevada",
                                      "New Hampshire",  "New Jersey",     "New Mexico",
                                      "New York",       "North Carolina", "North Dakota",
                                      "Ohio ",          "Oklahoma",       "Oregon",
                                      "Pennsylvania",   "Puerto Rico",    "Rhode Island",
                                      "South Carolina", "South Dekota",   "Tennessee",
                                      "Texas",          "Utah",           "Vermont",
                                      "Virginia",       "Virgin Islands", "Washington",
                                      "West Virginia",  "Wisconsin",      "Wyoming"};
    return names;
}

void TF_General::buildForm() {
    using platform::DbCheckBox;
    using platform::DbEdit;
    using platform::DbMemo;

    auto edit = [this](const char* name, const char* field, int width) {
        auto* box = new DbEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setDataSource(source_);
        box->setDataField(QString::fromLatin1(field));
        if (width > 0) box->setFixedWidth(width);
        return box;
    };
    auto memo = [this](const char* name, const char* field) {
        auto* box = new DbMemo(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setDataSource(source_);
        box->setDataField(QString::fromLatin1(field));
        box->setTabChangesFocus(true);
        return box;
    };
    auto checkBox = [this](const char* name, const char* text, const char* field) {
        auto* box = new DbCheckBox(QString::fromLatin1(text), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setDataSource(source_);
        box->setDataField(QString::fromLatin1(field));
        box->setValueChecked(QStringLiteral("X"));
        box->setValueUnchecked(QStringLiteral(" "));
        return box;
    };

    // A label that names its box (in questions and messages about its field, too).
    auto captionOf = [this](QWidget* box, const char* text) {
        QLabel* label = addLabel(box->parentWidget() ? box->parentWidget() : this, text);
        label->setBuddy(box);
        return label;
    };

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 8, 10, 4);
    root->setSpacing(6);

    // 1. Header band.
    auto* header = new QHBoxLayout;
    QLabel* logo = addLabel(this, QString());
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(platform::logoPixmap(128));
    header->addWidget(logo);
    auto* formId = new QVBoxLayout;
    formId->setSpacing(2);
    formId->addStretch(1);
    formId->addWidget(
        addLabel(this, "388 - Affidavit of net worth, income and assets transferred;"));
    formId->addWidget(addLabel(this, "matrimonial: UCS Rev. 6/2016 eff. 8/12/2016"));
    formId->addStretch(1);
    header->addLayout(formId);
    header->addStretch(1);
    auto* publisher = new QVBoxLayout;
    publisher->setSpacing(2);
    publisher->addStretch(1);
    QLabel* company = addLabel(this, "Quillmark, Inc.");
    company->setFont(withBold(company->font()));
    company->setAlignment(Qt::AlignRight);
    publisher->addWidget(company);
    QLabel* address = addLabel(this, "1420 Western Avenue, Albany, New York 12203");
    address->setAlignment(Qt::AlignRight);
    publisher->addWidget(address);
    publisher->addStretch(1);
    header->addLayout(publisher);
    root->addLayout(header);

    // 2. Title strip.
    QLabel* title = addLabel(this, "Statement of Net Worth ");
    title->setFont(withBold(title->font(), 1.5));
    title->setAlignment(Qt::AlignCenter);
    root->addWidget(title);

    // 3. Matter, date of commencement, index number.
    auto* first = new QHBoxLayout;
    first->addWidget(addLabel(this, "Matter:"));
    matter_ = edit("matter", "matter", 0);
    matter_->setFont(withBold(matter_->font()));
    matter_->setFrame(false);
    matter_->setEnabled(false);
    matter_->setFocusPolicy(Qt::NoFocus);
    first->addWidget(matter_, 1);
    first->addSpacing(8);
    DbEdit2_ = edit("DbEdit2", "adate_c", 84);
    first->addWidget(captionOf(DbEdit2_, "Date of Commencement of action:"));
    first->addWidget(DbEdit2_);
    first->addSpacing(8);
    DbEdit3_ = edit("DbEdit3", "indexnum", 120);
    first->addWidget(captionOf(DbEdit3_, "Index No.:"));
    first->addWidget(DbEdit3_);
    root->addLayout(first);
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    root->addWidget(rule);

    // 4. The caption block, and 5. the custom caption lying over it.
    auto* captionArea = new QGridLayout;
    auto* block = new QWidget(this);
    block->setObjectName(QStringLiteral("CaptionBlock"));
    auto* rows = new QVBoxLayout(block);
    rows->setContentsMargins(0, 0, 0, 0);
    DbEdit4_ = edit("DbEdit4", "court", 0);
    DbEdit5_ = edit("DbEdit5", "court2", 0);
    DbEdit6_ = edit("DbEdit6", "county", 0);
    DbMemo1_ = memo("DbMemo1", "plainfiff");
    DbMemo2_ = memo("DbMemo2", "defendant");
    auto* courtRow = new QHBoxLayout;
    QLabel* court = addLabel(block, "COURT");
    court->setFont(withBold(court->font()));
    courtRow->addWidget(DbEdit4_, 1);
    courtRow->addWidget(court);
    courtRow->addWidget(DbEdit5_, 1);
    rows->addLayout(courtRow);
    auto* countyRow = new QHBoxLayout;
    countyRow->addWidget(captionOf(DbEdit6_, "COUNTY OF"));
    countyRow->addWidget(DbEdit6_, 1);
    rows->addLayout(countyRow);
    auto* partiesRow = new QHBoxLayout;
    partiesRow->addWidget(captionOf(DbMemo1_, "Plaintiff:"), 0, Qt::AlignTop);
    partiesRow->addWidget(DbMemo1_, 1);
    partiesRow->addSpacing(8);
    partiesRow->addWidget(captionOf(DbMemo2_, "Defendant:"), 0, Qt::AlignTop);
    partiesRow->addWidget(DbMemo2_, 1);
    rows->addLayout(partiesRow);
    for (DbMemo* party : {DbMemo1_, DbMemo2_}) party->setFixedHeight(76);
    captionArea->addWidget(block, 0, 0);
    CusCap_ = memo("CusCap", "bypass");
    CusCap_->setToolTip(QStringLiteral("Custom caption"));
    captionArea->addWidget(CusCap_, 0, 0);
    CusCap_->raise();
    CusCap_->hide();
    root->addLayout(captionArea);

    // 6. The caption button and its note.
    auto* paste = new QHBoxLayout;
    BitBtn1_ = new QPushButton(platform::icon(platform::Icon::PasteCaption), QString(), this);
    BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1_->setIconSize(QSize(24, 24));
    BitBtn1_->setFixedSize(36, 32);
    paste->addWidget(BitBtn1_);
    QLabel* note = addLabel(this,
                            "Press to copy and paste caption information from your word processor "
                            "(this will replace all of the above information).");
    note->setFont(withBold(note->font()));
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    note->setPalette(red);
    note->setWordWrap(true);
    paste->addWidget(note, 1);
    root->addLayout(paste);

    // 7. The oath block.
    auto* venue = new QHBoxLayout;
    QLabel* stateOf = addLabel(this, "State of:");
    venue->addWidget(stateOf);
    ComboBox1_ = new QComboBox(this);
    stateOf->setBuddy(ComboBox1_);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setEditable(true);
    ComboBox1_->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1_->addItems(stateNames());
    ComboBox1_->setCurrentIndex(-1);  // a filled list would otherwise show its first state
    ComboBox1_->setMaxVisibleItems(16);
    ComboBox1_->lineEdit()->setMaxLength(50);  // the width of `state`
    ComboBox1_->setFixedWidth(180);
    venue->addWidget(ComboBox1_);
    venue->addSpacing(12);
    DbEdit8_ = edit("DbEdit8", "county2", 0);
    venue->addWidget(captionOf(DbEdit8_, "County of:"));
    venue->addWidget(DbEdit8_, 1);
    root->addLayout(venue);

    auto* deponent = new QHBoxLayout;
    DbEdit9_ = edit("DbEdit9", "xname", 0);
    deponent->addWidget(DbEdit9_, 1);
    deponent->addWidget(addLabel(this, "the"));
    DbCheckBox3_ = checkBox("DbCheckBox3", "Plaintiff", "xplaintiff");
    DbCheckBox4_ = checkBox("DbCheckBox4", "Defendant", "xdefendant");
    deponent->addWidget(DbCheckBox3_);
    deponent->addWidget(DbCheckBox4_);
    root->addLayout(deponent);

    auto* asOf = new QHBoxLayout;
    asOf->addWidget(addLabel(this,
                             "herein, being duly sworn, deposes and says that the following is an "
                             "accurate statement as of"));
    DbEdit1_ = edit("DbEdit1", "asofdate_c", 84);
    asOf->addWidget(DbEdit1_);
    asOf->addStretch(1);
    root->addLayout(asOf);
    QLabel* netWorth = addLabel(
        this,
        "of my net worth (assets of whatsoever kind and nature and wherever situated minus "
        "liabilities), statements of income from all sources and statements of assets "
        "transferred of whatsoever kind and nature and wherever situated and statement of "
        "expenses:");
    netWorth->setWordWrap(true);
    root->addWidget(netWorth);
    root->addStretch(1);

    // 8. The status line.
    statusLine_ =
        addLabel(this, "   * Use FORMS menu or shortcut buttons to call other entry screens");
    statusLine_->setObjectName(QStringLiteral("StatusBar1"));
    statusLine_->setAutoFillBackground(true);
    QPalette cream = statusLine_->palette();
    cream.setColor(QPalette::Window, platform::creamColor());
    statusLine_->setPalette(cream);
    statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusLine_->setContentsMargins(2, 2, 2, 2);
    root->addSpacing(4);
    root->addWidget(statusLine_);

    entryChecked_ = {DbEdit3_, DbEdit4_, DbEdit5_,   DbEdit6_, DbMemo1_,
                     DbMemo2_, CusCap_,  ComboBox1_, DbEdit8_, DbEdit9_};
    setTabOrder();
}

void TF_General::setTabOrder() {
    const QList<QWidget*> order = {DbEdit3_,     DbEdit4_,   DbEdit5_, DbEdit6_, DbMemo1_,
                                   DbMemo2_,     ComboBox1_, DbEdit8_, DbEdit9_, DbCheckBox3_,
                                   DbCheckBox4_, CusCap_,    BitBtn1_, DbEdit1_, DbEdit2_};
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace matter
