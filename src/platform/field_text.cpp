#include "platform/field_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <cmath>

#include "storage/dataset.h"
#include "storage/record.h"

namespace platform {

namespace {

QLocale numberLocale() {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

}  // namespace

bool isNumericField(const storage::TField& field) {
    return field.DataType() == 'N' || field.DataType() == 'F';
}

bool isMemoField(const storage::TField& field) { return storage::isMemoType(field.DataType()); }

QString memoToDisplay(const QString& stored) {
    QString text = stored;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString memoToStored(const QString& shown) {
    QString text = memoToDisplay(shown);
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

QString fieldDisplayText(const storage::TField& field) {
    const QString text = QString::fromStdString(field.AsString());
    if (isMemoField(field)) return memoToDisplay(text);
    if (isNumericField(field) && field.Decimals() > 0 && !text.isEmpty()) {
        return numberLocale().toString(field.AsFloat(), 'f', field.Decimals());
    }
    return text;
}

QString numberFitError(const storage::TField& field, const QString& text, const QString& caption) {
    if (!isNumericField(field)) return QString();
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?)0*([0-9]*)(?:(?:%1|\\.)([0-9]*?)0*)?\\s*$")
            .arg(QRegularExpression::escape(QLocale::system().decimalPoint())));
    const QRegularExpressionMatch parts = number.match(text);
    if (!parts.hasMatch()) return QString();
    const int decimals = field.Decimals();
    // The width holds the sign of a negative number, the digits, and the point with its decimals.
    const bool negative = parts.captured(1) == QLatin1String("-");
    const int digits = field.Size() - (decimals > 0 ? decimals + 1 : 0) - (negative ? 1 : 0);
    if (parts.captured(2).size() <= digits && parts.captured(3).size() <= decimals)
        return QString();
    const double largest =
        std::pow(10.0, std::max(0, field.Size() - (decimals > 0 ? decimals + 1 : 0))) -
        std::pow(10.0, -decimals);
    QLocale locale = QLocale::system();
    const QString name = caption.isEmpty() ? QString::fromStdString(field.FieldName()) : caption;
    const QString most = locale.toString(largest, 'f', decimals);
    return decimals > 0 ? QStringLiteral(
                              "\"%1\" holds amounts up to %2, with at most %3 decimals; %4 "
                              "does not fit. Please correct it.")
                              .arg(name, most, QString::number(decimals), text.trimmed())
                        : QStringLiteral(
                              "\"%1\" holds numbers up to %2; %3 does not fit. Please correct "
                              "it.")
                              .arg(name, most, text.trimmed());
}

void setFieldFromText(storage::TField& field, const QString& text, const QString& caption) {
    if (isMemoField(field)) {
        field.setAsString(memoToStored(text).toStdString());
        return;
    }
    if (!isNumericField(field)) {
        field.setAsString(text.toStdString());
        return;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        field.Clear();
        return;
    }
    if (const QString error = numberFitError(field, trimmed, caption); !error.isEmpty())
        throw storage::EDbfError(error.toStdString());
    const std::optional<double> value = readNumber(trimmed);
    if (!value) throw storage::EDbfError("'" + trimmed.toStdString() + "' is not a valid number");
    field.setAsFloat(*value);
}

std::optional<double> readNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = numberLocale().toDouble(trimmed, &ok);
    if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) return std::nullopt;
    return value;
}

QValidator* numberValidator(const storage::TField& field, QObject* parent) {
    if (!isNumericField(field)) return nullptr;
    QString point = QRegularExpression::escape(QLocale::system().decimalPoint());
    if (point != QLatin1String(".")) point += QLatin1String("|\\.");
    const QString decimals =
        field.Decimals() > 0 ? QStringLiteral("((%1)[0-9]*)?").arg(point) : QString();
    const QRegularExpression pattern(QStringLiteral("\\s*[+-]?[0-9]*%1\\s*").arg(decimals));
    return new QRegularExpressionValidator(pattern, parent);
}

}  // namespace platform
