#include "app/matter_filters.h"

#include <string>

#include "storage/dataset.h"

namespace app {

const std::vector<MatterFilterTable>& matterFilterTables() {
    static const std::vector<MatterFilterTable> tables = {
        {"F_Expenses", "T_Expenses", "Expenses.dbf", "(a) Housing"},
        {"F_Assets", "t_cash", "A_CashAcc_Cash.dbf", nullptr},
        {"F_Assets", "t_check", "A_CashAcc_Checking.dbf", nullptr},
        {"F_Assets", "T_Savings", "A_CashAcc_Savings.dbf", nullptr},
        {"F_Assets", "T_Security", "A_CashAcc_Security.dbf", nullptr},
        {"F_Assets", "T_Other", "A_CashAcc_other.dbf", nullptr},
        {"F_Assets", "T_bonds", "B_Securities_bonds.dbf", nullptr},
        {"F_Assets", "T_Stocks", "B_Securities_stocks.dbf", nullptr},
        {"F_Assets", "T_broker", "B_Securities_broker.dbf", nullptr},
        {"F_Assets", "T_loans", "C_Loans.dbf", nullptr},
        {"F_Assets", "T_business", "D_business.dbf", nullptr},
        {"F_Assets", "T_lifeins", "E_lifeins.dbf", nullptr},
        {"F_Assets", "T_Vehicals", "F_vehicals.dbf", nullptr},
        {"F_Assets", "T_realestate", "F_realestate.dbf", nullptr},
        {"F_Assets", "T_vested", "F_vested.dbf", nullptr},
        {"F_Assets", "T_contingent", "F_contingent.dbf", nullptr},
        {"F_Assets", "T_household", "F_household.dbf", nullptr},
        {"F_Assets", "T_jewelry", "F_jewelry.dbf", nullptr},
        {"F_Assets", "T_other2", "F_other2.dbf", nullptr},
        {"F_Assets", "t_retirement", "retirement.dbf", nullptr},
        {"F_Liabilities", "T_AP", "L_AP.dbf", nullptr},
        {"F_Liabilities", "T_notespayable", "L_notes.dbf", nullptr},
        {"F_Liabilities", "T_InstallAP", "L_installap.dbf", nullptr},
        {"F_Liabilities", "T_LBroker", "L_broker.dbf", nullptr},
        {"F_Liabilities", "T_mortpay", "L_MortPay.dbf", nullptr},
        {"F_Liabilities", "T_taxespay", "L_TaxesPay.dbf", nullptr},
        {"F_Liabilities", "T_loanslife", "L_LoansLife.dbf", nullptr},
        {"F_Liabilities", "T_OtherLiab", "L_OtherLiab.dbf", nullptr},
        {"F_Liabilities", "t_creditcard", "creditcard.dbf", nullptr},
        {"F_Liabilities", "t_homeequity", "homeequity.dbf", nullptr},
        {"F_Summary", "T_Axfered", "Axfered.dbf", nullptr},
        {"F_Summary", "T_Support", "Support.dbf", nullptr},
        {"F_Main", "T_PExpenses", "Expenses.dbf", nullptr},
    };
    return tables;
}

const MatterFilterTable* findMatterFilterTable(const QString& component) {
    for (const MatterFilterTable& table : matterFilterTables()) {
        if (component == QLatin1String(table.component)) return &table;
    }
    return nullptr;
}

namespace {

storage::FilterRoutine filterOn(std::string category, storage::TDbfPrimDataset& table,
                                CurrentMatterReader currentMatter) {
    return [&table, category, currentMatter = std::move(currentMatter)](void* owner) {
        if (table.FieldByName("matter").AsString() != currentMatter(owner).toStdString()) {
            return false;
        }
        return category.empty() || table.FieldByName("etype").AsString() == category;
    };
}

}  // namespace

storage::FilterRoutine matterFilter(const QString& component, storage::TDbfPrimDataset& table,
                                    CurrentMatterReader currentMatter) {
    const MatterFilterTable* row = findMatterFilterTable(component);
    return filterOn(row && row->etype ? row->etype : "", table, std::move(currentMatter));
}

storage::FilterRoutine categoryFilter(const QString& etype, storage::TDbfPrimDataset& table,
                                      CurrentMatterReader currentMatter) {
    return filterOn(etype.toStdString(), table, std::move(currentMatter));
}

}  // namespace app
