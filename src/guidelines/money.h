#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace guidelines {

// Money is held in whole cents.
using Cents = std::int64_t;

constexpr Cents dollars(std::int64_t whole) { return whole * 100; }

// numerator / denominator rounded to the nearest whole number, halves away from zero (so 0.5 cent
// becomes 1 cent and -0.5 becomes -1). The denominator must be positive. Products of two amounts
// fit: the arithmetic is 128 bits wide.
Cents roundDiv(__int128 numerator, __int128 denominator);

// `percent` % of an amount, rounded to the cent.
Cents percentOf(Cents amount, int percent);

// amount × part / whole, rounded to the cent: a pro-rata share. Zero when `whole` is zero.
Cents shareOf(Cents amount, Cents part, Cents whole);

// "1234.50", "-0.05": the plain decimal form, with no grouping.
std::string formatDecimal(Cents amount);

// Reads "183000", "183000.5", "183,000.00": digits with optional thousands commas and at most
// two decimals. nullopt for anything else (signs included).
std::optional<Cents> parseDecimal(std::string_view text);

}  // namespace guidelines
