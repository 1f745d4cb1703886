#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "field.h"

namespace storage {

// Reading and writing one field of a raw record (see DbfFile) in the encodings of dBASE tables.
// Every function touches only the field's own bytes: record + field.offset, field.width bytes.
// Text is UTF-8 in memory and code page 437 in the record.

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

bool isMemoType(char type);  // M, B, G, P
bool isDeleted(const uint8_t* record);
// True when the field holds only blanks (or control bytes below 0x20).
bool isBlank(const FieldDescriptor& field, const uint8_t* record);

// C (or any field read as text): replaces *out with the text without its trailing bytes up to
// 0x20, except 0x14 and 0x15, which read as the pilcrow and the section sign. Allocation-free
// once *out has grown to the width.
void getText(const FieldDescriptor& field, const uint8_t* record, std::string* out);
std::string getText(const FieldDescriptor& field, const uint8_t* record);
// True when the field's text (as getText reads it) equals `oemText`, which is already in the
// table's code page; no conversion, no allocation. For scans comparing one field with a name.
bool textEquals(const FieldDescriptor& field, const uint8_t* record, std::string_view oemText);
// Stores the text left-aligned and blank-padded; longer text is cut at the width.
void setText(const FieldDescriptor& field, uint8_t* record, std::string_view utf8);

// N and F: the number; a blank or unreadable field (such as the "*" fill) reads as 0.
double getNumber(const FieldDescriptor& field, const uint8_t* record);
int64_t getInteger(const FieldDescriptor& field, const uint8_t* record);
// Right-aligned with exactly `decimals` digits after the point (none and no point for 0).
// A value that does not fit the width (or is not finite) fills the field with '*' and gives
// false.
bool setNumber(const FieldDescriptor& field, uint8_t* record, double value);
bool setInteger(const FieldDescriptor& field, uint8_t* record, int64_t value);
void setBlank(const FieldDescriptor& field, uint8_t* record);

// L: true for "T" (also "t", "Y", "y"); stored as "T" or "F".
bool getBool(const FieldDescriptor& field, const uint8_t* record);
void setBool(const FieldDescriptor& field, uint8_t* record, bool value);

// D: eight digits YYYYMMDD; blanks (or anything that is not a date) read as empty.
std::optional<Date> getDate(const FieldDescriptor& field, const uint8_t* record);
// Empty writes 8 blanks. A date outside 1/1/1 to 31/12/9999 or with month or day out of range
// is refused: false, field unchanged.
bool setDate(const FieldDescriptor& field, uint8_t* record, std::optional<Date> date);

// M: the memo's first block number, right-aligned; 0 for a blank pointer. A pointer that is not
// a number reads as UINT32_MAX, which no memo file reaches.
uint32_t getMemoBlock(const FieldDescriptor& field, const uint8_t* record);
void setMemoBlock(const FieldDescriptor& field, uint8_t* record, uint32_t block);

}  // namespace storage
