// The Assets form as data: 13 group boxes and two cream strips over the 19 asset tables.

#include "schedules/group_box_schedule.h"

namespace schedules {

namespace {

constexpr LabelPlace Above = LabelPlace::Above;

constexpr ControlDef kCash[] = {
    {"location", "Location", 1},
    {"source", "Source of funds", 2},
    {"camt", "Amount as of date of commencement", 3},
    {"amt", "Amount", 4},
};

constexpr ControlDef kCheck[] = {
    {"instituton", "Financial institution", 1},
    {"accountnum", "Account Number", 2},
    {"title", "Title holder", 3},
    {"dteopn", "Date opened", 4},
    {"source", "Source of funds", 5},
    {"cbal", "Balance at date of commencement", 6},
    {"balance", "Balance", 7},
};

constexpr ControlDef kSavings[] = {
    {"instituton", "Financial institution", 1},
    {"accountnum", "Account Number", 2},
    {"title", "Title holder", 3},
    {"dteopn", "Date opened", 4},
    {"type", "Type of account", 5},
    {"source", "Source of funds", 6},
    {"cbal", "Balance as of date of commencement", 7},
    {"balance", "Balance", 8},
};

constexpr ControlDef kRetirement[] = {
    {"desc", "Description", 1},
    {"locassets", "Location of assets", 2},
    {"title", "Title owner", 3},
    {"adate", "Date of acquisition", 4},
    {"source", "Source of funds", 5},
    {"amtunpaid", "Amount of unpaid liens", 6},
    {"origvalue", "Value as date of commencement", 7},
    {"value", "Current value", 8},
};

constexpr ControlDef kStocks[] = {
    {"desc", "Description of security", 1, Above},
    {"title", "Title owner", 2},
    {"location", "Location", 3},
    {"adate", "Date of acquisition", 4},
    {"price", "Original price or value", 5},
    {"source", "Source of funds to acquire", 6},
    {"origvalue", "Value as of date commencement", 7},
    {"value", "Current value", 8},
};

constexpr ControlDef kLoans[] = {
    {"debtor", "Debtor's name and address", 1, Above},
    {"origamt", "Original amount of loan or debt", 2},
    {"source", "Source of funds from which loan made or origin of debt", 3, Above},
    {"pdate", "Date payment's due", 4},
    {"origamtdue", "Amount due as of commencement date", 5},
    {"value", "Current amount due", 6},
};

constexpr ControlDef kBusiness[] = {
    {"business", "Business name and address", 1, Above},
    {"type", "Type of business (corporate, partnership, sole proprietorship or other", 2},
    {"capital", "Your capital contribution", 3},
    {"percentint", "Your percentage of interest", 4},
    {"adate", "Date of acquisition", 5},
    {"price", "Original purchase price or value", 6},
    {"source", "Source of funds to acquire", 7},
    {"other", "Other relevant information", 8, Above},
    {"networth", "Current net worth of business", 9},
    {"method", "Date of such valuation", 10, LabelPlace::Beside, true},
};

constexpr ControlDef kLifeIns[] = {
    {"insurer", "Insurer's name and address", 1, Above},
    {"name", "Name of insured", 2},
    {"policy", "Policy number", 3},
    {"faceamt", "Face amount of policy", 4},
    {"owner", "Policy owner", 5},
    {"adate", "Date of acquistion", 6},
    {"source", "Source of funding", 7},
    {"origvalue", "Cash surrender value as of date of commencement", 8},
    {"value", "Current cash surrender value", 9},
};

constexpr ControlDef kVehicles[] = {
    {"desc", "Description", 1, Above},           {"title", "Title owner", 2},
    {"adate", "Date of acquistion", 3},          {"price", "Original price", 4},
    {"source", "Source of funds to acquire", 5}, {"amtunpaid", "Amout of current lien unpaid", 6},
    {"value", "Current fair market value", 7},   {"origvalue", "Value as of commencement date", 8},
};

constexpr ControlDef kRealEstate[] = {
    {"desc", "Description", 1, Above},
    {"title", "Title owner", 2},
    {"adate", "Date of acquistion", 3},
    {"price", "Original price", 4},
    {"source", "Source of funds to acquire", 5},
    {"amtunpaid", "Amout of current mortgage lien unpaid", 6},
    {"value", "Estimated current market value", 7},
};

constexpr ControlDef kContingent[] = {
    {"desc", "Description", 1, Above},
    {"location", "Location", 2},
    {"title", "Title owner", 3},
    {"vdate", "Date of vesting", 4},
    {"adate", "Date of acquisition", 5},
    {"orgprice", "Original price or value", 6},
    {"source", "Source of funds to acquire", 7},
    {"method", "Method of valuation", 8},
    {"value", "Current value", 9},
};

constexpr ControlDef kJewelry[] = {
    {"desc", "Description", 1, Above},
    {"location", "Location", 2},
    {"title", "Title owner", 3},
    {"orgprice", "Original price or value", 4},
    {"source", "Source of funds to acquire", 5},
    {"unpaid", "Amount of lien unpaid", 6},
    {"origvalue", "Value as of date of commencement", 7},
    {"value", "Current value", 8},
};

constexpr ControlDef kOther2[] = {
    {"desc", "Description", 1, Above},
    {"location", "Location", 2},
    {"title", "Title owner", 3},
    {"orgprice", "Original price or value", 4},
    {"source", "Source of funds to acquire", 5},
    {"unpaid", "Amount of lien unpaid", 6},
    {"origvalue", "Value at date of commencement", 7},
    {"value", "Current value", 8},
};

constexpr NavigatorPlace kTop = NavigatorPlace::TopRight;

const GroupBoxDef kGroups[] = {
    {"GroupBox1", "t_cash", "Cash", nullptr, kCash, kTop, false, 1},
    {"GroupBox2", "t_check", "Checking accounts", nullptr, kCheck, kTop, false, 2},
    {"GroupBox3", "T_Savings", "Savings accounts", nullptr, kSavings, kTop, false, 3},
    {"GroupBox4", "t_retirement", "Retirement Accounts", nullptr, kRetirement, kTop, false, 4},
    {"GroupBox5", "T_Stocks", "Stocks, options and commodity contracts", nullptr, kStocks, kTop,
     false, 5},
    {"GroupBox6", "T_loans", "Loans to others and accounts receivable", nullptr, kLoans, kTop,
     false, 6},
    {"GroupBox7", "T_business", "Value of interest in any business", nullptr, kBusiness, kTop,
     false, 7},
    {"GroupBox8", "T_lifeins", "Cash surrender value of life insurance", nullptr, kLifeIns, kTop,
     false, 8},
    {"GroupBox9", "T_Vehicals", "Vehicles (automobile, boat, plane, truck, camper, etc.", nullptr,
     kVehicles, kTop, false, 9},
    {"GroupBox10", "T_realestate",
     "Real estate (including real property, lease holds, life estates, etc. at market value - do "
     "not deduct any mortgage)",
     nullptr, kRealEstate, kTop, false, 10},
    {"GroupBox11", "T_contingent",
     "Contingent interests (stock options, interests subject to life estates, prospective "
     "inheritances, etc.)",
     nullptr, kContingent, kTop, false, 11},
    {"GroupBox12", "T_jewelry",
     "Jewelry, art antiques, precious objects, gold and precious metals (only if valued at more "
     "than $500)",
     nullptr, kJewelry, kTop, false, 12},
    {"GroupBox13", "T_other2",
     "Other (e.g. tax shelter investments, collections, judgements, causes of action, patents, "
     "trademarks, copyrights, any asset not shown)",
     nullptr, kOther2, kTop, false, 13},
};

const FormItemDef kItems[] = {
    {"Cash Accounts", nullptr},
    {nullptr, &kGroups[0]},
    {nullptr, &kGroups[1]},
    {nullptr, &kGroups[2]},
    {nullptr, &kGroups[3]},
    {nullptr, &kGroups[4]},
    {"", nullptr},
    {nullptr, &kGroups[5]},
    {nullptr, &kGroups[6]},
    {nullptr, &kGroups[7]},
    {nullptr, &kGroups[8]},
    {nullptr, &kGroups[9]},
    {nullptr, &kGroups[10]},
    {nullptr, &kGroups[11]},
    {nullptr, &kGroups[12]},
};

const FormDef kForm{770, 566, kItems,
                    "   Press + to add a new account. Press - to delete the current account."};

}  // namespace

const FormDef& assetsFormDef() { return kForm; }

TF_Assets::TF_Assets(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner)
    : GroupBoxScheduleForm(entry, kForm, context, owner) {}

}  // namespace schedules
