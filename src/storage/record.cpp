#include "record.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "codepage.h"

namespace storage {

namespace {

uint8_t* fieldStart(const FieldDescriptor& field, uint8_t* record) { return record + field.offset; }
const uint8_t* fieldStart(const FieldDescriptor& field, const uint8_t* record) {
    return record + field.offset;
}

// The field's bytes without leading blanks and without trailing bytes up to 0x20.
std::string_view trimmed(const FieldDescriptor& field, const uint8_t* record) {
    const char* begin = reinterpret_cast<const char*>(fieldStart(field, record));
    const char* end = begin + field.width;
    while (end > begin && static_cast<uint8_t>(end[-1]) <= 0x20) --end;
    while (begin < end && *begin == ' ') ++begin;
    return std::string_view(begin, static_cast<size_t>(end - begin));
}

// Trailing bytes up to 0x20 are trimmed as the characters they read as, so 0x14 and 0x15 (the
// pilcrow and the section sign) stay.
bool trimmedAtEnd(uint8_t byte) { return byte <= 0x20 && byte != 0x14 && byte != 0x15; }

size_t textLength(const FieldDescriptor& field, const uint8_t* record) {
    const uint8_t* begin = fieldStart(field, record);
    size_t n = field.width;
    // Blanks pad almost every field: pass them eight at a time.
    static constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    while (n >= 8 && std::memcmp(begin + n - 8, kBlanks, 8) == 0) n -= 8;
    while (n > 0 && trimmedAtEnd(begin[n - 1])) --n;
    return n;
}

bool fillStars(const FieldDescriptor& field, uint8_t* record) {
    std::memset(fieldStart(field, record), '*', field.width);
    return false;
}

// Writes `text` right-aligned in the field, or the '*' fill when it is too long.
bool putRightAligned(const FieldDescriptor& field, uint8_t* record, const char* text, size_t n) {
    if (n > field.width) return fillStars(field, record);
    uint8_t* out = fieldStart(field, record);
    std::memset(out, ' ', field.width - n);
    std::memcpy(out + field.width - n, text, n);
    return true;
}

bool parseDigits(std::string_view digits, int* value) {
    int result = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

bool isMemoType(char type) { return type == 'M' || type == 'B' || type == 'G' || type == 'P'; }

bool isDeleted(const uint8_t* record) { return record[0] == '*'; }

bool isBlank(const FieldDescriptor& field, const uint8_t* record) {
    return textLength(field, record) == 0;
}

void getText(const FieldDescriptor& field, const uint8_t* record, std::string* out) {
    oemToUtf8(fieldStart(field, record), textLength(field, record), out);
}

std::string getText(const FieldDescriptor& field, const uint8_t* record) {
    std::string text;
    getText(field, record, &text);
    return text;
}

bool textEquals(const FieldDescriptor& field, const uint8_t* record, std::string_view oemText) {
    const size_t n = textLength(field, record);
    return n == oemText.size() && std::memcmp(fieldStart(field, record), oemText.data(), n) == 0;
}

void setText(const FieldDescriptor& field, uint8_t* record, std::string_view utf8) {
    std::string oem;
    utf8ToOem(utf8, &oem);
    const size_t n = std::min<size_t>(oem.size(), field.width);
    uint8_t* out = fieldStart(field, record);
    std::memcpy(out, oem.data(), n);
    std::memset(out + n, ' ', field.width - n);
}

double getNumber(const FieldDescriptor& field, const uint8_t* record) {
    std::string_view text = trimmed(field, record);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value)) return 0;
    return value;
}

int64_t getInteger(const FieldDescriptor& field, const uint8_t* record) {
    std::string_view text = trimmed(field, record);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size()) return value;
    const double number = getNumber(field, record);
    if (!(std::fabs(number) < 9.2e18)) return 0;
    return std::llround(number);
}

bool setNumber(const FieldDescriptor& field, uint8_t* record, double value) {
    if (!std::isfinite(value)) return fillStars(field, record);
    if (value == 0) value = 0;  // no "-0.00"
    char buffer[400];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, field.decimals);
    if (error != std::errc()) return fillStars(field, record);
    // Rounding may have produced "-0.00" from a tiny negative value.
    std::string_view text(buffer, static_cast<size_t>(end - buffer));
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    return putRightAligned(field, record, text.data(), text.size());
}

bool setInteger(const FieldDescriptor& field, uint8_t* record, int64_t value) {
    if (field.decimals > 0) return setNumber(field, record, static_cast<double>(value));
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return putRightAligned(field, record, buffer, static_cast<size_t>(end - buffer));
}

void setBlank(const FieldDescriptor& field, uint8_t* record) {
    std::memset(fieldStart(field, record), ' ', field.width);
}

bool getBool(const FieldDescriptor& field, const uint8_t* record) {
    if (field.width == 0) return false;
    const uint8_t c = *fieldStart(field, record);
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

void setBool(const FieldDescriptor& field, uint8_t* record, bool value) {
    if (field.width == 0) return;
    uint8_t* out = fieldStart(field, record);
    std::memset(out, ' ', field.width);
    out[0] = value ? 'T' : 'F';
}

std::optional<Date> getDate(const FieldDescriptor& field, const uint8_t* record) {
    if (field.width < 8) return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(fieldStart(field, record)), 8);
    Date date;
    if (!parseDigits(text.substr(0, 4), &date.year) ||
        !parseDigits(text.substr(4, 2), &date.month) ||
        !parseDigits(text.substr(6, 2), &date.day)) {
        return std::nullopt;
    }
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    return date;
}

bool setDate(const FieldDescriptor& field, uint8_t* record, std::optional<Date> date) {
    if (field.width < 8) return false;
    if (!date) {
        setBlank(field, record);
        return true;
    }
    if (date->year < 1 || date->year > 9999 || date->month < 1 || date->month > 12 ||
        date->day < 1 || date->day > daysInMonth(date->year, date->month)) {
        return false;
    }
    char text[9];
    const int values[3] = {date->year, date->month, date->day};
    const int widths[3] = {4, 2, 2};
    char* p = text;
    for (int part = 0; part < 3; ++part) {
        int v = values[part];
        for (int i = widths[part] - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        p += widths[part];
    }
    setBlank(field, record);
    std::memcpy(fieldStart(field, record), text, 8);
    return true;
}

uint32_t getMemoBlock(const FieldDescriptor& field, const uint8_t* record) {
    const std::string_view text = trimmed(field, record);
    if (text.empty()) return 0;
    uint32_t block = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), block);
    if (error != std::errc() || end != text.data() + text.size()) return UINT32_MAX;
    return block;
}

void setMemoBlock(const FieldDescriptor& field, uint8_t* record, uint32_t block) {
    if (block == 0) {
        setBlank(field, record);
        return;
    }
    char buffer[16];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, block);
    putRightAligned(field, record, buffer, static_cast<size_t>(end - buffer));
}

}  // namespace storage
