#include "office_data.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "print_fixture.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/record.h"

namespace bench_data {

namespace {

constexpr int kExpenseLines = 99;
constexpr int kRecordsPerSchedule = 2;

void check(const storage::Status& s) {
    if (!s.ok()) {
        std::fprintf(stderr, "%s\n", s.message().c_str());
        std::exit(1);
    }
}

std::string path(const QString& dir, const catalog::TableDef& def) {
    return catalog::tablePath(dir.toStdString(), def);
}

// How many records a matter has in the table, and whether they are written together.
int perMatter(const catalog::TableDef& def) {
    const std::string component = def.component;
    if (component == "T_Expenses") return kExpenseLines;
    if (!def.matterFiltered || component == "T_Support") return 1;
    return kRecordsPerSchedule;
}

// Appends record `k` of matter `m` straight to the table file: short texts (every answer mark
// "NONE" in Marks.dbf), amounts, no memos.
void appendRecord(storage::DbfFile& table, std::vector<uint8_t>& record, int m, int k, bool marks) {
    table.blankRecord(record.data());
    for (const storage::FieldDescriptor& field : table.fields()) {
        if (field.name == "MATTER") {
            storage::setText(field, record.data(), matterName(m));
        } else if (field.name == "ETYPE") {
            storage::setText(field, record.data(), k < 50 ? "(a) Housing" : "(m) Miscellaneous");
        } else if (field.type == 'C' && field.width >= 10) {
            storage::setText(field, record.data(),
                             marks ? std::string(catalog::kMarkNone) : "Item " + std::to_string(k));
        } else if (field.type == 'N' && field.decimals == 2 && field.width >= 10) {
            storage::setNumber(field, record.data(), 100.25 * (k + 1));
        }
    }
    check(table.appendRecord(record.data()));
}

// Appends the records of matters [from, to): a matter's expense lines together, the schedules'
// records one round after the other.
void appendMatters(const QString& dir, const catalog::TableDef& def, int from, int to) {
    std::unique_ptr<storage::DbfFile> table;
    check(storage::DbfFile::open(storage::Env::Default(), path(dir, def),
                                 storage::Access::ReadWrite, storage::Share::Exclusive, &table));
    std::vector<uint8_t> record(table->recordLength());
    const int count = perMatter(def);
    const bool marks = &def == &catalog::marksTable();
    if (std::string(def.component) == "T_Expenses") {
        for (int m = from; m < to; ++m)
            for (int k = 0; k < count; ++k) appendRecord(*table, record, m, k, marks);
    } else {
        for (int k = 0; k < count; ++k)
            for (int m = from; m < to; ++m) appendRecord(*table, record, m, k, marks);
    }
    check(table->close());
}

// Every table the office writes to: General.dbf, Marks.dbf and each schedule's.
std::vector<const catalog::TableDef*> officeTables() {
    std::vector<const catalog::TableDef*> tables = {&catalog::generalTable(),
                                                    &catalog::marksTable()};
    for (catalog::TableSet set :
         {catalog::familyTables(), catalog::expensesTables(), catalog::incomeTables(),
          catalog::assetsTables(), catalog::liabilitiesTables(), catalog::summaryTables()}) {
        for (const catalog::TableDef& def : set) tables.push_back(&def);
    }
    return tables;
}

// Opens and closes the table through the component as its form declares it: what a form's
// first visit builds beside the table (its production index) is built over every record.
void openOnce(const QString& dir, const catalog::TableDef& def) {
    storage::TDbfTable table(def.component);
    catalog::applyDefinition(table, def, dir.toStdString());
    table.ShowProgress = false;
    table.Open();
    table.Close();
}

}  // namespace

std::string matterName(int n) { return "Matter " + std::to_string(n) + " v. Doe"; }

OfficeData::OfficeData(int matters)
    : matters_(matters), dir_(QDir::tempPath() + "/office_data_XXXXXX") {
    data_ = QDir(dir_.path()).filePath("data") + '/';
    QDir().mkpath(data_);
    print_test::createAllTables(data_);
    openOnce(data_, catalog::generalTable());
    for (const catalog::TableDef* def : officeTables()) appendMatters(data_, *def, 0, matters / 2);
    // Through the component, which keeps the production indexes current.
    print_test::writeScenario(data_);
    for (const catalog::TableDef* def : officeTables())
        appendMatters(data_, *def, matters / 2, matters);
    // The raw appends did not reach the indexes: every index file is built anew.
    for (const QFileInfo& file : QDir(data_).entryInfoList(QDir::Files)) {
        if (file.suffix().compare("dbf", Qt::CaseInsensitive) != 0 &&
            file.suffix().compare("dbt", Qt::CaseInsensitive) != 0)
            QFile::remove(file.absoluteFilePath());
    }
    for (const catalog::TableDef* def : officeTables()) openOnce(data_, *def);
    for (const QFileInfo& file : QDir(data_).entryInfoList(QDir::Files)) {
        files_.push_back(file.absoluteFilePath().toStdString());
        bytes_ += file.size();
    }
}

QString OfficeData::scratch(const QString& name) const { return QDir(dir_.path()).filePath(name); }

qint64 OfficeData::ownBytes(const QString& matter, catalog::TableSet set) const {
    qint64 total = 0;
    std::vector<const catalog::TableDef*> tables;
    for (const catalog::TableDef& def : set) tables.push_back(&def);
    if (tables.empty()) tables = officeTables();
    for (const catalog::TableDef* def : tables) {
        std::unique_ptr<storage::DbfFile> table;
        check(storage::DbfFile::open(storage::Env::System(), path(data_, *def),
                                     storage::Access::ReadOnly, storage::Share::Shared, &table));
        const int matterField = table->fieldIndex("matter");
        std::vector<uint8_t> record(table->recordLength());
        for (uint32_t r = 1; r <= table->recordCount(); ++r) {
            check(table->readRecord(r, record.data()));
            if (storage::getText(table->fields()[matterField], record.data()) !=
                matter.toStdString())
                continue;
            total += table->recordLength();
            for (size_t f = 0; f < table->fields().size(); ++f) {
                if (!storage::isMemoType(table->fields()[f].type)) continue;
                std::string text;
                check(table->readMemo(record.data(), int(f), &text));
                // The memo's blocks: an 8-byte block header, then the text.
                if (!text.empty()) total += qint64((text.size() + 8 + 511) / 512 * 512);
            }
        }
        check(table->close());
    }
    return total;
}

}  // namespace bench_data
