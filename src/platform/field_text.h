#pragma once

#include <QString>

namespace storage {
class TField;
}
class QValidator;
class QObject;

namespace platform {

// How the data-aware controls show a field's value as text and store typed text back.

// The text a control shows: character fields without trailing blanks, numbers with decimals
// in fixed notation with the system's decimal point, memo text with the platform's line breaks
// (stored CR LF becomes "\n"), dates as stored ("YYYYMMDD"), logicals "T" / "F".
QString fieldDisplayText(const storage::TField& field);

// Stores `text` as the user typed it. Numbers accept the system's decimal point or "."; text
// that is not a number raises EDbfError "'<text>' is not a valid number" and stores nothing.
// Memo text is stored with CR LF line breaks. Needs the data set in edit or insert state.
void setFieldFromText(storage::TField& field, const QString& text);

bool isNumericField(const storage::TField& field);
bool isMemoField(const storage::TField& field);

// A validator that lets through what a numeric field can take (sign, digits, one decimal
// point), or null for other fields. Owned by `parent`.
QValidator* numberValidator(const storage::TField& field, QObject* parent);

// Memo line breaks: stored CR LF (or a lone CR) to "\n", and back.
QString memoToDisplay(const QString& stored);
QString memoToStored(const QString& shown);

}  // namespace platform
