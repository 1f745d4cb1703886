#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "value.h"

namespace report {

// The functions of the expression language.
enum class Function {
    Money,
    Number,
    Text,
    Trim,
    Upper,
    Lower,
    Left,
    Empty,
    Iif,
    Date,
    Round,
    Abs,
    Page,
    Pages,  // page number and page count; pages() only in page headers and footers
    Sum,
    Count,  // over the rows of the enclosing detail band or group
    Total,
    Rows,  // over all rows of a named connection
};

// A node of a parsed expression. The tree owns its children.
struct Expr {
    enum class Kind { Literal, Parameter, Field, Call, Negate, Not, Binary };
    enum class BinaryOp {
        Add,
        Subtract,
        Multiply,
        Divide,
        Concat,
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        And,
        Or
    };

    Kind kind = Kind::Literal;
    Value literal;  // Literal
    QString name;   // Parameter: its name; Field and Total/Rows: the connection's name
    QString field;  // Field: the field's name
    Function function = Function::Money;
    BinaryOp op = BinaryOp::Add;
    std::vector<std::unique_ptr<Expr>> args;  // Call arguments; operands of unary and binary
    // Sum, Count, Total, Rows: the index of the result this call reads, set by the project
    // parser when it places the expression in a report.
    int slot = -1;
};

struct ExpressionError {
    int offset = 0;  // character offset into the expression text
    QString message;
};

// Parses an expression. Returns nullptr and fills *error on a syntax error, an unknown function
// or a wrong number of arguments. Nesting deeper than 100 levels is an error, not a crash.
std::unique_ptr<Expr> parseExpression(const QString& text, ExpressionError* error);

// Calls `visit` for every node of the tree, parents before children.
template <typename Visitor>
void forEachNode(Expr& node, Visitor&& visit) {
    visit(node);
    for (auto& child : node.args) forEachNode(*child, visit);
}

}  // namespace report
