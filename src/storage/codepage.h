#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace storage {

// Conversion between UTF-8 (text in memory) and the OEM code page 437 (text in table and memo
// files). Bytes 0x80-0xFF are their code page 437 characters; bytes below 0x20 and 0x7F stay
// control characters, except 0x14 and 0x15, which are the pilcrow and the section sign.

// Replaces *out with the UTF-8 form of `n` OEM bytes. Reuses out's storage, so decoding into the
// same string over and over allocates only while the string grows.
void oemToUtf8(const uint8_t* data, size_t n, std::string* out);

// Replaces *out with the OEM form of UTF-8 `text`. A character without an OEM byte (including
// the control characters 0x14 and 0x15, whose bytes mean other characters here) and every byte of
// malformed UTF-8 become '?'.
void utf8ToOem(std::string_view text, std::string* out);

// The OEM byte of one Unicode code point; '?' when there is none.
uint8_t oemByteFor(char32_t codePoint);

// `text` as it reads back once stored: every character without an OEM byte replaced by '?'.
std::string storableText(std::string_view text);

}  // namespace storage
