// Feeds arbitrary bytes to the report project parser; whatever parses has every expression
// evaluated against a small data set. Neither may crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "report/evaluator.h"
#include "report/memory_data_set.h"
#include "report/project_parser.h"

namespace {

using namespace report;

void evaluateBand(const BandDef& band, const EvalScope& scope) {
    if (band.condition) evaluate(*band.condition, scope);
    for (const ItemDef& item : band.items) {
        if (item.value) evaluate(*item.value, scope);
    }
}

void evaluateBand(const std::optional<BandDef>& band, const EvalScope& scope) {
    if (band) evaluateBand(*band, scope);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParseResult result = parseProject(text);
    if (!result.ok()) {
        // Every error names a line inside the file.
        if (result.error.line < 1 || result.error.line > text.count('\n') + 1) __builtin_trap();
        return 0;
    }

    MemoryDataSet rows;
    rows.addField(QStringLiteral("a"), FieldKind::Text);
    rows.addField(QStringLiteral("n"), FieldKind::Number);
    rows.addField(QStringLiteral("d"), FieldKind::Date);
    rows.addRow({QStringLiteral("x"), 1.5, QDate(2024, 1, 2)});
    QHash<QString, ReportDataSet*> connections;
    QHash<QString, QString> parameters{{QStringLiteral("p"), QStringLiteral("1,234.5")}};
    for (const auto& report : result.project->reports) {
        std::vector<Value> totals(report->totals.size(), Value::number(2));
        EvalScope scope;
        scope.parameters = &parameters;
        scope.connections = &connections;
        scope.totals = &totals;
        scope.page = 1;
        scope.pages = 2;
        evaluateBand(report->pageHeader, scope);
        evaluateBand(report->pageFooter, scope);
        evaluateBand(report->title, scope);
        evaluateBand(report->summary, scope);
        for (const BodyPart& part : report->body) {
            evaluateBand(part.band, scope);
            if (!part.detail) continue;
            const DetailDef& detail = *part.detail;
            connections.insert(detail.connection.toLower(), &rows);
            std::vector<Accumulator> sums(detail.aggregates.size(), Accumulator{3, 2});
            EvalScope rowScope = scope;
            rowScope.aggregates = &sums;
            if (detail.condition) evaluate(*detail.condition, scope);
            evaluateBand(detail.row, rowScope);
            evaluateBand(detail.header, rowScope);
            evaluateBand(detail.footer, rowScope);
            for (const GroupDef& group : detail.groups) {
                evaluate(*group.key, rowScope);
                evaluateBand(group.header, rowScope);
                evaluateBand(group.footer, rowScope);
            }
        }
    }
    return 0;
}
