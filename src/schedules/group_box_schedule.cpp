#include "schedules/group_box_schedule.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/colors.h"
#include "platform/data_source.h"
#include "platform/db_combo_box.h"
#include "platform/db_edit.h"
#include "platform/db_memo.h"
#include "platform/db_navigator.h"
#include "schedules/schedule_table.h"

namespace schedules {

namespace {

// Width of the caption column of labels that stand beside their box.
constexpr int kLabelWidth = 230;
constexpr int kMemoHeight = 46;
// The grid of a group box has this many columns; a row's controls share them equally.
constexpr int kGridColumns = 8;

const catalog::FieldDef* fieldOf(const catalog::TableDef& table, const char* name) {
    for (const catalog::FieldDef& field : table.fields) {
        if (QLatin1String(field.name) == QLatin1String(name)) return &field;
    }
    return nullptr;
}

void paint(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

GroupBoxScheduleForm::GroupBoxScheduleForm(const ScheduleFormEntry& entry,
                                           const FormDef& definition,
                                           const ScheduleContext& context, QWidget* owner)
    : ScheduleFrame(entry, context, owner), definition_(definition) {
    resize(definition.width, definition.height);
    build();
}

GroupBoxScheduleForm::~GroupBoxScheduleForm() {
    // The controls go before their data sources and tables.
    delete scrollBox_;
    scrollBox_ = nullptr;
}

QWidget* GroupBoxScheduleForm::control(const char* component, const char* field) const {
    const BuiltControl* control = built(component, field);
    return control ? control->widget : nullptr;
}

void GroupBoxScheduleForm::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName(QStringLiteral("ScrollBox1"));
    scrollBox_->setWidgetResizable(true);
    scrollBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollBox_->setFrameShape(QFrame::NoFrame);
    auto* column = new QWidget;
    paint(column, platform::skyBlueColor());
    auto* items = new QVBoxLayout(column);
    items->setContentsMargins(4, 4, 4, 4);
    items->setSpacing(6);
    int strips = 0;
    for (const FormItemDef& item : definition_.items) {
        if (item.strip) {
            QLabel* strip = boldLabel(QLatin1String(item.strip), column);
            strip->setObjectName(QStringLiteral("Strip%1").arg(++strips));
            strip->setContentsMargins(6, 2, 6, 2);
            strip->setMinimumHeight(22);
            paint(strip, platform::creamColor());
            strip->setFrameShape(QFrame::Panel);
            strip->setFrameShadow(QFrame::Raised);
            items->addWidget(strip);
        } else {
            items->addWidget(buildGroupBox(*item.group));
        }
    }
    otherMarks_ = unplacedMarks(
        QStringLiteral("Other categories of the statement"),
        QStringLiteral("The statement also lists these categories, whose entries this form does "
                       "not keep. Mark each one NONE, INAPPLICABLE or UNKNOWN as it applies."),
        column);
    if (otherMarks_) items->addWidget(otherMarks_);
    items->addStretch(1);
    scrollBox_->setWidget(column);
    layout->addWidget(scrollBox_, 1);

    auto* bottom = new QFrame(this);
    bottom->setObjectName(QStringLiteral("Panel1"));
    bottom->setFrameShape(QFrame::Panel);
    bottom->setFrameShadow(QFrame::Raised);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(6, 6, 12, 6);
    if (definition_.bottomText) {
        QLabel* text = boldLabel(QString::fromUtf8(definition_.bottomText), bottom);
        text->setObjectName(QStringLiteral("BottomText"));
        bottomLayout->addWidget(text, 1);
    } else {
        bottomLayout->addStretch(1);
    }
    closeButton_ = new QPushButton(QStringLiteral("&Close"), bottom);
    closeButton_->setObjectName(QStringLiteral("CloseButton"));
    closeButton_->setAutoDefault(false);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    bottomLayout->addWidget(closeButton_);
    layout->addWidget(bottom);

    setTabOrder();
}

QWidget* GroupBoxScheduleForm::buildGroupBox(const GroupBoxDef& group) {
    ScheduleTable* table = scheduleTable(group.component);
    // The form's data names tables and fields of the catalog; a mismatch is a fault of the data,
    // found by the first opening of the form.
    if (!table)
        qFatal("%s of %s: the form has no table %s", group.objectName,
               objectName().toLatin1().constData(), group.component);
    const catalog::TableDef& tableDef = table->definition();
    platform::DataSource* source = &table->dataSource();

    auto* box = new QGroupBox;
    box->setObjectName(QLatin1String(group.objectName));
    // The caption is a word-wrapping label inside the box: several captions are longer than a
    // group box title can show.
    box->setTitle(QString());
    box->setAccessibleName(QString::fromUtf8(group.caption));
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(8, 6, 8, 8);
    outer->setSpacing(4);

    platform::DbNavigator* navigator = nullptr;
    if (group.navigator != NavigatorPlace::None) {
        navigator = new platform::DbNavigator(box);
        navigator->setObjectName(QStringLiteral("Navigator_") + QLatin1String(group.component));
        navigator->setDataSource(source);
        for (QToolButton* button : navigator->findChildren<QToolButton*>()) {
            button->setFocusPolicy(Qt::TabFocus);
        }
    }

    auto* top = new QHBoxLayout;
    QLabel* caption = boldLabel(QString::fromUtf8(group.caption), box);
    caption->setObjectName(QLatin1String(group.objectName) + QStringLiteral("Caption"));
    caption->setWordWrap(true);
    top->addWidget(caption, 1);
    QWidget* groupMark = nullptr;
    if (const catalog::StatementItem* item = markItem(group.component)) {
        groupMark = markChoice(*item, box);
        top->addWidget(groupMark, 0, Qt::AlignTop | Qt::AlignRight);
    }
    if (navigator && group.navigator == NavigatorPlace::TopRight) {
        top->addWidget(navigator, 0, Qt::AlignTop | Qt::AlignRight);
    }
    outer->addLayout(top);

    if (group.instruction) {
        auto* instruction = new QLabel(QString::fromUtf8(group.instruction), box);
        instruction->setObjectName(QLatin1String(group.objectName) + QStringLiteral("Text"));
        instruction->setWordWrap(true);
        outer->addWidget(instruction);
    }

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    // Rows: each run of controls joined by sameRow.
    const std::span<const ControlDef> controls = group.controls;
    int row = 0;
    for (size_t first = 0; first < controls.size(); ++row) {
        size_t last = first + 1;
        while (last < controls.size() && controls[last].sameRow) ++last;
        const int count = static_cast<int>(last - first);
        const int span = kGridColumns / count;
        for (int i = 0; i < count; ++i) {
            const ControlDef& def = controls[first + i];
            const catalog::FieldDef* field = fieldOf(tableDef, def.field);
            if (!field)
                qFatal("%s: table %s has no field %s", group.objectName, group.component,
                       def.field);
            QWidget* widget = nullptr;
            if (field->type == 'M') {
                auto* memo = new platform::DbMemo(box);
                memo->setDataSource(source);
                memo->setDataField(QLatin1String(def.field));
                memo->setFixedHeight(kMemoHeight);
                memo->setTabChangesFocus(true);
                widget = memo;
            } else {
                auto* edit = new platform::DbEdit(box);
                edit->setDataSource(source);
                edit->setDataField(QLatin1String(def.field));
                if (field->type == 'N') {
                    edit->setAlignment(Qt::AlignRight);
                    edit->setMaximumWidth(130);
                } else if (field->width <= 12) {
                    edit->setMaximumWidth(100);
                }
                widget = edit;
            }
            widget->setObjectName(def.objectName ? QLatin1String(def.objectName)
                                                 : QLatin1String(group.component) + '_' +
                                                       QLatin1String(def.field));
            auto* label = new QLabel(QString::fromUtf8(def.caption), box);
            label->setObjectName(widget->objectName() + QStringLiteral("Label"));
            label->setWordWrap(true);
            label->setBuddy(widget);
            const int column = i * span;
            // A field that answers an item of its own has the item's mark beside its caption.
            const catalog::StatementItem* item =
                def.label == LabelPlace::Above ? markItem(group.component, def.field) : nullptr;
            QWidget* mark = item ? markChoice(*item, box) : nullptr;
            if (def.label == LabelPlace::Above) {
                auto* cell = new QVBoxLayout;
                cell->setSpacing(1);
                if (mark) {
                    auto* captionRow = new QHBoxLayout;
                    captionRow->addWidget(label, 1);
                    captionRow->addWidget(mark, 0, Qt::AlignBottom);
                    cell->addLayout(captionRow);
                } else {
                    cell->addWidget(label);
                }
                cell->addWidget(widget);
                grid->addLayout(cell, row, column, 1, span, Qt::AlignTop);
            } else {
                label->setMinimumWidth(count == 1 ? kLabelWidth : 0);
                label->setMaximumWidth(kLabelWidth);
                grid->addWidget(label, row, column);
                grid->addWidget(
                    widget, row, column + 1, 1, span - 1,
                    widget->maximumWidth() < QWIDGETSIZE_MAX ? Qt::AlignLeft : Qt::Alignment());
            }
            controls_.push_back({group.component, def.field, widget, mark});
        }
        first = last;
    }
    for (int c = 0; c < kGridColumns; ++c) grid->setColumnStretch(c, 1);
    outer->addLayout(grid);

    if (navigator && group.navigator == NavigatorPlace::BottomRight) {
        outer->addWidget(navigator, 0, Qt::AlignRight);
    }

    if (tableDef.keyField && group.navigator != NavigatorPlace::None) {
        for (const ControlDef& def : controls) {
            if (QLatin1String(def.field) != QLatin1String(tableDef.keyField)) continue;
            table->setKeyCaption(QString::fromUtf8(def.caption));
            table->setCategory(QString::fromUtf8(group.caption));
            table->focusKeyField = [this, table, field = def.field] {
                focusControl(control(table->definition().component, field));
            };
        }
    }
    groups_.push_back({&group, box, groupMark});
    return box;
}

const GroupBoxScheduleForm::BuiltControl* GroupBoxScheduleForm::built(const char* component,
                                                                      const char* field) const {
    for (const BuiltControl& control : controls_) {
        if (QLatin1String(control.component) == QLatin1String(component) &&
            QLatin1String(control.field) == QLatin1String(field)) {
            return &control;
        }
    }
    return nullptr;
}

// Within a group box: its controls in their order, each followed by the mark beside its caption,
// and its navigator (before or after them); then the box's own mark. The marks of the other
// categories come last, before the Close button.
void GroupBoxScheduleForm::setTabOrder() {
    std::vector<BuiltGroup> ordered = groups_;
    std::stable_sort(ordered.begin(), ordered.end(), [](const BuiltGroup& a, const BuiltGroup& b) {
        return a.group->tabOrder < b.group->tabOrder;
    });
    std::vector<QWidget*> chain;
    for (const auto& [group, box, groupMark] : ordered) {
        std::vector<const ControlDef*> controls;
        for (const ControlDef& def : group->controls) controls.push_back(&def);
        std::stable_sort(controls.begin(), controls.end(),
                         [](const ControlDef* a, const ControlDef* b) { return a->tab < b->tab; });
        std::vector<QWidget*> buttons;
        if (auto* navigator = box->findChild<platform::DbNavigator*>()) {
            for (const char* name : {"PriorButton", "NextButton", "InsertButton", "DeleteButton"}) {
                buttons.push_back(navigator->findChild<QToolButton*>(QLatin1String(name)));
            }
        }
        if (group->navigatorFirst) chain.insert(chain.end(), buttons.begin(), buttons.end());
        for (const ControlDef* def : controls) {
            const BuiltControl* control = built(group->component, def->field);
            chain.push_back(control->widget);
            if (control->mark) chain.push_back(control->mark);
        }
        if (!group->navigatorFirst) chain.insert(chain.end(), buttons.begin(), buttons.end());
        if (groupMark) chain.push_back(groupMark);
    }
    if (otherMarks_) {
        for (QWidget* choice : otherMarks_->findChildren<platform::DbComboBox*>())
            chain.push_back(choice);
    }
    chain.push_back(closeButton_);
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void GroupBoxScheduleForm::focusControl(QWidget* widget) {
    if (!widget) return;
    scrollBox_->ensureWidgetVisible(widget);
    widget->setFocus(Qt::OtherFocusReason);
}

void GroupBoxScheduleForm::open() {
    for (const auto& table : tables()) {
        const bool first =
            definition_.openOnFirst &&
            QLatin1String(definition_.openOnFirst) == QLatin1String(table->definition().component);
        table->open(first);
    }
}

void GroupBoxScheduleForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    scrollBox_->verticalScrollBar()->setValue(0);
    const QString matter = context().currentMatter ? context().currentMatter() : QString();
    setWindowTitle(QLatin1String(entry().caption) + QStringLiteral(" - ") + matter);
}

}  // namespace schedules
