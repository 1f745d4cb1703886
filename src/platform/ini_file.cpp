#include "platform/ini_file.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <optional>

namespace platform {

namespace {

// One line of the file as stored, with its line break kept apart so that rewriting the file
// reproduces every untouched line byte for byte.
struct Line {
    QByteArray text;
    QByteArray lineBreak;
};

struct ParsedFile {
    QList<Line> lines;
    QByteArray lineBreak;  // the file's own style, used for lines we add
};

ParsedFile splitLines(const QByteArray& bytes) {
    ParsedFile parsed;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        Line line{bytes.mid(start, end - start), {}};
        if (end < bytes.size()) {
            const bool crlf =
                bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.lineBreak = crlf ? QByteArray("\r\n") : bytes.mid(end, 1);
            end += line.lineBreak.size();
        }
        if (parsed.lineBreak.isEmpty()) parsed.lineBreak = line.lineBreak;
        parsed.lines.append(std::move(line));
        start = end;
    }
    if (parsed.lineBreak.isEmpty()) {
#ifdef Q_OS_WIN
        parsed.lineBreak = "\r\n";
#else
        parsed.lineBreak = "\n";
#endif
    }
    return parsed;
}

QString decoded(const QByteArray& text) { return QString::fromUtf8(text).trimmed(); }

// The section name of a "[name]" line, or nothing for any other line. A UTF-8 byte order mark
// before the first line's bracket is allowed.
std::optional<QString> sectionName(QByteArray text) {
    if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
    const QByteArray trimmed = text.trimmed();
    if (!trimmed.startsWith('[')) return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    if (close < 0) return std::nullopt;
    return decoded(trimmed.mid(1, close - 1));
}

bool isComment(const QByteArray& text) { return text.trimmed().startsWith(';'); }

// The key name of a "key=value" line, or nothing.
std::optional<QString> keyName(const QByteArray& text) {
    if (isComment(text)) return std::nullopt;
    const qsizetype equals = text.indexOf('=');
    if (equals < 0) return std::nullopt;
    return decoded(text.left(equals));
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Where a key lives: the index of the section's header line (-1 if none), of the key's line
// (-1 if none) and of the last key line of the section (the header when it has no keys).
struct Position {
    qsizetype section = -1;
    qsizetype key = -1;
    qsizetype lastKeyOfSection = -1;
};

Position find(const QList<Line>& lines, const QString& section, const QString& key) {
    Position pos;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (pos.section >= 0) break;  // the first matching section is the only one used
            if (sameName(*name, section)) pos.section = pos.lastKeyOfSection = i;
            continue;
        }
        if (pos.section < 0) continue;
        if (const auto name = keyName(lines[i].text)) {
            pos.lastKeyOfSection = i;
            if (pos.key < 0 && sameName(*name, key)) pos.key = i;
        }
    }
    return pos;
}

QString valueOf(const QByteArray& line) {
    QString value = decoded(line.mid(line.indexOf('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value;
}

bool hasLineBreak(const QString& text) { return text.contains('\n') || text.contains('\r'); }

}  // namespace

QString readIniString(const QString& file, const QString& section, const QString& key,
                      const QString& fallback) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return fallback;
    const ParsedFile parsed = splitLines(in.readAll());
    const Position pos = find(parsed.lines, section, key);
    if (pos.key < 0) return fallback;
    return valueOf(parsed.lines[pos.key].text).left(kMaxIniValueLength);
}

bool writeIniString(const QString& file, const QString& section, const QString& key,
                    const QString& value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return false;

    QByteArray bytes;
    const QFileInfo info(file);
    if (info.exists()) {
        // QSaveFile would replace a read-only file through its directory; Windows refuses.
        if (!info.isFile() || !info.isWritable()) return false;
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) return false;
        bytes = in.readAll();
    }

    ParsedFile parsed = splitLines(bytes);
    QList<Line>& lines = parsed.lines;
    const QByteArray keyLine = key.toUtf8() + '=' + value.toUtf8();
    const Position pos = find(lines, section, key);
    if (pos.key >= 0) {
        lines[pos.key].text = keyLine;
    } else {
        qsizetype insertAt = pos.lastKeyOfSection + 1;
        if (pos.section < 0) insertAt = lines.size();
        // A line we append after the last one needs that line to end first.
        if (insertAt == lines.size() && !lines.isEmpty() && lines.back().lineBreak.isEmpty()) {
            lines.back().lineBreak = parsed.lineBreak;
        }
        if (pos.section < 0) {
            lines.append(Line{'[' + section.toUtf8() + ']', parsed.lineBreak});
            ++insertAt;
        }
        lines.insert(insertAt, Line{keyLine, parsed.lineBreak});
    }

    QByteArray out;
    for (const Line& line : lines) out += line.text + line.lineBreak;

    QSaveFile save(file);
    save.setDirectWriteFallback(true);  // a writable file in a read-only directory
    if (!save.open(QIODevice::WriteOnly)) return false;
    if (save.write(out) != out.size()) {
        save.cancelWriting();
        return false;
    }
    return save.commit();
}

}  // namespace platform
