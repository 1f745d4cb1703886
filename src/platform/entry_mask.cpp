#include "platform/entry_mask.h"

#include <QLocale>

namespace platform {

namespace {

// Mask characters and the QLineEdit input-mask characters with the same meaning.
QChar qtMaskCharacter(QChar c) {
    switch (c.unicode()) {
        case '0':
            return QLatin1Char('9');
        case '9':
            return QLatin1Char('0');
        case '#':
            return QLatin1Char('#');
        case 'L':
            return QLatin1Char('A');
        case 'l':
            return QLatin1Char('a');
        case 'A':
            return QLatin1Char('N');
        case 'a':
            return QLatin1Char('n');
        case 'C':
            return QLatin1Char('X');
        case 'c':
            return QLatin1Char('x');
        default:
            return QChar();
    }
}

// Characters that QLineEdit's input mask treats as special and that a literal must escape.
bool qtSpecial(QChar c) { return QStringLiteral("AaNnXx90Dd#HhBb><!;\\[]{}").contains(c); }

}  // namespace

QChar systemDateSeparator() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (quoted || c.isLetterOrNumber() || c == QLatin1Char('\'')) continue;
        return c.isSpace() ? QLatin1Char('/') : c;
    }
    return QLatin1Char('/');
}

std::optional<EntryMask> EntryMask::parse(const QString& text, QChar dateSeparator) {
    if (text.isEmpty()) return std::nullopt;
    const QStringList parts = text.split(QLatin1Char(';'));
    EntryMask mask;
    if (parts.size() > 1 && !parts[1].isEmpty())
        mask.saveLiterals_ = parts[1] != QLatin1String("0");
    if (parts.size() > 2 && !parts[2].isEmpty()) mask.blank_ = parts[2].at(0);

    const QString& body = parts[0];
    for (qsizetype i = 0; i < body.size(); ++i) {
        QChar c = body.at(i);
        if (c == QLatin1Char('\\') && i + 1 < body.size()) {
            mask.positions_.push_back({true, body.at(++i)});
        } else if (c == QLatin1Char('/')) {
            mask.positions_.push_back({true, dateSeparator});
        } else if (c == QLatin1Char(':')) {
            mask.positions_.push_back({true, QLatin1Char(':')});
        } else if (!qtMaskCharacter(c).isNull()) {
            mask.positions_.push_back({false, c});
        } else {
            mask.positions_.push_back({true, c});
        }
    }
    for (const Position& position : mask.positions_) {
        if (!position.literal) {
            mask.inputMask_ += qtMaskCharacter(position.character);
        } else {
            if (qtSpecial(position.character)) mask.inputMask_ += QLatin1Char('\\');
            mask.inputMask_ += position.character;
        }
    }
    mask.inputMask_ += QLatin1Char(';');
    mask.inputMask_ += mask.blank_;
    return mask;
}

bool EntryMask::required(const Position& position) {
    return !position.literal && QStringLiteral("0LAC").contains(position.character);
}

bool EntryMask::filled(const QString& displayText, size_t position) const {
    const QChar shown =
        qsizetype(position) < displayText.size() ? displayText.at(qsizetype(position)) : blank_;
    return shown != blank_ && !shown.isSpace();
}

QString EntryMask::storedText(const QString& displayText) const {
    QString stored;
    bool entered = false;
    for (size_t i = 0; i < positions_.size(); ++i) {
        if (positions_[i].literal) {
            if (saveLiterals_) stored += positions_[i].character;
            continue;
        }
        if (filled(displayText, i)) {
            stored += displayText.at(qsizetype(i));
            entered = true;
        } else {
            stored += QLatin1Char(' ');
        }
    }
    return entered ? stored : QString();
}

bool EntryMask::isComplete(const QString& displayText) const {
    bool entered = false;
    bool missing = false;
    for (size_t i = 0; i < positions_.size(); ++i) {
        if (positions_[i].literal) continue;
        if (filled(displayText, i)) {
            entered = true;
        } else if (required(positions_[i])) {
            missing = true;
        }
    }
    return !entered || !missing;
}

QString EntryMask::editText(const QString& stored) const {
    QString text;
    qsizetype next = 0;  // the stored character for the next free position
    for (const Position& position : positions_) {
        if (position.literal) {
            text += position.character;
            if (saveLiterals_) ++next;
            continue;
        }
        const QChar c = next < stored.size() ? stored.at(next) : QLatin1Char(' ');
        ++next;
        text += c.isSpace() ? QLatin1Char(' ') : c;
    }
    return text;
}

}  // namespace platform
