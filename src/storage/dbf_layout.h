#pragma once

// The byte layout of a table file's header (docs/table_format.md), for the code that creates
// table files and the code that opens them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "dbf_file.h"

namespace storage::dbf {

constexpr size_t kPrologLength = 32;
constexpr size_t kDescriptorLength = 32;
constexpr uint8_t kTerminator = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;

// The last-update date a header gets when written today.
inline HeaderDate today() {
    const std::time_t now = std::time(nullptr);
    // std::localtime's buffer is shared, but the file layer runs on one thread.
    const std::tm local = *std::localtime(&now);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

// A header date's three bytes: year since 1900, month, day.
inline void putDate(uint8_t* p, const HeaderDate& date) {
    p[0] = static_cast<uint8_t>(std::clamp(date.year - 1900, 0, 255));
    p[1] = static_cast<uint8_t>(date.month);
    p[2] = static_cast<uint8_t>(date.day);
}

// A field name as the descriptor holds it, padded: without its leading and trailing blanks.
inline std::string trimBlanks(const std::string& text) {
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return std::string();
    const size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

}  // namespace storage::dbf
