// The expense categories and the standard expense lines, spelled as the statement's users know
// them (odd punctuation included: these texts are stored and printed as they stand).

#include "schedules/expense_lines.h"

namespace schedules {

namespace {

constexpr const char* kHousing[] = {
    "Rent",
    "Mortgage/Co-op Loan",
    "Real estate taxes",
    "Home Equity Line of Credit/Second Mortgage",
    "Homeowner's/Renter's Insurance",
    "Homeowner's Association/Maintenance/Condo Charges",
};

constexpr const char* kUtilities[] = {
    "Fuel oil/Gas", "Cable/Satellite TV", "Electric", "Telephone (Land Line)",
    "Mobile Phone", "Internet",           "Alarm",    "Water",
    "Other",
};

constexpr const char* kFood[] = {"Groceries", "Dining Out/Take Out", "Other"};

constexpr const char* kClothing[] = {"Yourself", "Dry Cleaning", "Children", "Other"};

constexpr const char* kInsurance[] = {
    "Life",
    "Long Term Care Insurance",
    "Fire, theft and liability and personal articles policy",
    "Automotive",
    "Umbrella policy",
    "Medical plan for yourself(incl. carrier/insured)",
    "Medical plan for children(incl. carrier/insured)",
    "Dental plan",
    "Optical plan",
    "Disability",
    "Worker's compensation",
    "Other",
};

constexpr const char* kMedical[] = {
    "Medical", "Dental",        "Optical", "Pharmaceutical", "Surgical, nursing, hospital",
    "Other",   "Psychotherapy",
};

constexpr const char* kMaintenance[] = {
    "Repairs/Maintenance", "Gardening/Landscaping", "Extermination",
    "Sanitation/carting",  "Snow removal",          "Other",
};

constexpr const char* kHelp[] = {
    "Baby sitter",
    "Domestic (housekeeper, maid, etc.)",
    "Nanny/Au Pair/Child Care)",
    "Other",
};

constexpr const char* kAutomotive[] = {
    "Year, Make, Personal/Business (use info column)",
    "Lease or Loan Payments",
    "Gas and oil",
    "Repairs",
    "Car wash",
    "Parking and tolls",
    "Other",
};

constexpr const char* kEducational[] = {
    "Nursery and pre-school",
    "Primary and secondary",
    "College",
    "Post-graduate",
    "Religious instruction",
    "School transportation",
    "School supplies/books",
    "School Lunches",
    "Child(ren) extra-curricular activities",
    "Tutoring",
    "School events",
    "Other",
};

constexpr const char* kRecreational[] = {
    "Summer camp",
    "Vacations",
    "Music (Digital or Physical Media)",
    "Movies, Theatre, ballet, etc.",
    "Activities for yourself",
    "Health Club",
    "Birthday party costs for child(ren)",
    "Recreational Clubs and Memberships",
    "Other",
};

constexpr const char* kIncomeTaxes[] = {
    "Federal",
    "State",
    "City",
    "Social security and medicare",
    "Number of dependants claimed in prior tax year (use info column)",
    "Refund received by you for prior tax year (use info column)",
};

constexpr const char* kMiscellaneous[] = {
    "Beauty parlor/barber",
    "Books, magazines, newspapers",
    "Toiletries/Non-Prescription Drugs",
    "Gifts",
    "Charitable contributions",
    "Religious organization dues",
    "Union and organization dues",
    "Commutation expenses",
    "Veterinarian/pet expenses",
    "Child support payment (prior marriage)",
    "Alimony and maintenance payments",
    "Loan payments",
    "Unreimbursed business expenses",
    "Safe Deposit Box fee",
};

constexpr ExpenseCategory kCategories[] = {
    {"(a) Housing", kHousing},
    {"(b) Utilities", kUtilities},
    {"(c) Food", kFood},
    {"(d) Clothing", kClothing},
    {"(e) Insurance", kInsurance},
    {"(f) Unreimbursed medical", kMedical},
    {"(g) Household maintenance", kMaintenance},
    {"(h) Household help", kHelp},
    {"(i) Automotive", kAutomotive},
    {"(j) Educational", kEducational},
    {"(k) Recreational", kRecreational},
    {"(l) Income taxes", kIncomeTaxes},
    {"(m) Miscellaneous", kMiscellaneous},
    {"(n) Other", {}},
};

}  // namespace

std::span<const ExpenseCategory> expenseCategories() { return kCategories; }

int standardExpenseLineCount() {
    int count = 0;
    for (const ExpenseCategory& category : kCategories) count += int(category.items.size());
    return count;
}

}  // namespace schedules
