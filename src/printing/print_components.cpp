// The main window's report-engine components and its print tables.

#include "printing/print_components.h"

#include <algorithm>
#include <array>
#include <utility>

#include "storage/dbf_file.h"
#include "storage/key_expression.h"
#include "storage/record_order.h"

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

// A fixed list of record numbers, walked in its order.
class ListOrder : public storage::RecordOrder {
  public:
    explicit ListOrder(std::vector<uint32_t> recnos) : recnos_(std::move(recnos)) {}

    storage::Status first(uint32_t* recno) override { return moveTo(0, recno); }
    storage::Status last(uint32_t* recno) override {
        return moveTo(recnos_.empty() ? 0 : recnos_.size() - 1, recno);
    }
    storage::Status next(uint32_t* recno) override {
        return moveTo(position_ < recnos_.size() ? position_ + 1 : recnos_.size(), recno);
    }
    storage::Status prior(uint32_t* recno) override {
        if (position_ == 0 || position_ > recnos_.size()) return moveTo(recnos_.size(), recno);
        return moveTo(position_ - 1, recno);
    }
    storage::Status seek(uint32_t recno, const uint8_t*) override {
        position_ = std::find(recnos_.begin(), recnos_.end(), recno) - recnos_.begin();
        return storage::Status::OK();
    }

  private:
    storage::Status moveTo(size_t position, uint32_t* recno) {
        position_ = std::min(position, recnos_.size());
        *recno = position_ < recnos_.size() ? recnos_[position_] : 0;
        return storage::Status::OK();
    }

    std::vector<uint32_t> recnos_;
    size_t position_ = 0;
};

}  // namespace

void TExpenseLines::OrderInMemory(const std::string& expression) {
    requireActive("OrderInMemory");
    CheckBrowseMode();
    std::unique_ptr<storage::KeyExpression> key;
    const storage::Status compiled =
        storage::KeyExpression::compile(expression, table()->fields(), &key);
    if (!compiled.ok()) throw storage::datasetError(compiled);
    std::vector<std::pair<std::string, uint32_t>> keyed;
    std::string buffer(key->keyLength(), ' ');
    forEachVisible([&](uint32_t recno) {
        key->evaluate(fetch(recno, true), recno, reinterpret_cast<uint8_t*>(buffer.data()));
        keyed.emplace_back(buffer, recno);
        return true;
    });
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<uint32_t> recnos;
    recnos.reserve(keyed.size());
    for (const auto& entry : keyed) recnos.push_back(entry.second);
    setOrder(std::make_unique<ListOrder>(std::move(recnos)));
    currentRecordWritten();
}

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
    for (storage::TDbfTable* table :
         {&T_PFamily, static_cast<storage::TDbfTable*>(&T_PExpenses), &T_PIncome}) {
        if (component == QLatin1String(table->Name())) return table;
    }
    return nullptr;
}

}  // namespace printing
