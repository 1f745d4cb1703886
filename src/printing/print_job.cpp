// The print job of the main window's Print command (and of the headless --print-pdf run).

#include "printing/print_job.h"

#include <QDir>
#include <array>
#include <memory>
#include <stdexcept>
#include <vector>

#include "catalog/table_catalog.h"
#include "platform/dialogs.h"
#include "printing/matter_marks.h"
#include "printing/print_components.h"
#include "printing/print_parameters.h"
#include "printing/statement_check.h"
#include "report/table_data_set.h"
#include "storage/dbf_table.h"

namespace printing {

namespace {

const QString kReportName = QStringLiteral("DirEdodu");
// Key of the expense lines' order.
constexpr const char* kExpenseOrder = "etype + expense";

// A failure of the job that is not the table component's own.
class PrintError : public std::runtime_error {
  public:
    explicit PrintError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The job's private instance of one schedule's table set: a table object per definition, in
// the set's order, each with the rows its connection reads (read once the table is filtered).
// Independent of any schedule form that may be open. Destroying it closes the tables in the
// set's order.
class TableSetInstance {
  public:
    explicit TableSetInstance(catalog::TableSet set) {
        for (const catalog::TableDef& def : set) {
            Entry entry;
            entry.definition = &def;
            entry.table = std::make_unique<storage::TDbfTable>(def.component);
            entries_.push_back(std::move(entry));
        }
    }
    ~TableSetInstance() {
        for (Entry& entry : entries_) entry.table->Close();
    }

    struct Entry {
        const catalog::TableDef* definition = nullptr;
        std::unique_ptr<storage::TDbfTable> table;
        std::unique_ptr<report::TableSnapshot> rows;
    };

    Entry* find(const char* component) {
        for (Entry& entry : entries_) {
            if (qstrcmp(entry.definition->component, component) == 0) return &entry;
        }
        return nullptr;
    }

  private:
    std::vector<Entry> entries_;
};

class PrintJob {
  public:
    explicit PrintJob(const PrintContext& context)
        : context_(context), components_(*context.components) {}
    ~PrintJob() { release(); }

    PrintOutcome run() {
        PrintOutcome outcome;
        try {
            matter_ = context_.currentMatter();
            openFamily();
            openExpenses();
            const double total = openIncome();
            openTableSet(ConnectionSource::Assets, assets_);
            openTableSet(ConnectionSource::Liabilities, liabilities_);
            openTableSet(ConnectionSource::Summary, summary_);
            bindMainConnections();
            if (!context_.checkOnly) openProject();
            const StatementCheck check = checkMatter();
            if (context_.checkOnly || !mayPrint(check)) {
                outcome.ok = context_.checkOnly;
                outcome.openItems = openItemLines(check);
                release();
                return outcome;
            }
            setReportParameters(components_.ReportProject1, formatTotal(total),
                                [this](MarkSource source, const char* field) {
                                    return recordField(source, field);
                                });
            setMarkParameters(components_.ReportProject1, check);
            setStatementOptions();
            outcome = execute();
            outcome.openItems = openItemLines(check);
        } catch (const std::exception& error) {
            outcome.ok = false;
            outcome.error = QString::fromStdString(error.what());
        }
        release();
        return outcome;
    }

  private:
    // Points one of the print tables at its file, with the catalog's record format, and opens it.
    storage::TDbfTable& openMainTable(storage::TDbfTable& table) {
        const catalog::TableDef* def = catalog::findTable(catalog::printTables(), table.Name());
        if (!def)
            throw PrintError(QStringLiteral("No table definition for %1")
                                 .arg(QString::fromStdString(table.Name())));
        table.Close();
        catalog::applyDefinition(table, *def, context_.dataDirectory.toStdString());
        table.Open();
        return table;
    }

    // Stands the table on the matter's record, found through its `matter` index (letter case
    // counts), or on a new record holding only the matter when there is none. A check creates
    // nothing: the table is closed instead, and reads as no record.
    void locateOrCreate(storage::TDbfTable& table) {
        if (table.Locate("matter", {matter_.toStdString()}, storage::loCaseInsensitive)) return;
        if (context_.checkOnly) {
            table.Close();
            return;
        }
        table.Insert();
        table.FieldByName("matter").setAsString(matter_.toStdString());
        table.Post();
    }

    void openFamily() { locateOrCreate(openMainTable(components_.T_PFamily)); }

    // The matter's expense lines ordered by category (padded to its width) and item. The order
    // is this run's own, held in memory: jobs printing at the same moment from one data
    // directory never share or rebuild each other's order, and no index over every matter's
    // lines is written.
    void openExpenses() {
        TExpenseLines& table = components_.T_PExpenses;
        openMainTable(table);
        context_.installMatterFilter(QStringLiteral("T_PExpenses"), table);
        table.OrderInMemory(kExpenseOrder);
    }

    double openIncome() {
        storage::TDbfTable& table = openMainTable(components_.T_PIncome);
        locateOrCreate(table);
        if (!table.Active()) return 0.0;
        return incomeTotal([&table](const char* field) {
            const storage::TField& amount = table.FieldByName(field);
            return amount.IsNull() ? 0.0 : amount.AsFloat();
        });
    }

    // Steps through the connections of one table set in order: points each table at its file,
    // opens it, installs its matter filter and binds the connection to the matter's rows, read
    // once, so that the statement's totals and lines come from one reading of each table.
    void openTableSet(ConnectionSource source, std::unique_ptr<TableSetInstance>& instance) {
        const catalog::TableSet set = source == ConnectionSource::Assets ? catalog::assetsTables()
                                      : source == ConnectionSource::Liabilities
                                          ? catalog::liabilitiesTables()
                                          : catalog::summaryTables();
        instance = std::make_unique<TableSetInstance>(set);
        for (const ConnectionDef& def : connectionDefinitions()) {
            if (def.source != source) continue;
            TableSetInstance::Entry* entry = instance->find(def.component);
            if (!entry) {
                throw PrintError(
                    QStringLiteral("No table definition for %1").arg(QLatin1String(def.component)));
            }
            if (def.opened) {
                catalog::applyDefinition(*entry->table, *entry->definition,
                                         context_.dataDirectory.toStdString());
                entry->table->Open();
                context_.installMatterFilter(QLatin1String(def.component), *entry->table);
            }
            if (!entry->rows) entry->rows = std::make_unique<report::TableSnapshot>(*entry->table);
            components_.connection(QLatin1String(def.name))->setDataSet(entry->rows.get());
        }
    }

    void bindMainConnections() {
        for (const ConnectionDef& def : connectionDefinitions()) {
            storage::TDbfCDataSet* table = nullptr;
            if (def.source == ConnectionSource::General) table = context_.general;
            if (def.source == ConnectionSource::Main)
                table = components_.mainTable(QLatin1String(def.component));
            if (!table) continue;
            mainRows_.push_back(std::make_unique<report::TableDataSet>(*table));
            components_.connection(QLatin1String(def.name))->setDataSet(mainRows_.back().get());
        }
    }

    void openProject() {
        report::TReportProject& project = components_.ReportProject1;
        project.setProjectFile(projectFilePath(context_.programDirectory));
        if (!project.open()) throw PrintError(project.errorText());
    }

    // The completeness check over the rows bound to the connections, with the matter's marks
    // (read here, once: the oath is the same record's).
    StatementCheck checkMatter() {
        marks_ = MatterMarks::stored(context_.dataDirectory, matter_);
        CheckSource source;
        source.answers = [this](const catalog::StatementItem& item) { return answersOf(item); };
        source.mark = [this](const catalog::StatementItem& item) { return marks_.mark(item); };
        source.general = [this](const char* field) {
            return recordField(MarkSource::General, field);
        };
        return checkStatement(source);
    }

    // The data set of the connection reading the file that holds the item's answers.
    report::ReportDataSet* answersOf(const catalog::StatementItem& item) {
        const catalog::TableDef* table = catalog::findTable(item.component);
        if (!table) return nullptr;
        for (const ConnectionDef& def : connectionDefinitions()) {
            const catalog::TableDef* bound = catalog::findTable(def.component);
            if (bound && qstricmp(bound->file, table->file) == 0) {
                report::TReportConnection* connection =
                    components_.connection(QLatin1String(def.name));
                return connection ? connection->dataSet() : nullptr;
            }
        }
        return nullptr;
    }

    // An interactive job asks before it prints a statement with open items.
    bool mayPrint(const StatementCheck& check) {
        if (check.open.empty() || !context_.pdfFile.isEmpty()) return true;
        return platform::dialogs().confirmYesNo(openItemsQuestion(check, matter_),
                                                QStringLiteral("Statement of Net Worth"));
    }

    // The closing the matter's statement prints with, and the document's title and author (the
    // deponent) for its PDF.
    void setStatementOptions() {
        const StatementOptions options =
            context_.statementOptions
                ? context_.statementOptions(matter_)
                : StatementOptions{marks_.affirmation() ? Oath::Affirmation : Oath::Jurat};
        report::TReportProject& project = components_.ReportProject1;
        project.setParameter(oathParameterName(), oathParameterValue(options.oath));
        project.setDocumentInfo(QStringLiteral("Statement of Net Worth - ") + matter_,
                                recordField(MarkSource::General, "xname").trimmed());
    }

    // A field of the record a source stands on, as text (right-trimmed); "" with no record.
    QString recordField(MarkSource source, const char* field) {
        storage::TDbfCDataSet* table = nullptr;
        switch (source) {
            case MarkSource::Family:
                table = &components_.T_PFamily;
                break;
            case MarkSource::Support:
                if (TableSetInstance::Entry* entry = summary_->find("T_Support"))
                    table = entry->table.get();
                break;
            case MarkSource::General:
                table = context_.general;
                break;
        }
        if (!table || !table->Active() || table->IsEmpty()) return QString();
        return QString::fromStdString(table->FieldByName(field).AsString());
    }

    PrintOutcome execute() {
        report::TReportProject& project = components_.ReportProject1;
        PrintOutcome outcome;
        if (context_.pdfFile.isEmpty()) {
            outcome.ok = project.executeReport(kReportName, context_.mainWindow);
        } else {
            outcome.ok = project.exportPdf(kReportName, context_.pdfFile);
        }
        if (!outcome.ok) outcome.error = project.errorText();
        project.close();
        return outcome;
    }

    // Closes the project, the private table sets in the order assets, liabilities, summary
    // (each closing its tables in set order), then the print tables. Safe to run twice.
    void release() {
        components_.ReportProject1.close();
        for (const auto& connection : components_.connections()) connection->setDataSet(nullptr);
        assets_.reset();
        liabilities_.reset();
        summary_.reset();
        components_.T_PFamily.Close();
        // The matter filter leaves with the job: a routine kept over the closing would make the
        // next job's opening walk the table to the first line of this job's matter.
        if (components_.T_PExpenses.Active())
            components_.T_PExpenses.SetFilterToCB(nullptr, nullptr);
        components_.T_PExpenses.Close();
        components_.T_PIncome.Close();
        mainRows_.clear();
    }

    const PrintContext& context_;
    PrintComponents& components_;
    QString matter_;
    std::unique_ptr<TableSetInstance> assets_, liabilities_, summary_;
    MatterMarks marks_;
    std::vector<std::unique_ptr<report::TableDataSet>> mainRows_;
};

}  // namespace

QString projectFilePath(const QString& programDirectory) {
    QString directory = QDir::toNativeSeparators(programDirectory);
    if (!directory.endsWith(QDir::separator())) directory += QDir::separator();
    return directory + QStringLiteral("\\Reports\\Diredodu.rpf");
}

PrintOutcome runPrintJob(const PrintContext& context) {
    PrintJob job(context);
    return job.run();
}

}  // namespace printing
