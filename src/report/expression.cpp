#include "expression.h"

#include <array>

namespace report {

namespace {

struct FunctionInfo {
    const char* name;
    Function function;
    int minArgs;
    int maxArgs;
};

constexpr std::array<FunctionInfo, 18> kFunctions{{
    {"money", Function::Money, 1, 1},
    {"number", Function::Number, 1, 2},
    {"text", Function::Text, 1, 1},
    {"trim", Function::Trim, 1, 1},
    {"upper", Function::Upper, 1, 1},
    {"lower", Function::Lower, 1, 1},
    {"left", Function::Left, 2, 2},
    {"empty", Function::Empty, 1, 1},
    {"iif", Function::Iif, 3, 3},
    {"date", Function::Date, 1, 2},
    {"round", Function::Round, 1, 2},
    {"abs", Function::Abs, 1, 1},
    {"page", Function::Page, 0, 0},
    {"pages", Function::Pages, 0, 0},
    {"sum", Function::Sum, 1, 1},
    {"count", Function::Count, 0, 0},
    {"total", Function::Total, 2, 2},
    {"rows", Function::Rows, 1, 1},
}};

constexpr int kMaxDepth = 100;
constexpr int kMaxOperators = 2000;

class ExpressionParser {
  public:
    explicit ExpressionParser(const QString& text) : text_(text) {}

    std::unique_ptr<Expr> parse(ExpressionError* error) {
        std::unique_ptr<Expr> root = parseOr(0);
        if (root && (skipSpace(), pos_ < text_.size())) {
            fail(QStringLiteral("unexpected '%1'").arg(text_.mid(pos_, 1)));
            root.reset();
        }
        if (!root && error) *error = error_;
        if (!root && error && error_.message.isEmpty()) {
            error->message = QStringLiteral("bad expression");
        }
        return root;
    }

  private:
    using Ptr = std::unique_ptr<Expr>;

    void skipSpace() {
        while (pos_ < text_.size() && text_.at(pos_).isSpace()) ++pos_;
    }
    bool atWord(const char* word) {
        skipSpace();
        const QLatin1StringView w(word);
        if (text_.mid(pos_, w.size()).compare(w, Qt::CaseInsensitive) != 0) return false;
        const qsizetype end = pos_ + w.size();
        return end >= text_.size() || !(text_.at(end).isLetterOrNumber() || text_.at(end) == '_');
    }
    bool take(const char* symbol) {
        skipSpace();
        const QLatin1StringView s(symbol);
        if (text_.mid(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }
    bool takeWord(const char* word) {
        if (!atWord(word)) return false;
        pos_ += static_cast<qsizetype>(qstrlen(word));
        return true;
    }
    Ptr fail(const QString& message) {
        if (error_.message.isEmpty()) error_ = {static_cast<int>(pos_), message};
        return nullptr;
    }
    bool tooDeep(int depth) {
        if (depth <= kMaxDepth) return false;
        fail(QStringLiteral("expression nested too deeply"));
        return true;
    }
    // Chains of operators build left-deep trees; capping them keeps evaluation and destruction,
    // which recurse, within a small stack.
    Ptr binary(Expr::BinaryOp op, Ptr left, Ptr right) {
        if (++operators_ > kMaxOperators) return fail(QStringLiteral("expression too long"));
        auto node = std::make_unique<Expr>();
        node->kind = Expr::Kind::Binary;
        node->op = op;
        node->args.push_back(std::move(left));
        node->args.push_back(std::move(right));
        return node;
    }

    Ptr parseOr(int depth) {
        if (tooDeep(depth)) return nullptr;
        Ptr left = parseAnd(depth);
        while (left && takeWord("or")) {
            Ptr right = parseAnd(depth);
            if (!right) return nullptr;
            left = binary(Expr::BinaryOp::Or, std::move(left), std::move(right));
            if (!left) return nullptr;
        }
        return left;
    }
    Ptr parseAnd(int depth) {
        Ptr left = parseNot(depth);
        while (left && takeWord("and")) {
            Ptr right = parseNot(depth);
            if (!right) return nullptr;
            left = binary(Expr::BinaryOp::And, std::move(left), std::move(right));
            if (!left) return nullptr;
        }
        return left;
    }
    Ptr parseNot(int depth) {
        if (tooDeep(depth)) return nullptr;
        if (takeWord("not")) {
            Ptr operand = parseNot(depth + 1);
            if (!operand) return nullptr;
            auto node = std::make_unique<Expr>();
            node->kind = Expr::Kind::Not;
            node->args.push_back(std::move(operand));
            return node;
        }
        return parseComparison(depth);
    }
    Ptr parseComparison(int depth) {
        Ptr left = parseConcat(depth);
        if (!left) return nullptr;
        static constexpr std::array<std::pair<const char*, Expr::BinaryOp>, 6> ops{{
            {"<>", Expr::BinaryOp::NotEqual},
            {"<=", Expr::BinaryOp::LessEqual},
            {">=", Expr::BinaryOp::GreaterEqual},
            {"=", Expr::BinaryOp::Equal},
            {"<", Expr::BinaryOp::Less},
            {">", Expr::BinaryOp::Greater},
        }};
        for (const auto& [symbol, op] : ops) {
            if (take(symbol)) {
                Ptr right = parseConcat(depth);
                if (!right) return nullptr;
                return binary(op, std::move(left), std::move(right));
            }
        }
        return left;
    }
    Ptr parseConcat(int depth) {
        Ptr left = parseAdditive(depth);
        while (left && take("&")) {
            Ptr right = parseAdditive(depth);
            if (!right) return nullptr;
            left = binary(Expr::BinaryOp::Concat, std::move(left), std::move(right));
            if (!left) return nullptr;
        }
        return left;
    }
    Ptr parseAdditive(int depth) {
        Ptr left = parseMultiplicative(depth);
        while (left) {
            Expr::BinaryOp op;
            if (take("+")) {
                op = Expr::BinaryOp::Add;
            } else if (take("-")) {
                op = Expr::BinaryOp::Subtract;
            } else {
                break;
            }
            Ptr right = parseMultiplicative(depth);
            if (!right) return nullptr;
            left = binary(op, std::move(left), std::move(right));
        }
        return left;
    }
    Ptr parseMultiplicative(int depth) {
        Ptr left = parseUnary(depth);
        while (left) {
            Expr::BinaryOp op;
            if (take("*")) {
                op = Expr::BinaryOp::Multiply;
            } else if (take("/")) {
                op = Expr::BinaryOp::Divide;
            } else {
                break;
            }
            Ptr right = parseUnary(depth);
            if (!right) return nullptr;
            left = binary(op, std::move(left), std::move(right));
        }
        return left;
    }
    Ptr parseUnary(int depth) {
        if (tooDeep(depth)) return nullptr;
        if (take("-")) {
            Ptr operand = parseUnary(depth + 1);
            if (!operand) return nullptr;
            auto node = std::make_unique<Expr>();
            node->kind = Expr::Kind::Negate;
            node->args.push_back(std::move(operand));
            return node;
        }
        return parsePrimary(depth);
    }

    Ptr parsePrimary(int depth) {
        skipSpace();
        if (pos_ >= text_.size()) return fail(QStringLiteral("expression ends too early"));
        const QChar c = text_.at(pos_);
        if (c == '(') {
            ++pos_;
            Ptr inner = parseOr(depth + 1);
            if (!inner) return nullptr;
            if (!take(")")) return fail(QStringLiteral("missing ')'"));
            return inner;
        }
        if (c == '"') return parseString();
        if (c.isDigit() || (c == '.' && pos_ + 1 < text_.size() && text_.at(pos_ + 1).isDigit())) {
            return parseNumber();
        }
        if (c.isLetter() || c == '_') return parseName(depth);
        return fail(QStringLiteral("unexpected '%1'").arg(c));
    }

    Ptr parseString() {
        const qsizetype start = pos_++;
        QString value;
        while (pos_ < text_.size() && text_.at(pos_) != '"') {
            QChar c = text_.at(pos_++);
            if (c == '\\' && pos_ < text_.size()) {
                const QChar escaped = text_.at(pos_++);
                c = escaped == 'n' ? QChar('\n') : escaped == 't' ? QChar('\t') : escaped;
            }
            value.append(c);
        }
        if (pos_ >= text_.size()) {
            pos_ = start;
            return fail(QStringLiteral("text has no closing '\"'"));
        }
        ++pos_;
        auto node = std::make_unique<Expr>();
        node->literal = Value::text(value);
        return node;
    }

    Ptr parseNumber() {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && text_.at(pos_).isDigit()) ++pos_;
        if (pos_ < text_.size() && text_.at(pos_) == '.') {
            ++pos_;
            while (pos_ < text_.size() && text_.at(pos_).isDigit()) ++pos_;
        }
        bool ok = false;
        const double n = text_.mid(start, pos_ - start).toDouble(&ok);
        if (!ok) return fail(QStringLiteral("bad number"));
        auto node = std::make_unique<Expr>();
        node->literal = Value::number(n);
        return node;
    }

    QString takeIdentifier() {
        skipSpace();
        const qsizetype start = pos_;
        while (pos_ < text_.size() &&
               (text_.at(pos_).isLetterOrNumber() || text_.at(pos_) == '_')) {
            ++pos_;
        }
        return text_.mid(start, pos_ - start);
    }

    Ptr parseName(int depth) {
        const qsizetype start = pos_;
        const QString name = takeIdentifier();
        auto node = std::make_unique<Expr>();
        if (name.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            node->literal = Value::boolean(name.size() == 4);
            return node;
        }
        if (take("(")) return parseCall(std::move(node), name, start, depth);
        if (pos_ < text_.size() && text_.at(pos_) == '.') {
            ++pos_;
            const QString field = takeIdentifier();
            if (field.isEmpty() || field.at(0).isDigit()) {
                return fail(QStringLiteral("a field name must follow '%1.'").arg(name));
            }
            node->kind = Expr::Kind::Field;
            node->name = name;
            node->field = field;
            return node;
        }
        node->kind = Expr::Kind::Parameter;
        node->name = name;
        return node;
    }

    Ptr parseCall(Ptr node, const QString& name, qsizetype start, int depth) {
        const FunctionInfo* info = nullptr;
        for (const FunctionInfo& f : kFunctions) {
            if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) info = &f;
        }
        if (!info) {
            pos_ = start;
            return fail(QStringLiteral("unknown function '%1'").arg(name));
        }
        node->kind = Expr::Kind::Call;
        node->function = info->function;
        if (!take(")")) {
            do {
                Ptr arg = parseOr(depth + 1);
                if (!arg) return nullptr;
                node->args.push_back(std::move(arg));
            } while (take(","));
            if (!take(")"))
                return fail(QStringLiteral("missing ')' after the arguments of %1").arg(name));
        }
        const int count = static_cast<int>(node->args.size());
        if (count < info->minArgs || count > info->maxArgs) {
            pos_ = start;
            const QString wanted =
                info->minArgs == info->maxArgs
                    ? QString::number(info->minArgs)
                    : QStringLiteral("%1 or %2").arg(info->minArgs).arg(info->maxArgs);
            return fail(
                QStringLiteral("%1() takes %2 argument(s), not %3").arg(name, wanted).arg(count));
        }
        if (info->function == Function::Total || info->function == Function::Rows) {
            Expr& first = *node->args.front();
            if (first.kind != Expr::Kind::Parameter) {
                pos_ = start;
                return fail(QStringLiteral("%1() needs a connection name first").arg(name));
            }
            node->name = first.name;
            node->args.erase(node->args.begin());
        }
        return node;
    }

    const QString& text_;
    qsizetype pos_ = 0;
    int operators_ = 0;
    ExpressionError error_;
};

}  // namespace

std::unique_ptr<Expr> parseExpression(const QString& text, ExpressionError* error) {
    ExpressionParser parser(text);
    return parser.parse(error);
}

}  // namespace report
