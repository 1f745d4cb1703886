#include "guidelines/money.h"

namespace guidelines {

Cents roundDiv(__int128 numerator, __int128 denominator) {
    const bool negative = numerator < 0;
    const __int128 magnitude = negative ? -numerator : numerator;
    const __int128 rounded = (2 * magnitude + denominator) / (2 * denominator);
    return static_cast<Cents>(negative ? -rounded : rounded);
}

Cents percentOf(Cents amount, int percent) {
    return roundDiv(static_cast<__int128>(amount) * percent, 100);
}

Cents shareOf(Cents amount, Cents part, Cents whole) {
    if (whole == 0) return 0;
    return roundDiv(static_cast<__int128>(amount) * part, whole);
}

std::string formatDecimal(Cents amount) {
    const bool negative = amount < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    std::string cents = std::to_string(magnitude % 100);
    if (cents.size() < 2) cents.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + cents;
}

std::optional<Cents> parseDecimal(std::string_view text) {
    Cents whole = 0;
    int digits = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != '.'; ++i) {
        const char c = text[i];
        if (c == ',') {
            if (digits == 0) return std::nullopt;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        if (whole > 10'000'000'000'000LL) return std::nullopt;  // beyond any income
        whole = whole * 10 + (c - '0');
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    Cents fraction = 0;
    if (i < text.size()) {
        const std::string_view decimals = text.substr(i + 1);
        if (decimals.empty() || decimals.size() > 2) return std::nullopt;
        for (const char c : decimals) {
            if (c < '0' || c > '9') return std::nullopt;
            fraction = fraction * 10 + (c - '0');
        }
        if (decimals.size() == 1) fraction *= 10;
    }
    return whole * 100 + fraction;
}

}  // namespace guidelines
