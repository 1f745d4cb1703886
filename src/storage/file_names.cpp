#include "file_names.h"

#include <atomic>
#include <cstdio>
#include <random>

namespace storage {

namespace {

constexpr std::string_view kSeparators = "/\\";

// Position of the extension's point in the file name, or npos.
size_t extensionPoint(std::string_view path) {
    const size_t separator = path.find_last_of(kSeparators);
    const size_t point = path.rfind('.');
    if (point == std::string_view::npos) return point;
    if (separator != std::string_view::npos && point < separator) return std::string_view::npos;
    return point;
}

}  // namespace

std::string directoryOf(std::string_view path) {
    const size_t separator = path.find_last_of(kSeparators);
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator + 1));
}

std::string_view fileNameOf(std::string_view path) {
    const size_t separator = path.find_last_of(kSeparators);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string baseNameOf(std::string_view path) {
    const std::string_view name = fileNameOf(path);
    return std::string(name.substr(0, name.rfind('.')));
}

bool hasExtension(std::string_view path) { return extensionPoint(path) != std::string_view::npos; }

std::string withExtension(std::string_view path, std::string_view extension) {
    std::string result(path.substr(0, extensionPoint(path)));
    result += '.';
    result += extension;
    return result;
}

std::string memoPathFor(std::string_view tablePath) {
    const size_t point = extensionPoint(tablePath);
    if (point == std::string_view::npos) return std::string(tablePath) + ".dbt";
    const bool upperCase =
        point + 1 < tablePath.size() && tablePath[point + 1] >= 'A' && tablePath[point + 1] <= 'Z';
    return withExtension(tablePath, upperCase ? "DBT" : "dbt");
}

std::string indexPathFor(std::string_view tablePath) { return withExtension(tablePath, "MDX"); }

std::string oneTagIndexPathFor(std::string_view tablePath, std::string_view name) {
    std::string path = withExtension(name, "MDX");
    if (path.find_first_of(kSeparators) == std::string::npos) path = directoryOf(tablePath) + path;
    return path;
}

std::string semaphorePathFor(std::string_view tablePath) { return withExtension(tablePath, "@S@"); }

std::string scratchPathNear(std::string_view path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    char name[40];
    std::snprintf(name, sizeof name, "~new%08x%04x.tmp", static_cast<unsigned>(random()),
                  (counter++ + attempt) & 0xFFFF);
    return directoryOf(path) + name;
}

}  // namespace storage
