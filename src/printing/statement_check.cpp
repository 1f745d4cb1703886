#include "printing/statement_check.h"

#include <QStringView>

#include "catalog/table_catalog.h"
#include "report/report_data_set.h"
#include "report/report_project.h"

namespace printing {

namespace {

using catalog::AnswerKind;
using catalog::StatementItem;
using catalog::StatementSection;

// The General Information fields the caption and the oath print, in the statement's order. A
// custom caption takes the place of the built one's fields.
struct GeneralField {
    const char* field;
    const char* label;
    bool builtCaption;  // printed only in the caption built from the fields
};

constexpr GeneralField kGeneralFields[] = {
    {"court", "Court", true},
    {"county", "County of the court", true},
    {"plainfiff", "Plaintiff", true},
    {"defendant", "Defendant", true},
    {"indexnum", "Index No.", false},
    {"xname", "Deponent", false},
    {"asofdate_c", "\"as of\" date", false},
};

bool holdsValue(const report::ReportDataSet& rows, const QString& field) {
    switch (rows.fieldKind(field).value_or(report::FieldKind::Text)) {
        case report::FieldKind::Number:
            return rows.number(field).has_value();
        case report::FieldKind::Date:
            return rows.date(field).isValid();
        case report::FieldKind::Boolean:
            return rows.boolean(field);
        default:
            return !rows.text(field).trimmed().isEmpty();
    }
}

QStringList split(const char* fields) {
    return fields ? QString::fromLatin1(fields).split(QLatin1Char(',')) : QStringList();
}

// Every field of the item's table but `matter`.
QStringList otherFields(const StatementItem& item) {
    QStringList names;
    if (const catalog::TableDef* table = catalog::findTable(item.component)) {
        for (const catalog::FieldDef& field : table->fields) {
            if (QLatin1String(field.name) != QLatin1String("matter"))
                names << QLatin1String(field.name);
        }
    }
    return names;
}

bool anyHolds(const report::ReportDataSet& rows, const QStringList& fields) {
    for (const QString& field : fields) {
        if (holdsValue(rows, field)) return true;
    }
    return false;
}

bool isAnswered(const StatementItem& item, report::ReportDataSet* rows) {
    if (!rows) return false;
    if (item.answer == AnswerKind::Fields)
        return !rows->atEnd() && anyHolds(*rows, split(item.fields));
    const QStringList fields =
        item.answer == AnswerKind::Lines ? split(item.fields) : otherFields(item);
    const QString category = QString::fromLatin1(item.category ? item.category : "");
    for (rows->first(); !rows->atEnd(); rows->next()) {
        if (item.answer == AnswerKind::Lines && rows->text(QStringLiteral("etype")) != category)
            continue;
        if (anyHolds(*rows, fields)) return true;
    }
    return false;
}

bool isMark(const QString& text) {
    for (const char* mark : catalog::markValues()) {
        if (text == QLatin1String(mark)) return true;
    }
    return false;
}

}  // namespace

QString OpenItem::problem() const {
    if (kind != Kind::Conflict) return QString();
    // Items of one record have an answer; categories and lists have entries.
    const bool entries =
        section == StatementSection::Expenses || section == StatementSection::Assets ||
        section == StatementSection::Liabilities || section == StatementSection::Transfers;
    return QStringLiteral("marked %1, but it has %2")
        .arg(mark, entries ? QStringLiteral("entries") : QStringLiteral("an answer"));
}

QString OpenItem::entry() const {
    const QString what = problem();
    if (label.isEmpty()) return what;
    return what.isEmpty() ? label : label + QStringLiteral(": ") + what;
}

QString OpenItem::line() const {
    const QString title = QLatin1String(catalog::sectionTitle(section));
    const QString rest = entry();
    if (rest.isEmpty()) return title;
    return title + (label.isEmpty() ? QStringLiteral(": ") : QStringLiteral(" ")) + rest;
}

QString StatementCheck::printedMark(const catalog::StatementItem& item) const {
    for (const ItemAnswer& answer : items) {
        if (answer.item == &item) return answer.answered ? QString() : answer.mark;
    }
    return QString();
}

StatementCheck checkStatement(const CheckSource& source) {
    StatementCheck check;
    const bool customCaption = source.general("dobypass").trimmed() == QLatin1String("X");
    auto missing = [&](const char* label) {
        check.open.push_back({StatementSection::General, QString::fromUtf8(label),
                              OpenItem::Kind::Missing, QString()});
    };
    if (customCaption && source.general("bypass").trimmed().isEmpty()) missing("Caption");
    for (const GeneralField& field : kGeneralFields) {
        if (customCaption && field.builtCaption) continue;
        if (source.general(field.field).trimmed().isEmpty()) missing(field.label);
    }

    for (const StatementItem& item : catalog::statementItems()) {
        const QString stored = source.mark(item).trimmed();
        const QString mark = isMark(stored) ? stored : QString();
        const bool answered = isAnswered(item, source.answers(item));
        check.items.push_back({&item, answered, mark});
        if (!answered && mark.isEmpty()) {
            check.open.push_back({item.section, QString::fromUtf8(item.label),
                                  OpenItem::Kind::Unanswered, QString()});
        } else if (answered && !mark.isEmpty()) {
            check.open.push_back(
                {item.section, QString::fromUtf8(item.label), OpenItem::Kind::Conflict, mark});
        }
    }
    return check;
}

QStringList openItemLines(const StatementCheck& check) {
    QStringList lines;
    for (const OpenItem& item : check.open) lines << item.line();
    return lines;
}

QString openItemsQuestion(const StatementCheck& check, const QString& matter) {
    QString text = QStringLiteral(
                       "The statement of %1 is not complete. These items have no "
                       "answer and no mark, or a mark beside an answer:\n")
                       .arg(matter);
    bool first = true;
    StatementSection section = StatementSection::General;
    for (const OpenItem& item : check.open) {
        if (first || item.section != section) {
            text +=
                QStringLiteral("\n%1\n").arg(QLatin1String(catalog::sectionTitle(item.section)));
            section = item.section;
            first = false;
        }
        const QString entry = item.entry();
        text += QStringLiteral("    %1\n")
                    .arg(entry.isEmpty() ? QStringLiteral("no answer, no mark") : entry);
    }
    text += QStringLiteral("\nPrint the statement anyway?");
    return text;
}

QString markParameterName(const catalog::StatementItem& item) {
    return QStringLiteral("m_") + QLatin1String(item.key);
}

void setMarkParameters(report::TReportProject& project, const StatementCheck& check) {
    for (const ItemAnswer& answer : check.items) {
        project.setParameter(markParameterName(*answer.item),
                             answer.answered ? QString() : answer.mark);
    }
}

}  // namespace printing
