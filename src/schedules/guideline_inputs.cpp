#include "schedules/guideline_inputs.h"

#include <QLocale>
#include <cmath>

#include "platform/field_text.h"
#include "schedules/locale_date.h"
#include "storage/filtered_dataset.h"

namespace schedules {

namespace {

using guidelines::Cents;
using guidelines::Party;
using guidelines::Problem;

constexpr const char* kIncome = "DRL § 240(1-b)(b)(5)";
constexpr const char* kReturn = "DRL § 240(1-b)(b)(5)(i)";
constexpr const char* kInvestment = "DRL § 240(1-b)(b)(5)(ii)";
constexpr const char* kBenefits = "DRL § 240(1-b)(b)(5)(iii)";
constexpr const char* kImputed = "DRL § 240(1-b)(b)(5)(iv)";
constexpr const char* kDeducted = "DRL § 240(1-b)(b)(5)(vii)";

// The unsettled point of the Additional Medicare Tax is noted where this line counts.
constexpr const char* kMedicare = "Medicare tax (FICA) actually paid";

constexpr GuidelineIncomeLine kLines[] = {
    {"salary", "Gross income (last federal return)", "salary", false, kReturn},
    {"invest", "Investment income", "dividends", false, kInvestment},
    {"workcomp", "Workers' compensation", "bonus", false, kBenefits},
    {"unemploy", "Unemployment insurance benefits", "partnershi", false, kBenefits},
    {"socsec", "Social Security benefits", "emphousss", false, kBenefits},
    {"disabil", "Disability benefits", "emphousdis", false, kBenefits},
    {"pension", "Pension and retirement benefits", "pension", false, kBenefits},
    {"veterans", "Veterans' benefits", "bequests", false, kBenefits},
    {"fellow", "Fellowships and stipends", "ltcapgns", false, kBenefits},
    {"annuity", "Annuity payments", "depreciati", false, kBenefits},
    {"allother", "Income from all other sources", "oincome", false, kIncome},
    {"other", "Other income", "emphousoth", false, kIncome},
    {"imputed", "Imputed and non-income items (perquisites, fringe benefits, gifts)", nullptr,
     false, kImputed},
    {"ficass", "Social Security tax (FICA) actually paid", "sstax", true, kDeducted},
    {"ficamed", kMedicare, "medicare", true, kDeducted},
    {"localtax", "New York City or Yonkers income tax actually paid", "localtax", true, kDeducted},
    {"busexp", "Unreimbursed employee business expenses", nullptr, true, kDeducted},
    {"maintpaid", "Maintenance paid to a spouse not a party to this action", nullptr, true,
     kDeducted},
    {"cspaid", "Child support actually paid for other children", nullptr, true, kDeducted},
};

constexpr NotCountedIncome kNotCounted[] = {
    {"dividendnt", "Supplemental Security Income"},
    {"trust", "Food stamps"},
    {"emphouspa", "Public assistance"},
    {"emphousamt", "Income of an employed member of the household"},
};

QString text(const FieldTexts& texts, const char* field) {
    return texts.value(QString::fromLatin1(field)).trimmed();
}

struct Refusal {
    Problem problem;
};

[[noreturn]] void refuse(const char* field, const QString& what) {
    throw Refusal{Problem{field, what.toStdString()}};
}

// Blank reads as nothing.
std::optional<Cents> amount(const QString& typed, const char* field) {
    if (typed.isEmpty()) return std::nullopt;
    const std::optional<double> value = platform::readNumber(typed);
    if (!value || !std::isfinite(*value) || std::fabs(*value) > 1e13)
        refuse(field, QStringLiteral("\"%1\" is not an amount").arg(typed));
    return static_cast<Cents>(std::llround(*value * 100.0));
}

Cents amountOrZero(const QString& typed, const char* field) {
    return amount(typed, field).value_or(0);
}

std::optional<guidelines::CivilDate> date(const QString& typed, const char* field,
                                          const QDate& today) {
    if (typed.isEmpty()) return std::nullopt;
    const std::optional<QDate> parsed = parseShortDate(typed, QLocale::system(), today);
    if (!parsed) refuse(field, QStringLiteral("\"%1\" is not a date").arg(typed));
    return guidelines::CivilDate{parsed->year(), parsed->month(), parsed->day()};
}

// A date box left blank or with the mask's separators alone.
QString dateText(const QString& typed) {
    for (const QChar c : typed) {
        if (c.isDigit()) return typed;
    }
    return QString();
}

QString money(Cents cents) {
    return QLocale::system().toString(static_cast<double>(cents) / 100.0, 'f', 2);
}

std::string utf8(const QString& text) { return text.toStdString(); }

// A line's amount as typed; a text that does not read names the line.
std::optional<Cents> lineAmount(const QString& typed, const char* field,
                                const GuidelineIncomeLine& line) {
    try {
        return amount(typed, field);
    } catch (const Refusal&) {
        refuse(
            field,
            QStringLiteral("%1: \"%2\" is not an amount").arg(QLatin1String(line.caption), typed));
    }
}

void addIncome(guidelines::GuidelineCase& in, const FieldTexts& entries,
               const GuidelineSources& sources, QStringList* overridden) {
    for (const Party party : {Party::A, Party::B}) {
        const bool deponent = party == Party::A;
        const char* problemField = deponent ? "income.a" : "income.b";
        std::vector<guidelines::IncomeItem> items;
        for (const GuidelineIncomeLine& line : kLines) {
            const QString field = QLatin1String(deponent ? "d" : "o") + QLatin1String(line.key);
            std::optional<Cents> value =
                lineAmount(entries.value(field).trimmed(), problemField, line);
            if (deponent && line.incomeField) {
                if (value) {
                    *overridden << QLatin1String(line.caption);
                } else {
                    value = lineAmount(grossIncomeText(line, sources), problemField, line);
                }
            }
            // Lines that count nothing are left off the worksheet.
            if (value.value_or(0) != 0)
                items.push_back({line.caption, *value, line.deduction, line.basis});
        }
        if (items.empty()) items.push_back({kLines[0].caption, 0, false, kLines[0].basis});
        in.party(party).items = std::move(items);
    }
}

void addNotes(guidelines::GuidelineCase& in, const GuidelineSources& sources,
              const QStringList& overridden) {
    if (sources.income.isEmpty()) {
        in.notes.push_back(
            "The matter has no Gross Income schedule: the deponent's figures are those entered on "
            "the guidelines form.");
    } else if (overridden.isEmpty()) {
        in.notes.push_back("The deponent's figures are those of the Gross Income schedule.");
    } else {
        in.notes.push_back(utf8(QStringLiteral("The deponent's figures are those of the Gross "
                                               "Income schedule, except as entered on the "
                                               "guidelines form: %1.")
                                    .arg(overridden.join(QStringLiteral("; ")))));
    }
    QStringList notCounted;
    for (const NotCountedIncome& item : kNotCounted) {
        const QString typed = text(sources.income, item.incomeField);
        const std::optional<double> value = platform::readNumber(typed);
        if (value && *value != 0) {
            notCounted << QStringLiteral("%1 %2").arg(QLatin1String(item.caption),
                                                      money(std::llround(*value * 100.0)));
        }
    }
    if (!notCounted.isEmpty()) {
        in.notes.push_back(utf8(QStringLiteral("Not counted as the deponent's income under DRL "
                                               "§ 240(1-b)(b)(5), from the Gross Income "
                                               "schedule: %1.")
                                    .arg(notCounted.join(QStringLiteral("; ")))));
    }
    for (const guidelines::PartyInputs& party : in.parties) {
        for (const guidelines::IncomeItem& item : party.items) {
            if (item.label == kMedicare && item.amount > 0) {
                in.notes.push_back(
                    "The Medicare tax deducted is the figure given, including any 0.9% Additional "
                    "Medicare Tax in it, counted as FICA actually paid (a point not settled).");
                return;
            }
        }
    }
}

guidelines::CapOverride cap(const FieldTexts& entries, const char* kindField,
                            const char* amountField, const char* problemField) {
    guidelines::CapOverride result;
    const QString kind = text(entries, kindField);
    if (kind == QLatin1String("N")) {
        result.kind = guidelines::CapOverride::Kind::NoCap;
    } else if (kind == QLatin1String("A")) {
        result.kind = guidelines::CapOverride::Kind::Amount;
        const std::optional<Cents> value = amount(text(entries, amountField), problemField);
        if (!value) refuse(problemField, QStringLiteral("give the cap to use"));
        result.amount = *value;
    }
    return result;
}

guidelines::GuidelineCase build(const FieldTexts& entries, const GuidelineSources& sources,
                                const QDate& today) {
    guidelines::GuidelineCase in;
    const std::optional<guidelines::CivilDate> asOf =
        date(dateText(text(entries, "asof")), "as_of", today);
    in.asOf = asOf.value_or(guidelines::CivilDate{today.year(), today.month(), today.day()});

    const QString kind = text(entries, "maint");
    in.maintenance = kind == QLatin1String("N")   ? guidelines::MaintenanceKind::None
                     : kind == QLatin1String("P") ? guidelines::MaintenanceKind::PostDivorce
                                                  : guidelines::MaintenanceKind::Temporary;

    const QString children = text(entries, "children");
    bool ok = true;
    in.children = children.isEmpty() ? 0 : children.toInt(&ok);
    if (!ok) refuse("children", QStringLiteral("\"%1\" is not a number").arg(children));
    const QString custodial = text(entries, "custodial");
    if (custodial == QLatin1String("D")) in.custodial = Party::A;
    if (custodial == QLatin1String("O")) in.custodial = Party::B;
    if (in.children > 0 && !in.custodial)
        refuse("custodial", QStringLiteral("choose the parent the children live with"));

    const GuidelineParties parties = guidelineParties(entries, sources);
    in.party(Party::A).name = utf8(parties.deponentName);
    in.party(Party::B).name = utf8(parties.otherName);
    QStringList overridden;
    addIncome(in, entries, sources, &overridden);

    const QString above = text(entries, "abovecap");
    if (above == QLatin1String("P")) in.aboveCap.kind = guidelines::AboveCap::Kind::Percentage;
    if (above == QLatin1String("U")) {
        in.aboveCap.kind = guidelines::AboveCap::Kind::UpTo;
        const std::optional<Cents> upTo = amount(text(entries, "abovecapup"), "above_cap");
        if (!upTo) {
            refuse("above_cap", QStringLiteral("give the combined income up to which the "
                                               "percentage applies"));
        }
        in.aboveCap.upTo = *upTo;
    }
    in.addOns.childCare = amountOrZero(text(entries, "childcare"), "addons.child_care");
    in.addOns.healthInsurance = amountOrZero(text(entries, "healthins"), "addons.health_insurance");
    in.addOns.unreimbursedMedical =
        amountOrZero(text(entries, "medical"), "addons.unreimbursed_medical");
    in.addOns.education = amountOrZero(text(entries, "education"), "addons.education");
    in.cssaCap = cap(entries, "cssacapk", "cssacap", "cssa_cap");
    in.maintenanceCap = cap(entries, "maintcapk", "maintcap", "maintenance_cap");

    if (in.maintenance == guidelines::MaintenanceKind::PostDivorce) {
        QString married = dateText(text(entries, "married"));
        if (married.isEmpty()) married = text(sources.family, "datemarrie");
        QString commenced = dateText(text(entries, "commenced"));
        if (commenced.isEmpty()) commenced = text(sources.general, "adate_c");
        in.married = date(dateText(married), "married", today);
        in.commenced = date(dateText(commenced), "commenced", today);
    }
    addNotes(in, sources, overridden);
    return in;
}

QString firstLine(const QString& memo) {
    QString line = memo.section(QLatin1Char('\n'), 0, 0).trimmed();
    while (line.endsWith(QLatin1Char(',')) || line.endsWith(QLatin1Char('.')) ||
           line.endsWith(QLatin1Char(';'))) {
        line.chop(1);
        line = line.trimmed();
    }
    return line;
}

PartyRole other(PartyRole role) {
    if (role == PartyRole::Plaintiff) return PartyRole::Defendant;
    if (role == PartyRole::Defendant) return PartyRole::Plaintiff;
    return PartyRole::Unknown;
}

}  // namespace

FieldTexts recordTexts(storage::TDbfPrimDataset& table) {
    FieldTexts texts;
    for (int i = 0; i < table.FieldCount(); ++i) {
        storage::TField& field = table.Fields(i);
        texts.insert(QString::fromStdString(field.FieldName()).toLower(),
                     platform::fieldDisplayText(field));
    }
    return texts;
}

std::span<const GuidelineIncomeLine> guidelineIncomeLines() { return kLines; }
std::span<const NotCountedIncome> notCountedIncome() { return kNotCounted; }

PartyRole generalDeponentRole(const FieldTexts& general) {
    const bool plaintiff = text(general, "xplaintiff") == QLatin1String("X");
    const bool defendant = text(general, "xdefendant") == QLatin1String("X");
    if (plaintiff == defendant) return PartyRole::Unknown;
    return plaintiff ? PartyRole::Plaintiff : PartyRole::Defendant;
}

PartyRole deponentRole(const FieldTexts& entries, const GuidelineSources& sources) {
    const PartyRole stated = generalDeponentRole(sources.general);
    if (stated != PartyRole::Unknown) return stated;
    const QString chosen = text(entries, "deponent");
    if (chosen == QLatin1String("P")) return PartyRole::Plaintiff;
    if (chosen == QLatin1String("D")) return PartyRole::Defendant;
    return PartyRole::Unknown;
}

QString captionName(const FieldTexts& general, PartyRole role) {
    if (role == PartyRole::Plaintiff) return firstLine(general.value(QStringLiteral("plainfiff")));
    if (role == PartyRole::Defendant) return firstLine(general.value(QStringLiteral("defendant")));
    return QString();
}

GuidelineParties guidelineParties(const FieldTexts& entries, const GuidelineSources& sources) {
    GuidelineParties parties;
    parties.deponentRole = deponentRole(entries, sources);
    parties.deponentName = text(sources.general, "xname");
    if (parties.deponentName.isEmpty())
        parties.deponentName = captionName(sources.general, parties.deponentRole);
    parties.otherName = text(entries, "oname");
    if (parties.otherName.isEmpty())
        parties.otherName = captionName(sources.general, other(parties.deponentRole));
    if (parties.deponentName.isEmpty()) parties.deponentName = QStringLiteral("Deponent");
    if (parties.otherName.isEmpty()) parties.otherName = QStringLiteral("Other party");
    return parties;
}

QString GuidelineParties::deponentDescription() const {
    switch (deponentRole) {
        case PartyRole::Plaintiff:
            return QStringLiteral("plaintiff, the deponent");
        case PartyRole::Defendant:
            return QStringLiteral("defendant, the deponent");
        case PartyRole::Unknown:
            break;
    }
    return QStringLiteral("the deponent");
}

QString GuidelineParties::otherDescription() const {
    switch (deponentRole) {
        case PartyRole::Plaintiff:
            return QStringLiteral("defendant");
        case PartyRole::Defendant:
            return QStringLiteral("plaintiff");
        case PartyRole::Unknown:
            break;
    }
    return QStringLiteral("the other party");
}

QString grossIncomeText(const GuidelineIncomeLine& line, const GuidelineSources& sources) {
    return line.incomeField ? text(sources.income, line.incomeField) : QString();
}

guidelines::Outcome<guidelines::GuidelineCase> guidelineCase(const FieldTexts& entries,
                                                             const GuidelineSources& sources,
                                                             const QDate& today) {
    try {
        return build(entries, sources, today);
    } catch (const Refusal& refusal) {
        return refusal.problem;
    }
}

QString problemText(const guidelines::Problem& problem) {
    static const QHash<QString, QString> captions = {
        {QStringLiteral("as_of"), QStringLiteral("As of")},
        {QStringLiteral("income.a"), QStringLiteral("The deponent's income")},
        {QStringLiteral("income.b"), QStringLiteral("The other party's income")},
        {QStringLiteral("children"), QStringLiteral("Number of children")},
        {QStringLiteral("custodial"), QStringLiteral("Custodial parent")},
        {QStringLiteral("above_cap"), QStringLiteral("Combined income above the cap")},
        {QStringLiteral("addons.child_care"), QStringLiteral("Child care")},
        {QStringLiteral("addons.health_insurance"), QStringLiteral("Health insurance")},
        {QStringLiteral("addons.unreimbursed_medical"),
         QStringLiteral("Unreimbursed medical expenses")},
        {QStringLiteral("addons.education"), QStringLiteral("Education")},
        {QStringLiteral("cssa_cap"), QStringLiteral("Child support cap")},
        {QStringLiteral("maintenance_cap"), QStringLiteral("Maintenance cap")},
        {QStringLiteral("married"), QStringLiteral("Date of marriage")},
        {QStringLiteral("commenced"), QStringLiteral("Date of commencement")},
    };
    const QString field = QString::fromStdString(problem.field);
    const QString caption = captions.value(field, field);
    const QString what = QString::fromStdString(problem.text);
    return caption.isEmpty() ? what : caption + QStringLiteral(": ") + what;
}

void setGuidelineDefaults(storage::TDbfPrimDataset& table) {
    table.FieldByName("maint").setAsString("T");
    table.FieldByName("abovecap").setAsString("N");
    table.FieldByName("cssacapk").setAsString("F");
    table.FieldByName("maintcapk").setAsString("F");
}

}  // namespace schedules
