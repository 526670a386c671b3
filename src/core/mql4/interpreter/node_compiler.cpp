#include "mql4/interpreter/node_compiler.hpp"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "mql4/builtins.hpp"
#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/interpreter/expression_nodes.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct NodeCompiler {
  struct Slot {
    bool global;
    std::size_t index;  // among the globals, or in the function's frame
  };
  std::unordered_map<const VarDecl*, Slot> slots;
  std::unordered_map<const FunctionDecl*, CompiledFunction*> functions;
  std::unordered_map<std::string, CompiledFunction*> byName;
  std::size_t globalCount = 0;
  std::size_t localCount = 0;
  std::vector<std::unique_ptr<DeclarationStatement>> staticInits;

  [[noreturn]] void fail(SourcePos p, const std::string& why) { throw CriticalError(p, why); }

  std::unique_ptr<AssignableNode> variable(SourcePos p, const VarDecl* v) {
    auto it = slots.find(v);
    if (it == slots.end()) fail(p, "'" + v->name + "' is used before the interpreter knows it");
    const ValueKind k = kindOf(v->type);
    if (it->second.global) return std::make_unique<GlobalVariable>(k, p, v->type.base, it->second.index);
    return std::make_unique<LocalVariable>(k, p, v->type.base, it->second.index);
  }

  static ExpressionPtr constantOf(SourcePos p, const BuiltinValue& v) {
    if (v.type.base == BaseType::Double || v.type.base == BaseType::Float) return std::make_unique<DoubleConstant>(p, v.doubleValue);
    if (v.type.base == BaseType::String) return std::make_unique<StringConstant>(p, std::string());
    if (v.type.base == BaseType::Null) return std::make_unique<IntConstant>(p, 0);
    return std::make_unique<IntConstant>(p, v.intValue);
  }

  ExpressionPtr predefined(SourcePos p, const BuiltinValue& v, Type t) {
    const std::optional<Predefined> what = predefinedOf(v.name);
    if (!what) fail(p, "the interpreter does not provide '" + v.name + "'");
    return makePredefinedValue(kindOf(t), p, *what);
  }

  // A default written in the built-in table: a number, a constant, "A|B", NULL or a string.
  ExpressionPtr defaultArg(SourcePos p, const BuiltinParam& param) {
    const std::string& text = param.defaultText;
    const ValueKind k = kindOf(param.type);
    if (text == "NULL" || text.empty()) {
      if (k == ValueKind::String) return std::make_unique<StringConstant>(p, std::string());
      return std::make_unique<IntConstant>(p, 0);
    }
    if (text.size() >= 2 && text.front() == '"') return std::make_unique<StringConstant>(p, text.substr(1, text.size() - 2));
    long long bits = 0;
    bool allKnown = true;
    std::size_t from = 0;
    while (from <= text.size()) {
      const std::size_t bar = text.find('|', from);
      const std::string part = text.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
      if (const BuiltinValue* v = BuiltinTable::instance().value(part)) {
        bits |= v->intValue;
      } else {
        char* end = nullptr;
        const double number = std::strtod(part.c_str(), &end);
        if (end == part.c_str() || *end) {
          allKnown = false;
          break;
        }
        if (bar == std::string::npos && from == 0 && k == ValueKind::Double) return std::make_unique<DoubleConstant>(p, number);
        bits |= static_cast<long long>(number);
      }
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    if (!allKnown) fail(p, "the interpreter cannot use the default value '" + text + "'");
    if (k == ValueKind::Double) return std::make_unique<DoubleConstant>(p, static_cast<double>(bits));
    return std::make_unique<IntConstant>(p, bits);
  }

  ValueKind operandKind(const Expr& a, const Expr& b) {
    const ValueKind ka = kindOf(a.type), kb = kindOf(b.type);
    if (ka == ValueKind::String || kb == ValueKind::String) return ValueKind::String;
    if (ka == ValueKind::Double || kb == ValueKind::Double) return ValueKind::Double;
    return ValueKind::Int;
  }

  std::unique_ptr<AssignableNode> lvalue(Expr& e) {
    ExpressionPtr n = expr(e);
    auto* l = dynamic_cast<AssignableNode*>(n.get());
    if (!l) fail(e.pos, "a variable is needed here");
    n.release();
    return std::unique_ptr<AssignableNode>(l);
  }

  ExpressionPtr expr(Expr& e) {
    const ValueKind k = kindOf(e.type);
    switch (e.kind) {
      case ExprKind::Literal: {
        auto& l = static_cast<LiteralExpr&>(e);
        if (l.literalType.base == BaseType::String) return std::make_unique<StringConstant>(e.pos, l.stringValue);
        if (l.literalType.base == BaseType::Double || l.literalType.base == BaseType::Float)
          return std::make_unique<DoubleConstant>(e.pos, l.doubleValue);
        if (l.literalType.base == BaseType::Null && k == ValueKind::String) return std::make_unique<StringConstant>(e.pos, "");
        return std::make_unique<IntConstant>(e.pos, l.intValue);
      }
      case ExprKind::Name: {
        auto& n = static_cast<NameExpr&>(e);
        if (n.ref.kind == NameRef::Kind::Variable) return variable(e.pos, n.ref.variable);
        if (n.ref.kind == NameRef::Kind::BuiltinValue) {
          if (n.ref.builtin->isConstant) return constantOf(e.pos, *n.ref.builtin);
          return predefined(e.pos, *n.ref.builtin, e.type);
        }
        fail(e.pos, "'" + n.name + "' is not resolved");
      }
      case ExprKind::Index: {
        // Collect a[i][j]... down to the name.
        std::vector<Expr*> indices;
        Expr* base = &e;
        while (base->kind == ExprKind::Index) {
          auto& ix = static_cast<IndexExpr&>(*base);
          indices.push_back(ix.index.get());
          base = ix.array.get();
        }
        std::reverse(indices.begin(), indices.end());
        if (base->kind == ExprKind::Name) {
          auto& n = static_cast<NameExpr&>(*base);
          if (n.ref.kind == NameRef::Kind::BuiltinValue) {
            static const std::unordered_map<std::string_view, int> fields = {
                {"Open", 0}, {"Low", 1}, {"High", 2}, {"Close", 3}, {"Volume", 4}, {"Time", 5}};
            auto f = fields.find(n.ref.builtin->name);
            if (f == fields.end() || indices.size() != 1) fail(e.pos, "the interpreter does not index '" + n.name + "'");
            return makeSeriesElement(k, e.pos, f->second, expr(*indices[0]));
          }
        }
        auto el = std::make_unique<ArrayElement>(k, e.pos, e.type.base);
        el->array = lvalue(*base);
        for (Expr* ix : indices) el->indices.push_back(expr(*ix));
        return el;
      }
      case ExprKind::Call: return call(static_cast<CallExpr&>(e));
      case ExprKind::Unary:
      case ExprKind::Postfix: {
        auto& u = static_cast<UnaryExpr&>(e);
        switch (u.op) {
          case Op::PreIncrement:
          case Op::PreDecrement:
          case Op::PostIncrement:
          case Op::PostDecrement: {
            auto s = std::make_unique<IncrementDecrement>(k, e.pos, u.op == Op::PreIncrement || u.op == Op::PostIncrement,
                                            u.op == Op::PostIncrement || u.op == Op::PostDecrement);
            s->target = lvalue(*u.operand);
            if (s->target->kind != k) fail(e.pos, "the interpreter does not step this value");
            return s;
          }
          default: {
            auto n = std::make_unique<UnaryOperation>(k, e.pos, u.op);
            n->base = e.type.base;
            n->operand = expr(*u.operand);
            return n;
          }
        }
      }
      case ExprKind::Binary: {
        auto& b = static_cast<BinaryExpr&>(e);
        return binary(e.pos, b.op, e.type, *b.left, expr(*b.left), *b.right, expr(*b.right));
      }
      case ExprKind::Assign: {
        auto& b = static_cast<BinaryExpr&>(e);
        auto a = std::make_unique<Assignment>(k, e.pos);
        a->target = lvalue(*b.left);
        if (b.op == Op::Assign) {
          a->value = expr(*b.right);
        } else {
          static const std::unordered_map<int, Op> plain = {
              {static_cast<int>(Op::AddAssign), Op::Add},        {static_cast<int>(Op::SubAssign), Op::Sub},
              {static_cast<int>(Op::MulAssign), Op::Mul},        {static_cast<int>(Op::DivAssign), Op::Div},
              {static_cast<int>(Op::ModAssign), Op::Mod},        {static_cast<int>(Op::AndAssign), Op::BitAnd},
              {static_cast<int>(Op::OrAssign), Op::BitOr},       {static_cast<int>(Op::XorAssign), Op::BitXor},
              {static_cast<int>(Op::ShiftLeftAssign), Op::ShiftLeft},
              {static_cast<int>(Op::ShiftRightAssign), Op::ShiftRight}};
          const Op op = plain.at(static_cast<int>(b.op));
          Type resultType = b.left->type;
          const ValueKind ok = operandKind(*b.left, *b.right);
          if (ok == ValueKind::Double && resultType.base != BaseType::Float) resultType = kDouble;
          if (ok == ValueKind::String) resultType = kString;
          if (ok == ValueKind::Int) resultType = b.left->type.base == BaseType::Long || b.right->type.base == BaseType::Long ? kLong : b.left->type;
          a->value = binary(e.pos, op, resultType, *b.left, expr(*b.left), *b.right, expr(*b.right));
        }
        return a;
      }
      case ExprKind::Ternary: {
        auto& t = static_cast<TernaryExpr&>(e);
        auto n = std::make_unique<Conditional>(k, e.pos);
        n->condition = expr(*t.condition);
        n->whenTrue = expr(*t.whenTrue);
        n->whenFalse = expr(*t.whenFalse);
        return n;
      }
      case ExprKind::Cast: {
        auto& cst = static_cast<CastExpr&>(e);
        auto n = std::make_unique<Cast>(kindOf(cst.target), e.pos, cst.target.base);
        n->operand = expr(*cst.operand);
        return n;
      }
      case ExprKind::Comma: {
        auto& b = static_cast<BinaryExpr&>(e);
        auto n = std::make_unique<CommaSequence>(k, e.pos);
        n->first = expr(*b.left);
        n->second = expr(*b.right);
        return n;
      }
    }
    fail(e.pos, "an expression the interpreter does not run");
  }

  ExpressionPtr binary(SourcePos p, Op op, Type type, const Expr& le, ExpressionPtr l, const Expr& re, ExpressionPtr r) {
    ValueKind operands = operandKind(le, re);
    ValueKind k = kindOf(type);
    if (op == Op::And || op == Op::Or) operands = ValueKind::Int;
    // NULL beside a string is the empty string.
    if (operands == ValueKind::String) {
      if (le.type.base == BaseType::Null) l = std::make_unique<StringConstant>(p, "");
      if (re.type.base == BaseType::Null) r = std::make_unique<StringConstant>(p, "");
    }
    auto b = std::make_unique<BinaryOperation>(k, p, op, type.base, operands);
    b->leftBase = le.type.base;
    b->rightBase = re.type.base;
    b->left = std::move(l);
    b->right = std::move(r);
    return b;
  }

  ExpressionPtr call(CallExpr& c) {
    const ValueKind k = kindOf(c.type);
    if (c.function) {
      CompiledFunction* fn = nullptr;
      auto it = functions.find(c.function);
      if (it != functions.end() && it->second->body) fn = it->second;
      if (!fn) {
        auto byIt = byName.find(c.name);
        if (byIt != byName.end()) fn = byIt->second;
      }
      if (!fn) fail(c.pos, "'" + c.name + "' has no body");
      auto n = std::make_unique<UserFunctionCall>(k, c.pos);
      n->fn = fn;
      for (std::size_t a = 0; a < c.args.size(); ++a) {
        if (a < fn->paramByRef.size() && fn->paramByRef[a])
          n->args.push_back(lvalue(*c.args[a]));
        else
          n->args.push_back(expr(*c.args[a]));
      }
      return n;
    }
    if (!c.builtin) fail(c.pos, "'" + c.name + "' is not resolved");
    const std::optional<BuiltinId> id = builtinIdOf(c.builtin->name);
    if (!id) fail(c.pos, "the interpreter does not run the built-in function '" + c.name + "'");
    std::unique_ptr<BuiltinCall> n = makeBuiltinCall(c.pos, *id);
    const bool arrays = takesArray(*id);
    for (std::size_t a = 0; a < c.args.size(); ++a) {
      if (arrays && a == 0)
        n->args.push_back(lvalue(*c.args[a]));
      else
        n->args.push_back(expr(*c.args[a]));
      n->argBases.push_back(c.args[a]->type.base);
    }
    for (std::size_t a = c.args.size(); a < c.builtin->params.size(); ++a) {
      n->args.push_back(defaultArg(c.pos, c.builtin->params[a]));
      n->argBases.push_back(c.builtin->params[a].type.base);
    }
    if (k != ValueKind::Void && n->kind != k && n->kind != ValueKind::Void) {
      // The table's return type decides how the value is used; convert the native one.
      auto cast = std::make_unique<Cast>(k, c.pos, c.type.base);
      cast->operand = std::move(n);
      return cast;
    }
    return n;
  }

  VariableInit varInit(VarDecl& v, bool global) {
    VariableInit vi;
    const std::size_t slot = global ? globalCount++ : localCount++;
    slots[&v] = {global, slot};
    vi.global = global;
    vi.slot = slot;
    vi.base = v.type.base;
    vi.isArray = v.type.isArray();
    for (auto& sz : v.arraySizes) vi.sizes.push_back(sz ? expr(*sz) : nullptr);
    if (vi.isArray && vi.sizes.empty())
      for (int d = 0; d < v.type.dims; ++d) vi.sizes.push_back(nullptr);
    if (v.hasInitList) {
      for (auto& x : v.initList) vi.initList.push_back(expr(*x));
    } else if (v.init) {
      vi.init = expr(*v.init);
    }
    return vi;
  }

  StatementPtr stmt(Stmt& s) {
    switch (s.kind) {
      case StmtKind::Block: {
        auto b = std::make_unique<BlockStatement>();
        for (auto& x : static_cast<BlockStmt&>(s).statements) b->body.push_back(stmt(*x));
        return b;
      }
      case StmtKind::Expression: {
        auto e = std::make_unique<ExpressionStatement>();
        e->expression = expr(*static_cast<ExprStmt&>(s).expr);
        return e;
      }
      case StmtKind::Declaration: {
        auto d = std::make_unique<DeclarationStatement>();
        d->pos = s.pos;
        for (auto& v : static_cast<DeclStmt&>(s).variables) {
          if (v->storage == Storage::Static) {
            // Kept between calls and set once, before init().
            auto once = std::make_unique<DeclarationStatement>();
            once->pos = s.pos;
            once->vars.push_back(varInit(*v, true));
            staticInits.push_back(std::move(once));
          } else {
            d->vars.push_back(varInit(*v, false));
          }
        }
        return d;
      }
      case StmtKind::If: {
        auto& i = static_cast<IfStmt&>(s);
        auto n = std::make_unique<IfStatement>();
        n->cond = expr(*i.condition);
        n->then = stmt(*i.then);
        if (i.otherwise) n->otherwise = stmt(*i.otherwise);
        return n;
      }
      case StmtKind::While:
      case StmtKind::DoWhile:
      case StmtKind::For: {
        auto& l = static_cast<LoopStmt&>(s);
        auto n = std::make_unique<LoopStatement>();
        n->kind = s.kind;
        n->pos = s.pos;
        if (l.init) n->init = stmt(*l.init);
        if (l.condition) n->cond = expr(*l.condition);
        if (l.step) n->step = expr(*l.step);
        n->body = stmt(*l.body);
        if (s.kind == StmtKind::DoWhile && !n->cond) fail(s.pos, "do-while without a condition");
        return n;
      }
      case StmtKind::Switch: {
        auto& sw = static_cast<SwitchStmt&>(s);
        auto n = std::make_unique<SwitchStatement>();
        n->value = expr(*sw.value);
        for (auto& x : sw.body) {
          if (x->kind == StmtKind::Case) {
            auto& cs = static_cast<CaseStmt&>(*x);
            if (cs.value)
              n->labels.emplace_back(cs.constant, n->body.size());
            else
              n->defaultAt = n->body.size();
            continue;
          }
          n->body.push_back(stmt(*x));
        }
        return n;
      }
      case StmtKind::Case: fail(s.pos, "a case label outside a switch");
      case StmtKind::Break: return std::make_unique<FixedFlowStatement>(Flow::Break);
      case StmtKind::Continue: return std::make_unique<FixedFlowStatement>(Flow::Continue);
      case StmtKind::Empty: return std::make_unique<FixedFlowStatement>(Flow::Normal);
      case StmtKind::Return: {
        auto r = std::make_unique<ReturnStatement>();
        auto& e = static_cast<ExprStmt&>(s);
        if (e.expr) r->value = expr(*e.expr);
        r->base = currentReturn;
        return r;
      }
    }
    fail(s.pos, "a statement the interpreter does not run");
  }

  BaseType currentReturn = BaseType::Void;
};

}  // namespace

CompiledProgram compileProgram(const Program& program) {
  CompiledProgram out;
  NodeCompiler comp;
  // Every function is known before any body is translated: a call may come before the
  // definition.
  for (const auto& f : program.functions) {
    auto fn = std::make_unique<CompiledFunction>();
    fn->decl = f.get();
    fn->returnType = f->returnType;
    comp.functions[f.get()] = fn.get();
    if (f->body) comp.byName[f->name] = fn.get();
    out.functions.push_back(std::move(fn));
  }
  for (const auto& f : program.functions)
    if (!f->body) comp.functions[f.get()] = comp.byName.count(f->name) ? comp.byName[f->name] : comp.functions[f.get()];
  for (const Program::Item& item : program.order) {
    if (item.globals) {
      auto d = std::make_unique<DeclarationStatement>();
      d->pos = item.globals->pos;
      for (auto& v : item.globals->variables) d->vars.push_back(comp.varInit(*v, true));
      out.globalInits.push_back(std::move(d));
      continue;
    }
    FunctionDecl& f = *item.function;
    if (!f.body) continue;
    CompiledFunction& fn = *comp.functions[&f];
    if (fn.body) continue;
    comp.localCount = 0;
    comp.currentReturn = kindOf(f.returnType) == ValueKind::Void ? BaseType::Void : f.returnType.base;
    for (auto& p : f.parameters) {
      const std::size_t slot = comp.localCount++;
      comp.slots[p.get()] = {false, slot};
      fn.paramSlots.push_back(slot);
      fn.paramBases.push_back(p->type.base);
      fn.paramByRef.push_back(p->isReference || p->type.isArray());
      fn.paramDefaults.push_back(p->init ? comp.expr(*p->init) : nullptr);
    }
    fn.body = std::unique_ptr<BlockStatement>(static_cast<BlockStatement*>(comp.stmt(*f.body).release()));
    fn.frameSize = comp.localCount;
  }
  for (auto& s : comp.staticInits) out.globalInits.push_back(std::move(s));
  out.globalCount = comp.globalCount;
  out.byName = std::move(comp.byName);
  return out;
}

}  // namespace zorvik::mql4::interpreter
