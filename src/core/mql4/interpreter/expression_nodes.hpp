#pragma once
// Expression nodes: the translated form of an MQL4 expression. Each node computes its own kind
// natively (evalInt, evalDouble or evalString); asked for another kind, it converts as the
// terminal does. evalForEffect runs a node for its side effects only.
#include <cmath>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "mql4/interpreter/run_context.hpp"
#include "mql4/interpreter/values.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4::interpreter {


struct ExpressionNode {
  ExpressionNode(ValueKind k, SourcePos p) : kind(k), pos(p) {}
  virtual ~ExpressionNode() = default;
  ValueKind kind;
  SourcePos pos;
  virtual long long evalInt(RunContext& c) {
    if (kind == ValueKind::Double) return toInteger(evalDouble(c));
    if (kind == ValueKind::String) return parseInteger(evalString(c));
    evalForEffect(c);
    return 0;
  }
  virtual double evalDouble(RunContext& c) {
    if (kind == ValueKind::Int) return static_cast<double>(evalInt(c));
    if (kind == ValueKind::String) return parseDouble(evalString(c));
    evalForEffect(c);
    return 0;
  }
  virtual std::string evalString(RunContext& c) {
    if (kind == ValueKind::Int) return std::to_string(evalInt(c));
    if (kind == ValueKind::Double) return doubleText(evalDouble(c), 8);
    evalForEffect(c);
    return {};
  }
  // For the side effects only.
  virtual void evalForEffect(RunContext& c) {
    switch (kind) {
      case ValueKind::Int: (void)evalInt(c); break;
      case ValueKind::Double: (void)evalDouble(c); break;
      case ValueKind::String: (void)evalString(c); break;
      case ValueKind::Void: break;
    }
  }
  bool isTrue(RunContext& c) {
    switch (kind) {
      case ValueKind::Double: return evalDouble(c) != 0;
      case ValueKind::String: return !evalString(c).empty();
      default: return evalInt(c) != 0;
    }
  }
};
using ExpressionPtr = std::unique_ptr<ExpressionNode>;

// Text of a value as string concatenation and Print show it: bool as true/false, datetime as
// a date, numbers as numbers.
inline std::string textOf(RunContext& c, ExpressionNode& n, BaseType base) {
  if (n.kind == ValueKind::Int) {
    const long long v = n.evalInt(c);
    if (base == BaseType::Bool) return v ? "true" : "false";
    if (base == BaseType::Datetime) return timeText(v, 3);
    return std::to_string(v);
  }
  return n.evalString(c);
}

struct IntConstant final : ExpressionNode {
  IntConstant(SourcePos p, long long v) : ExpressionNode(ValueKind::Int, p), v(v) {}
  long long v;
  long long evalInt(RunContext&) override { return v; }
};
struct DoubleConstant final : ExpressionNode {
  DoubleConstant(SourcePos p, double v) : ExpressionNode(ValueKind::Double, p), v(v) {}
  double v;
  double evalDouble(RunContext&) override { return v; }
};
struct StringConstant final : ExpressionNode {
  StringConstant(SourcePos p, std::string v) : ExpressionNode(ValueKind::String, p), v(std::move(v)) {}
  std::string v;
  std::string evalString(RunContext&) override { return v; }
};

// Something that can be assigned to.
struct AssignableNode : ExpressionNode {
  AssignableNode(ValueKind k, SourcePos p, BaseType b) : ExpressionNode(k, p), base(b) {}
  BaseType base;
  virtual ValueCell& cell(RunContext& c) = 0;
  long long evalInt(RunContext& c) override {
    ValueCell& x = cell(c);
    return kind == ValueKind::Double ? toInteger(x.doubleValue) : kind == ValueKind::String ? parseInteger(x.stringValue) : x.intValue;
  }
  double evalDouble(RunContext& c) override {
    ValueCell& x = cell(c);
    return kind == ValueKind::Double ? x.doubleValue : kind == ValueKind::String ? parseDouble(x.stringValue) : static_cast<double>(x.intValue);
  }
  std::string evalString(RunContext& c) override {
    ValueCell& x = cell(c);
    return kind == ValueKind::String ? x.stringValue : kind == ValueKind::Double ? doubleText(x.doubleValue, 8) : std::to_string(x.intValue);
  }
};

inline void store(RunContext& c, ValueCell& to, BaseType base, ExpressionNode& value) {
  switch (base) {
    case BaseType::Float: to.doubleValue = static_cast<float>(value.evalDouble(c)); break;
    case BaseType::Double: to.doubleValue = value.evalDouble(c); break;
    case BaseType::String: assignString(*c.machine, to, value.evalString(c), value.pos); break;
    case BaseType::Bool: to.intValue = value.isTrue(c); break;
    default: to.intValue = wrapToType(base, value.kind == ValueKind::Double ? toInteger(value.evalDouble(c)) : value.evalInt(c)); break;
  }
}

struct GlobalVariable final : AssignableNode {
  GlobalVariable(ValueKind k, SourcePos p, BaseType b, std::size_t slot) : AssignableNode(k, p, b), slot(slot) {}
  std::size_t slot;
  ValueCell& cell(RunContext& c) override { return c.globals[slot]; }
};
struct LocalVariable final : AssignableNode {
  LocalVariable(ValueKind k, SourcePos p, BaseType b, std::size_t slot) : AssignableNode(k, p, b), slot(slot) {}
  std::size_t slot;
  ValueCell& cell(RunContext& c) override { return c.locals[slot].target(); }
};

struct ArrayElement final : AssignableNode {
  ArrayElement(ValueKind k, SourcePos p, BaseType b) : AssignableNode(k, p, b) {}
  std::unique_ptr<AssignableNode> array;
  std::vector<ExpressionPtr> indices;
  ValueCell& cell(RunContext& c) override {
    ArrayValue* a = array->cell(c).array.get();
    if (!a || a->dims.size() != indices.size()) throw CriticalError(pos, "array out of range");
    std::size_t flat = 0;
    for (std::size_t k = 0; k < indices.size(); ++k) {
      const long long ix = indices[k]->evalInt(c);
      if (ix < 0 || ix >= a->dims[k]) throw CriticalError(pos, "array out of range");
      flat = flat * static_cast<std::size_t>(a->dims[k]) + static_cast<std::size_t>(ix);
    }
    return a->cells[flat];
  }
};

struct Assignment final : ExpressionNode {
  Assignment(ValueKind k, SourcePos p) : ExpressionNode(k, p) {}
  std::unique_ptr<AssignableNode> target;
  ExpressionPtr value;
  ValueCell& assign(RunContext& c) {
    ValueCell& x = target->cell(c);
    store(c, x, target->base, *value);
    return x;
  }
  long long evalInt(RunContext& c) override {
    ValueCell& x = assign(c);
    return kind == ValueKind::Double ? toInteger(x.doubleValue) : x.intValue;
  }
  double evalDouble(RunContext& c) override {
    ValueCell& x = assign(c);
    return kind == ValueKind::Double ? x.doubleValue : static_cast<double>(x.intValue);
  }
  std::string evalString(RunContext& c) override {
    ValueCell& x = assign(c);
    return kind == ValueKind::String ? x.stringValue : kind == ValueKind::Double ? doubleText(x.doubleValue, 8) : std::to_string(x.intValue);
  }
  void evalForEffect(RunContext& c) override { assign(c); }
};

// a op= b reads a once more: the target is evaluated twice, which only matters for an index
// with side effects.
struct BinaryOperation final : ExpressionNode {
  BinaryOperation(ValueKind k, SourcePos p, Op op, BaseType resultBase, ValueKind operands)
      : ExpressionNode(k, p), op(op), resultBase(resultBase), operands(operands) {}
  Op op;
  BaseType resultBase;
  ValueKind operands;  // the kind both sides are brought to
  BaseType leftBase = BaseType::Int, rightBase = BaseType::Int;
  ExpressionPtr left, right;

  template <class T>
  static bool compareValues(Op op, const T& a, const T& b) {
    switch (op) {
      case Op::Less: return a < b;
      case Op::Greater: return a > b;
      case Op::LessEqual: return a <= b;
      case Op::GreaterEqual: return a >= b;
      case Op::Equal: return a == b;
      default: return a != b;
    }
  }

  // The left side is evaluated first, as MQL4 does: arguments of a call would not promise it.
  bool compare(RunContext& c) {
    if (operands == ValueKind::String) {
      const std::string a = left->evalString(c), b = right->evalString(c);
      return compareValues(op, a, b);
    }
    if (operands == ValueKind::Double) {
      const double a = left->evalDouble(c), b = right->evalDouble(c);
      return compareValues(op, a, b);
    }
    const long long a = left->evalInt(c), b = right->evalInt(c);
    return compareValues(op, a, b);
  }

  long long evalInt(RunContext& c) override {
    switch (op) {
      case Op::And: return left->isTrue(c) && right->isTrue(c);
      case Op::Or: return left->isTrue(c) || right->isTrue(c);
      case Op::Less:
      case Op::Greater:
      case Op::LessEqual:
      case Op::GreaterEqual:
      case Op::Equal:
      case Op::NotEqual: return compare(c);
      default: break;
    }
    if (operands == ValueKind::Double) return toInteger(evalDouble(c));
    const long long a = left->evalInt(c), b = right->evalInt(c);
    long long r = 0;
    switch (op) {
      case Op::Add: r = static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b)); break;
      case Op::Sub: r = static_cast<long long>(static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b)); break;
      case Op::Mul: r = static_cast<long long>(static_cast<unsigned long long>(a) * static_cast<unsigned long long>(b)); break;
      case Op::Div:
        if (b == 0) throw CriticalError(pos, "zero divide");
        r = (b == -1) ? static_cast<long long>(0ULL - static_cast<unsigned long long>(a)) : a / b;
        break;
      case Op::Mod:
        if (b == 0) throw CriticalError(pos, "zero divide");
        r = b == -1 ? 0 : a % b;
        break;
      case Op::ShiftLeft: r = static_cast<long long>(static_cast<unsigned long long>(a) << (b & 63)); break;
      case Op::ShiftRight: r = a >> (b & 63); break;
      case Op::BitAnd: r = a & b; break;
      case Op::BitOr: r = a | b; break;
      case Op::BitXor: r = a ^ b; break;
      default: break;
    }
    return wrapToType(resultBase, r);
  }
  double evalDouble(RunContext& c) override {
    if (operands != ValueKind::Double || kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    const double a = left->evalDouble(c), b = right->evalDouble(c);
    switch (op) {
      case Op::Add: return a + b;
      case Op::Sub: return a - b;
      case Op::Mul: return a * b;
      case Op::Div:
        if (b == 0) throw CriticalError(pos, "zero divide");
        return a / b;
      case Op::Mod:
        if (b == 0) throw CriticalError(pos, "zero divide");
        return std::fmod(a, b);
      default: return 0;
    }
  }
  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    std::string a = textOf(c, *left, leftBase);
    const std::string b = textOf(c, *right, rightBase);
    // Checked before the joined text exists: a string doubled in a loop would otherwise take
    // twice the budget in temporaries before its store is refused.
    fitsMemory(*c.machine, pos, static_cast<long long>(a.size() + b.size()));
    a += b;
    return a;
  }
};

struct UnaryOperation final : ExpressionNode {
  UnaryOperation(ValueKind k, SourcePos p, Op op) : ExpressionNode(k, p), op(op) {}
  Op op;
  BaseType base = BaseType::Int;
  ExpressionPtr operand;
  long long evalInt(RunContext& c) override {
    switch (op) {
      case Op::Not: return !operand->isTrue(c);
      case Op::BitNot: return wrapToType(base, ~operand->evalInt(c));
      case Op::Negate:
        if (kind == ValueKind::Double) return toInteger(evalDouble(c));
        return wrapToType(base, static_cast<long long>(0ULL - static_cast<unsigned long long>(operand->evalInt(c))));
      default: return kind == ValueKind::Double ? toInteger(operand->evalDouble(c)) : operand->evalInt(c);
    }
  }
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    return op == Op::Negate ? -operand->evalDouble(c) : operand->evalDouble(c);
  }
};

struct IncrementDecrement final : ExpressionNode {  // ++x, --x, x++, x--
  IncrementDecrement(ValueKind k, SourcePos p, bool up, bool post) : ExpressionNode(k, p), up(up), post(post) {}
  bool up, post;
  std::unique_ptr<AssignableNode> target;
  long long evalInt(RunContext& c) override {
    if (kind == ValueKind::Double) return toInteger(evalDouble(c));
    ValueCell& x = target->cell(c);
    const long long before = x.intValue;
    x.intValue = wrapToType(target->base, static_cast<long long>(static_cast<unsigned long long>(before) + (up ? 1ULL : ~0ULL)));
    return post ? before : x.intValue;
  }
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    ValueCell& x = target->cell(c);
    const double before = x.doubleValue;
    x.doubleValue = before + (up ? 1 : -1);
    return post ? before : x.doubleValue;
  }
};

struct Conditional final : ExpressionNode {
  Conditional(ValueKind k, SourcePos p) : ExpressionNode(k, p) {}
  ExpressionPtr condition, whenTrue, whenFalse;
  long long evalInt(RunContext& c) override {
    return condition->isTrue(c) ? whenTrue->evalInt(c) : whenFalse->evalInt(c);
  }
  double evalDouble(RunContext& c) override {
    return condition->isTrue(c) ? whenTrue->evalDouble(c) : whenFalse->evalDouble(c);
  }
  std::string evalString(RunContext& c) override {
    return condition->isTrue(c) ? whenTrue->evalString(c) : whenFalse->evalString(c);
  }
  void evalForEffect(RunContext& c) override {
    condition->isTrue(c) ? whenTrue->evalForEffect(c) : whenFalse->evalForEffect(c);
  }
};

struct Cast final : ExpressionNode {
  Cast(ValueKind k, SourcePos p, BaseType b) : ExpressionNode(k, p), base(b) {}
  BaseType base;
  ExpressionPtr operand;
  long long evalInt(RunContext& c) override {
    if (base == BaseType::Bool) return operand->isTrue(c);
    return wrapToType(base, operand->kind == ValueKind::Double ? toInteger(operand->evalDouble(c)) : operand->evalInt(c));
  }
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    const double v = operand->evalDouble(c);
    return base == BaseType::Float ? static_cast<float>(v) : v;
  }
  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    return textOf(c, *operand, operand->kind == ValueKind::Int ? BaseType::Long : BaseType::Double);
  }
};

struct CommaSequence final : ExpressionNode {
  CommaSequence(ValueKind k, SourcePos p) : ExpressionNode(k, p) {}
  ExpressionPtr first, second;
  long long evalInt(RunContext& c) override { first->evalForEffect(c); return second->evalInt(c); }
  double evalDouble(RunContext& c) override { first->evalForEffect(c); return second->evalDouble(c); }
  std::string evalString(RunContext& c) override { first->evalForEffect(c); return second->evalString(c); }
  void evalForEffect(RunContext& c) override { first->evalForEffect(c); second->evalForEffect(c); }
};

}  // namespace zorvik::mql4::interpreter
