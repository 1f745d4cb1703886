#include "evaluator.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace report {

namespace {

Value numberOrBlank(std::optional<double> n) { return n ? Value::number(*n) : Value(); }

double numberOrZero(const Value& v) { return v.toNumber().value_or(0); }

bool isEmptyValue(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Blank:
            return true;
        case Value::Kind::Text:
            return v.toText().trimmed().isEmpty();
        default:
            return false;
    }
}

Value formatDate(const Value& v, const Value* format) {
    if (v.isBlank()) return v;
    const QDate date = v.toDate();
    if (!date.isValid()) return Value::text(v.toText());  // free-text dates print as typed
    if (format) return Value::text(QLocale::system().toString(date, format->toText()));
    return Value::text(QLocale::system().toString(date, QLocale::ShortFormat));
}

Value callFunction(const Expr& call, const EvalScope& scope) {
    auto arg = [&](size_t i) { return evaluate(*call.args[i], scope); };
    switch (call.function) {
        case Function::Money:
            return Value::text(formatMoney(arg(0)));
        case Function::Number: {
            const Value v = arg(0);
            const auto n = v.toNumber();
            if (!n) return Value::text(QString());
            const int decimals = call.args.size() > 1 ? static_cast<int>(numberOrZero(arg(1))) : 0;
            return Value::text(formatNumber(*n, std::clamp(decimals, 0, 10)));
        }
        case Function::Text:
            return Value::text(arg(0).toText());
        case Function::Trim:
            return Value::text(arg(0).toText().trimmed());
        case Function::Upper:
            return Value::text(arg(0).toText().toUpper());
        case Function::Lower:
            return Value::text(arg(0).toText().toLower());
        case Function::Left: {
            const double n = numberOrZero(arg(1));
            return Value::text(
                arg(0).toText().left(n > 0 ? static_cast<qsizetype>(std::min(n, 1e9)) : 0));
        }
        case Function::Empty:
            return Value::boolean(isEmptyValue(arg(0)));
        case Function::Iif:
            return arg(0).isTrue() ? arg(1) : arg(2);
        case Function::Date: {
            const Value v = arg(0);
            if (call.args.size() > 1) {
                const Value format = arg(1);
                return formatDate(v, &format);
            }
            return formatDate(v, nullptr);
        }
        case Function::Round: {
            const auto n = arg(0).toNumber();
            if (!n) return Value();
            const int decimals = call.args.size() > 1
                                     ? std::clamp(static_cast<int>(numberOrZero(arg(1))), 0, 10)
                                     : 0;
            const double scale = std::pow(10.0, decimals);
            return Value::number(std::round(*n * scale) / scale);
        }
        case Function::Abs: {
            const auto n = arg(0).toNumber();
            return n ? Value::number(std::fabs(*n)) : Value();
        }
        case Function::Page:
            return Value::number(scope.page);
        case Function::Pages:
            return Value::number(scope.pages);
        case Function::Sum:
        case Function::Count: {
            if (!scope.aggregates || call.slot < 0 ||
                call.slot >= static_cast<int>(scope.aggregates->size())) {
                return Value::number(0);
            }
            const Accumulator& a = (*scope.aggregates)[static_cast<size_t>(call.slot)];
            return Value::number(call.function == Function::Sum ? a.sum : a.count);
        }
        case Function::Total:
        case Function::Rows:
            if (!scope.totals || call.slot < 0 ||
                call.slot >= static_cast<int>(scope.totals->size())) {
                return Value::number(0);
            }
            return (*scope.totals)[static_cast<size_t>(call.slot)];
    }
    return Value();
}

Value binary(const Expr& expr, const EvalScope& scope) {
    using Op = Expr::BinaryOp;
    if (expr.op == Op::And) {
        return Value::boolean(evaluate(*expr.args[0], scope).isTrue() &&
                              evaluate(*expr.args[1], scope).isTrue());
    }
    if (expr.op == Op::Or) {
        return Value::boolean(evaluate(*expr.args[0], scope).isTrue() ||
                              evaluate(*expr.args[1], scope).isTrue());
    }
    const Value left = evaluate(*expr.args[0], scope);
    const Value right = evaluate(*expr.args[1], scope);
    switch (expr.op) {
        case Op::Add:
            return Value::number(numberOrZero(left) + numberOrZero(right));
        case Op::Subtract:
            return Value::number(numberOrZero(left) - numberOrZero(right));
        case Op::Multiply:
            return Value::number(numberOrZero(left) * numberOrZero(right));
        case Op::Divide: {
            const double divisor = numberOrZero(right);
            if (divisor == 0) return Value();
            return Value::number(numberOrZero(left) / divisor);
        }
        case Op::Concat:
            return Value::text(left.toText() + right.toText());
        case Op::Equal:
            return Value::boolean(compareValues(left, right) == 0);
        case Op::NotEqual:
            return Value::boolean(compareValues(left, right) != 0);
        case Op::Less:
            return Value::boolean(compareValues(left, right) < 0);
        case Op::LessEqual:
            return Value::boolean(compareValues(left, right) <= 0);
        case Op::Greater:
            return Value::boolean(compareValues(left, right) > 0);
        case Op::GreaterEqual:
            return Value::boolean(compareValues(left, right) >= 0);
        case Op::And:
        case Op::Or:
            break;
    }
    return Value();
}

}  // namespace

Value readField(const ReportDataSet& dataSet, const QString& field) {
    if (dataSet.atEnd()) return Value();
    const std::optional<FieldKind> kind = dataSet.fieldKind(field);
    if (!kind) return Value();
    switch (*kind) {
        case FieldKind::Text:
        case FieldKind::Memo:
            return Value::text(dataSet.text(field));
        case FieldKind::Number:
            return numberOrBlank(dataSet.number(field));
        case FieldKind::Date:
            return Value::date(dataSet.date(field));
        case FieldKind::Boolean:
            return Value::boolean(dataSet.boolean(field));
    }
    return Value();
}

Value evaluate(const Expr& expr, const EvalScope& scope) {
    switch (expr.kind) {
        case Expr::Kind::Literal:
            return expr.literal;
        case Expr::Kind::Parameter: {
            if (!scope.parameters) return Value::text(QString());
            return Value::text(scope.parameters->value(expr.name.toLower()));
        }
        case Expr::Kind::Field: {
            if (scope.snapshot &&
                expr.name.compare(scope.snapshot->connection, Qt::CaseInsensitive) == 0) {
                const auto it = scope.snapshot->fields.constFind(expr.field.toLower());
                if (it != scope.snapshot->fields.cend()) return *it;
            }
            if (!scope.connections) return Value();
            ReportDataSet* dataSet = scope.connections->value(expr.name.toLower(), nullptr);
            return dataSet ? readField(*dataSet, expr.field) : Value();
        }
        case Expr::Kind::Call:
            return callFunction(expr, scope);
        case Expr::Kind::Negate: {
            const auto n = evaluate(*expr.args[0], scope).toNumber();
            return n ? Value::number(-*n) : Value();
        }
        case Expr::Kind::Not:
            return Value::boolean(!evaluate(*expr.args[0], scope).isTrue());
        case Expr::Kind::Binary:
            return binary(expr, scope);
    }
    return Value();
}

}  // namespace report
