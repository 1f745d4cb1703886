#pragma once

#include <QString>

namespace platform {

// Reading and writing one string of an INI (private profile) file, the way Windows does it:
// section and key names compare without regard to letter case, the first matching section and
// key win, and every other line of the file stays exactly as it was (comments, blank lines, other
// sections and keys, their order and their line breaks).
//
// Both calls open, read (and write) the file and close it again; nothing is cached.

// The longest value a read returns; longer stored values are cut to this many characters.
inline constexpr int kMaxIniValueLength = 2047;

// The value of `key` in `section` of `file`, without the blanks around it and without one pair
// of enclosing quotes. Returns `fallback` when the file, the section or the key is missing or the
// file cannot be read. The file is read as UTF-8.
QString readIniString(const QString& file, const QString& section, const QString& key,
                      const QString& fallback = QString());

// Sets `key` in `section` of `file` to `value`: replaces the key's line when it exists, else adds
// the key at the end of the section, else adds the section at the end of the file; a missing
// file is created. Returns false, leaving the file as it was, when the file cannot be read or
// written, or when the section, key or value holds a line break (it would change other lines).
bool writeIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value);

}  // namespace platform
