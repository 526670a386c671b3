#include "mql4/checker.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "mql4/builtins.hpp"
#include "mql4/parser.hpp"
#include "text/text_files.hpp"

namespace zorvik::mql4 {
namespace {

std::string inQuotes(std::string_view name) { return "'" + std::string(name) + "'"; }

std::string lowerCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

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

class Checker {
 public:
  Checker(Program& program, Diagnostics& diags) : program_(program), diags_(diags), table_(BuiltinTable::instance()) {}

  void run() {
    strict_ = program_.strict;
    for (const Include& inc : program_.includes) {
      if (!inc.systemHeader || !table_.knowsHeader(inc.name)) {
        error(inc.pos, inQuotes(inc.name) + " - cannot open include file");
        continue;
      }
      includes_.insert(lowerCase(inc.name));
    }
    // Every function is known everywhere, also before its definition.
    for (auto& f : program_.functions) declareFunction(*f);
    for (const Program::Item& item : program_.order) {
      if (item.globals) {
        for (const VarDeclPtr& v : item.globals->variables) declareGlobal(*v);
      } else {
        checkFunction(*item.function);
      }
    }
    for (const auto& [name, overloads] : functions_) {
      for (const FunctionDecl* f : overloads)
        if (!f->body && !f->isImported && !hasBody(*f)) error(f->pos, inQuotes(f->name) + " - function declared but never defined");
    }
  }

 private:
  // -------------------------------------------------------------------------------------------
  // Diagnostics

  void error(SourcePos pos, std::string text) { diags_.push_back({pos, Severity::Error, std::move(text)}); }
  void warning(SourcePos pos, std::string text) { diags_.push_back({pos, Severity::Warning, std::move(text)}); }

  // -------------------------------------------------------------------------------------------
  // Declarations

  static bool sameParameters(const FunctionDecl& a, const FunctionDecl& b) {
    if (a.parameters.size() != b.parameters.size()) return false;
    for (std::size_t i = 0; i < a.parameters.size(); ++i)
      if (a.parameters[i]->type != b.parameters[i]->type) return false;
    return true;
  }
  bool hasBody(const FunctionDecl& f) const {
    const auto it = functions_.find(f.name);
    if (it == functions_.end()) return false;
    return std::any_of(it->second.begin(), it->second.end(),
                       [&](const FunctionDecl* g) { return g->body && sameParameters(*g, f); });
  }

  void declareFunction(FunctionDecl& f) {
    auto& overloads = functions_[f.name];
    for (const FunctionDecl* other : overloads) {
      if (!sameParameters(*other, f)) continue;
      if (other->body && f.body) {
        error(f.pos, inQuotes(f.name) + " - function already defined and has body");
        return;
      }
      if (other->returnType != f.returnType) {
        error(f.pos, inQuotes(f.name) + " - function already declared with another type");
        return;
      }
    }
    overloads.push_back(&f);
    if (globals_.count(f.name)) error(f.pos, inQuotes(f.name) + " - identifier already used");
  }

  void declareGlobal(VarDecl& v) {
    checkDeclaration(v);
    if (globals_.count(v.name) || functions_.count(v.name)) {
      error(v.pos, inQuotes(v.name) + " - variable already defined");
      return;
    }
    if (visibleBuiltin(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides a predefined name");
    globals_[v.name] = &v;
  }

  // The parts of a declaration every scope checks alike: array sizes, initial values.
  void checkDeclaration(VarDecl& v) {
    for (ExprPtr& size : v.arraySizes) {
      if (!size) continue;
      const Type t = check(*size);
      const std::optional<long long> n = fold(*size);
      if (t.isError()) continue;
      if (!n) error(size->pos, "constant expression required");
      else if (*n <= 0) error(size->pos, "invalid array size");
    }
    if (v.init) {
      const Type t = check(*v.init);
      if (v.type.isArray() && v.storage != Storage::Parameter) {
        error(v.init->pos, inQuotes(v.name) + " - arrays are initialized by a list in braces");
      } else if (v.type.isArray() && v.storage == Storage::Parameter) {
        error(v.init->pos, inQuotes(v.name) + " - array parameters cannot have a default value");
      } else {
        convert(t, v.type, v.init->pos, "=");
      }
      if (v.storage == Storage::Parameter && !t.isError() && !isConstant(*v.init))
        error(v.init->pos, inQuotes(v.name) + " - default value must be a constant");
    }
    if (v.hasInitList) {
      if (!v.type.isArray() && v.initList.size() > 1) error(v.pos, inQuotes(v.name) + " - too many initializers");
      for (ExprPtr& e : v.initList) convert(check(*e), v.type.isArray() ? Type{v.type.base, 0} : v.type, e->pos, "=");
    }
    if (v.isConst && !v.init && !v.hasInitList && v.storage != Storage::Parameter)
      error(v.pos, inQuotes(v.name) + " - constant variable must be initialized");
  }

  // -------------------------------------------------------------------------------------------
  // Functions and scopes

  struct Local {
    std::string_view name;
    const VarDecl* decl;
  };

  void checkFunction(FunctionDecl& f) {
    current_ = &f;
    locals_.clear();
    scopeStarts_.clear();
    scopeStarts_.push_back(0);
    for (VarDeclPtr& p : f.parameters) {
      checkDeclaration(*p);
      if (!p->name.empty()) declareLocal(*p);
    }
    if (f.body) {
      // The function's outermost braces are the parameters' scope, not a new one.
      for (StmtPtr& s : f.body->statements) statement(*s);
    }
    current_ = nullptr;
  }

  void pushScope() {
    if (strict_) scopeStarts_.push_back(locals_.size());
  }
  void popScope() {
    if (!strict_) return;
    locals_.resize(scopeStarts_.back());
    scopeStarts_.pop_back();
  }

  const VarDecl* findLocal(std::string_view name, std::size_t from = 0) const {
    for (std::size_t i = locals_.size(); i-- > from;)
      if (locals_[i].name == name) return locals_[i].decl;
    return nullptr;
  }

  // Without "#property strict" a local lives from its declaration to the end of the function,
  // whatever block declares it: declaring it again anywhere in the function is an error. With
  // it, a block is a scope of its own and an inner block may hide an outer name.
  void declareLocal(const VarDecl& v) {
    if (findLocal(v.name, scopeStarts_.back())) {
      error(v.pos, inQuotes(v.name) + " - variable already defined");
      return;
    }
    if (findLocal(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides local declaration");
    else if (globals_.count(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides global declaration");
    else if (visibleBuiltin(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides a predefined name");
    locals_.push_back({v.name, &v});
  }

  const BuiltinValue* visibleBuiltin(std::string_view name) const {
    const BuiltinValue* b = table_.value(name);
    if (b && !b->header.empty() && !includes_.count(b->header)) return nullptr;
    return b;
  }

  // -------------------------------------------------------------------------------------------
  // Statements

  void condition(Expr& e) {
    const Type t = check(e);
    if (t.isError()) return;
    if (t.base == BaseType::Void) error(e.pos, "expression of 'void' type is illegal");
    else if (t.isArray()) error(e.pos, "invalid array access");
  }

  void statement(Stmt& s) {
    switch (s.kind) {
      case StmtKind::Block: {
        pushScope();
        for (StmtPtr& inner : static_cast<BlockStmt&>(s).statements) statement(*inner);
        popScope();
        break;
      }
      case StmtKind::Expression:
        check(*static_cast<ExprStmt&>(s).expr);
        break;
      case StmtKind::Declaration:
        for (VarDeclPtr& v : static_cast<DeclStmt&>(s).variables) {
          checkDeclaration(*v);
          declareLocal(*v);
        }
        break;
      case StmtKind::If: {
        auto& i = static_cast<IfStmt&>(s);
        condition(*i.condition);
        branch(*i.then);
        if (i.otherwise) branch(*i.otherwise);
        break;
      }
      case StmtKind::While:
      case StmtKind::DoWhile: {
        auto& l = static_cast<LoopStmt&>(s);
        if (s.kind == StmtKind::While) condition(*l.condition);
        branch(*l.body);
        if (s.kind == StmtKind::DoWhile) condition(*l.condition);
        break;
      }
      case StmtKind::For: {
        auto& l = static_cast<LoopStmt&>(s);
        pushScope();
        if (l.init) statement(*l.init);
        if (l.condition) condition(*l.condition);
        if (l.step) check(*l.step);
        branch(*l.body);
        popScope();
        break;
      }
      case StmtKind::Switch: {
        auto& sw = static_cast<SwitchStmt&>(s);
        const Type t = check(*sw.value);
        if (!t.isError() && !t.isIntegral()) error(sw.value->pos, "illegal switch expression type");
        pushScope();
        std::unordered_set<long long> seen;
        bool hasDefault = false;
        for (StmtPtr& inner : sw.body) {
          if (inner->kind == StmtKind::Case) {
            auto& c = static_cast<CaseStmt&>(*inner);
            if (!c.value) {
              if (hasDefault) error(c.pos, "duplicate 'default' label");
              hasDefault = true;
              continue;
            }
            const Type ct = check(*c.value);
            const std::optional<long long> v = fold(*c.value);
            if (ct.isError()) continue;
            if (!v || !ct.isIntegral()) {
              error(c.value->pos, "constant expression is not integral");
              continue;
            }
            c.constant = *v;
            if (!seen.insert(*v).second) error(c.pos, "duplicate case value");
          } else {
            statement(*inner);
          }
        }
        popScope();
        break;
      }
      case StmtKind::Return: {
        auto& r = static_cast<ExprStmt&>(s);
        const bool isVoid = current_->returnType.base == BaseType::Void;
        if (r.expr) {
          const Type t = check(*r.expr);
          if (isVoid) error(s.pos, "'return' - 'void' function returns a value");
          else convert(t, current_->returnType, r.expr->pos, "return");
        } else if (!isVoid) {
          error(s.pos, "'return' - function must return a value");
        }
        break;
      }
      case StmtKind::Case:  // only inside a switch, handled there
      case StmtKind::Break:
      case StmtKind::Continue:
      case StmtKind::Empty:
        break;
    }
  }

  // A statement of an if or loop is a scope of its own even without braces ("for(...) int i;").
  void branch(Stmt& s) {
    pushScope();
    statement(s);
    popScope();
  }

  // -------------------------------------------------------------------------------------------
  // Types

  // Whether a value of type `from` may go where `to` is expected; reports the fault at `pos`
  // otherwise. `what` names the operation in the message ("=", "return", a parameter).
  bool convert(Type from, Type to, SourcePos pos, std::string_view what) {
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

  // The value of an integral constant expression, if it is one.
  std::optional<long long> fold(const Expr& e) const {
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

  // Whether an expression is a constant (default values of parameters must be).
  bool isConstant(const Expr& e) const {
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
      default: return false;
    }
  }

  // -------------------------------------------------------------------------------------------
  // Expressions

  Type check(Expr& e) {
    e.type = compute(e);
    return e.type;
  }

  Type compute(Expr& e) {
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

  Type name(NameExpr& n) {
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

  Type index(IndexExpr& ix) {
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

  // The variable or predefined value an lvalue expression finally names, with how many
  // indexes were applied to it; nullptr when it is no name at all.
  static const NameExpr* rootName(const Expr& e) {
    const Expr* x = &e;
    while (x->kind == ExprKind::Index) x = static_cast<const IndexExpr*>(x)->array.get();
    return x->kind == ExprKind::Name ? static_cast<const NameExpr*>(x) : nullptr;
  }

  // Whether `target` may be changed; reports why not. `op` is the operator for the message.
  bool assignable(const Expr& target, std::string_view op) {
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

  Type unary(UnaryExpr& u) {
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

  // A scalar operand of a binary operator; reports void and whole arrays.
  bool operand(const Expr& e, Type t) {
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

  // The type of `left op right` for the arithmetic, bitwise and comparison operators, or
  // an error type after reporting.
  Type combine(Op op, Type l, Type r, SourcePos pos) {
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

  Type binary(BinaryExpr& b) {
    const Type l = check(*b.left);
    const Type r = check(*b.right);
    if (!operand(*b.left, l) | !operand(*b.right, r)) return kErrorType;
    return combine(b.op, l, r, b.pos);
  }

  static Op arithmeticOf(Op assignment) {
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

  Type assign(BinaryExpr& a) {
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

  Type ternary(TernaryExpr& t) {
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

  // -------------------------------------------------------------------------------------------
  // Calls

  struct Parameter {
    std::string_view name;
    Type type;
    bool isReference;
  };
  static Parameter parameterOf(const BuiltinParam& p) { return {p.name, p.type, p.isReference || p.type.isArray()}; }
  static Parameter parameterOf(const VarDeclPtr& p) { return {p->name, p->type, p->isReference || p->type.isArray()}; }

  // Whether an argument fits a parameter; reports the fault when `report` is set.
  bool argumentFits(const Expr& arg, const Parameter& p, std::size_t index, bool report) {
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

  // Checks the arguments against one signature. Returns whether they fit; reports only when
  // `report` is set.
  template <typename Params>
  bool fits(CallExpr& c, const Params& params, std::size_t minArgs, bool variadic, bool report) {
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

  const FunctionDecl* definitionOf(const FunctionDecl& f) const {
    if (f.body) return &f;
    for (const FunctionDecl* g : functions_.at(f.name))
      if (g->body && sameParameters(*g, f)) return g;
    return &f;
  }

  static std::size_t requiredArguments(const FunctionDecl& f) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < f.parameters.size(); ++i)
      if (!f.parameters[i]->init) n = i + 1;
    return n;
  }

  Type call(CallExpr& c) {
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

  const std::vector<const Builtin*>& visibleBuiltins(const std::string& name) {
    const std::vector<const Builtin*>& all = table_.functions(name);
    if (all.empty() || all.front()->header.empty() || includes_.count(all.front()->header)) return all;
    static const std::vector<const Builtin*> none;
    return none;
  }

  Program& program_;
  Diagnostics& diags_;
  const BuiltinTable& table_;
  bool strict_ = false;
  std::unordered_set<std::string> includes_;  // lower case
  std::unordered_map<std::string, std::vector<FunctionDecl*>> functions_;
  std::unordered_map<std::string, const VarDecl*> globals_;
  FunctionDecl* current_ = nullptr;
  std::vector<Local> locals_;
  std::vector<std::size_t> scopeStarts_;
};

}  // namespace

CheckResult checkSource(std::string_view source) {
  CheckResult result;
  result.program = parseProgram(source, result.diagnostics);
  if (!hasErrors(result.diagnostics)) Checker(result.program, result.diagnostics).run();
  std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return a.pos.line != b.pos.line ? a.pos.line < b.pos.line : a.pos.column < b.pos.column;
  });
  return result;
}

CheckResult checkFile(const std::filesystem::path& file) {
  const std::optional<std::string> bytes = readFileBytes(file);
  if (!bytes) {
    CheckResult result;
    result.diagnostics.push_back({{0, 0}, Severity::Error, "cannot read the file"});
    return result;
  }
  return checkSource(*bytes);
}

std::vector<std::string> formatDiagnostics(const std::string& fileName, const Diagnostics& diagnostics) {
  std::vector<std::string> lines;
  lines.reserve(diagnostics.size());
  for (const Diagnostic& d : diagnostics) lines.push_back(formatDiagnostic(fileName, d));
  return lines;
}

}  // namespace zorvik::mql4
