#include "platform/field_text.h"

#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

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

void setFieldFromText(storage::TField& field, const QString& text) {
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
    bool ok = false;
    double value = numberLocale().toDouble(trimmed, &ok);
    if (!ok) value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) throw storage::EDbfError("'" + trimmed.toStdString() + "' is not a valid number");
    field.setAsFloat(value);
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
