#pragma once

#include <QString>
#include <optional>

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
// that is not a number raises EDbfError "'<text>' is not a valid number", and a number with
// more digits or decimals than the field holds raises EDbfError with numberFitError, naming the
// field `caption` (its name when empty); both store nothing. Memo text is stored with CR LF line
// breaks. Needs the data set in edit or insert state.
void setFieldFromText(storage::TField& field, const QString& text,
                      const QString& caption = QString());

// For a number typed into numeric field `field`: the plain message saying that it does not fit
// (more digits before the point, or more decimals, than the field holds), naming the field
// `caption` and the largest value it holds; empty when it fits or is not a number.
QString numberFitError(const storage::TField& field, const QString& text, const QString& caption);

// Reads typed text as a number as setFieldFromText does: the system's decimal point or ".",
// blanks around it ignored. nullopt for text that does not read (empty text included).
std::optional<double> readNumber(const QString& text);

bool isNumericField(const storage::TField& field);
bool isMemoField(const storage::TField& field);

// A validator that lets through what a numeric field can take (sign, digits, one decimal
// point), or null for other fields. Owned by `parent`.
QValidator* numberValidator(const storage::TField& field, QObject* parent);

// Memo line breaks: stored CR LF (or a lone CR) to "\n", and back.
QString memoToDisplay(const QString& stored);
QString memoToStored(const QString& shown);

}  // namespace platform
