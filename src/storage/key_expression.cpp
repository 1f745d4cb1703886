#include "key_expression.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace storage {

namespace {

constexpr size_t kMaxExpressionBytes = 100;
constexpr size_t kMaxKeyBytes = 100;

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Numbers as a table stores them: blanks around, "*" when they did not fit (read as 0).
double parseNumber(const uint8_t* bytes, size_t width) {
    char text[64];
    size_t n = 0;
    for (size_t i = 0; i < width && n + 1 < sizeof text; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == ' ') continue;
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            return 0.0;
        text[n++] = c;
    }
    text[n] = 0;
    if (n == 0) return 0.0;
    const double value = std::strtod(text, nullptr);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

struct KeyExpression::Node {
    enum Kind { Field, Literal, Number, Recno, Add } kind;
    char type;              // C, N, D, L, M
    FieldDescriptor field;  // a copy: the expression outlives the caller's field list
    std::string literal;
    double number = 0.0;
    std::unique_ptr<Node> left, right;
    uint32_t length = 0;  // character results
};

namespace {

using Node = KeyExpression::Node;

class Parser {
  public:
    Parser(const std::string& text, const std::vector<FieldDescriptor>& fields)
        : text_(text), fields_(fields) {}

    Status parse(std::unique_ptr<Node>* out) {
        Status s = parseSum(out);
        if (!s.ok()) return s;
        skipBlanks();
        if (pos_ != text_.size()) return fail("Unexpected text in index expression: ");
        return Status::OK();
    }

  private:
    Status fail(const std::string& what) const {
        return Status::Error(kInvalidParameter, what + text_ + " [Index expression]");
    }

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }

    Status parseSum(std::unique_ptr<Node>* out) {
        std::unique_ptr<Node> left;
        Status s = parseTerm(&left);
        if (!s.ok()) return s;
        for (;;) {
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '+') break;
            ++pos_;
            std::unique_ptr<Node> right;
            s = parseTerm(&right);
            if (!s.ok()) return s;
            auto sum = std::make_unique<Node>();
            sum->kind = Node::Add;
            const char a = left->type, b = right->type;
            if (a == 'C' && b == 'C') {
                sum->type = 'C';
                sum->length = left->length + right->length;
            } else if (a == 'N' && b == 'N') {
                sum->type = 'N';
            } else if ((a == 'D' && b == 'N') || (a == 'N' && b == 'D')) {
                sum->type = 'D';
            } else {
                return fail("Type mismatch in index expression: ");
            }
            sum->left = std::move(left);
            sum->right = std::move(right);
            left = std::move(sum);
        }
        *out = std::move(left);
        return Status::OK();
    }

    Status parseTerm(std::unique_ptr<Node>* out) {
        skipBlanks();
        if (pos_ >= text_.size()) return fail("Incomplete index expression: ");
        const char c = text_[pos_];
        if (c == '(') {
            ++pos_;
            Status s = parseSum(out);
            if (!s.ok()) return s;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')') return fail("Missing ) in ");
            ++pos_;
            return Status::OK();
        }
        if (c == '"' || c == '\'') {
            const size_t end = text_.find(c, pos_ + 1);
            if (end == std::string::npos) return fail("Unterminated text in index expression: ");
            auto node = std::make_unique<Node>();
            node->kind = Node::Literal;
            node->type = 'C';
            node->literal = text_.substr(pos_ + 1, end - pos_ - 1);
            node->length = static_cast<uint32_t>(node->literal.size());
            pos_ = end + 1;
            *out = std::move(node);
            return Status::OK();
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            const char* begin = text_.c_str() + pos_;
            char* end = nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::Number;
            node->type = 'N';
            node->number = std::strtod(begin, &end);
            if (end == begin || !std::isfinite(node->number))
                return fail("Bad number in index expression: ");
            pos_ += static_cast<size_t>(end - begin);
            *out = std::move(node);
            return Status::OK();
        }
        if (!(std::isalpha(static_cast<unsigned char>(c)) || c == '_'))
            return fail("Unexpected character in index expression: ");
        const size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        const std::string name = text_.substr(start, pos_ - start);
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '(') {
            ++pos_;
            skipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')' || !equalsIgnoringCase(name, "RECNO"))
                return fail("Unknown function " + name + " in index expression: ");
            ++pos_;
            auto node = std::make_unique<Node>();
            node->kind = Node::Recno;
            node->type = 'N';
            *out = std::move(node);
            return Status::OK();
        }
        for (const FieldDescriptor& field : fields_) {
            if (!equalsIgnoringCase(field.name, name)) continue;
            auto node = std::make_unique<Node>();
            node->kind = Node::Field;
            node->field = field;
            switch (field.type) {
                case 'C':
                    node->type = 'C';
                    break;
                case 'N':
                case 'F':
                    node->type = 'N';
                    break;
                case 'D':
                    node->type = 'D';
                    break;
                case 'L':
                    node->type = 'L';
                    break;
                default:
                    node->type = 'M';
                    break;
            }
            node->length = field.width;
            *out = std::move(node);
            return Status::OK();
        }
        return fail("Variable not found: " + name + " in index expression: ");
    }

    const std::string& text_;
    const std::vector<FieldDescriptor>& fields_;
    size_t pos_ = 0;
};

double evaluateNumber(const Node& node, const uint8_t* record, uint32_t recno) {
    switch (node.kind) {
        case Node::Recno:
            return recno;
        case Node::Field:
            if (node.type == 'D') {
                // A date is 8 digits; a narrower field (a damaged descriptor) is no date.
                if (node.field.width < 8) return 0.0;
                return julianDayOfDigits(record + node.field.offset);
            }
            return parseNumber(record + node.field.offset, node.field.width);
        case Node::Add:
            return evaluateNumber(*node.left, record, recno) +
                   evaluateNumber(*node.right, record, recno);
        case Node::Number:
            return node.number;
        case Node::Literal:
            break;
    }
    return 0.0;
}

}  // namespace

KeyExpression::~KeyExpression() = default;

Status KeyExpression::compile(const std::string& text, const std::vector<FieldDescriptor>& fields,
                              std::unique_ptr<KeyExpression>* out) {
    out->reset();
    if (text.size() > kMaxExpressionBytes)
        return Status::Error(kInvalidParameter, "Index expression longer than 100 bytes: " + text +
                                                    " [Index expression]");
    std::unique_ptr<Node> root;
    Parser parser(text, fields);
    Status s = parser.parse(&root);
    if (!s.ok()) return s;

    std::unique_ptr<KeyExpression> expression(new KeyExpression);
    expression->text_ = text;
    switch (root->type) {
        case 'C':
            if (root->length < 1 || root->length > kMaxKeyBytes)
                return Status::Error(kInvalidParameter, "Key length out of range (" +
                                                            std::to_string(root->length) +
                                                            "): " + text + " [Index expression]");
            expression->keyType_ = 'C';
            expression->keyLength_ = static_cast<uint16_t>(root->length);
            {
                // Flatten the concatenation into copies, merging neighbouring field bytes.
                std::vector<const Node*> stack{root.get()};
                while (!stack.empty()) {
                    const Node* node = stack.back();
                    stack.pop_back();
                    if (node->kind == Node::Add) {
                        stack.push_back(node->right.get());
                        stack.push_back(node->left.get());
                        continue;
                    }
                    Piece piece{};
                    if (node->kind == Node::Literal) {
                        piece = {static_cast<uint32_t>(expression->literals_.size()), node->length,
                                 true};
                        expression->literals_ += node->literal;
                    } else {
                        piece = {node->field.offset, node->length, false};
                    }
                    auto& pieces = expression->pieces_;
                    if (!pieces.empty() && !piece.fromLiteral && !pieces.back().fromLiteral &&
                        pieces.back().offset + pieces.back().length == piece.offset)
                        pieces.back().length += piece.length;
                    else
                        pieces.push_back(piece);
                }
            }
            break;
        case 'N':
        case 'D':
            expression->keyType_ = root->type;
            expression->keyLength_ = 8;
            expression->root_ = std::move(root);
            break;
        default:
            return Status::Error(kInvalidParameter,
                                 "Wrong parser return type: " + text + " [Index expression]");
    }
    *out = std::move(expression);
    return Status::OK();
}

void KeyExpression::evaluate(const uint8_t* record, uint32_t recno, uint8_t* key) const {
    if (keyType_ == 'C') {
        for (const Piece& piece : pieces_) {
            const uint8_t* from =
                piece.fromLiteral
                    ? reinterpret_cast<const uint8_t*>(literals_.data()) + piece.offset
                    : record + piece.offset;
            std::memcpy(key, from, piece.length);
            key += piece.length;
        }
        return;
    }
    encodeNumericKey(evaluateNumber(*root_, record, recno), key);
}

void encodeNumericKey(double value, uint8_t* key) {
    if (value == 0.0) value = 0.0;  // one zero: -0 and +0 compare equal but differ in bytes
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) key[i] = static_cast<uint8_t>(bits >> (8 * i));
}

double decodeNumericKey(const uint8_t* key) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | key[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isnan(value) ? 0.0 : value;
}

double julianDayOfDigits(const uint8_t* digits) {
    int parts[8];
    for (int i = 0; i < 8; ++i) {
        if (digits[i] < '0' || digits[i] > '9') return 0.0;
        parts[i] = digits[i] - '0';
    }
    const int year = parts[0] * 1000 + parts[1] * 100 + parts[2] * 10 + parts[3];
    const int month = parts[4] * 10 + parts[5];
    const int day = parts[6] * 10 + parts[7];
    if (month < 1 || month > 12 || day < 1 || day > 31) return 0.0;
    // Gregorian calendar date to Julian day number.
    const int a = (14 - month) / 12;
    const int y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

std::string digitsOfJulianDay(double day) {
    if (!(day >= 1.0 && day < 5373484.0)) return {};  // up to the year 9999
    const long j = static_cast<long>(day);
    const long a = j + 32044;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461;
    const long e = c - 1461 * d / 4;
    const long m = (5 * e + 2) / 153;
    const long dayOfMonth = e - (153 * m + 2) / 5 + 1;
    const long month = m + 3 - 12 * (m / 10);
    const long year = 100 * b + d - 4800 + m / 10;
    char text[64];
    std::snprintf(text, sizeof text, "%04ld%02ld%02ld", year, month, dayOfMonth);
    return text;
}

}  // namespace storage
