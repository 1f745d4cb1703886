// A 20-page report of 1,000 expense rows in 10 groups, with money amounts, group sums and
// "Page N of M", laid out and written to PDF. Goal: under 1 s for the whole PDF. The peak
// resident memory of the process is reported as peak_rss_mb.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "report/document_output.h"
#include "report/layout_engine.h"
#include "report/memory_data_set.h"
#include "report/project_parser.h"

namespace {

const char kProject[] = R"(
report Bench
    page margins=0.5in
    pageheader height=30pt
        text x=0 y=0 w=7.5in align=center bold size=12 value="STATEMENT OF NET WORTH"
        line x1=0 y1=20pt x2=7.5in y2=20pt
    end
    detail Expenses height=12.2pt
        header height=18pt repeat
            text x=0 w=3in bold value="Item"
            text x=6in w=1.5in bold align=right value="Monthly"
        end
        group key={Expenses.etype}
            header height=16pt
                text x=0 w=4in bold value={Expenses.etype}
            end
            footer height=16pt
                text x=3in w=3in align=right value={"Total " & Expenses.etype}
                text x=6in w=1.5in align=right bold value={money(sum(Expenses.amt))}
            end
        end
        text x=0.2in w=4in value={Expenses.expense}
        text x=4.3in w=1.6in value={Expenses.info}
        text x=6in w=1.5in align=right value={money(Expenses.amt)}
        footer height=20pt
            text x=6in w=1.5in align=right bold value={money(sum(Expenses.amt))}
        end
    end
    pagefooter height=20pt
        text x=0 y=6pt w=7.5in align=center size=8 value={"Page " & page() & " of " & pages()}
    end
end
)";

struct Fixture {
    report::ParseResult parsed = report::parseProject(QString::fromUtf8(kProject));
    report::MemoryDataSet expenses;
    QHash<QString, QString> parameters;
    QHash<QString, report::ReportDataSet*> connections;

    Fixture() {
        expenses.addField(QStringLiteral("etype"), report::FieldKind::Text);
        expenses.addField(QStringLiteral("expense"), report::FieldKind::Text);
        expenses.addField(QStringLiteral("amt"), report::FieldKind::Number);
        expenses.addField(QStringLiteral("info"), report::FieldKind::Text);
        for (int i = 0; i < 1000; ++i) {
            expenses.addRow({QStringLiteral("(%1) Category").arg(QChar('a' + i / 100)),
                             QStringLiteral("Expense line number %1").arg(i + 1),
                             i % 7 == 0 ? QVariant() : QVariant(i * 12.34),
                             QStringLiteral("remark")});
        }
        connections.insert(QStringLiteral("expenses"), &expenses);
    }

    report::Document layout() {
        report::LayoutInput input;
        input.parameters = &parameters;
        input.connections = &connections;
        return report::layoutReport(*parsed.project->reports.front(), input);
    }
};

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

void BM_LayoutOnly(benchmark::State& state) {
    Fixture fixture;
    size_t pages = 0;
    for (auto _ : state) pages = fixture.layout().pages.size();
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_LayoutOnly)->Unit(benchmark::kMillisecond);

void BM_ReportToPdf(benchmark::State& state) {
    Fixture fixture;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    size_t pages = 0;
    for (auto _ : state) {
        const report::Document document = fixture.layout();
        pages = document.pages.size();
        QString error;
        if (!report::writePdf(document, path, {}, {}, &error))
            state.SkipWithError("PDF not written");
    }
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["pdf_kb"] = static_cast<double>(QFileInfo(path).size()) / 1024.0;
    state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
