// The Summary form as data: the transfers of "Axfered.dbf" and two group boxes over the one
// "Support.dbf" record of the matter, which has no navigator.

#include "schedules/group_box_schedule.h"

namespace schedules {

namespace {

constexpr LabelPlace Above = LabelPlace::Above;

constexpr ControlDef kTransfers[] = {
    {"desc", "Description of property", 1, Above},
    {"xferto", "To whom transferred and relationship to transferee", 2, Above, true},
    {"xdate", "Date of transfer", 3, Above, true, "DbEdit1"},
    {"value", "Value", 4, Above, true},
};

constexpr ControlDef kFees[] = {
    {"feememo",
     "Please state the amount you have paid to all laywers and experts retained in connection "
     "with your marital dissolution, including name of professional,\n"
     "amounts and dates paid, and source of funds. Attach retainer agreement for your present "
     "attorney.",
     2, Above},
    {"otherdata",
     "Other data concerning the financial circumstances of the parties that should be brought "
     "to the attention of the court are:",
     1, Above},
};

constexpr ControlDef kSignatures[] = {
    {"swornbme", "Print following name below affiant\u2019s signature", 1},
    {"attorney",
     "Attorney Name (Signature Rule 130-1.1-a):\n"
     "Print following name below Certification signature",
     2},
};

const GroupBoxDef kGroups[] = {
    {"GroupBox1", "T_Axfered", "Assets Transferred",
     "List all assets transferred in any manner during the preceding three years, or length of "
     "the marriage, whichever is shorter [transfers in the routine course of business which "
     "resulted in an exchange of assets of substantially equivalent value need not be "
     "specifically disclosed where such assets are otherwise identified in the statement of net "
     "worth.] ",
     kTransfers, NavigatorPlace::BottomRight, false, 1},
    {"GroupBox2", "T_Support", "Legal & Expert Fees", nullptr, kFees, NavigatorPlace::None, false,
     2},
    {"GroupBox3", "T_Support", "Signatures", nullptr, kSignatures, NavigatorPlace::None, false, 3},
};

const FormItemDef kItems[] = {
    {nullptr, &kGroups[0]},
    {nullptr, &kGroups[1]},
    {nullptr, &kGroups[2]},
};

const FormDef kForm{746, 604, kItems, nullptr};

}  // namespace

const FormDef& summaryFormDef() { return kForm; }

}  // namespace schedules
