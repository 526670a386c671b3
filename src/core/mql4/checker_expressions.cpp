// The checker's rules for types, expressions and calls: what each operator gives, which
// conversions are allowed or warned about, which overload a call picks.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "mql4/builtins.hpp"
#include "mql4/tree_checker.hpp"

namespace zorvik::mql4::checking {
namespace {

// The rank of a numeric type in arithmetic: the result of a binary operation has the higher one.
int arithmeticRank(BaseType b) {
  switch (b) {
    case BaseType::Double: return 6;
    case BaseType::Float: return 5;
    case BaseType::ULong: return 4;
    case BaseType::Long: case BaseType::Datetime: return 3;
    case BaseType::UInt: case BaseType::Color: return 2;
    default: return 1;  // bool, char, short, int and their unsigned kin compute as int
  }
}
Type arithmeticResult(Type a, Type b) {
  const int r = std::max(arithmeticRank(a.base), arithmeticRank(b.base));
  switch (r) {
    case 6: case 5: return kDouble;
    case 4: return {BaseType::ULong, 0};
    case 3: return kLong;
    case 2: return {BaseType::UInt, 0};
    default: return kInt;
  }
}

}  // namespace

bool TreeChecker::convert(Type from, Type to, SourcePos pos, std::string_view what) {
  if (from.isError() || to.isError()) return true;
  if (from.base == BaseType::Void) {
    error(pos, "expression of 'void' type is illegal");
    return false;
  }
  if (from.dims != to.dims) {
    error(pos, from.isArray() ? "invalid array access" : inQuotes(what) + " - array required");
    return false;
  }
  if (to.base == BaseType::Any || from.base == BaseType::Null) return true;
  if (to.base == BaseType::String) {
    if (from.base != BaseType::String) warning(pos, "implicit conversion from 'number' to 'string'");
    return true;
  }
  if (from.base == BaseType::String) {
    error(pos, inQuotes(what) + " - cannot convert 'string' to '" + typeName(to) + "'");
    return false;
  }
  if ((from.base == BaseType::Double || from.base == BaseType::Float) && to.base != BaseType::Double &&
      to.base != BaseType::Float && to.base != BaseType::Bool)
    warning(pos, "possible loss of data due to type conversion");
  return true;
}

std::optional<long long> TreeChecker::fold(const Expr& e) const {
  switch (e.kind) {
    case ExprKind::Literal: {
      const auto& l = static_cast<const LiteralExpr&>(e);
      if (l.literalType.base == BaseType::Double || l.literalType.base == BaseType::String) return std::nullopt;
      return l.intValue;
    }
    case ExprKind::Name: {
      const auto& n = static_cast<const NameExpr&>(e);
      if (n.ref.kind == NameRef::Kind::BuiltinValue && n.ref.builtin->isConstant && n.ref.builtin->type.isIntegral())
        return n.ref.builtin->intValue;
      if (n.ref.kind == NameRef::Kind::Variable && n.ref.variable->isConst && n.ref.variable->init &&
          n.ref.variable->type.isIntegral())
        return fold(*n.ref.variable->init);
      return std::nullopt;
    }
    case ExprKind::Unary: {
      const auto& u = static_cast<const UnaryExpr&>(e);
      const auto v = fold(*u.operand);
      if (!v) return std::nullopt;
      if (u.op == Op::Negate) return static_cast<long long>(0ULL - static_cast<unsigned long long>(*v));
      if (u.op == Op::Plus) return *v;
      if (u.op == Op::BitNot) return ~*v;
      if (u.op == Op::Not) return *v == 0 ? 1 : 0;
      return std::nullopt;
    }
    case ExprKind::Cast: return fold(*static_cast<const CastExpr&>(e).operand);
    case ExprKind::Binary: {
      const auto& b = static_cast<const BinaryExpr&>(e);
      const auto l = fold(*b.left);
      const auto r = fold(*b.right);
      if (!l || !r) return std::nullopt;
      // Wrapping arithmetic, as the terminal's 64-bit integers wrap; never undefined here.
      const auto ul = static_cast<unsigned long long>(*l), ur = static_cast<unsigned long long>(*r);
      switch (b.op) {
        case Op::Add: return static_cast<long long>(ul + ur);
        case Op::Sub: return static_cast<long long>(ul - ur);
        case Op::Mul: return static_cast<long long>(ul * ur);
        case Op::Div:
        case Op::Mod:
          if (*r == 0 || (*r == -1 && *l == INT64_MIN)) return std::nullopt;
          return b.op == Op::Div ? *l / *r : *l % *r;
        case Op::BitOr: return *l | *r;
        case Op::BitAnd: return *l & *r;
        case Op::BitXor: return *l ^ *r;
        case Op::ShiftLeft: return (*r < 0 || *r > 62) ? std::nullopt : std::optional<long long>(static_cast<long long>(ul << *r));
        case Op::ShiftRight: return (*r < 0 || *r > 62) ? std::nullopt : std::optional<long long>(*l >> *r);
        default: return std::nullopt;
      }
    }
    default: return std::nullopt;
  }
}

bool TreeChecker::isConstant(const Expr& e) const {
  switch (e.kind) {
    case ExprKind::Literal: return true;
    case ExprKind::Name: {
      const auto& n = static_cast<const NameExpr&>(e);
      return (n.ref.kind == NameRef::Kind::BuiltinValue && n.ref.builtin->isConstant) ||
             (n.ref.kind == NameRef::Kind::Variable && n.ref.variable->isConst);
    }
    case ExprKind::Unary: return isConstant(*static_cast<const UnaryExpr&>(e).operand);
    case ExprKind::Cast: return isConstant(*static_cast<const CastExpr&>(e).operand);
    case ExprKind::Binary: {
      const auto& b = static_cast<const BinaryExpr&>(e);
      return isConstant(*b.left) && isConstant(*b.right);
    }
    case ExprKind::Ternary: {
      const auto& t = static_cast<const TernaryExpr&>(e);
      return isConstant(*t.condition) && isConstant(*t.whenTrue) && isConstant(*t.whenFalse);
    }
    default: return false;
  }
}

Type TreeChecker::check(Expr& e) {
  e.type = compute(e);
  return e.type;
}

Type TreeChecker::compute(Expr& e) {
  switch (e.kind) {
    case ExprKind::Literal: return static_cast<LiteralExpr&>(e).literalType;
    case ExprKind::Name: return name(static_cast<NameExpr&>(e));
    case ExprKind::Call: return call(static_cast<CallExpr&>(e));
    case ExprKind::Index: return index(static_cast<IndexExpr&>(e));
    case ExprKind::Unary:
    case ExprKind::Postfix: return unary(static_cast<UnaryExpr&>(e));
    case ExprKind::Binary: return binary(static_cast<BinaryExpr&>(e));
    case ExprKind::Assign: return assign(static_cast<BinaryExpr&>(e));
    case ExprKind::Comma: {
      auto& c = static_cast<BinaryExpr&>(e);
      check(*c.left);
      return check(*c.right);
    }
    case ExprKind::Ternary: return ternary(static_cast<TernaryExpr&>(e));
    case ExprKind::Cast: {
      auto& c = static_cast<CastExpr&>(e);
      const Type t = check(*c.operand);
      if (t.isError()) return c.target;
      if (t.base == BaseType::Void) error(c.operand->pos, "expression of 'void' type is illegal");
      else if (t.isArray()) error(c.operand->pos, "invalid array access");
      return c.target;
    }
  }
  return kErrorType;
}

Type TreeChecker::name(NameExpr& n) {
  if (current_) {
    if (const VarDecl* v = findLocal(n.name)) {
      n.ref = {NameRef::Kind::Variable, v, nullptr};
      return v->type;
    }
  }
  if (const auto g = globals_.find(n.name); g != globals_.end()) {
    n.ref = {NameRef::Kind::Variable, g->second, nullptr};
    return g->second->type;
  }
  if (const BuiltinValue* b = visibleBuiltin(n.name)) {
    n.ref = {NameRef::Kind::BuiltinValue, nullptr, b};
    return b->type;
  }
  if (functions_.count(n.name) || !table_.functions(n.name).empty()) {
    error(n.pos, inQuotes(n.name) + " - function call expected");
    return kErrorType;
  }
  error(n.pos, inQuotes(n.name) + " - undeclared identifier");
  return kErrorType;
}

Type TreeChecker::index(IndexExpr& ix) {
  const Type base = check(*ix.array);
  const Type it = check(*ix.index);
  if (!it.isError() && !it.isNumeric()) error(ix.index->pos, "'[' - index must be an integer");
  if (base.isError()) return kErrorType;
  if (!base.isArray()) {
    error(ix.pos, "'[' - array required");
    return kErrorType;
  }
  return base.element();
}

const NameExpr* TreeChecker::rootName(const Expr& e) {
  const Expr* x = &e;
  while (x->kind == ExprKind::Index) x = static_cast<const IndexExpr*>(x)->array.get();
  return x->kind == ExprKind::Name ? static_cast<const NameExpr*>(x) : nullptr;
}

bool TreeChecker::assignable(const Expr& target, std::string_view op) {
  if (target.type.isError()) return false;
  const NameExpr* root = rootName(target);
  if (!root) {
    error(target.pos, inQuotes(op) + " - l-value required");
    return false;
  }
  if (root->ref.kind == NameRef::Kind::BuiltinValue) {
    error(root->pos, inQuotes(root->name) + " - constant cannot be modified");
    return false;
  }
  if (root->ref.kind != NameRef::Kind::Variable) return false;
  const VarDecl& v = *root->ref.variable;
  if (v.isConst || v.storage == Storage::Input) {
    error(root->pos, inQuotes(root->name) + " - constant cannot be modified");
    return false;
  }
  if (target.type.isArray()) {
    error(target.pos, inQuotes(op) + " - invalid array access");
    return false;
  }
  return true;
}

Type TreeChecker::unary(UnaryExpr& u) {
  const Type t = check(*u.operand);
  if (t.isError()) return kErrorType;
  const std::string spelling = opSpelling(u.op);
  if (t.base == BaseType::Void) {
    error(u.operand->pos, "expression of 'void' type is illegal");
    return kErrorType;
  }
  if (t.isArray()) {
    error(u.operand->pos, "invalid array access");
    return kErrorType;
  }
  switch (u.op) {
    case Op::PreIncrement:
    case Op::PreDecrement:
    case Op::PostIncrement:
    case Op::PostDecrement:
      if (!t.isNumeric()) {
        error(u.pos, inQuotes(spelling) + " - illegal operation use");
        return kErrorType;
      }
      assignable(*u.operand, spelling);
      return t;
    case Op::Not:
      if (t.isString()) {
        error(u.pos, inQuotes(spelling) + " - illegal operation use");
        return kErrorType;
      }
      return kBool;
    case Op::BitNot:
      if (!t.isIntegral()) {
        error(u.pos, inQuotes(spelling) + " - illegal operation use");
        return kErrorType;
      }
      return arithmeticResult(t, kInt);
    default:  // - and +
      if (!t.isNumeric()) {
        error(u.pos, inQuotes(spelling) + " - illegal operation use");
        return kErrorType;
      }
      return arithmeticResult(t, kInt);
  }
}

bool TreeChecker::operand(const Expr& e, Type t) {
  if (t.isError()) return false;
  if (t.base == BaseType::Void) {
    error(e.pos, "expression of 'void' type is illegal");
    return false;
  }
  if (t.isArray()) {
    error(e.pos, "invalid array access");
    return false;
  }
  return true;
}

Type TreeChecker::combine(Op op, Type l, Type r, SourcePos pos) {
  const std::string spelling = opSpelling(op);
  const bool lString = l.base == BaseType::String, rString = r.base == BaseType::String;
  const bool lNull = l.base == BaseType::Null, rNull = r.base == BaseType::Null;
  auto illegal = [&] {
    error(pos, inQuotes(spelling) + " - illegal operation use");
    return kErrorType;
  };
  switch (op) {
    case Op::Add:
      // A string on either side makes "+" a concatenation; numbers are written as text.
      if (lString || rString) return kString;
      if (lNull || rNull) return illegal();
      return arithmeticResult(l, r);
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
      if (lString || rString || lNull || rNull) return illegal();
      return arithmeticResult(l, r);
    case Op::Mod:
    case Op::BitAnd:
    case Op::BitOr:
    case Op::BitXor:
    case Op::ShiftLeft:
    case Op::ShiftRight:
      if (!(l.isIntegral() && r.isIntegral())) return illegal();
      return arithmeticResult(l, r);
    case Op::Less:
    case Op::Greater:
    case Op::LessEqual:
    case Op::GreaterEqual:
    case Op::Equal:
    case Op::NotEqual:
      if (lString != rString && !lNull && !rNull) warning(pos, "implicit conversion from 'number' to 'string'");
      return kBool;
    case Op::And:
    case Op::Or:
      return kBool;
    default:
      return illegal();
  }
}

Type TreeChecker::binary(BinaryExpr& b) {
  const Type l = check(*b.left);
  const Type r = check(*b.right);
  if (!operand(*b.left, l) | !operand(*b.right, r)) return kErrorType;
  return combine(b.op, l, r, b.pos);
}

Op TreeChecker::arithmeticOf(Op assignment) {
  switch (assignment) {
    case Op::AddAssign: return Op::Add;
    case Op::SubAssign: return Op::Sub;
    case Op::MulAssign: return Op::Mul;
    case Op::DivAssign: return Op::Div;
    case Op::ModAssign: return Op::Mod;
    case Op::AndAssign: return Op::BitAnd;
    case Op::OrAssign: return Op::BitOr;
    case Op::XorAssign: return Op::BitXor;
    case Op::ShiftLeftAssign: return Op::ShiftLeft;
    case Op::ShiftRightAssign: return Op::ShiftRight;
    default: return Op::Assign;
  }
}

Type TreeChecker::assign(BinaryExpr& a) {
  const Type target = check(*a.left);
  const Type value = check(*a.right);
  const std::string spelling = opSpelling(a.op);
  if (target.isError()) return kErrorType;
  if (!assignable(*a.left, spelling)) return kErrorType;
  if (value.isError()) return target;
  if (a.op == Op::Assign) {
    convert(value, target, a.right->pos, spelling);
    return target;
  }
  if (!operand(*a.right, value)) return target;
  const Type result = combine(arithmeticOf(a.op), target, value, a.pos);
  if (!result.isError()) convert(result, target, a.right->pos, spelling);
  return target;
}

Type TreeChecker::ternary(TernaryExpr& t) {
  condition(*t.condition);
  const Type a = check(*t.whenTrue);
  const Type b = check(*t.whenFalse);
  if (a.isError() || b.isError()) return kErrorType;
  if (!operand(*t.whenTrue, a) | !operand(*t.whenFalse, b)) return kErrorType;
  const bool aString = a.base == BaseType::String, bString = b.base == BaseType::String;
  if (aString || bString) {
    if (aString != bString && a.base != BaseType::Null && b.base != BaseType::Null)
      warning(t.pos, "implicit conversion from 'number' to 'string'");
    return kString;
  }
  if (a.base == BaseType::Null) return b;
  if (b.base == BaseType::Null) return a;
  if (a == b) return a;
  return arithmeticResult(a, b);
}

bool TreeChecker::argumentFits(const Expr& arg, const Parameter& p, std::size_t index, bool report) {
  const Type t = arg.type;
  if (t.isError()) return true;
  auto which = [&] { return " for parameter " + std::to_string(index + 1); };
  if (p.type.isArray()) {
    const NameExpr* root = arg.kind == ExprKind::Name ? static_cast<const NameExpr*>(&arg) : nullptr;
    const bool fits = root && t.dims == p.type.dims && (p.type.base == BaseType::Any || t.base == p.type.base);
    if (!fits && report) error(arg.pos, inQuotes(p.name) + " - array of " + typeName(p.type.element()) + " expected" + which());
    return fits;
  }
  if (t.isArray() || t.base == BaseType::Void) {
    if (report) error(arg.pos, t.isArray() ? "invalid array access" : "expression of 'void' type is illegal");
    return false;
  }
  if (p.isReference) {
    const NameExpr* root = rootName(arg);
    const bool variable = root && root->ref.kind == NameRef::Kind::Variable && !root->ref.variable->isConst &&
                          root->ref.variable->storage != Storage::Input;
    const bool fits = variable && (p.type.base == BaseType::Any || t.base == p.type.base);
    if (!fits && report)
      error(arg.pos, inQuotes(p.name) + " - parameter passed as reference, variable of type '" + typeName(p.type) + "' expected");
    return fits;
  }
  if (p.type.base != BaseType::String && p.type.base != BaseType::Any && t.base == BaseType::String) {
    if (report) error(arg.pos, inQuotes(p.name) + " - cannot convert 'string' to '" + typeName(p.type) + "'" + which());
    return false;
  }
  if (report) convert(t, p.type, arg.pos, p.name);
  return true;
}

template <typename Params>
bool TreeChecker::fits(CallExpr& c, const Params& params, std::size_t minArgs, bool variadic, bool report) {
  const std::size_t n = c.args.size();
  if (n < minArgs || (!variadic && n > params.size())) {
    if (report) error(c.pos, inQuotes(c.name) + " - wrong parameters count");
    return false;
  }
  bool ok = true;
  for (std::size_t i = 0; i < n; ++i) {
    if (i < params.size()) {
      ok = argumentFits(*c.args[i], parameterOf(params[i]), i, report) && ok;
    } else {
      const Type t = c.args[i]->type;
      if (!t.isError() && (t.isArray() || t.base == BaseType::Void)) {
        if (report) error(c.args[i]->pos, t.isArray() ? "invalid array access" : "expression of 'void' type is illegal");
        ok = false;
      }
    }
  }
  return ok;
}

const FunctionDecl* TreeChecker::definitionOf(const FunctionDecl& f) const {
  if (f.body) return &f;
  for (const FunctionDecl* g : functions_.at(f.name))
    if (g->body && sameParameters(*g, f)) return g;
  return &f;
}

std::size_t TreeChecker::requiredArguments(const FunctionDecl& f) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < f.parameters.size(); ++i)
    if (!f.parameters[i]->init) n = i + 1;
  return n;
}

Type TreeChecker::call(CallExpr& c) {
  for (ExprPtr& a : c.args) check(*a);
  // The program's own functions first: they may overload a built-in name.
  const std::vector<FunctionDecl*>* user = nullptr;
  if (const auto f = functions_.find(c.name); f != functions_.end()) {
    user = &f->second;
    for (const FunctionDecl* fn : f->second) {
      if (fits(c, fn->parameters, requiredArguments(*fn), false, false)) {
        // A prototype may give the defaults; the call runs the definition's body.
        c.function = definitionOf(*fn);
        return fn->returnType;
      }
    }
  }
  const std::vector<const Builtin*>& builtins = visibleBuiltins(c.name);
  for (const Builtin* b : builtins) {
    if (fits(c, b->params, b->minArgs, b->variadic, false)) {
      c.builtin = b;
      return b->returnType;
    }
  }
  if (!user && builtins.empty()) {
    error(c.pos, inQuotes(c.name) + " - function not defined");
    return kErrorType;
  }
  // None fits: report against the first candidate that takes this many arguments, or the
  // count when none does.
  const std::size_t n = c.args.size();
  if (user) {
    for (const FunctionDecl* fn : *user) {
      if (n >= requiredArguments(*fn) && n <= fn->parameters.size()) {
        fits(c, fn->parameters, requiredArguments(*fn), false, true);
        return fn->returnType;
      }
    }
  }
  for (const Builtin* b : builtins) {
    if (n >= b->minArgs && (b->variadic || n <= b->params.size())) {
      fits(c, b->params, b->minArgs, b->variadic, true);
      return b->returnType;
    }
  }
  error(c.pos, inQuotes(c.name) + " - wrong parameters count");
  return user ? user->front()->returnType : builtins.front()->returnType;
}

const std::vector<const Builtin*>& TreeChecker::visibleBuiltins(const std::string& name) {
  const std::vector<const Builtin*>& all = table_.functions(name);
  if (all.empty() || all.front()->header.empty() || includes_.count(all.front()->header)) return all;
  static const std::vector<const Builtin*> none;
  return none;
}

}  // namespace zorvik::mql4::checking
