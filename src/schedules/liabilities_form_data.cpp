// The Liabilities form as data: ten group boxes, one per liability table. On screen "Other
// liabilities" stands last; in the tab order it keeps its place in the table set (eighth).

#include "schedules/group_box_schedule.h"

namespace schedules {

namespace {

constexpr ControlDef kAccountsPayable[] = {
    {"creditor", "Name and address of creditor", 1},
    {"debtor", "Debtor", 2},
    {"amtdebt", "Amount of original debt", 3},
    {"ddate", "Date of incurring debt", 4},
    {"purpose", "Purpose", 5},
    {"mpymt", "Monthly or other periodic payment", 6},
    {"origdebt", "Amount debt as of date of commencement", 7},
    {"amount", "Amount of current debt", 8},
};

constexpr ControlDef kNotesPayable[] = {
    {"holder", "Name and address of note holder", 1},
    {"debtor", "Debtor", 2},
    {"amtdebt", "Amount of original debt", 3},
    {"ddate", "Date of incurring debt", 4},
    {"purpose", "Purpose", 5},
    {"mpymt", "Monthly or other periodic payment", 6},
    {"origdebt", "Amount of debt at commencement", 7},
    {"amount", "Amount of current debt", 8},
};

constexpr ControlDef kInstallments[] = {
    {"creditor", "Name and address of creditor", 1},
    {"debtor", "Debtor", 2},
    {"amtdebt", "Amount of original debt", 3},
    {"ddate", "Date of incurring debt", 4},
    {"purpose", "Purpose", 5},
    {"mpymt", "Monthly or other periodic payment", 6},
    {"origdebt", "Amount of debt as of commencement", 7},
    {"amount", "Amount of current debt", 8},
};

constexpr ControlDef kMarginAccounts[] = {
    {"broker", "Name and address of broker", 1},
    {"amtdebt", "Amount of original debt", 2},
    {"ddate", "Date of incurring debt", 3},
    {"purpose", "Purpose", 4},
    {"mpymt", "Monthly or other periodic payment", 5},
    {"origdebt", "Amount of debt at commencement", 6},
    {"amount", "Amount of current debt", 7},
};

constexpr ControlDef kMortgages[] = {
    {"motrgagee", "Name and address of mortgagee", 1},
    {"property", "Address of property mortgaged", 2},
    {"mortgagor", "Mortgagor(s)", 3},
    {"odebt", "Amount of original debt", 4},
    {"ddate", "Date of incurring debt", 5},
    {"monthlypay", "Monthly or other periodic payment", 6},
    {"mdate", "Maturity date", 7},
    {"origdebt", "Amount of debt at commencement", 8},
    {"amount", "Amount of current debt", 9},
};

constexpr ControlDef kTaxes[] = {
    {"desc", "Description of tax", 1},
    {"ddate", "Date due", 2},
    {"amount", "Amount of tax", 3},
};

constexpr ControlDef kLifeLoans[] = {
    {"insurer", "Name and address of insurer", 1},
    {"loanamt", "Amount of loan", 2},
    {"ddate", "Date of incurring debt", 3},
    {"purpose", "Purpose", 4},
    {"borrower", "Name of borrower", 5},
    {"mthpymt", "Monthly or periodic payment", 6},
    {"origdebt", "Amount of debt  as of commencement", 7},
    {"amount", "Amount of current debt", 8},
};

constexpr ControlDef kOtherLiabilities[] = {
    {"desc", "Description", 1},
    {"creditor", "Name and address of creditor", 2},
    {"debtor", "Debtor", 3},
    {"origamt", "Original amount of debt", 4},
    {"idate", "Date incurred", 5},
    {"purpose", "Purpose", 6},
    {"mthpymt", "Monthly or other periodic payment", 7},
    {"origdebt", "Amount of debt as of commencement", 8},
    {"amount", "Amount of current debt", 9},
};

constexpr ControlDef kCreditCards[] = {
    {"debtor", "Debtor", 1},
    {"origdebt", "Amount original debt", 2},
    {"debtdate", "Date of incurring debt", 3},
    {"purpose", "Purpose", 4},
    {"payment", "Monthly payment", 5},
    {"begamt", "Amt of debt at commencement date", 6},
    {"curamt", "Amount of current debt", 7},
};

constexpr ControlDef kHomeEquity[] = {
    {"mortgagee", "Name and address of Mortgagee", 1},
    {"propaddr", "Address of property mortgaged", 2},
    {"mortgagors", "Mortgagor(s)", 3},
    {"origdebt", "Original debt", 4},
    {"datedebt", "Date of incurring debt", 5},
    {"payment", "Monthly or other periodic payment", 6},
    {"matdate", "Maturity Date", 7},
    {"curdebt", "Amount current debt", 8},
    {"curequity", "Current equity", 9},
};

constexpr NavigatorPlace kTop = NavigatorPlace::TopRight;

const GroupBoxDef kGroups[] = {
    {"GroupBox1", "T_AP", "Accounts payable", nullptr, kAccountsPayable, kTop, false, 1},
    {"GroupBox2", "T_notespayable", "Notes payable", nullptr, kNotesPayable, kTop, false, 2},
    {"GroupBox3", "T_InstallAP",
     "Installment accounts payable (security agreements, chattel mortgages)", nullptr,
     kInstallments, kTop, false, 3},
    {"GroupBox4", "T_LBroker", "Broker's margin accounts", nullptr, kMarginAccounts, kTop, false,
     4},
    {"GroupBox5", "T_mortpay", "Mortgages payable on real estate", nullptr, kMortgages, kTop, false,
     5},
    {"GroupBox6", "T_taxespay", "Taxes payable", nullptr, kTaxes, kTop, false, 6},
    {"GroupBox7", "T_loanslife", "Loans on life insurance policies", nullptr, kLifeLoans, kTop,
     false, 7},
    {"GroupBox8", "t_creditcard", "Credit Card Debt", nullptr, kCreditCards, kTop, false, 9},
    {"GroupBox9", "t_homeequity", "Home Equity and Other Lines of Credit", nullptr, kHomeEquity,
     kTop, true, 10},
    {"GroupBox10", "T_OtherLiab", "Other liabilities", nullptr, kOtherLiabilities, kTop, false, 8},
};

const FormItemDef kItems[] = {
    {nullptr, &kGroups[0]}, {nullptr, &kGroups[1]}, {nullptr, &kGroups[2]}, {nullptr, &kGroups[3]},
    {nullptr, &kGroups[4]}, {nullptr, &kGroups[5]}, {nullptr, &kGroups[6]}, {nullptr, &kGroups[7]},
    {nullptr, &kGroups[8]}, {nullptr, &kGroups[9]},
};

const FormDef kForm{743, 654, kItems,
                    "   Press + to add a new account. Press - to delete the current account.",
                    "T_AP"};

}  // namespace

const FormDef& liabilitiesFormDef() { return kForm; }

TF_Liabilities::TF_Liabilities(const ScheduleFormEntry& entry, const ScheduleContext& context,
                               QWidget* owner)
    : GroupBoxScheduleForm(entry, kForm, context, owner) {}

}  // namespace schedules
