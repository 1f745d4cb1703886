#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace report {

// A value of the report expression language. Blank stands for an empty field (a numeric field
// holding only blanks, an empty date) and prints as nothing. Values convert into each other the
// way a layout author expects; docs/report_format.md lists the rules.
class Value {
  public:
    enum class Kind { Blank, Text, Number, Date, Bool };

    Value() = default;
    static Value text(QString text);
    static Value number(double number);
    static Value date(QDate date);  // an invalid date gives Blank
    static Value boolean(bool flag);

    Kind kind() const { return kind_; }
    bool isBlank() const { return kind_ == Kind::Blank; }

    // Text as printed: numbers in their shortest form with a point ("1234.5"), dates in the
    // system's short date format, truth values as "Yes"/"No", blank as "".
    QString toText() const;
    // A number, or nullopt for blank and for text that does not read as a number (text is read
    // with a point, then with the system's separators).
    std::optional<double> toNumber() const;
    QDate toDate() const;
    // Blank, zero, "", an invalid date and false are false; everything else is true.
    bool isTrue() const;

  private:
    Kind kind_ = Kind::Blank;
    QString text_;
    double number_ = 0;
    QDate date_;
    bool bool_ = false;
};

// "#,##0.00" with the system's group and decimal separators, rounded to cents; "" for a blank
// value or one that is not a number.
QString formatMoney(const Value& value);
// The number with the system's separators, grouped by thousands, with `decimals` decimals.
QString formatNumber(double number, int decimals);

// Orders two values: numerically when both read as numbers, by date when both are dates,
// otherwise by their text. Returns <0, 0 or >0.
int compareValues(const Value& a, const Value& b);

}  // namespace report
