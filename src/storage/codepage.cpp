#include "codepage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace storage {

namespace {

// Unicode code points of the bytes 0x80-0xFF.
// clang-format off
constexpr char16_t kHighHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 0x80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 0x88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 0x90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 0x98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // 0xA0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // 0xA8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // 0xB0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // 0xB8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // 0xC0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // 0xC8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // 0xD0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // 0xD8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // 0xE0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // 0xE8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // 0xF0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // 0xF8
};
// clang-format on

constexpr char16_t kPilcrow = 0x00B6;  // byte 0x14
constexpr char16_t kSection = 0x00A7;  // byte 0x15

char16_t codePointOf(uint8_t byte) {
    if (byte >= 0x80) return kHighHalf[byte - 0x80];
    if (byte == 0x14) return kPilcrow;
    if (byte == 0x15) return kSection;
    return byte;
}

// Bytes that decode to themselves.
bool isPlain(uint8_t byte) { return byte < 0x80 && byte != 0x14 && byte != 0x15; }

struct ReverseEntry {
    char16_t codePoint;
    uint8_t byte;
};

// Code points >= 0x80 with their bytes, sorted by code point.
const std::array<ReverseEntry, 130>& reverseTable() {
    static const std::array<ReverseEntry, 130> table = [] {
        std::array<ReverseEntry, 130> t{};
        for (int i = 0; i < 128; ++i) t[i] = {kHighHalf[i], static_cast<uint8_t>(0x80 + i)};
        t[128] = {kPilcrow, 0x14};
        t[129] = {kSection, 0x15};
        std::sort(t.begin(), t.end(), [](const ReverseEntry& a, const ReverseEntry& b) {
            return a.codePoint < b.codePoint;
        });
        return t;
    }();
    return table;
}

void appendUtf8(char32_t cp, std::string* out) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[*pos]; advances *pos. Malformed input gives U+FFFD and
// advances by one byte.
char32_t nextCodePoint(std::string_view text, size_t* pos) {
    const auto lead = static_cast<uint8_t>(text[*pos]);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++*pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++*pos;
        return 0xFFFD;
    }
    if (*pos + length > text.size()) {
        ++*pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const auto cont = static_cast<uint8_t>(text[*pos + i]);
        if ((cont & 0xC0) != 0x80) {
            ++*pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cont & 0x3F);
    }
    static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++*pos;
        return 0xFFFD;
    }
    *pos += length;
    return cp;
}

}  // namespace

void oemToUtf8(const uint8_t* data, size_t n, std::string* out) {
    size_t plain = 0;
    while (plain < n && isPlain(data[plain])) ++plain;
    out->assign(reinterpret_cast<const char*>(data), plain);
    for (size_t i = plain; i < n; ++i) appendUtf8(codePointOf(data[i]), out);
}

uint8_t oemByteFor(char32_t codePoint) {
    if (codePoint < 0x80) {
        return codePoint == 0x14 || codePoint == 0x15 ? '?' : static_cast<uint8_t>(codePoint);
    }
    if (codePoint > 0xFFFF) return '?';
    const auto& table = reverseTable();
    auto it = std::lower_bound(table.begin(), table.end(), static_cast<char16_t>(codePoint),
                               [](const ReverseEntry& e, char16_t cp) { return e.codePoint < cp; });
    return it != table.end() && it->codePoint == codePoint ? it->byte : '?';
}

void utf8ToOem(std::string_view text, std::string* out) {
    size_t plain = 0;
    while (plain < text.size() && isPlain(static_cast<uint8_t>(text[plain]))) ++plain;
    out->assign(text.data(), plain);
    size_t pos = plain;
    while (pos < text.size()) {
        out->push_back(static_cast<char>(oemByteFor(nextCodePoint(text, &pos))));
    }
}

std::string storableText(std::string_view text) {
    std::string oem, back;
    utf8ToOem(text, &oem);
    oemToUtf8(reinterpret_cast<const uint8_t*>(oem.data()), oem.size(), &back);
    return back;
}

}  // namespace storage
