#include "dbf_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>

namespace storage {

namespace {

std::vector<std::string> splitCommas(const std::string& line) {
    std::vector<std::string> items;
    std::string::size_type start = 0;
    for (;;) {
        auto comma = line.find(',', start);
        items.push_back(trimmed(line.substr(start, comma - start)));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

int toInt(const std::string& item) {
    int value = 0;
    for (char c : item) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = std::min(value * 10 + (c - '0'), 100000);
    }
    return value;
}

std::string describe(const std::string& name, char type, int width, int decimals) {
    return name + "," + std::string(1, type) + "," + std::to_string(width) + "," +
           std::to_string(decimals);
}

}  // namespace

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<std::vector<FieldDescriptor>> parseDbfFields(
    const std::vector<std::string>& lines, const std::string& componentName,
    const std::function<void(const std::string&)>& report) {
    std::vector<FieldDescriptor> fields;
    for (const std::string& line : lines) {
        if (std::count(line.begin(), line.end(), ',') != 3) return std::nullopt;
        auto items = splitCommas(line);
        std::string name = items[0].substr(0, 10);
        char type = items[1].empty()
                        ? ' '
                        : static_cast<char>(std::toupper(static_cast<unsigned char>(items[1][0])));
        int width = toInt(items[2]);
        int decimals = toInt(items[3]);

        const char originalType = type;
        const int originalWidth = width, originalDecimals = decimals;
        if (std::string("CDFLMN").find(type) == std::string::npos) type = 'C';
        if (type == 'N') {
            width = std::min(width, 20);
            decimals = std::min(decimals, 18);
            if (decimals > 0 && width < decimals + 2) decimals = std::max(width - 2, 0);
        }
        if (type == 'C' && width >= 255) width = 254;
        if (type != originalType || width != originalWidth || decimals != originalDecimals) {
            if (report) {
                report("Invalid field definition for " + componentName + ": " +
                       describe(name, originalType, originalWidth, originalDecimals) +
                       ". Will use corrected definition: " + describe(name, type, width, decimals));
            }
        }

        FieldDescriptor field;
        field.name = name;
        field.type = type;
        field.width = static_cast<uint8_t>(std::clamp(width, 0, 255));
        field.decimals = static_cast<uint8_t>(std::clamp(decimals, 0, 255));
        fields.push_back(field);
    }
    return fields;
}

}  // namespace storage
