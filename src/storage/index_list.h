#pragma once

#include <string>
#include <vector>

#include "status.h"

namespace storage {

// One tag as a table component declares it in its IndexList.
struct IndexListEntry {
    std::string name;  // at most 10 characters
    bool descending = false;
    bool unique = false;
    std::string expression;  // trimmed
    std::string filter;      // the pair's second line; empty for every tag of the program
};

// Parses the first line of a pair, "NAME,F,T,EXPR": the name before the first comma, the
// descending flag right after it, the unique flag after the second comma (each "T" for true,
// anything else false) and the expression as the rest of the line after the third comma. A line
// that does not have this shape, an empty or longer than 10 characters name, or an empty
// expression give error 220 naming the line.
Status parseTagLine(const std::string& line, IndexListEntry* entry);

// Parses an IndexList: lines in pairs, tag line then filter line (a missing last filter line
// counts as empty).
Status parseIndexList(const std::vector<std::string>& lines, std::vector<IndexListEntry>* entries);

}  // namespace storage
