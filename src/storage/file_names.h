#pragma once

// The names of the files that stand beside a table in the data directory (memo, production
// index, index semaphore, one-tag index, a table's scratch file while it is created), and the
// parts of a path they are made from. "/" and "\" both end a directory here, on every system:
// a path written with either gives the same names. Matching a name against the files that exist
// (letter case, the system's own separators) is the Env's business.

#include <string>
#include <string_view>

namespace storage {

// The directory part of `path` with its separator ("C:\data\" of "C:\data\Family.dbf"); empty
// when the path holds no separator.
std::string directoryOf(std::string_view path);
// The last part of `path`: "Family.dbf" of "C:\data\Family.dbf".
std::string_view fileNameOf(std::string_view path);
// The file name without its extension: "Family" of "C:\data\Family.dbf".
std::string baseNameOf(std::string_view path);
// Whether the file name (not the directory) has an extension.
bool hasExtension(std::string_view path);
// `path` with its extension replaced by `extension` (added when it has none).
std::string withExtension(std::string_view path, std::string_view extension);

// The memo file of a table: extension "DBT", in the letter case of the table's extension's
// first letter; "dbt" is added to a table name without extension.
std::string memoPathFor(std::string_view tablePath);
// The production index of a table as named when created: extension "MDX".
std::string indexPathFor(std::string_view tablePath);
// The file of a one-tag index named `name`: extension "MDX", in the table's directory when the
// name holds no directory of its own.
std::string oneTagIndexPathFor(std::string_view tablePath, std::string_view name);
// The index semaphore of a table: extension ".@S@".
std::string semaphorePathFor(std::string_view tablePath);
// A private name beside `path` that no other process picks ("~new<random><count>.tmp"); the
// caller tries again with the next `attempt` when the file exists.
std::string scratchPathNear(std::string_view path, unsigned attempt);

}  // namespace storage
