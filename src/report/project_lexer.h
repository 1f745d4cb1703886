#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "project_parser.h"

namespace report {

// One value of an attribute as written: a bare word ("0.5in", "center"), a quoted text, or an
// expression in braces (its text without the braces).
struct Token {
    enum class Kind { Word, Text, Expression };
    Kind kind = Kind::Word;
    QString text;
    int line = 0;
};

// "key=value", or a bare word or quoted text standing alone (key empty for quoted text).
struct Attribute {
    QString key;
    std::optional<Token> value;
    int line = 0;
};

// One statement: a line that starts with a keyword, followed by its attributes. An expression in
// braces may continue over several lines; '#' starts a comment outside texts and braces.
struct Statement {
    int line = 0;
    QString keyword;  // lower case
    std::vector<Attribute> attributes;
};

// Splits a project file into statements. Fails on an unclosed text or brace, a '=' without a key
// or value, or a line that starts with something other than a keyword.
bool splitStatements(const QString& text, std::vector<Statement>* statements, ParseError* error);

}  // namespace report
