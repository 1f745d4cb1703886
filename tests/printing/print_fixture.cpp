#include "print_fixture.h"

#include <QDir>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "../support/table_records.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "printing/print_components.h"
#include "storage/dbf_table.h"

namespace print_test {

namespace {

const catalog::TableDef& definition(const char* component) {
    const catalog::TableDef* def = catalog::findTable(component);
    if (!def) throw std::runtime_error(std::string("no table ") + component);
    return *def;
}

Record with(Record record, const QString& matter) {
    record[QStringLiteral("matter")] = matter;
    return record;
}

QList<Record> forMatter(const QList<Record>& records, const QString& matter) {
    QList<Record> out;
    for (const Record& record : records) out << with(record, matter);
    return out;
}

// Long memo text: wraps over many lines and, in the transfers and fees, over pages.
QString longMemo(const QString& subject, int sentences) {
    QStringList lines;
    for (int i = 1; i <= sentences; ++i) {
        lines << QStringLiteral(
                     "%1, note %2: the particulars were confirmed against the bank's "
                     "statements and the closing papers kept in the file.")
                     .arg(subject)
                     .arg(i);
    }
    return lines.join(QStringLiteral("\r\n"));
}

Scenario makeScenario() {
    Scenario s;
    s.general = {{{"court", "SUPREME"},
                  {"court2", "OF THE STATE OF NEW YORK"},
                  {"county", "NEW YORK"},
                  {"plainfiff", "JANE Q. SMITH"},
                  {"defendant", "JOHN R. SMITH"},
                  {"indexnum", "31415/2026"},
                  {"state", "New York"},
                  {"county2", "Kings"},
                  {"xname", "Jane Q. Smith"},
                  {"xplaintiff", "X"},
                  {"xdefendant", " "},
                  {"explisted", "monthly"},
                  {"adate_c", "03/02/2026"},
                  {"asofdate_c", "06/30/2026"}}};
    s.family = {{{"husbage", "01/15/1970"},
                 {"wifeage", "02/20/1972"},
                 {"datemarrie", "06/10/1995"},
                 {"datediv", "09/01/2025"},
                 {"depnames", "Anna Smith, born 04/03/2001\r\nBen Smith, born 11/12/2005"},
                 {"divsep", "separated"},
                 {"custody", "Joint"},
                 {"childpri1", "T"},
                 {"childpri2", "F"},
                 {"resid", "Wife"},
                 {"husbaddr", "12 Elm Street\r\nBrooklyn, NY 11201"},
                 {"wifaddr", "400 Ocean Avenue, Apt. 5C\r\nBrooklyn, NY 11226"},
                 {"husbocc", "Civil engineer"},
                 {"wifeocc", "Pharmacist"}}};
    // Out of order on purpose: the statement orders them by category, then item.
    s.expenses = {
        {{"etype", "(b) Utilities"}, {"expense", "Electric"}, {"amt", "185.4"}},
        {{"etype", "(a) Housing"}, {"expense", "Rent"}, {"amt", "3250"}},
        {{"etype", "(a) Housing"}, {"expense", "Homeowner's/Renter's Insurance"}, {"amt", "42.1"}},
        {{"etype", "(a) Housing"}, {"expense", "Mortgage/Co-op Loan"}, {"amt", ""}},
        {{"etype", "(c) Food"}, {"expense", "Groceries"}, {"amt", "1120.75"}},
        {{"etype", "(b) Utilities"}, {"expense", "Cable/Satellite TV"}, {"amt", "99.99"}},
        {{"etype", "(j) Educational"},
         {"expense", "College"},
         {"amt", "2400"},
         {"info", "Anna, fall term"}},
        {{"etype", "(n) Other"}, {"expense", "Storage unit"}, {"amt", "75"}},
        {{"etype", "(l) Income taxes"},
         {"expense", "Number of dependants claimed in prior tax year (use info column)"},
         {"amt", ""},
         {"info", "two"}},
    };
    s.income = {{{"salary", "128500"},
                 {"incomechg", "Yes"},
                 {"employers", "401(k) deferral 19,500.00 a year\r\nUnion pension 2,400.00 a year"},
                 {"bonus", "1234.5"},
                 {"dividends", "2210.25"},
                 {"pension", "0.25"},
                 {"emphosehld", "Anna Smith (daughter), part-time tutor"},
                 {"emphousamt", "6300"},
                 {"emphousss", "1800"},
                 {"fedtax", "25000"},
                 {"otherdamt", "900"}}};
    s.support = {{{"dpresent", "Paying"},
                  {"psep", "Received"},
                  {"presper", "month"},
                  {"sepper", "week"},
                  {"paymade", "pursuant to separation"},
                  {"childper", "month"},
                  {"selfper", "week"},
                  {"dayof", "month"},
                  {"feememo", longMemo(QStringLiteral("Fees of Carter & Lowe LLP"), 40)},
                  {"otherdata", longMemo(QStringLiteral("Other data"), 8)},
                  {"attorney", "Maria T. Carter, Esq."},
                  {"swornbme", "Jane Q. Smith"}}};
    s.transfers = {
        {{"desc", longMemo(QStringLiteral("Cottage at Lake George"), 30)},
         {"xferto", "Robert Smith, brother of the defendant"},
         {"xdate", "05/14/2024"},
         {"value", "185000"}},
        {{"desc", "2017 sailboat"},
         {"xferto", "Sold at arm's length to K. Obi"},
         {"xdate", "08/01/2024"},
         {"value", "14250.5"}},
    };
    s.assets = {
        {"t_cash",
         {{{"location", "Home safe"}, {"source", "Salary"}, {"camt", "1500"}, {"amt", "1250.5"}},
          {{"location", "Wallet"}, {"source", "Salary"}, {"camt", "200"}, {"amt", "150"}}}},
        {"t_check",
         {{{"instituton", "First Brooklyn Bank"},
           {"accountnum", "1002-33"},
           {"title", "Joint"},
           {"dteopn", "01/05/2001"},
           {"source", "Salaries"},
           {"cbal", "8400.1"},
           {"balance", "5120.9"}},
          {{"instituton", "Harbor Credit Union"},
           {"accountnum", "77-1"},
           {"title", "Plaintiff"},
           {"dteopn", "03/03/2019"},
           {"source", "Salary"},
           {"cbal", "1200"},
           {"balance", "2240"}}}},
        {"T_Savings",
         {{{"instituton", "First Brooklyn Bank"},
           {"accountnum", "2002-44"},
           {"title", "Joint"},
           {"type", "Money market"},
           {"cbal", "25000"},
           {"balance", "26110.42"}}}},
        {"T_Other",
         {{{"location", "Paypal"},
           {"title", "Defendant"},
           {"type", "Online wallet"},
           {"amt", "310"}}}},
        {"T_Stocks",
         {{{"desc", "300 shares of Acme Corp. common stock"},
           {"title", "Joint"},
           {"location", "Broker"},
           {"adate", "2012"},
           {"price", "9000"},
           {"origvalue", "31500"},
           {"value", "33600"}},
          {{"desc", "Options on 100 shares of Beta Inc."},
           {"title", "Defendant"},
           {"origvalue", "4100"},
           {"value", "3900"}}}},
        {"T_broker", {{{"broker", "Northway Securities"}, {"title", "Joint"}, {"value", "12000"}}}},
        {"T_loans",
         {{{"debtor", "Paul Reyes\r\n8 Pine Road, Albany"},
           {"origamt", "10000"},
           {"source", "Savings"},
           {"pdate", "12/31/2026"},
           {"origamtdue", "8000"},
           {"value", "6000"}}}},
        {"T_business",
         {{{"business", "Smith Design LLC\r\n100 Main Street"},
           {"type", "Limited liability company"},
           {"capital", "20000"},
           {"percentint", "50"},
           {"networth", "140000"},
           {"origworth", "125000"}}}},
        {"T_lifeins",
         {{{"insurer", "Lifeco\r\nHartford, CT"},
           {"name", "John R. Smith"},
           {"policy", "LC-99"},
           {"faceamt", "500000"},
           {"owner", "Defendant"},
           {"origvalue", "18200"},
           {"value", "19050"}}}},
        {"T_Vehicals",
         {{{"desc", "2021 Subaru Outback"},
           {"title", "Plaintiff"},
           {"price", "31000"},
           {"amtunpaid", "8000"},
           {"origvalue", "22000"},
           {"value", "21000"}},
          {{"desc", "2015 Honda Civic"},
           {"title", "Defendant"},
           {"origvalue", "6500"},
           {"value", "5900"}}}},
        {"T_realestate",
         {{{"desc", "Two-family house, 12 Elm Street, Brooklyn"},
           {"title", "Joint"},
           {"adate", "2003"},
           {"price", "420000"},
           {"amtunpaid", "210000"},
           {"value", "1150000"}}}},
        {"T_vested",
         {{{"desc", "Smith family trust, one quarter"},
           {"title", "Defendant"},
           {"value", "45000"}}}},
        {"T_contingent",
         {{{"desc", "Inheritance expected from an aunt"},
           {"location", "Ohio"},
           {"method", "Estimate"},
           {"value", "30000"}}}},
        {"T_household",
         {{{"desc", "Furniture and appliances"},
           {"location", "Marital residence"},
           {"value", "18000"}}}},
        {"T_jewelry",
         {{{"desc", "Engagement ring"},
           {"location", "Bank box"},
           {"origvalue", "9500"},
           {"value", "9800"}}}},
        {"T_other2",
         {{{"desc", "Coin collection"},
           {"location", "Home"},
           {"origvalue", "2600"},
           {"value", "2750"}}}},
        {"t_retirement",
         {{{"desc", "401(k) plan"},
           {"locassets", "Fidelity"},
           {"title", "Plaintiff"},
           {"origvalue", "212000"},
           {"value", "224500.75"}},
          {{"desc", "IRA"},
           {"locassets", "Vanguard"},
           {"title", "Defendant"},
           {"origvalue", "64000"},
           {"value", "66250.25"}}}},
    };
    s.liabilities = {
        {"T_AP",
         {{{"creditor", "Dr. Lee, dentist"},
           {"debtor", "Plaintiff"},
           {"amtdebt", "2400"},
           {"origdebt", "2400"},
           {"amount", "1200"}}}},
        {"T_notespayable",
         {{{"holder", "Robert Smith"},
           {"debtor", "Defendant"},
           {"amtdebt", "15000"},
           {"origdebt", "12000"},
           {"amount", "9000"}}}},
        {"T_InstallAP",
         {{{"creditor", "Sofa World"},
           {"debtor", "Joint"},
           {"origdebt", "1800"},
           {"amount", "900"}}}},
        {"T_LBroker",
         {{{"broker", "Northway Securities"},
           {"ddate", "02/02/2023"},
           {"origdebt", "5000"},
           {"amount", "4500"}}}},
        {"T_mortpay",
         {{{"motrgagee", "Brooklyn Savings"},
           {"property", "12 Elm Street"},
           {"mortgagor", "Both parties"},
           {"odebt", "336000"},
           {"ddate", "07/01/2003"},
           {"origdebt", "214000"},
           {"amount", "210000"}}}},
        {"T_taxespay",
         {{{"desc", "Federal income tax 2025"}, {"ddate", "04/15/2026"}, {"amount", "3100"}}}},
        {"T_loanslife",
         {{{"insurer", "Lifeco"},
           {"ddate", "05/05/2020"},
           {"loanamt", "5000"},
           {"origdebt", "4000"},
           {"amount", "3500"}}}},
        {"T_OtherLiab",
         {{{"desc", "Loan from parents"},
           {"creditor", "Mr. and Mrs. Doe"},
           {"debtor", "Plaintiff"},
           {"origdebt", "7000"},
           {"amount", "6500"}}}},
        {"t_creditcard",
         {{{"debtor", "Visa ending 4411"},
           {"origdebt", "3000"},
           {"begamt", "4210.3"},
           {"curamt", "3980.7"}},
          {{"debtor", "Amex ending 1009"}, {"begamt", "1500"}, {"curamt", "1720.15"}}}},
        {"t_homeequity",
         {{{"mortgagee", "Brooklyn Savings"},
           {"propaddr", "12 Elm Street"},
           {"mortgagors", "Both parties"},
           {"origdebt", "50000"},
           {"curdebt", "32000"},
           {"curequity", "908000"}}}},
    };
    // The items the scenario leaves empty are marked, so that its statement is complete.
    s.marks = {{"e_d", "NONE"},     {"e_e", "NONE"},         {"e_f", "NONE"},
               {"e_g", "NONE"},     {"e_h", "INAPPLICABLE"}, {"e_i", "NONE"},
               {"e_k", "NONE"},     {"e_m", "NONE"},         {"i_unemp", "NONE"},
               {"i_ssi", "NONE"},   {"i_food", "NONE"},      {"i_veteran", "INAPPLICABLE"},
               {"i_other", "NONE"}, {"i_fellow", "NONE"},    {"i_annuity", "NONE"},
               {"i_disab", "NONE"}, {"i_pubasst", "NONE"},   {"i_hhother", "NONE"},
               {"a_d", "NONE"},     {"a_f", "UNKNOWN"}};
    return s;
}

// Another matter's records: one per table, with amounts that would show if they leaked.
Record strangerRecord(const char* component, const QString& matter) {
    Record record;
    record["matter"] = matter;
    const catalog::TableDef& def = definition(component);
    for (const catalog::FieldDef& field : def.fields) {
        const QString name = QString::fromLatin1(field.name);
        if (name == "matter") continue;
        if (field.type == 'C' || field.type == 'M') record[name] = QStringLiteral("STRANGER");
        if (field.type == 'N' && field.decimals == 2) record[name] = QStringLiteral("777");
    }
    return record;
}

}  // namespace

void writeTable(const QString& dataDirectory, const char* component, const QList<Record>& records) {
    storage::TDbfTable table(component);
    catalog::applyDefinition(table, definition(component), dataDirectory.toStdString());
    test_support::appendRecords(table, records);
    table.Close();
}

void writeTableRetrying(const QString& dataDirectory, const char* component,
                        const QList<Record>& records) {
    storage::TDbfTable table(component);
    catalog::applyDefinition(table, definition(component), dataDirectory.toStdString());
    table.OnALockFailedOnInsert = [](storage::TDbfFileDataSet&, bool& retry) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        retry = true;
    };
    test_support::appendRecords(table, records);
    table.Close();
}

void createAllTables(const QString& dataDirectory) {
    for (const catalog::TableDef* def : catalog::allTables()) {
        storage::TDbfTable table(def->component);
        catalog::applyDefinition(table, *def, dataDirectory.toStdString());
        table.Open();
        table.Close();
    }
}

void writeGeneral(const QString& dataDirectory, const QList<Record>& records) {
    storage::TDbfTable table("T_Writer");
    catalog::applyDefinition(table, catalog::generalTable(), dataDirectory.toStdString());
    test_support::appendRecords(table, records);
    table.Close();
}

QList<Record> readTable(const QString& dataDirectory, const char* component) {
    storage::TDbfTable table(component);
    catalog::applyDefinition(table, definition(component), dataDirectory.toStdString());
    table.CreateIfNotFound = false;
    table.Open();
    const QList<Record> records = test_support::readRecords(table);
    table.Close();
    return records;
}

const QList<ValueColumns>& assetColumns() {
    static const QList<ValueColumns> columns = {{"t_cash", "camt", "amt"},
                                                {"t_check", "cbal", "balance"},
                                                {"T_Savings", "cbal", "balance"},
                                                {"T_Security", nullptr, "amt"},
                                                {"T_Other", nullptr, "amt"},
                                                {"T_bonds", nullptr, "value"},
                                                {"T_Stocks", "origvalue", "value"},
                                                {"T_broker", nullptr, "value"},
                                                {"T_loans", "origamtdue", "value"},
                                                {"T_business", "origworth", "networth"},
                                                {"T_lifeins", "origvalue", "value"},
                                                {"T_Vehicals", "origvalue", "value"},
                                                {"T_realestate", nullptr, "value"},
                                                {"T_vested", nullptr, "value"},
                                                {"T_contingent", nullptr, "value"},
                                                {"T_household", nullptr, "value"},
                                                {"T_jewelry", "origvalue", "value"},
                                                {"T_other2", "origvalue", "value"},
                                                {"t_retirement", "origvalue", "value"}};
    return columns;
}

const QList<ValueColumns>& liabilityColumns() {
    static const QList<ValueColumns> columns = {
        {"T_AP", "origdebt", "amount"},        {"T_notespayable", "origdebt", "amount"},
        {"T_InstallAP", "origdebt", "amount"}, {"T_LBroker", "origdebt", "amount"},
        {"T_mortpay", "origdebt", "amount"},   {"T_taxespay", nullptr, "amount"},
        {"T_loanslife", "origdebt", "amount"}, {"t_creditcard", "begamt", "curamt"},
        {"t_homeequity", nullptr, "curdebt"},  {"T_OtherLiab", "origdebt", "amount"}};
    return columns;
}

const Scenario& fullScenario() {
    static const Scenario scenario = makeScenario();
    return scenario;
}

void writeScenario(const QString& dataDirectory) {
    const Scenario& s = fullScenario();
    const QStringList others = {QStringLiteral("Zeta v. Zeta"), QStringLiteral("smith v. smith")};
    QList<Record> general = forMatter(s.general, s.matter);
    for (const QString& other : others) {
        Record record = strangerRecord("T_Family", other);  // any text fields will do
        general << Record{{"matter", other}, {"indexnum", "STRANGER"}, {"explisted", "weekly"}};
    }
    writeGeneral(dataDirectory, general);

    auto writeWithStrangers = [&](const char* component, const QList<Record>& mine) {
        QList<Record> records;
        records << strangerRecord(component, others.at(0));
        records << forMatter(mine, s.matter);
        records << strangerRecord(component, others.at(1));
        writeTable(dataDirectory, component, records);
    };
    writeWithStrangers("T_Family", s.family);
    writeWithStrangers("T_Income", s.income);
    writeWithStrangers("T_Support", s.support);
    writeWithStrangers("T_Axfered", s.transfers);
    // The other matters mark every item: nothing of it may reach Smith's statement.
    QList<Record> marks;
    for (const QString& other : others) {
        Record record{{"matter", other}, {"oath", "affirmation"}};
        for (const catalog::StatementItem& item : catalog::statementItems())
            record[QLatin1String(item.key)] = QStringLiteral("UNKNOWN");
        marks << record;
    }
    marks.insert(1, forMatter({s.marks}, s.matter).front());
    writeTable(dataDirectory, "T_Marks", marks);
    QList<Record> expenses;
    for (const QString& other : others) {
        expenses << Record{
            {"matter", other}, {"etype", "(a) Housing"}, {"expense", "STRANGER"}, {"amt", "777"}};
    }
    writeTable(dataDirectory, "T_Expenses", expenses + forMatter(s.expenses, s.matter));
    for (const ValueColumns& column : assetColumns()) {
        writeWithStrangers(column.component, s.assets.value(column.component));
    }
    for (const ValueColumns& column : liabilityColumns()) {
        writeWithStrangers(column.component, s.liabilities.value(column.component));
    }
}

QString dumpProject() {
    QStringList lines;
    lines << "report DirEdodu"
          << "    page margins=0.5in"
          << "    font size=6";
    // Single-record connections are read where the job left them.
    for (const char* connection : {"DataConnection1", "DataConnection2", "DataConnection4"}) {
        lines << "    band"
              << QStringLiteral("        text x=0 y=0 w=7.5in value={\"ONE|%1|\" & %1.matter}")
                     .arg(QLatin1String(connection))
              << "    end";
    }
    for (const printing::ConnectionDef& def : printing::connectionDefinitions()) {
        const QString name = QLatin1String(def.name);
        if (def.source == printing::ConnectionSource::General || name == "DataConnection2" ||
            name == "DataConnection4")
            continue;
        QString row = QStringLiteral("\"ROW|%1|\" & %1.matter").arg(name);
        if (name == "DataConnection3")
            row += QStringLiteral(" & \"|\" & %1.etype & \"|\" & %1.expense").arg(name);
        lines << QStringLiteral("    detail %1").arg(name)
              << QStringLiteral("        text x=0 y=0 w=7.5in value={%1}").arg(row) << "    end";
    }
    QStringList parameters = {"r_totincome", "r_oath"};
    for (const char* p : {"r_sep",    "r_div",    "r_cust1",  "r_cust2",  "r_cust3",  "r_cust4",
                          "r_occ1",   "r_occ2",   "r_occ3",   "r_occ4",   "r_depwm1", "r_depwm2",
                          "r_depwm3", "r_depwm4", "r_pymts1", "r_pymts2", "r_pymts3", "r_dpr1",
                          "r_dpr2",   "r_dpr3",   "r_dpr4",   "r_wm1",    "r_wm2",    "r_wm3",
                          "r_wm4",    "r_wm5",    "r_wm6",    "r_expmth", "r_expwk"})
        parameters << QLatin1String(p);
    for (const QString& p : parameters) {
        lines << "    band"
              << QStringLiteral("        text x=0 y=0 w=7.5in value={\"PARAM|%1|\" & %1}").arg(p)
              << "    end";
    }
    lines << "end";
    return lines.join('\n') + '\n';
}

}  // namespace print_test
