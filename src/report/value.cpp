#include "value.h"

#include <QLocale>
#include <cmath>

namespace report {

namespace {

QLocale groupingSystemLocale() {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

}  // namespace

Value Value::text(QString text) {
    Value v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(text);
    return v;
}

Value Value::number(double number) {
    Value v;
    if (!std::isfinite(number)) return v;
    v.kind_ = Kind::Number;
    v.number_ = number;
    return v;
}

Value Value::date(QDate date) {
    Value v;
    if (!date.isValid()) return v;
    v.kind_ = Kind::Date;
    v.date_ = date;
    return v;
}

Value Value::boolean(bool flag) {
    Value v;
    v.kind_ = Kind::Bool;
    v.bool_ = flag;
    return v;
}

QString Value::toText() const {
    switch (kind_) {
        case Kind::Blank:
            return {};
        case Kind::Text:
            return text_;
        case Kind::Number:
            return QString::number(number_, 'g', 15);
        case Kind::Date:
            return QLocale::system().toString(date_, QLocale::ShortFormat);
        case Kind::Bool:
            return bool_ ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    return {};
}

std::optional<double> Value::toNumber() const {
    switch (kind_) {
        case Kind::Number:
            return number_;
        case Kind::Bool:
            return bool_ ? 1.0 : 0.0;
        case Kind::Text: {
            const QString trimmed = text_.trimmed();
            if (trimmed.isEmpty()) return std::nullopt;
            bool ok = false;
            double n = trimmed.toDouble(&ok);
            if (!ok) n = QLocale::system().toDouble(trimmed, &ok);
            if (!ok || !std::isfinite(n)) return std::nullopt;
            return n;
        }
        case Kind::Blank:
        case Kind::Date:
            return std::nullopt;
    }
    return std::nullopt;
}

QDate Value::toDate() const {
    if (kind_ == Kind::Date) return date_;
    if (kind_ == Kind::Text) {
        QDate d = QLocale::system().toDate(text_.trimmed(), QLocale::ShortFormat);
        if (!d.isValid()) d = QDate::fromString(text_.trimmed(), Qt::ISODate);
        return d;
    }
    return {};
}

bool Value::isTrue() const {
    switch (kind_) {
        case Kind::Blank:
            return false;
        case Kind::Text:
            return !text_.trimmed().isEmpty();
        case Kind::Number:
            return number_ != 0;
        case Kind::Date:
            return date_.isValid();
        case Kind::Bool:
            return bool_;
    }
    return false;
}

QString formatMoney(const Value& value) {
    const std::optional<double> n = value.toNumber();
    if (!n) return {};
    return formatNumber(*n, 2);
}

QString formatNumber(double number, int decimals) {
    // Round half away from zero at the last decimal, as a ledger does, before Qt formats it;
    // the small nudge keeps 0.125 (stored as 0.12499999...) from rounding down.
    const double scale = std::pow(10.0, decimals);
    double rounded = std::round(number * scale + (number >= 0 ? 1e-7 : -1e-7)) / scale;
    if (rounded == 0) rounded = 0;  // no "-0.00"
    return groupingSystemLocale().toString(rounded, 'f', decimals);
}

int compareValues(const Value& a, const Value& b) {
    if (a.kind() == Value::Kind::Date && b.kind() == Value::Kind::Date) {
        return a.toDate() < b.toDate() ? -1 : (b.toDate() < a.toDate() ? 1 : 0);
    }
    const bool numericSide = a.kind() == Value::Kind::Number || b.kind() == Value::Kind::Number;
    if (numericSide) {
        const auto x = a.toNumber();
        const auto y = b.toNumber();
        if ((x || a.isBlank()) && (y || b.isBlank())) {
            const double l = x.value_or(0), r = y.value_or(0);
            return l < r ? -1 : (r < l ? 1 : 0);
        }
    }
    return QString::compare(a.toText(), b.toText(), Qt::CaseSensitive);
}

}  // namespace report
