#pragma once

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace platform {

// The date separator of the system's short date format; "/" when that format has none.
QChar systemDateSeparator();

// An entry mask in the style "99/99/0000;1;_": the mask, then ";1" to store the literals with
// the text (";0" to store only the entered characters), then the blank character shown in free
// positions. Mask characters: '0' required digit, '9' optional digit, '#' optional digit or
// sign, 'L' / 'l' required / optional letter, 'A' / 'a' required / optional letter or digit,
// 'C' / 'c' required / optional character, '/' the date separator, ':' the time separator,
// '\' makes the next character a literal; anything else is a literal.
class EntryMask {
  public:
    // Empty text gives no mask. `dateSeparator` replaces each '/' of the mask.
    static std::optional<EntryMask> parse(const QString& text,
                                          QChar dateSeparator = systemDateSeparator());

    // The mask as QLineEdit::setInputMask takes it.
    const QString& inputMask() const { return inputMask_; }
    QChar blank() const { return blank_; }
    bool saveLiterals() const { return saveLiterals_; }
    int length() const { return int(positions_.size()); }

    // What to store for the edit's displayed text (free positions shown with the blank
    // character): free positions become blanks, literals are kept when saveLiterals(). An edit
    // in which nothing was entered stores "" rather than bare separators.
    QString storedText(const QString& displayText) const;
    // Whether the edit's displayed text may be stored: nothing entered at all, or every
    // required position ('0', 'L', 'A', 'C') filled.
    bool isComplete(const QString& displayText) const;
    // The edit's text for a stored value: stored characters go to their positions, literal
    // positions take the mask's literal whatever was stored there (a date stored under another
    // separator shows the system's).
    QString editText(const QString& stored) const;

  private:
    struct Position {
        bool literal;
        QChar character;  // the literal, or the mask character
    };
    static bool required(const Position& position);
    bool filled(const QString& displayText, size_t position) const;

    std::vector<Position> positions_;
    QString inputMask_;
    QChar blank_ = QLatin1Char(' ');
    bool saveLiterals_ = true;
};

}  // namespace platform
