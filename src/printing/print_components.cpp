// The main window's report-engine components and its print tables.

#include "printing/print_components.h"

#include <array>

namespace printing {

namespace {

using enum ConnectionSource;

constexpr std::array<ConnectionDef, 35> kConnections = {{
    {"DataConnection1", General, "DbfTable1"},
    {"DataConnection2", Main, "T_PFamily"},
    {"DataConnection3", Main, "T_PExpenses"},
    {"DataConnection4", Main, "T_PIncome"},
    {"DataConnCash", Assets, "t_cash"},
    {"DataConnCheck", Assets, "t_check"},
    {"DataConnSavings", Assets, "T_Savings"},
    {"DataConnOther", Assets, "T_Other"},
    {"DataConnStocks", Assets, "T_Stocks"},
    {"DataConnbroker", Assets, "T_broker"},
    {"DataConnloans", Assets, "T_loans"},
    {"DataConnBusiness", Assets, "T_business"},
    {"DataConnlifeins", Assets, "T_lifeins"},
    {"DataConnvehicals", Assets, "T_Vehicals"},
    {"DataConnrealestate", Assets, "T_realestate"},
    {"DataConnvested", Assets, "T_vested"},
    {"DataConnContingent", Assets, "T_contingent"},
    {"DataConnhousehold", Assets, "T_household"},
    {"DataConnjewelry", Assets, "T_jewelry"},
    {"DataConnother2", Assets, "T_other2"},
    {"dataConnRetirement", Assets, "t_retirement"},
    {"DataConnSecurity", Assets, "T_Security", false},
    {"DataConnBonds", Assets, "T_bonds", false},
    {"DataConnAP", Liabilities, "T_AP"},
    {"DataConnNotesPayable", Liabilities, "T_notespayable"},
    {"DataConninstallap", Liabilities, "T_InstallAP"},
    {"DataConnMortPay", Liabilities, "T_mortpay"},
    {"DataConnLbrokers", Liabilities, "T_LBroker"},
    {"DataConnTaxesPay", Liabilities, "T_taxespay"},
    {"DataConnLoansLife", Liabilities, "T_loanslife"},
    {"DataConnOtherLiab", Liabilities, "T_OtherLiab"},
    {"DataConncreditcard", Liabilities, "t_creditcard"},
    {"DataConnhomeequity", Liabilities, "t_homeequity"},
    {"DataConnAxfered", Summary, "T_Axfered"},
    {"DataConnSupport", Summary, "T_Support"},
}};

}  // namespace

std::span<const ConnectionDef> connectionDefinitions() { return kConnections; }

PrintComponents::PrintComponents() {
    report::ReportSystemSettings& settings = ReportSystem1.settings();
    settings.titleSetup = QStringLiteral("Output Options");
    settings.titleStatus = QStringLiteral("Report Status");
    settings.titlePreview = QStringLiteral("Report Preview");
    settings.filerStatusFormat = QStringLiteral("Generating page %p");
    settings.printerStatusFormat = QStringLiteral("Printing page %p");
    settings.printerTitle = QStringLiteral("Statement Report");
    settings.previewMaximized = true;
    settings.previewZoom = 100.0;
    settings.printerScaleX = settings.printerScaleY = 100.0;
    settings.unitsFactor = 1.0;
    settings.defaultDestination = report::Destination::Preview;
    settings.permissions = report::SetupPermissions{};  // all nine granted
    settings.showStatus = true;
    settings.allowPreviewPrint = true;
    settings.modalPreview = true;

    ReportRenderPDF1.displayName = QStringLiteral("Adobe Acrobat (PDF)");
    ReportRenderPDF1.fileExtension = QStringLiteral("*.pdf");
    ReportRenderPDF1.imageQuality = 90;
    ReportRenderPDF1.metafileDpi = 300;
    ReportRenderPDF1.fontEncoding = QStringLiteral("WinAnsi");
    ReportSystem1.setPdfRenderer(&ReportRenderPDF1);
    ReportProject1.setEngine(&ReportSystem1);

    for (const ConnectionDef& def : kConnections) {
        connections_.push_back(
            std::make_unique<report::TReportConnection>(QLatin1String(def.name)));
        ReportProject1.addConnection(connections_.back().get());
    }
}

PrintComponents::~PrintComponents() = default;

report::TReportConnection* PrintComponents::connection(const QString& name) const {
    for (const auto& connection : connections_) {
        if (connection->name() == name) return connection.get();
    }
    return nullptr;
}

storage::TDbfTable* PrintComponents::mainTable(const QString& component) {
    for (storage::TDbfTable* table : {&T_PFamily, &T_PExpenses, &T_PIncome}) {
        if (component == QLatin1String(table->Name())) return table;
    }
    return nullptr;
}

}  // namespace printing
