#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "field.h"
#include "status.h"

namespace storage {

// A compiled index key expression over the fields of one table.
//
// The language: field names (any letter case), string literals in '...' or "...", numbers, recno(),
// parentheses, and "+", which joins character values and adds numeric ones. The result must be
// character (1 to 100 bytes), numeric or date; anything else fails with "Wrong parser return type".
//
// Keys are produced as the index stores them: character keys are the raw field bytes (in the
// table's code page, blanks kept) of the result's length; numeric and date keys are 8-byte
// little-endian IEEE doubles (dates as Julian day numbers, an empty date as 0).
class KeyExpression {
  public:
    // Compiles `text` against `fields`. On failure *out is left empty and the status (code 220)
    // names the problem. The text may be at most 100 bytes.
    static Status compile(const std::string& text, const std::vector<FieldDescriptor>& fields,
                          std::unique_ptr<KeyExpression>* out);

    ~KeyExpression();

    const std::string& text() const { return text_; }
    // 'C', 'N' or 'D'.
    char keyType() const { return keyType_; }
    // Bytes of every key this expression gives: the character result's length, or 8.
    uint16_t keyLength() const { return keyLength_; }

    // Writes the key of `record` (a raw record, deletion flag first, as long as the table's
    // record length) with record number `recno` into key[0 .. keyLength()).
    void evaluate(const uint8_t* record, uint32_t recno, uint8_t* key) const;

    struct Node;

  private:
    KeyExpression() = default;

    std::string text_;
    char keyType_ = 'C';
    uint16_t keyLength_ = 0;
    // Character expressions that are only fields and literals become one copy list.
    struct Piece {
        uint32_t offset;  // in the record, or in literals_ when fromLiteral
        uint32_t length;
        bool fromLiteral;
    };
    std::vector<Piece> pieces_;
    std::string literals_;
    std::unique_ptr<Node> root_;  // numeric and date expressions
};

// The 8-byte key of a number, and back.
void encodeNumericKey(double value, uint8_t* key);
double decodeNumericKey(const uint8_t* key);
// Julian day number of a date given as the 8 digits YYYYMMDD; 0 for blanks or an invalid date.
double julianDayOfDigits(const uint8_t* digits);
// "YYYYMMDD" of a Julian day number; empty for 0.
std::string digitsOfJulianDay(double day);

}  // namespace storage
