#include "project_lexer.h"

namespace report {

namespace {

class Lexer {
  public:
    explicit Lexer(const QString& text) : text_(text) {}

    bool run(std::vector<Statement>* statements, ParseError* error) {
        while (pos_ < text_.size()) {
            const QChar c = text_.at(pos_);
            if (c == '\n') {
                endStatement(statements);
                ++line_;
                ++pos_;
            } else if (c.isSpace()) {
                ++pos_;
            } else if (c == '#') {
                while (pos_ < text_.size() && text_.at(pos_) != '\n') ++pos_;
            } else if (!readElement(error)) {
                return false;
            }
        }
        endStatement(statements);
        return true;
    }

  private:
    bool fail(ParseError* error, int line, const QString& message) {
        *error = {line, message};
        return false;
    }

    // A keyword, or an attribute: word, "text", {expression}, or key=value.
    bool readElement(ParseError* error) {
        const int line = line_;
        std::optional<Token> first;
        if (!readValue(&first, error)) return false;
        if (!first) return fail(error, line, QStringLiteral("'=' without a name before it"));
        if (!current_) {
            if (first->kind != Token::Kind::Word) {
                return fail(error, line, QStringLiteral("a line must start with a keyword"));
            }
            current_ = Statement{line, first->text.toLower(), {}};
            return true;
        }
        Attribute attribute{{}, {}, line};
        if (pos_ < text_.size() && text_.at(pos_) == '=') {
            if (first->kind != Token::Kind::Word) {
                return fail(error, line, QStringLiteral("'=' must follow an attribute name"));
            }
            ++pos_;
            attribute.key = first->text.toLower();
            if (!readValue(&attribute.value, error)) return false;
            if (!attribute.value) {
                return fail(error, line, QStringLiteral("'%1=' has no value").arg(attribute.key));
            }
        } else if (first->kind == Token::Kind::Word) {
            attribute.key = first->text.toLower();
            attribute.value = first;  // a bare word keeps its spelling for names
        } else {
            attribute.value = first;
        }
        current_->attributes.push_back(std::move(attribute));
        return true;
    }

    // Reads one value at pos_; leaves *token empty when pos_ is at '=', whitespace or a comment.
    bool readValue(std::optional<Token>* token, ParseError* error) {
        token->reset();
        if (pos_ >= text_.size()) return true;
        const QChar c = text_.at(pos_);
        if (c == '"') return readText(token, error);
        if (c == '{') return readExpression(token, error);
        const qsizetype start = pos_;
        while (pos_ < text_.size()) {
            const QChar d = text_.at(pos_);
            if (d.isSpace() || d == '=' || d == '"' || d == '{' || d == '}' || d == '#') break;
            ++pos_;
        }
        if (pos_ == start) {
            if (c == '}') return fail(error, line_, QStringLiteral("'}' without '{'"));
            return true;
        }
        *token = Token{Token::Kind::Word, text_.mid(start, pos_ - start), line_};
        return true;
    }

    bool readText(std::optional<Token>* token, ParseError* error) {
        const int line = line_;
        QString value;
        ++pos_;
        while (pos_ < text_.size() && text_.at(pos_) != '"') {
            QChar c = text_.at(pos_++);
            if (c == '\n') {
                return fail(error, line, QStringLiteral("text has no closing '\"'"));
            }
            if (c == '\\' && pos_ < text_.size() && text_.at(pos_) != '\n') {
                const QChar escaped = text_.at(pos_++);
                c = escaped == 'n' ? QChar('\n') : escaped == 't' ? QChar('\t') : escaped;
            }
            value.append(c);
        }
        if (pos_ >= text_.size())
            return fail(error, line, QStringLiteral("text has no closing '\"'"));
        ++pos_;
        *token = Token{Token::Kind::Text, value, line};
        return true;
    }

    bool readExpression(std::optional<Token>* token, ParseError* error) {
        const int line = line_;
        const qsizetype start = ++pos_;
        int depth = 1;
        bool inText = false;
        while (pos_ < text_.size()) {
            const QChar c = text_.at(pos_);
            if (c == '\n') ++line_;
            if (inText) {
                if (c == '\\') {
                    ++pos_;
                    if (pos_ < text_.size() && text_.at(pos_) == '\n') ++line_;
                } else if (c == '"') {
                    inText = false;
                }
            } else if (c == '"') {
                inText = true;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}' && --depth == 0) {
                *token = Token{Token::Kind::Expression, text_.mid(start, pos_ - start), line};
                ++pos_;
                return true;
            }
            ++pos_;
        }
        return fail(error, line, QStringLiteral("'{' has no closing '}'"));
    }

    void endStatement(std::vector<Statement>* statements) {
        if (current_) statements->push_back(std::move(*current_));
        current_.reset();
    }

    const QString& text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    std::optional<Statement> current_;
};

}  // namespace

bool splitStatements(const QString& text, std::vector<Statement>* statements, ParseError* error) {
    Lexer lexer(text);
    return lexer.run(statements, error);
}

}  // namespace report
