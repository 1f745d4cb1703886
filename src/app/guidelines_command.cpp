// The guideline calculator: a JSON case in, the computed amounts as JSON out.

#include "app/guidelines_command.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>
#include <cstdio>
#include <optional>

#include "guidelines/result_json.h"
#include "guidelines/worksheet.h"

namespace app {

namespace {

using guidelines::Cents;
using guidelines::CivilDate;
using guidelines::Problem;

// A case's value could not be read: the problem to report.
struct Refusal {
    Problem problem;
};

Refusal refusal(const QString& field, const QString& text) {
    return Refusal{Problem{field.toStdString(), text.toStdString()}};
}

// The members of one JSON object, each read at most once, so that what is left over is unknown.
class Members {
  public:
    Members(const QJsonObject& object, QString prefix)
        : object_(object), prefix_(std::move(prefix)) {}

    QString field(const QString& key) const { return prefix_ + key; }

    // The value under `key`; nullopt when absent or null.
    std::optional<QJsonValue> take(const QString& key) {
        known_ << key;
        const QJsonValue value = object_.value(key);
        if (value.isUndefined() || value.isNull()) return std::nullopt;
        return value;
    }
    QJsonValue require(const QString& key, const QString& what) {
        std::optional<QJsonValue> value = take(key);
        if (!value) throw refusal(field(key), QStringLiteral("missing (%1)").arg(what));
        return *value;
    }
    // Refuses a key that was never asked for.
    void checkNoOthers() const {
        for (auto it = object_.begin(); it != object_.end(); ++it) {
            if (!known_.contains(it.key())) throw refusal(field(it.key()), "unknown key");
        }
    }

  private:
    QJsonObject object_;
    QString prefix_;
    QStringList known_;
};

Cents amount(const QJsonValue& value, const QString& field) {
    if (!value.isDouble()) throw refusal(field, "must be a number of dollars");
    const double hundredths = value.toDouble() * 100.0;
    if (!std::isfinite(hundredths) || std::fabs(hundredths) > 1e15)
        throw refusal(field, "is out of range");
    const double cents = std::round(hundredths);
    if (std::fabs(hundredths - cents) > 1e-6 * std::max(1.0, std::fabs(cents)))
        throw refusal(field, "has fractions of a cent");
    return static_cast<Cents>(cents);
}

CivilDate date(const QJsonValue& value, const QString& field) {
    const std::optional<CivilDate> parsed = CivilDate::parse(value.toString().toStdString());
    if (!value.isString() || !parsed) throw refusal(field, "must be a date, YYYY-MM-DD");
    return *parsed;
}

QString choice(const QJsonValue& value, const QString& field, const QStringList& choices) {
    if (value.isString() && choices.contains(value.toString())) return value.toString();
    throw refusal(field, QStringLiteral("must be \"%1\"").arg(choices.join("\", \"")));
}

guidelines::CapOverride capOverride(const std::optional<QJsonValue>& value, const QString& field) {
    guidelines::CapOverride cap;
    if (!value) return cap;
    if (value->isString() && value->toString() == QLatin1String("none")) {
        cap.kind = guidelines::CapOverride::Kind::NoCap;
        return cap;
    }
    if (!value->isDouble()) throw refusal(field, "must be a number of dollars or \"none\"");
    cap.kind = guidelines::CapOverride::Kind::Amount;
    cap.amount = amount(*value, field);
    return cap;
}

QJsonObject object(const QJsonValue& value, const QString& field) {
    if (!value.isObject()) throw refusal(field, "must be an object");
    return value.toObject();
}

guidelines::GuidelineCase readCase(const QJsonObject& root) {
    using guidelines::Party;
    guidelines::GuidelineCase in;
    Members members(root, QString());
    in.asOf =
        date(members.require("as_of", "the date whose parameters apply, YYYY-MM-DD"), "as_of");

    const QString maintenance =
        choice(members.require("maintenance", "\"temporary\", \"post-divorce\" or \"none\""),
               "maintenance", {"temporary", "post-divorce", "none"});
    in.maintenance =
        maintenance == QLatin1String("temporary")      ? guidelines::MaintenanceKind::Temporary
        : maintenance == QLatin1String("post-divorce") ? guidelines::MaintenanceKind::PostDivorce
                                                       : guidelines::MaintenanceKind::None;

    const QJsonValue children = members.require("children", "the number of children");
    const double count = children.toDouble(-1.5);
    if (!children.isDouble() || count != std::floor(count))
        throw refusal("children", "must be a whole number");
    if (std::fabs(count) > 1000) throw refusal("children", "is out of range");
    in.children = static_cast<int>(count);

    if (const std::optional<QJsonValue> custodial = members.take("custodial")) {
        in.custodial =
            choice(*custodial, "custodial", {"a", "b"}) == QLatin1String("a") ? Party::A : Party::B;
    }

    Members income(object(members.require("income", "{\"a\": number, \"b\": number}"), "income"),
                   QStringLiteral("income."));
    for (const Party party : {Party::A, Party::B}) {
        const QString key = party == Party::A ? QStringLiteral("a") : QStringLiteral("b");
        in.setIncome(party, amount(income.require(key, "the party's annual income, a number"),
                                   income.field(key)));
    }
    income.checkNoOthers();

    if (const std::optional<QJsonValue> aboveCap = members.take("above_cap")) {
        if (aboveCap->isDouble()) {
            in.aboveCap = {guidelines::AboveCap::Kind::UpTo, amount(*aboveCap, "above_cap")};
        } else if (choice(*aboveCap, "above_cap", {"none", "percentage"}) == "percentage") {
            in.aboveCap.kind = guidelines::AboveCap::Kind::Percentage;
        }
    }

    if (const std::optional<QJsonValue> addOns = members.take("addons")) {
        Members costs(object(*addOns, "addons"), QStringLiteral("addons."));
        const std::pair<const char*, Cents*> keys[] = {
            {"child_care", &in.addOns.childCare},
            {"health_insurance", &in.addOns.healthInsurance},
            {"unreimbursed_medical", &in.addOns.unreimbursedMedical},
            {"education", &in.addOns.education},
        };
        for (const auto& [key, target] : keys) {
            if (const std::optional<QJsonValue> cost = costs.take(key))
                *target = amount(*cost, costs.field(key));
        }
        costs.checkNoOthers();
    }

    if (const std::optional<QJsonValue> married = members.take("married"))
        in.married = date(*married, "married");
    if (const std::optional<QJsonValue> commenced = members.take("commenced"))
        in.commenced = date(*commenced, "commenced");
    in.cssaCap = capOverride(members.take("cssa_cap"), "cssa_cap");
    in.maintenanceCap = capOverride(members.take("maintenance_cap"), "maintenance_cap");
    members.checkNoOthers();
    return in;
}

void printError(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("networth: %1\n").arg(text)), stderr);
    std::fflush(stderr);
}

QString describe(const Problem& problem) {
    const QString text = QString::fromStdString(problem.text);
    if (problem.field.empty()) return text;
    return QString::fromStdString(problem.field) + QStringLiteral(": ") + text;
}

}  // namespace

guidelines::Outcome<guidelines::GuidelineCase> readGuidelineCase(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        return Problem{"", QStringLiteral("not JSON: %1 at offset %2")
                               .arg(error.errorString())
                               .arg(error.offset)
                               .toStdString()};
    }
    if (!document.isObject()) return Problem{"", "the case must be a JSON object"};
    try {
        return readCase(document.object());
    } catch (const Refusal& refused) {
        return refused.problem;
    }
}

int runGuidelines(const QStringList& arguments, const QString& programDirectory) {
    if (arguments.size() != 2 || arguments.at(1).isEmpty()) {
        printError(QStringLiteral("usage: networth --guidelines IN.json"));
        return 2;
    }
    const QString input = arguments.at(1);
    QFile file(input);
    const bool opened = input == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                    : file.open(QIODevice::ReadOnly);
    if (!opened) {
        printError(QStringLiteral("%1: %2").arg(input, file.errorString()));
        return 2;
    }
    const guidelines::Outcome<guidelines::GuidelineCase> read = readGuidelineCase(file.readAll());
    if (const Problem* problem = std::get_if<Problem>(&read)) {
        printError(QStringLiteral("%1: %2").arg(input, describe(*problem)));
        return 2;
    }

    const QString parameterPath =
        QDir(programDirectory).filePath(QLatin1String(guidelines::ParameterTable::kProgramFile));
    const guidelines::Outcome<guidelines::ParameterTable> parameters =
        guidelines::ParameterTable::load(QDir::toNativeSeparators(parameterPath).toStdString());
    if (const Problem* problem = std::get_if<Problem>(&parameters)) {
        printError(describe(*problem));
        return 1;
    }
    const guidelines::Outcome<guidelines::Worksheet> sheet =
        guidelines::computeWorksheet(std::get<guidelines::GuidelineCase>(read),
                                     std::get<guidelines::ParameterTable>(parameters));
    if (const Problem* problem = std::get_if<Problem>(&sheet)) {
        printError(QStringLiteral("%1: %2").arg(input, describe(*problem)));
        return 2;
    }
    const std::string json = guidelines::resultJson(std::get<guidelines::Worksheet>(sheet));
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace app
