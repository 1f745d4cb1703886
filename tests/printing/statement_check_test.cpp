// The completeness check over rows held in memory: what counts as an answer for each kind of
// item, marks closing items, marks beside answers, the General Information fields, and the lines
// and question it words.
#include "printing/statement_check.h"

#include <gtest/gtest.h>

#include <QMap>
#include <memory>

#include "catalog/table_catalog.h"
#include "report/memory_data_set.h"
#include "report/report_project.h"

namespace {

using report::FieldKind;
using report::MemoryDataSet;

// A matter's stored answers: rows per table component, marks by item key, General fields.
struct Matter {
    QMap<QString, std::shared_ptr<MemoryDataSet>> tables;
    QMap<QString, QString> marks;
    QMap<QString, QString> general = {
        {"court", "SUPREME"},           {"county", "NEW YORK"}, {"plainfiff", "JANE Q. SMITH"},
        {"defendant", "JOHN R. SMITH"}, {"indexnum", "31415"},  {"xname", "Jane Q. Smith"},
        {"asofdate_c", "06/30/2026"},
    };

    // The rows of `component`, with the columns given on first use.
    MemoryDataSet& table(const char* component, const QList<QPair<QString, FieldKind>>& columns) {
        std::shared_ptr<MemoryDataSet>& rows = tables[QLatin1String(component)];
        if (!rows) {
            rows = std::make_shared<MemoryDataSet>();
            for (const auto& [name, kind] : columns) rows->addField(name, kind);
        }
        return *rows;
    }

    printing::StatementCheck check() {
        printing::CheckSource source;
        source.answers = [this](const catalog::StatementItem& item) -> report::ReportDataSet* {
            return tables.value(QLatin1String(item.component)).get();
        };
        source.mark = [this](const catalog::StatementItem& item) {
            return marks.value(QLatin1String(item.key));
        };
        source.general = [this](const char* field) { return general.value(QLatin1String(field)); };
        return printing::checkStatement(source);
    }
};

// Every item answered: a value in the first answering field of each single record, an amount
// in each expense category, a record holding a value in each other table.
Matter completeMatter() {
    Matter matter;
    QMap<QString, QMap<QString, QString>> records;  // component -> field -> text
    for (const catalog::StatementItem& item : catalog::statementItems()) {
        if (item.answer == catalog::AnswerKind::Lines) {
            matter
                .table(item.component, {{"etype", FieldKind::Text},
                                        {"expense", FieldKind::Text},
                                        {"amt", FieldKind::Number},
                                        {"info", FieldKind::Text}})
                .addRow({QString::fromLatin1(item.category), "Item", 10.0, QVariant()});
            continue;
        }
        const catalog::TableDef* table = catalog::findTable(item.component);
        const QString field = item.fields ? QString::fromLatin1(item.fields).section(',', 0, 0)
                                          : QLatin1String(table->fields[1].name);
        records[QLatin1String(item.component)][field] = QStringLiteral("x");
    }
    for (auto it = records.begin(); it != records.end(); ++it) {
        const catalog::TableDef* table = catalog::findTable(it.key().toLatin1().constData());
        QList<QPair<QString, FieldKind>> columns;
        QVariantList row;
        for (const catalog::FieldDef& field : table->fields) {
            columns.append({QLatin1String(field.name), FieldKind::Text});
            row << it.value().value(QLatin1String(field.name));
        }
        matter.table(table->component, columns).addRow(row);
    }
    return matter;
}

TEST(StatementCheck, AMatterWithEveryAnswerHasNothingOpen) {
    Matter matter = completeMatter();
    const printing::StatementCheck check = matter.check();
    EXPECT_EQ(printing::openItemLines(check), QStringList());
    EXPECT_EQ(check.items.size(), catalog::statementItems().size());
    for (const printing::ItemAnswer& answer : check.items)
        EXPECT_TRUE(answer.answered) << answer.item->key;
}

TEST(StatementCheck, AnEmptyMatterListsEveryItemInTheStatementsWords) {
    Matter matter;
    matter.general.clear();
    const QStringList lines = printing::openItemLines(matter.check());
    ASSERT_EQ(lines.size(), 7 + 76);
    EXPECT_EQ(lines.mid(0, 8),
              QStringList({"GENERAL INFORMATION Court", "GENERAL INFORMATION County of the court",
                           "GENERAL INFORMATION Plaintiff", "GENERAL INFORMATION Defendant",
                           "GENERAL INFORMATION Index No.", "GENERAL INFORMATION Deponent",
                           "GENERAL INFORMATION \"as of\" date",
                           "I. FAMILY DATA Plaintiff's Date of Birth"}));
    EXPECT_TRUE(lines.contains("I. FAMILY DATA Support paid or received between the parties"));
    EXPECT_TRUE(lines.contains("II. EXPENSES (n) Other"));
    EXPECT_TRUE(lines.contains("III. GROSS INCOME INFORMATION Food Stamps"));
    EXPECT_TRUE(lines.contains("IV. ASSETS (d) Security deposits"));
    EXPECT_TRUE(lines.contains("V. LIABILITIES (h) Credit Card Debt"));
    EXPECT_EQ(lines.mid(lines.size() - 3),
              QStringList({"VI. ASSETS TRANSFERRED", "VII. LEGAL & EXPERT FEES", "OTHER DATA"}));
}

TEST(StatementCheck, AMarkClosesAnItemAndIsPrintedInItsPlace) {
    Matter matter = completeMatter();
    matter.tables.remove("T_Security");
    matter.tables.remove("T_Axfered");
    matter.tables.remove("T_bonds");
    matter.marks = {{"a_d", "NONE"}, {"x_transfer", "INAPPLICABLE"}, {"a_f", "n/a"}};
    const printing::StatementCheck check = matter.check();
    // A value that is not one of the three marks is no mark.
    EXPECT_EQ(printing::openItemLines(check), QStringList({"IV. ASSETS (f) Bonds and notes"}));
    EXPECT_EQ(check.printedMark(*catalog::findStatementItem("a_d")), "NONE");
    EXPECT_EQ(check.printedMark(*catalog::findStatementItem("x_transfer")), "INAPPLICABLE");
    EXPECT_EQ(check.printedMark(*catalog::findStatementItem("a_f")), "");

    report::TReportProject project;
    printing::setMarkParameters(project, check);
    EXPECT_EQ(project.parameter("m_a_d"), "NONE");
    EXPECT_EQ(project.parameter("m_x_transfer"), "INAPPLICABLE");
    EXPECT_EQ(project.parameter("m_a_a"), "");
}

TEST(StatementCheck, AMarkBesideAnAnswerIsNamedAndNotPrinted) {
    Matter matter = completeMatter();
    matter.marks = {{"a_a", "NONE"}, {"f_pocc", "UNKNOWN"}, {"v_fees", "NONE"}, {"e_c", "NONE"}};
    const printing::StatementCheck check = matter.check();
    EXPECT_EQ(printing::openItemLines(check),
              QStringList({"I. FAMILY DATA Occupation of Plaintiff: marked UNKNOWN, but it has an "
                           "answer",
                           "II. EXPENSES (c) Food: marked NONE, but it has entries",
                           "IV. ASSETS (a) Cash: marked NONE, but it has entries",
                           "VII. LEGAL & EXPERT FEES: marked NONE, but it has an answer"}));
    EXPECT_EQ(check.printedMark(*catalog::findStatementItem("a_a")), "");
    report::TReportProject project;
    printing::setMarkParameters(project, check);
    EXPECT_EQ(project.parameter("m_a_a"), "");
    EXPECT_EQ(project.parameter("m_f_pocc"), "");
}

// Seeded expense lines (an item, no amount, no remarks) and seeded asset records (only the
// matter) answer nothing; an amount of 0, remarks or any typed value do.
TEST(StatementCheck, WhatCountsAsAnAnswer) {
    auto answered = [](const char* key, const std::function<void(Matter&)>& fill) {
        Matter matter;
        fill(matter);
        for (const printing::ItemAnswer& answer : matter.check().items) {
            if (QLatin1String(answer.item->key) == QLatin1String(key)) return answer.answered;
        }
        ADD_FAILURE() << key;
        return false;
    };
    const QList<QPair<QString, FieldKind>> lines = {{"etype", FieldKind::Text},
                                                    {"expense", FieldKind::Text},
                                                    {"amt", FieldKind::Number},
                                                    {"info", FieldKind::Text}};
    auto expenses = [&](const QList<QVariantList>& rows) {
        return [&lines, rows](Matter& m) {
            for (const QVariantList& row : rows) m.table("T_Expenses", lines).addRow(row);
        };
    };
    EXPECT_FALSE(answered("e_c", expenses({{"(c) Food", "Groceries", QVariant(), ""},
                                           {"(c) Food", "Other", QVariant(), "  "}})));
    EXPECT_TRUE(answered("e_c", expenses({{"(c) Food", "Groceries", 0.0, ""}})));
    EXPECT_TRUE(answered("e_c", expenses({{"(c) Food", "Groceries", QVariant(), "twice a week"}})));
    EXPECT_FALSE(answered("e_c", expenses({{"(d) Clothing", "Yourself", 80.0, ""}})));
    EXPECT_FALSE(answered("e_c", expenses({})));

    const QList<QPair<QString, FieldKind>> cash = {
        {"matter", FieldKind::Text}, {"location", FieldKind::Text}, {"amt", FieldKind::Number}};
    EXPECT_FALSE(answered("a_a", [&](Matter& m) {
        m.table("t_cash", cash).addRow({"Smith v. Smith", "", QVariant()});
    }));
    EXPECT_TRUE(answered("a_a", [&](Matter& m) {
        m.table("t_cash", cash).addRow({"Smith v. Smith", "", QVariant()});
        m.table("t_cash", cash).addRow({"Smith v. Smith", "", 0.0});
    }));

    const QList<QPair<QString, FieldKind>> family = {{"matter", FieldKind::Text},
                                                     {"husbocc", FieldKind::Text},
                                                     {"divsep", FieldKind::Text},
                                                     {"datediv", FieldKind::Text}};
    EXPECT_FALSE(answered("f_pocc", [&](Matter& m) {
        m.table("T_Family", family).addRow({"Smith v. Smith", "   ", "", ""});
    }));
    // Either of an item's fields answers it.
    EXPECT_TRUE(answered("f_sepdiv", [&](Matter& m) {
        m.table("T_Family", family).addRow({"Smith v. Smith", "", "", "01/02/2020"});
    }));
    // A single record is read where it stands: past its end there is no record.
    EXPECT_FALSE(answered("f_pocc", [&](Matter& m) {
        m.table("T_Family", family).addRow({"Smith v. Smith", "Baker", "", ""});
        m.table("T_Family", family).setPosition(1);
    }));
}

TEST(StatementCheck, ACustomCaptionStandsForTheCaptionsFields) {
    Matter matter = completeMatter();
    matter.general = {{"dobypass", "X"},
                      {"bypass", "SUPREME COURT ..."},
                      {"indexnum", "31415"},
                      {"xname", "Jane"},
                      {"asofdate_c", "06/30/2026"}};
    EXPECT_EQ(printing::openItemLines(matter.check()), QStringList());
    matter.general["bypass"] = "  ";
    matter.general.remove("xname");
    EXPECT_EQ(printing::openItemLines(matter.check()),
              QStringList({"GENERAL INFORMATION Caption", "GENERAL INFORMATION Deponent"}));
}

TEST(StatementCheck, TheQuestionGroupsTheItemsUnderTheirSections) {
    Matter matter = completeMatter();
    matter.general.remove("indexnum");
    matter.tables.remove("T_Security");
    matter.tables.remove("T_bonds");
    matter.tables.remove("T_Axfered");
    matter.marks = {{"a_a", "NONE"}};
    EXPECT_EQ(printing::openItemsQuestion(matter.check(), "Smith v. Smith"),
              QStringLiteral("The statement of Smith v. Smith is not complete. These items have no "
                             "answer and no mark, or a mark beside an answer:\n"
                             "\n"
                             "GENERAL INFORMATION\n"
                             "    Index No.\n"
                             "\n"
                             "IV. ASSETS\n"
                             "    (a) Cash: marked NONE, but it has entries\n"
                             "    (d) Security deposits\n"
                             "    (f) Bonds and notes\n"
                             "\n"
                             "VI. ASSETS TRANSFERRED\n"
                             "    no answer, no mark\n"
                             "\n"
                             "Print the statement anyway?"));
}

}  // namespace
