// Tables of the Assets, Liabilities and Summary forms.

#include "catalog/table_catalog.h"

namespace catalog {

namespace {

constexpr FieldDef kMatter{"matter", 'C', 50, 0};

// --- Assets ---------------------------------------------------------------------------------

constexpr FieldDef kCash[] = {kMatter,
                              {"location", 'C', 50, 0},
                              {"source", 'C', 50, 0},
                              {"amt", 'N', 12, 2},
                              {"camt", 'N', 12, 2}};

constexpr FieldDef kCheck[] = {kMatter,
                               {"instituton", 'C', 50, 0},
                               {"accountnum", 'C', 30, 0},
                               {"title", 'C', 50, 0},
                               {"balance", 'N', 12, 2},
                               {"dteopn", 'C', 10, 0},
                               {"source", 'C', 50, 0},
                               {"cbal", 'N', 12, 2}};

constexpr FieldDef kSavings[] = {kMatter,
                                 {"instituton", 'C', 50, 0},
                                 {"accountnum", 'C', 30, 0},
                                 {"title", 'C', 50, 0},
                                 {"balance", 'N', 12, 2},
                                 {"dteopn", 'C', 10, 0},
                                 {"source", 'C', 50, 0},
                                 {"type", 'C', 50, 0},
                                 {"cbal", 'N', 12, 2}};

constexpr FieldDef kSecurity[] = {kMatter,
                                  {"location", 'C', 50, 0},
                                  {"title", 'C', 50, 0},
                                  {"source", 'C', 50, 0},
                                  {"type", 'C', 50, 0},
                                  {"ddate", 'C', 10, 0},
                                  {"amt", 'N', 12, 2}};

constexpr FieldDef kOther[] = {kMatter,
                               {"location", 'C', 50, 0},
                               {"title", 'C', 50, 0},
                               {"type", 'C', 50, 0},
                               {"source", 'C', 50, 0},
                               {"ddate", 'C', 10, 0},
                               {"amt", 'N', 12, 2}};

constexpr FieldDef kBonds[] = {kMatter,
                               {"desc", 'M', 10, 0},
                               {"title", 'C', 50, 0},
                               {"location", 'C', 50, 0},
                               {"adate", 'C', 10, 0},
                               {"price", 'N', 12, 2},
                               {"source", 'C', 50, 0},
                               {"value", 'N', 12, 2}};

constexpr FieldDef kStocks[] = {kMatter,
                                {"desc", 'M', 10, 0},
                                {"title", 'C', 50, 0},
                                {"location", 'C', 50, 0},
                                {"adate", 'C', 10, 0},
                                {"price", 'N', 12, 2},
                                {"source", 'C', 50, 0},
                                {"value", 'N', 12, 2},
                                {"origvalue", 'N', 12, 2}};

constexpr FieldDef kBroker[] = {kMatter,
                                {"broker", 'M', 10, 0},
                                {"title", 'C', 50, 0},
                                {"adate", 'C', 10, 0},
                                {"price", 'N', 12, 2},
                                {"source", 'C', 50, 0},
                                {"value", 'N', 12, 2}};

constexpr FieldDef kLoans[] = {kMatter,
                               {"debtor", 'M', 10, 0},
                               {"origamt", 'N', 12, 2},
                               {"source", 'C', 50, 0},
                               {"value", 'N', 12, 2},
                               {"pdate", 'C', 10, 0},
                               {"origamtdue", 'N', 12, 2}};

constexpr FieldDef kBusiness[] = {kMatter,
                                  {"business", 'M', 10, 0},
                                  {"type", 'C', 50, 0},
                                  {"capital", 'N', 12, 2},
                                  {"percentint", 'N', 6, 2},
                                  {"adate", 'C', 10, 0},
                                  {"price", 'N', 12, 2},
                                  {"source", 'C', 50, 0},
                                  {"method", 'C', 30, 0},
                                  {"other", 'M', 10, 0},
                                  {"networth", 'N', 12, 2},
                                  {"origworth", 'N', 12, 2}};

constexpr FieldDef kLifeIns[] = {kMatter,
                                 {"insurer", 'M', 10, 0},
                                 {"name", 'C', 50, 0},
                                 {"policy", 'C', 30, 0},
                                 {"faceamt", 'N', 12, 2},
                                 {"owner", 'C', 50, 0},
                                 {"adate", 'C', 10, 0},
                                 {"source", 'C', 50, 0},
                                 {"value", 'N', 12, 2},
                                 {"origvalue", 'N', 12, 2}};

constexpr FieldDef kVehicles[] = {kMatter,
                                  {"desc", 'M', 10, 0},
                                  {"title", 'C', 50, 0},
                                  {"adate", 'C', 10, 0},
                                  {"price", 'N', 12, 2},
                                  {"source", 'C', 50, 0},
                                  {"amtunpaid", 'N', 12, 2},
                                  {"value", 'N', 12, 2},
                                  {"origvalue", 'N', 12, 2}};

constexpr FieldDef kRealEstate[] = {kMatter,
                                    {"desc", 'M', 10, 0},
                                    {"locassets", 'C', 50, 0},
                                    {"title", 'C', 50, 0},
                                    {"adate", 'C', 10, 0},
                                    {"price", 'N', 12, 2},
                                    {"source", 'C', 50, 0},
                                    {"amtunpaid", 'N', 12, 2},
                                    {"value", 'N', 12, 2}};

constexpr FieldDef kVested[] = {kMatter,
                                {"desc", 'M', 10, 0},
                                {"locassets", 'C', 50, 0},
                                {"title", 'C', 50, 0},
                                {"adate", 'C', 10, 0},
                                {"originvst", 'N', 12, 2},
                                {"source", 'C', 50, 0},
                                {"amtunpaid", 'N', 12, 2},
                                {"value", 'N', 12, 2}};

constexpr FieldDef kContingent[] = {kMatter,
                                    {"desc", 'M', 10, 0},
                                    {"location", 'C', 50, 0},
                                    {"title", 'C', 50, 0},
                                    {"vdate", 'C', 10, 0},
                                    {"adate", 'C', 10, 0},
                                    {"orgprice", 'N', 12, 2},
                                    {"source", 'C', 50, 0},
                                    {"method", 'C', 30, 0},
                                    {"value", 'N', 12, 2}};

constexpr FieldDef kHousehold[] = {kMatter,
                                   {"desc", 'M', 10, 0},
                                   {"location", 'C', 50, 0},
                                   {"title", 'C', 50, 0},
                                   {"orgprice", 'N', 12, 2},
                                   {"source", 'C', 50, 0},
                                   {"unpaid", 'N', 12, 2},
                                   {"value", 'N', 12, 2}};

// Jewelry and other assets share one record format.
constexpr FieldDef kValuables[] = {kMatter,
                                   {"desc", 'M', 10, 0},
                                   {"location", 'C', 50, 0},
                                   {"title", 'C', 50, 0},
                                   {"orgprice", 'N', 12, 2},
                                   {"source", 'C', 50, 0},
                                   {"unpaid", 'N', 12, 2},
                                   {"value", 'N', 12, 2},
                                   {"origvalue", 'N', 12, 2}};

constexpr FieldDef kRetirement[] = {kMatter,
                                    {"desc", 'M', 10, 0},
                                    {"locassets", 'C', 50, 0},
                                    {"title", 'C', 50, 0},
                                    {"adate", 'C', 10, 0},
                                    {"source", 'C', 50, 0},
                                    {"amtunpaid", 'N', 12, 2},
                                    {"origvalue", 'N', 12, 2},
                                    {"value", 'N', 12, 2}};

// Every schedule table hides deleted records, has no index and holds many matters' records.
constexpr TableDef schedule(const char* owner, const char* component, const char* file,
                            std::span<const FieldDef> fields, const char* keyField) {
    TableDef table{owner, component, file, fields, {}};
    table.hideDeletedRecs = true;
    table.keyField = keyField;
    table.matterFiltered = true;
    return table;
}

constexpr const char* A = "F_Assets";
const TableDef kAssets[] = {
    schedule(A, "t_cash", "A_CashAcc_Cash.dbf", kCash, "location"),
    schedule(A, "t_check", "A_CashAcc_Checking.dbf", kCheck, "instituton"),
    schedule(A, "T_Savings", "A_CashAcc_Savings.dbf", kSavings, "instituton"),
    schedule(A, "T_Security", "A_CashAcc_Security.dbf", kSecurity, nullptr),
    schedule(A, "T_Other", "A_CashAcc_other.dbf", kOther, nullptr),
    schedule(A, "T_bonds", "B_Securities_bonds.dbf", kBonds, nullptr),
    schedule(A, "T_Stocks", "B_Securities_stocks.dbf", kStocks, "title"),
    schedule(A, "T_broker", "B_Securities_broker.dbf", kBroker, nullptr),
    schedule(A, "T_loans", "C_Loans.dbf", kLoans, "source"),
    schedule(A, "T_business", "D_business.dbf", kBusiness, "type"),
    schedule(A, "T_lifeins", "E_lifeins.dbf", kLifeIns, "name"),
    schedule(A, "T_Vehicals", "F_vehicals.dbf", kVehicles, "title"),
    schedule(A, "T_realestate", "F_realestate.dbf", kRealEstate, "title"),
    schedule(A, "T_vested", "F_vested.dbf", kVested, nullptr),
    schedule(A, "T_contingent", "F_contingent.dbf", kContingent, "location"),
    schedule(A, "T_household", "F_household.dbf", kHousehold, nullptr),
    schedule(A, "T_jewelry", "F_jewelry.dbf", kValuables, "location"),
    schedule(A, "T_other2", "F_other2.dbf", kValuables, "location"),
    schedule(A, "t_retirement", "retirement.dbf", kRetirement, "value"),
};

// --- Liabilities ----------------------------------------------------------------------------

constexpr FieldDef kAccountsPayable[] = {kMatter,
                                         {"creditor", 'M', 10, 0},
                                         {"debtor", 'C', 50, 0},
                                         {"amtdebt", 'N', 12, 2},
                                         {"ddate", 'C', 10, 0},
                                         {"purpose", 'C', 50, 0},
                                         {"mpymt", 'N', 12, 2},
                                         {"amount", 'N', 12, 2},
                                         {"origdebt", 'N', 12, 2}};

constexpr FieldDef kNotesPayable[] = {kMatter,
                                      {"holder", 'M', 10, 0},
                                      {"debtor", 'C', 50, 0},
                                      {"amtdebt", 'N', 12, 2},
                                      {"ddate", 'C', 10, 0},
                                      {"purpose", 'C', 50, 0},
                                      {"mpymt", 'N', 12, 2},
                                      {"amount", 'N', 12, 2},
                                      {"origdebt", 'N', 12, 2}};

constexpr FieldDef kMarginAccounts[] = {kMatter,
                                        {"broker", 'M', 10, 0},
                                        {"amtdebt", 'N', 12, 2},
                                        {"ddate", 'C', 10, 0},
                                        {"purpose", 'C', 50, 0},
                                        {"mpymt", 'N', 12, 2},
                                        {"amount", 'N', 12, 2},
                                        {"origdebt", 'N', 12, 2}};

constexpr FieldDef kMortgages[] = {kMatter,
                                   {"motrgagee", 'M', 10, 0},
                                   {"property", 'M', 10, 0},
                                   {"mortgagor", 'M', 10, 0},
                                   {"odebt", 'N', 12, 2},
                                   {"ddate", 'C', 10, 0},
                                   {"monthlypay", 'N', 12, 2},
                                   {"mdate", 'C', 10, 0},
                                   {"amount", 'N', 12, 2},
                                   {"origdebt", 'N', 12, 2}};

constexpr FieldDef kTaxes[] = {
    kMatter, {"desc", 'C', 50, 0}, {"ddate", 'C', 10, 0}, {"amount", 'N', 12, 2}};

constexpr FieldDef kLifeLoans[] = {kMatter,
                                   {"insurer", 'M', 10, 0},
                                   {"loanamt", 'N', 12, 2},
                                   {"ddate", 'C', 10, 0},
                                   {"purpose", 'C', 50, 0},
                                   {"borrower", 'C', 50, 0},
                                   {"mthpymt", 'N', 12, 2},
                                   {"amount", 'N', 12, 2},
                                   {"origdebt", 'N', 12, 2}};

constexpr FieldDef kOtherLiabilities[] = {kMatter,
                                          {"desc", 'M', 10, 0},
                                          {"creditor", 'M', 10, 0},
                                          {"debtor", 'C', 50, 0},
                                          {"origamt", 'N', 12, 2},
                                          {"idate", 'C', 10, 0},
                                          {"purpose", 'C', 50, 0},
                                          {"mthpymt", 'N', 12, 2},
                                          {"amount", 'N', 12, 2},
                                          {"origdebt", 'N', 12, 2}};

constexpr FieldDef kCreditCards[] = {kMatter,
                                     {"debtor", 'C', 65, 0},
                                     {"origdebt", 'N', 12, 2},
                                     {"purpose", 'C', 50, 0},
                                     {"payment", 'N', 12, 2},
                                     {"begamt", 'N', 12, 2},
                                     {"curamt", 'N', 12, 2},
                                     {"debtdate", 'C', 10, 0}};

constexpr FieldDef kHomeEquity[] = {kMatter,
                                    {"mortgagee", 'M', 10, 0},
                                    {"propaddr", 'M', 10, 0},
                                    {"mortgagors", 'C', 75, 0},
                                    {"origdebt", 'N', 12, 2},
                                    {"datedebt", 'C', 10, 0},
                                    {"payment", 'N', 12, 2},
                                    {"matdate", 'C', 10, 0},
                                    {"curdebt", 'N', 12, 2},
                                    {"curequity", 'N', 12, 2}};

constexpr const char* L = "F_Liabilities";
const TableDef kLiabilities[] = {
    schedule(L, "T_AP", "L_AP.dbf", kAccountsPayable, "debtor"),
    schedule(L, "T_notespayable", "L_notes.dbf", kNotesPayable, "debtor"),
    schedule(L, "T_InstallAP", "L_installap.dbf", kAccountsPayable, "debtor"),
    schedule(L, "T_LBroker", "L_broker.dbf", kMarginAccounts, "ddate"),
    schedule(L, "T_mortpay", "L_MortPay.dbf", kMortgages, "ddate"),
    schedule(L, "T_taxespay", "L_TaxesPay.dbf", kTaxes, "desc"),
    schedule(L, "T_loanslife", "L_LoansLife.dbf", kLifeLoans, "ddate"),
    schedule(L, "T_OtherLiab", "L_OtherLiab.dbf", kOtherLiabilities, "debtor"),
    schedule(L, "t_creditcard", "creditcard.dbf", kCreditCards, "debtor"),
    schedule(L, "t_homeequity", "homeequity.dbf", kHomeEquity, nullptr),
};

// --- Summary --------------------------------------------------------------------------------

constexpr FieldDef kTransfers[] = {kMatter,
                                   {"desc", 'M', 10, 0},
                                   {"xferto", 'M', 10, 0},
                                   {"xdate", 'C', 10, 0},
                                   {"value", 'N', 12, 2}};

constexpr FieldDef kSupport[] = {kMatter,
                                 {"dpresent", 'C', 10, 0},
                                 {"psep", 'C', 10, 0},
                                 {"damt1", 'N', 12, 2},
                                 {"damt2", 'N', 12, 2},
                                 {"presper", 'C', 5, 0},
                                 {"sepper", 'C', 5, 0},
                                 {"expfor", 'C', 50, 0},
                                 {"paymade", 'C', 40, 0},
                                 {"childamt", 'N', 12, 2},
                                 {"childper", 'C', 5, 0},
                                 {"childtot", 'N', 12, 2},
                                 {"selfamt", 'N', 12, 2},
                                 {"selfper", 'C', 5, 0},
                                 {"dayof", 'C', 5, 0},
                                 {"pymttext", 'C', 30, 0},
                                 {"reqcfee", 'N', 12, 2},
                                 {"pdcfee", 'N', 12, 2},
                                 {"feememo", 'M', 10, 0},
                                 {"acctfee", 'N', 12, 2},
                                 {"acctbasis", 'C', 70, 0},
                                 {"appfee", 'N', 12, 2},
                                 {"appbasis", 'C', 70, 0},
                                 {"accservice", 'C', 70, 0},
                                 {"appservice", 'C', 70, 0},
                                 {"otherdata", 'M', 10, 0},
                                 {"isretainer", 'C', 6, 0},
                                 {"arrears", 'C', 10, 0},
                                 {"outstandg", 'N', 12, 2},
                                 {"attorney", 'C', 45, 0},
                                 {"sworndte", 'C', 10, 0},
                                 {"swornbme", 'C', 45, 0}};

constexpr const char* S = "F_Summary";
const TableDef kSummary[] = {
    schedule(S, "T_Axfered", "Axfered.dbf", kTransfers, "xdate"),
    schedule(S, "T_Support", "Support.dbf", kSupport, nullptr),
};

}  // namespace

TableSet assetsTables() { return kAssets; }
TableSet liabilitiesTables() { return kLiabilities; }
TableSet summaryTables() { return kSummary; }

}  // namespace catalog
