// The printed statement of a full matter, written by `networth --print-pdf` and read back with
// pdftotext: the stored answers in their places and every total recomputed here; failures on
// standard error; two processes printing different matters from one data directory at once.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>

#include "../support/pdf_text.h"
#include "../support/process_run.h"
#include "print_fixture.h"

namespace {

using print_test::Record;
using test_support::pdfPages;

// "#,##0.00" with comma and point, written out independently of the program's formatting.
QString usd(double value) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2f", std::fabs(value));
    QString whole = QString::fromLatin1(digits);
    QString cents = whole.right(3);
    whole.chop(3);
    for (int i = whole.size() - 3; i > 0; i -= 3) whole.insert(i, ',');
    return (value < -0.005 ? QStringLiteral("-") : QString()) + whole + cents;
}

double amount(const Record& record, const char* field) {
    return field ? record.value(QLatin1String(field)).toDouble() : 0.0;
}

using test_support::ProcessRun;

ProcessRun printPdf(const QStringList& arguments, const QStringList& environment = {}) {
    test_support::ProcessOptions options;
    options.setEnvironment = environment;
    return test_support::runProcess(QStringLiteral(NETWORTH),
                                    QStringList{"--print-pdf"} + arguments, options);
}

// The text with runs of blanks made single, so that a caption and its value read as one line.
QString simplified(const QString& text) {
    QString out = text;
    out.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    return out;
}

class PrintPdfTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        data_ = dir_.filePath("data") + '/';
        QDir().mkpath(data_);
    }
    QString pdf(const QString& name = QStringLiteral("statement.pdf")) const {
        return dir_.filePath(name);
    }

    QTemporaryDir dir_;
    QString data_;
};

TEST_F(PrintPdfTest, TheFullStatementShowsEveryAnswerAndTotal) {
    print_test::writeScenario(data_);
    const print_test::Scenario& s = print_test::fullScenario();
    const ProcessRun run = printPdf({s.matter, pdf(), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList pages = pdfPages(pdf());
    ASSERT_GE(pages.size(), 6);
    const QString text = simplified(pages.join('\n'));

    // Every page numbered; the index number heads every page after the first.
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(simplified(pages[i]).contains(
            QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size())))
            << "page " << i + 1;
        EXPECT_EQ(simplified(pages[i]).contains(QLatin1String("Index No. 31415/2026")), true);
    }
    EXPECT_FALSE(simplified(pages[1]).startsWith(QLatin1String("Statement")) &&
                 simplified(pages[0]).startsWith(QLatin1String("Statement")));

    // Nothing of the other matters, the letter-case twin "smith v. smith" included.
    EXPECT_FALSE(text.contains(QLatin1String("STRANGER")));
    EXPECT_FALSE(text.contains(QLatin1String("777.00")));

    // Caption, venue and family data.
    for (const char* expected :
         {"SUPREME COURT OF THE STATE OF NEW YORK", "COUNTY OF NEW YORK", "JANE Q. SMITH",
          "JOHN R. SMITH", "Date of commencement of action:", "03/02/2026", "STATE OF New York",
          "COUNTY OF Kings", "06/30/2026 of my net worth", "Plaintiff's Date of Birth 01/15/1970",
          "Defendant's Date of Birth 02/20/1972", "Date married: 06/10/1995",
          "Anna Smith, born 04/03/2001", "Ben Smith, born 11/12/2005", "Brooklyn, NY 11226",
          "Occupation of Plaintiff Civil engineer", "Occupation of Defendant Pharmacist"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    }
    // The title wraps where the typeface's widths put the break.
    EXPECT_TRUE(
        text.simplified().contains(QString::fromUtf8("STATEMENT OF NET WORTH (DRL § 236)")));

    // Expenses: each line, each category's subtotal, the total.
    QMap<QString, double> perCategory;
    double totalExpenses = 0;
    for (const Record& line : s.expenses) {
        EXPECT_TRUE(text.contains(line["expense"].left(28))) << line["expense"].toStdString();
        if (!line["amt"].isEmpty()) {
            EXPECT_TRUE(text.contains(line["expense"] + ' ' + usd(amount(line, "amt"))))
                << line["expense"].toStdString();
        }
        perCategory[line["etype"]] += amount(line, "amt");
        totalExpenses += amount(line, "amt");
    }
    for (auto it = perCategory.begin(); it != perCategory.end(); ++it) {
        if (it.value() == 0) continue;
        EXPECT_TRUE(
            text.contains(QStringLiteral("Subtotal %1 %2").arg(it.key().left(3), usd(it.value()))))
            << it.key().toStdString();
    }
    EXPECT_TRUE(text.contains("TOTAL EXPENSES " + usd(totalExpenses)))
        << usd(totalExpenses).toStdString();
    // A category without lines still has its heading.
    EXPECT_TRUE(text.contains(QLatin1String("(h) Household help")));

    // Gross income: the items and the total of the nineteen amounts.
    const Record& income = s.income.first();
    double totalIncome = 0;
    for (const char* field :
         {"salary", "bonus", "partnershi", "dividends", "dividendnt", "realestate", "trust",
          "pension", "awards", "bequests", "oincome", "ltcapgns", "depreciati", "stock",
          "emphousamt", "emphousss", "emphousdis", "emphouspa", "emphousoth"})
        totalIncome += amount(income, field);
    EXPECT_TRUE(text.contains("TOTAL INCOME " + usd(totalIncome)))
        << usd(totalIncome).toStdString();
    EXPECT_TRUE(text.contains("Workers' compensation " + usd(1234.5)));
    EXPECT_TRUE(text.contains("Pension (income only) " + usd(0.25)));
    EXPECT_TRUE(text.contains("Social Security " + usd(1800)));
    EXPECT_TRUE(text.contains(QLatin1String("401(k) deferral 19,500.00 a year")));

    // Assets and liabilities: every entry's two values, each category's subtotals, the totals
    // and the net worth, in both columns.
    auto checkSchedule = [&](const QList<print_test::ValueColumns>& columns,
                             const QMap<QString, QList<Record>>& records, const QString& title,
                             double* commencement, double* current) {
        *commencement = *current = 0;
        for (const print_test::ValueColumns& column : columns) {
            double subCommencement = 0, subCurrent = 0;
            for (const Record& record : records.value(column.component)) {
                const QString values =
                    (column.commencement && !record.value(column.commencement).isEmpty()
                         ? usd(amount(record, column.commencement)) + ' '
                         : QString()) +
                    usd(amount(record, column.current));
                EXPECT_TRUE(text.contains(values))
                    << column.component << " " << values.toStdString();
                subCommencement += amount(record, column.commencement);
                subCurrent += amount(record, column.current);
            }
            if (!records.value(column.component).isEmpty()) {
                const QString subtotal =
                    QStringLiteral("Subtotal ") +
                    (column.commencement ? usd(subCommencement) + ' ' : QString()) +
                    usd(subCurrent);
                EXPECT_TRUE(text.contains(subtotal))
                    << column.component << " " << subtotal.toStdString();
            }
            *commencement += subCommencement;
            *current += subCurrent;
        }
        EXPECT_TRUE(text.contains(title + ' ' + usd(*commencement) + ' ' + usd(*current)))
            << title.toStdString() << " " << usd(*commencement).toStdString() << " "
            << usd(*current).toStdString();
    };
    double assetsThen, assetsNow, debtsThen, debtsNow;
    checkSchedule(print_test::assetColumns(), s.assets, "TOTAL ASSETS", &assetsThen, &assetsNow);
    checkSchedule(print_test::liabilityColumns(), s.liabilities, "TOTAL LIABILITIES", &debtsThen,
                  &debtsNow);
    EXPECT_TRUE(
        text.contains("NET WORTH " + usd(assetsThen - debtsThen) + ' ' + usd(assetsNow - debtsNow)))
        << usd(assetsThen - debtsThen).toStdString() << " "
        << usd(assetsNow - debtsNow).toStdString();
    for (const char* heading : {"(d) Security deposits", "(f) Bonds and notes",
                                "(i) Home Equity and Other Lines of Credit"})
        EXPECT_TRUE(text.contains(QLatin1String(heading))) << heading;

    // Transfers, fees (a memo over more than a page), other data, signatures.
    EXPECT_TRUE(text.contains("Robert Smith, brother of the"));
    EXPECT_TRUE(text.contains("05/14/2024 " + usd(185000)));
    EXPECT_TRUE(text.contains("08/01/2024 " + usd(14250.5)));
    EXPECT_TRUE(text.contains(QLatin1String("Cottage at Lake George, note 30:")));
    EXPECT_TRUE(text.contains(QLatin1String("Fees of Carter & Lowe LLP, note 1:")));
    EXPECT_TRUE(text.contains(QLatin1String("Fees of Carter & Lowe LLP, note 40:")));
    EXPECT_TRUE(text.contains(QLatin1String("Other data, note 8:")));
    EXPECT_TRUE(text.contains(QLatin1String("Maria T. Carter, Esq.")));
    EXPECT_GE(text.count(QLatin1String("Jane Q. Smith")), 2);  // deponent and below the signature
}

// The statement prints the official form's item names spelled correctly, where the data-entry
// forms keep their captions as they stand.
TEST_F(PrintPdfTest, TheStatementSpellsTheFormsItemNamesCorrectly) {
    print_test::writeScenario(data_);
    ASSERT_EQ(printPdf({print_test::fullScenario().matter, pdf(), "--data-dir", data_}).exitCode,
              0);
    const QString text = simplified(pdfPages(pdf()).join('\n')).simplified();
    for (const char* word :
         {"Plaintiff's Date of Birth",
          "Defendant's Date of Birth",
          "Date married: 06/10/1995",
          "Minor children of prior marriage:",
          "Workers' compensation",
          "Veterans' benefits",
          "Fellowships and stipends",
          "Investment income, including interest and dividend income",
          "preceding the date of this affidavit.)",
          "camper, etc.)",
          "including real property, "
          "leaseholds, life estates",
          "Jewelry, art, antiques",
          "judgments, causes of action",
          "sole proprietorship or other):",
          "Date payment(s) due:",
          "Amount of current lien unpaid:",
          "Amount of current mortgage lien unpaid:",
          "Amount of original debt:",
          "Name and address of mortgagee:",
          "Maturity date:",
          "VII. LEGAL & EXPERT FEES",
          "paid to all lawyers and experts retained in connection with my marital dissolution"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
    }
    // "Date of acquisition" of the scenario's stocks (2), broker account, business, life insurance,
    // vehicles (2), real estate, vested and contingent interests and retirement accounts (2).
    EXPECT_EQ(text.count(QLatin1String("Date of acquisition:")), 12);
    for (const char* slip : {"Plantiff", "Defendants Date", "Date married::", "acquistion", "Amout",
                             "laywers", "judgements", "lease holds", "art antiques", "Mortgagee",
                             "Maturity Date", "Fellowship and", "payment's"}) {
        EXPECT_FALSE(text.contains(QLatin1String(slip))) << slip;
    }
}

// The document properties that a filing system shows: the matter, the deponent, the program.
TEST_F(PrintPdfTest, ThePdfIsNamedAfterTheMatterAndItsDeponent) {
    print_test::writeScenario(data_);
    ASSERT_EQ(printPdf({print_test::fullScenario().matter, pdf(), "--data-dir", data_}).exitCode,
              0);
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral(PDFINFO), {pdf()});
    ASSERT_TRUE(pdfinfo.waitForFinished(60000));
    const QString info = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("^Title: +Statement of Net Worth - Smith v\\. Smith$"),
                           QRegularExpression::MultilineOption)))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("^Author: +Jane Q\\. Smith$"),
                                                 QRegularExpression::MultilineOption)));
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("^Creator: +Quillmark Net Worth 3\\.0\\.0\\.7$"),
                           QRegularExpression::MultilineOption)));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("^Encrypted: +no$"),
                                                 QRegularExpression::MultilineOption)));
    test_support::checkPdfA(pdf());
}

// A matter without a choice of its own closes with the oath sworn before a notary public.
TEST_F(PrintPdfTest, AMatterPrintsTheJuratByDefault) {
    print_test::writeScenario(data_);
    ASSERT_EQ(printPdf({print_test::fullScenario().matter, pdf(), "--data-dir", data_}).exitCode,
              0);
    const QString text = simplified(pdfPages(pdf()).join('\n')).simplified();
    for (const char* venue : {"STATE OF New York", "COUNTY OF Kings", "SS.:"})
        EXPECT_TRUE(text.contains(QLatin1String(venue))) << venue;
    EXPECT_TRUE(text.contains(QLatin1String("herein, being duly sworn, deposes and says that")));
    EXPECT_TRUE(text.contains(QLatin1String("Sworn to before me this ___ day of ______, 20__")));
    EXPECT_TRUE(text.contains(QLatin1String("Notary Public")));
    EXPECT_FALSE(text.contains(QLatin1String("I affirm")));
    EXPECT_FALSE(text.contains(QLatin1String("penalties of perjury")));
}

TEST_F(PrintPdfTest, TheTotalFollowsTheSystemsSeparators) {
    print_test::writeGeneral(data_, {{{"matter", "Roe"}}});
    print_test::writeTable(data_, "T_Income",
                           {{{"matter", "Roe"}, {"salary", "1234.5"}, {"emphousoth", "0.25"}}});
    ASSERT_EQ(
        printPdf({"Roe", pdf("us.pdf"), "--data-dir", data_}, {"LC_ALL=en_US.UTF-8"}).exitCode, 0);
    EXPECT_TRUE(simplified(pdfPages(pdf("us.pdf")).join('\n')).contains("TOTAL INCOME 1,234.75"));
    if (!test_support::kLocaleFromEnvironment) GTEST_SKIP() << "the locale is the machine's";
    ASSERT_EQ(
        printPdf({"Roe", pdf("de.pdf"), "--data-dir", data_}, {"LC_ALL=de_DE.UTF-8"}).exitCode, 0);
    EXPECT_TRUE(simplified(pdfPages(pdf("de.pdf")).join('\n')).contains("TOTAL INCOME 1.234,75"));
}

TEST_F(PrintPdfTest, FailuresGoToStandardErrorWithANonZeroExit) {
    print_test::writeGeneral(data_, {{{"matter", "Roe"}}});
    ProcessRun run = printPdf({"ROE", pdf(), "--data-dir", data_});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QLatin1String("There is no matter named \"ROE\"")))
        << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf()));

    run = printPdf({"Roe", dir_.filePath("no/such/folder/out.pdf"), "--data-dir", data_});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.err.isEmpty());

    run = printPdf({"Roe", pdf(), "--data-dir", dir_.filePath("nowhere")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QLatin1String("does not exist")));

    run = printPdf({"Roe"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("usage:")));
}

// Each process orders its matter's expenses through an index of its own: printing different
// matters from one data directory at the same moment gives each its own statement. (The tables
// exist, as in a data directory in use: the file layer does not guard two processes creating
// one missing table file at the same moment.)
TEST_F(PrintPdfTest, TwoProcessesPrintDifferentMattersAtOnce) {
    print_test::createAllTables(data_);
    QList<Record> expenses;
    for (const char* matter : {"Alpha", "Beta"}) {
        print_test::writeGeneral(data_, {{{"matter", matter}}});
        for (int i = 0; i < 300; ++i) {
            expenses << Record{
                {"matter", matter},
                {"etype", i % 2 ? "(c) Food" : "(k) Recreational"},
                {"expense", QStringLiteral("%1 item %2").arg(matter).arg(i, 3, 10, QChar('0'))},
                {"amt", QString::number(matter[0] == 'A' ? 10 : 1000)}};
        }
    }
    print_test::writeTable(data_, "T_Expenses", expenses);
    for (int round = 0; round < 3; ++round) {
        QProcess alpha, beta;
        alpha.start(QStringLiteral(NETWORTH),
                    {"--print-pdf", "Alpha", pdf("alpha.pdf"), "--data-dir", data_});
        beta.start(QStringLiteral(NETWORTH),
                   {"--print-pdf", "Beta", pdf("beta.pdf"), "--data-dir", data_});
        ASSERT_TRUE(alpha.waitForFinished(120000));
        ASSERT_TRUE(beta.waitForFinished(120000));
        ASSERT_EQ(alpha.exitCode(), 0) << alpha.readAllStandardError().toStdString();
        ASSERT_EQ(beta.exitCode(), 0) << beta.readAllStandardError().toStdString();
        const QString a = simplified(pdfPages(pdf("alpha.pdf")).join('\n'));
        const QString b = simplified(pdfPages(pdf("beta.pdf")).join('\n'));
        EXPECT_TRUE(a.contains("TOTAL EXPENSES 3,000.00"));
        EXPECT_TRUE(b.contains("TOTAL EXPENSES 300,000.00"));
        EXPECT_FALSE(a.contains(QLatin1String("Beta item")));
        EXPECT_FALSE(b.contains(QLatin1String("Alpha item")));
        EXPECT_EQ(a.count(QLatin1String("Alpha item")), 300);
        EXPECT_EQ(b.count(QLatin1String("Beta item")), 300);
        // In order within each category: item 001 before 003 before 299.
        EXPECT_LT(b.indexOf("Beta item 001"), b.indexOf("Beta item 003"));
        EXPECT_LT(b.indexOf("Beta item 003"), b.indexOf("Beta item 299"));
        EXPECT_LT(a.indexOf("Alpha item 299"), a.indexOf("Alpha item 000"));  // (c) before (k)
    }
    EXPECT_TRUE(QDir(data_).entryList({"Temp.*", "temp.*", "TEMP.*"}, QDir::Files).isEmpty());
}

// Eight workstations append expense lines, four of them to the matter being printed and four to
// other matters, while the statement of that matter is printed over and over: every print
// succeeds and shows the matter's lines that were there, none twice and none of another matter,
// never fewer than the print before (three prints at least, the first from the start of the
// appends); once the appends are done, all of them.
TEST_F(PrintPdfTest, PrintsBesideEightAppendingWorkstationsLoseAndRepeatNoLine) {
    print_test::createAllTables(data_);
    print_test::writeGeneral(data_, {{{"matter", "Alpha"}}});
    constexpr int kLines = 150;
    const QStringList labels = {"A1", "A2", "A3", "A4", "B1", "C1", "D1", "E1"};
    const QStringList matters = {"Alpha", "Alpha", "Alpha", "Alpha",
                                 "Beta",  "Gamma", "Delta", "Epsilon"};
    std::vector<std::unique_ptr<QProcess>> appenders;
    for (int i = 0; i < labels.size(); ++i) {
        appenders.push_back(std::make_unique<QProcess>());
        appenders.back()->start(QStringLiteral(EXPENSE_APPENDER),
                                {data_, matters[i], labels[i], QString::number(kLines)});
    }
    auto running = [&] {
        // Without an event loop a process's end is noticed only when waited for.
        for (const auto& appender : appenders)
            if (!appender->waitForFinished(0) && appender->state() != QProcess::NotRunning)
                return true;
        return false;
    };
    // Each of the matter's lines at most once, no other matter's; how many there are.
    auto shown = [&](const QString& text) {
        int lines = 0;
        for (int i = 0; i < labels.size(); ++i) {
            for (int n = 1; n <= kLines; ++n) {
                const QString line =
                    QStringLiteral("%1 %2").arg(labels[i]).arg(n, 3, 10, QChar('0'));
                const qsizetype times = text.count(line);
                EXPECT_LE(times, matters[i] == "Alpha" ? 1 : 0) << line.toStdString();
                lines += int(times);
            }
        }
        return lines;
    };
    int prints = 0;
    int last = 0;
    while (running() || prints < 3) {
        const ProcessRun run = printPdf({"Alpha", pdf(), "--data-dir", data_});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const int lines = shown(pdfPages(pdf()).join('\n'));
        EXPECT_GE(lines, last);
        last = lines;
        ++prints;
    }
    for (const auto& appender : appenders) {
        if (appender->state() != QProcess::NotRunning) {
            ASSERT_TRUE(appender->waitForFinished(120000));
        }
        EXPECT_EQ(appender->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(appender->exitCode(), 0) << appender->readAllStandardError().toStdString();
    }
    const ProcessRun run = printPdf({"Alpha", pdf(), "--data-dir", data_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = simplified(pdfPages(pdf()).join('\n'));
    EXPECT_EQ(shown(text), 4 * kLines);
    // 4 × (1 + 2 + ... + 150)
    EXPECT_TRUE(text.contains(QLatin1String("TOTAL EXPENSES 45,300.00"))) << text.toStdString();
    std::printf("%d prints beside the appends\n", prints);
}

}  // namespace
