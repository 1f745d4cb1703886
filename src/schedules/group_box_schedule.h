#pragma once

// A schedule form made of group boxes: a scrolling column of group boxes (and cream strips),
// each showing one record of one table through its field controls and record navigator, above
// a bottom panel with a Close button. The Assets, Liabilities and Summary forms are data for it.
// A box whose table answers an item of the statement has the item's mark in its title row, a
// memo that answers one has it beside its caption, and the form's items without a box of their
// own get a last box of marks ("Other categories of the statement").

#include <QString>
#include <memory>
#include <span>
#include <vector>

#include "schedules/schedule_forms.h"
#include "schedules/schedule_frame.h"

class QScrollArea;
class QPushButton;

namespace platform {
class DataSource;
}

namespace schedules {

class ScheduleTable;

// Where a control's caption stands: at its left, or above it.
enum class LabelPlace { Beside, Above };

// One field control of a group box. Memo fields (type M in the catalog) get a memo box, the
// others an edit box. Controls stand one per row in the order listed; `sameRow` puts a control
// to the right of the one before it, sharing the row's width.
struct ControlDef {
    const char* field;
    const char* caption;  // may hold a line break
    int tab;              // place in the group box's tab order, 1 first
    LabelPlace label = LabelPlace::Beside;
    bool sameRow = false;
    const char* objectName = nullptr;  // default: "<component>_<field>"
};

enum class NavigatorPlace { None, TopRight, BottomRight };

struct GroupBoxDef {
    const char* objectName;  // "GroupBox1" ...
    const char* component;   // the table it shows
    const char* caption;
    const char* instruction;  // a word-wrapped text over the controls, or nullptr
    std::span<const ControlDef> controls;
    NavigatorPlace navigator = NavigatorPlace::TopRight;
    bool navigatorFirst = false;  // the navigator comes before the controls in the tab order
    int tabOrder = 0;             // place of the whole box in the form's tab order
};

// One item of the scrolling column, from the top: a cream strip (bold text, possibly empty) or
// a group box.
struct FormItemDef {
    const char* strip;  // non-null: a strip with this text
    const GroupBoxDef* group;
};

// A form's layout. Its name, caption and table set are its registry row's; until shown the
// window bears the caption, then caption + " - " + the current matter.
struct FormDef {
    int width;
    int height;
    std::span<const FormItemDef> items;
    const char* bottomText;  // bold text of the bottom panel, nullptr for none
    // The table that opens on the first record of the matter instead of the last, or nullptr.
    const char* openOnFirst = nullptr;
};

// The data of the three forms.
const FormDef& assetsFormDef();
const FormDef& liabilitiesFormDef();
const FormDef& summaryFormDef();

// The form. Construction builds the widgets over the frame's tables; open() opens them in the
// set's order (see ScheduleTable::open), which binds the controls. Closing is the frame's.
class GroupBoxScheduleForm : public ScheduleFrame {
    Q_OBJECT

  public:
    GroupBoxScheduleForm(const ScheduleFormEntry& entry, const FormDef& definition,
                         const ScheduleContext& context, QWidget* owner);
    ~GroupBoxScheduleForm() override;

    void open() override;

    const FormDef& definition() const { return definition_; }
    QScrollArea* scrollBox() const { return scrollBox_; }

  protected:
    void showEvent(QShowEvent* event) override;
    // The control bound to `field` of `component`, or nullptr.
    QWidget* control(const char* component, const char* field) const;

  private:
    void build();
    QWidget* buildGroupBox(const GroupBoxDef& group);
    void setTabOrder();
    void focusControl(QWidget* widget);

    struct BuiltControl {
        const char* component;
        const char* field;
        QWidget* widget;
        QWidget* mark;  // the mark beside its caption, or nullptr
    };
    struct BuiltGroup {
        const GroupBoxDef* group;
        QWidget* box;
        QWidget* mark;  // the mark in its title row, or nullptr
    };
    const BuiltControl* built(const char* component, const char* field) const;

    const FormDef& definition_;
    std::vector<BuiltControl> controls_;
    std::vector<BuiltGroup> groups_;
    QWidget* otherMarks_ = nullptr;
    QScrollArea* scrollBox_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// The Assets and Liabilities forms: their data on the group-box form.
class TF_Assets : public GroupBoxScheduleForm {
  public:
    TF_Assets(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);
};

class TF_Liabilities : public GroupBoxScheduleForm {
  public:
    TF_Liabilities(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);
};

}  // namespace schedules
