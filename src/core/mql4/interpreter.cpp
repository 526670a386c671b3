#include "mql4/interpreter.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <unordered_map>

#include "account/symbol_properties.hpp"
#include "indicators/adx.hpp"
#include "indicators/bollinger_bands.hpp"
#include "indicators/indicator_basics.hpp"
#include "indicators/macd.hpp"
#include "indicators/moving_average.hpp"
#include "indicators/parabolic_sar.hpp"
#include "indicators/rsi.hpp"
#include "indicators/stochastic.hpp"
#include "market/bar_series.hpp"
#include "market/civil_time.hpp"
#include "mql4/builtins.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kStackCells = 1 << 15;
// The most elements an array may hold (a terminal would run out of memory long before).
constexpr long long kMaxArrayCells = 10'000'000;

// A critical error of the running program: the terminal stops the EA.
struct Fault : std::runtime_error {
  Fault(SourcePos p, const std::string& what)
      : std::runtime_error("line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + what) {}
};

// ---------------------------------------------------------------------------------------------
// Values

enum class Kind : std::uint8_t { Int, Double, String, Void };

Kind kindOf(Type t) {
  if (t.dims > 0) return Kind::Void;
  switch (t.base) {
    case BaseType::Float:
    case BaseType::Double: return Kind::Double;
    case BaseType::String: return Kind::String;
    case BaseType::Void: return Kind::Void;
    default: return Kind::Int;
  }
}

struct ArrayData;

// One variable: integral values in i, floating ones in d, strings in s, arrays in a. A reference
// parameter points at the caller's variable.
struct Cell {
  long long i = 0;
  double d = 0;
  std::string s;
  std::unique_ptr<ArrayData> a;
  Cell* ref = nullptr;
  Cell& target() { return ref ? *ref : *this; }
};

struct ArrayData {
  BaseType base = BaseType::Int;
  std::vector<int> dims;  // the first may grow (ArrayResize); the others are fixed
  std::vector<Cell> cells;
  std::size_t inner() const {
    std::size_t n = 1;
    for (std::size_t k = 1; k < dims.size(); ++k) n *= static_cast<std::size_t>(dims[k]);
    return n;
  }
};

// Double to integer as the processor does it for values out of range, without the undefined
// behaviour of a plain cast.
long long toInteger(double v) {
  if (!(v > -9.2e18 && v < 9.2e18)) return std::numeric_limits<long long>::min();
  return static_cast<long long>(v);
}

long long wrapTo(BaseType b, long long v) {
  switch (b) {
    case BaseType::Bool: return v != 0;
    case BaseType::Char: return static_cast<signed char>(v);
    case BaseType::UChar: return static_cast<unsigned char>(v);
    case BaseType::Short: return static_cast<short>(v);
    case BaseType::UShort: return static_cast<unsigned short>(v);
    case BaseType::Int: return static_cast<int>(v);
    case BaseType::UInt:
    case BaseType::Color: return static_cast<unsigned int>(v);
    default: return v;
  }
}

std::string doubleText(double v, int digits) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(digits, 0, 16), v);
  return buf;
}

std::string timeText(long long t, int mode) {
  const long long days = market_detail::floorDiv(t, 86400);
  const long long sec = t - days * 86400;
  const auto c = market_detail::civilFromDays(days);
  char buf[64];
  std::string out;
  if (mode & 1) {
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", c.year, c.month, c.day);
    out = buf;
  }
  if (mode & 6) {
    if (!out.empty()) out += ' ';
    if (mode & 4)
      std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", sec / 3600, sec / 60 % 60, sec % 60);
    else
      std::snprintf(buf, sizeof buf, "%02lld:%02lld", sec / 3600, sec / 60 % 60);
    out += buf;
  }
  return out;
}

long long parseInteger(const std::string& s) { return std::strtoll(s.c_str(), nullptr, 10); }
double parseDouble(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

struct Machine;

struct Ctx {
  Machine* m;
  Cell* globals;
  Cell* locals;
};

// ---------------------------------------------------------------------------------------------
// Expression nodes: each computes its own kind natively; the others convert.

struct Node {
  Node(Kind k, SourcePos p) : kind(k), pos(p) {}
  virtual ~Node() = default;
  Kind kind;
  SourcePos pos;
  virtual long long i(Ctx& c) {
    if (kind == Kind::Double) return toInteger(d(c));
    if (kind == Kind::String) return parseInteger(s(c));
    run(c);
    return 0;
  }
  virtual double d(Ctx& c) {
    if (kind == Kind::Int) return static_cast<double>(i(c));
    if (kind == Kind::String) return parseDouble(s(c));
    run(c);
    return 0;
  }
  virtual std::string s(Ctx& c) {
    if (kind == Kind::Int) return std::to_string(i(c));
    if (kind == Kind::Double) return doubleText(d(c), 8);
    run(c);
    return {};
  }
  // For the side effects only.
  virtual void run(Ctx& c) {
    switch (kind) {
      case Kind::Int: (void)i(c); break;
      case Kind::Double: (void)d(c); break;
      case Kind::String: (void)s(c); break;
      case Kind::Void: break;
    }
  }
  bool truth(Ctx& c) {
    switch (kind) {
      case Kind::Double: return d(c) != 0;
      case Kind::String: return !s(c).empty();
      default: return i(c) != 0;
    }
  }
};
using NodePtr = std::unique_ptr<Node>;

// Text of a value as string concatenation and Print show it: bool as true/false, datetime as
// a date, numbers as numbers.
std::string textOf(Ctx& c, Node& n, BaseType base) {
  if (n.kind == Kind::Int) {
    const long long v = n.i(c);
    if (base == BaseType::Bool) return v ? "true" : "false";
    if (base == BaseType::Datetime) return timeText(v, 3);
    return std::to_string(v);
  }
  return n.s(c);
}

struct IntConst : Node {
  IntConst(SourcePos p, long long v) : Node(Kind::Int, p), v(v) {}
  long long v;
  long long i(Ctx&) override { return v; }
};
struct DoubleConst : Node {
  DoubleConst(SourcePos p, double v) : Node(Kind::Double, p), v(v) {}
  double v;
  double d(Ctx&) override { return v; }
};
struct StringConst : Node {
  StringConst(SourcePos p, std::string v) : Node(Kind::String, p), v(std::move(v)) {}
  std::string v;
  std::string s(Ctx&) override { return v; }
};

// Something that can be assigned to.
struct LNode : Node {
  LNode(Kind k, SourcePos p, BaseType b) : Node(k, p), base(b) {}
  BaseType base;
  virtual Cell& cell(Ctx& c) = 0;
  long long i(Ctx& c) override {
    Cell& x = cell(c);
    return kind == Kind::Double ? toInteger(x.d) : kind == Kind::String ? parseInteger(x.s) : x.i;
  }
  double d(Ctx& c) override {
    Cell& x = cell(c);
    return kind == Kind::Double ? x.d : kind == Kind::String ? parseDouble(x.s) : static_cast<double>(x.i);
  }
  std::string s(Ctx& c) override {
    Cell& x = cell(c);
    return kind == Kind::String ? x.s : kind == Kind::Double ? doubleText(x.d, 8) : std::to_string(x.i);
  }
};

void store(Ctx& c, Cell& to, BaseType base, Node& value) {
  switch (base) {
    case BaseType::Float: to.d = static_cast<float>(value.d(c)); break;
    case BaseType::Double: to.d = value.d(c); break;
    case BaseType::String: to.s = value.s(c); break;
    case BaseType::Bool: to.i = value.truth(c); break;
    default: to.i = wrapTo(base, value.kind == Kind::Double ? toInteger(value.d(c)) : value.i(c)); break;
  }
}

struct GlobalVar : LNode {
  GlobalVar(Kind k, SourcePos p, BaseType b, std::size_t slot) : LNode(k, p, b), slot(slot) {}
  std::size_t slot;
  Cell& cell(Ctx& c) override { return c.globals[slot]; }
};
struct LocalVar : LNode {
  LocalVar(Kind k, SourcePos p, BaseType b, std::size_t slot) : LNode(k, p, b), slot(slot) {}
  std::size_t slot;
  Cell& cell(Ctx& c) override { return c.locals[slot].target(); }
};

struct Element : LNode {
  Element(Kind k, SourcePos p, BaseType b) : LNode(k, p, b) {}
  std::unique_ptr<LNode> array;
  std::vector<NodePtr> indices;
  Cell& cell(Ctx& c) override {
    ArrayData* a = array->cell(c).a.get();
    if (!a || a->dims.size() != indices.size()) throw Fault(pos, "array out of range");
    std::size_t flat = 0;
    for (std::size_t k = 0; k < indices.size(); ++k) {
      const long long ix = indices[k]->i(c);
      if (ix < 0 || ix >= a->dims[k]) throw Fault(pos, "array out of range");
      flat = flat * static_cast<std::size_t>(a->dims[k]) + static_cast<std::size_t>(ix);
    }
    return a->cells[flat];
  }
};

struct Assign : Node {
  Assign(Kind k, SourcePos p) : Node(k, p) {}
  std::unique_ptr<LNode> target;
  NodePtr value;
  Cell& doIt(Ctx& c) {
    Cell& x = target->cell(c);
    store(c, x, target->base, *value);
    return x;
  }
  long long i(Ctx& c) override {
    Cell& x = doIt(c);
    return kind == Kind::Double ? toInteger(x.d) : x.i;
  }
  double d(Ctx& c) override {
    Cell& x = doIt(c);
    return kind == Kind::Double ? x.d : static_cast<double>(x.i);
  }
  std::string s(Ctx& c) override {
    Cell& x = doIt(c);
    return kind == Kind::String ? x.s : kind == Kind::Double ? doubleText(x.d, 8) : std::to_string(x.i);
  }
  void run(Ctx& c) override { doIt(c); }
};

// a op= b reads a once more: the target is evaluated twice, which only matters for an index
// with side effects.
struct Binary : Node {
  Binary(Kind k, SourcePos p, Op op, BaseType resultBase, Kind operands)
      : Node(k, p), op(op), resultBase(resultBase), operands(operands) {}
  Op op;
  BaseType resultBase;
  Kind operands;  // the kind both sides are brought to
  BaseType leftBase = BaseType::Int, rightBase = BaseType::Int;
  NodePtr left, right;

  bool compare(Ctx& c) {
    if (operands == Kind::String) {
      const std::string a = left->s(c), b = right->s(c);
      switch (op) {
        case Op::Less: return a < b;
        case Op::Greater: return a > b;
        case Op::LessEqual: return a <= b;
        case Op::GreaterEqual: return a >= b;
        case Op::Equal: return a == b;
        default: return a != b;
      }
    }
    if (operands == Kind::Double) {
      const double a = left->d(c), b = right->d(c);
      switch (op) {
        case Op::Less: return a < b;
        case Op::Greater: return a > b;
        case Op::LessEqual: return a <= b;
        case Op::GreaterEqual: return a >= b;
        case Op::Equal: return a == b;
        default: return a != b;
      }
    }
    const long long a = left->i(c), b = right->i(c);
    switch (op) {
      case Op::Less: return a < b;
      case Op::Greater: return a > b;
      case Op::LessEqual: return a <= b;
      case Op::GreaterEqual: return a >= b;
      case Op::Equal: return a == b;
      default: return a != b;
    }
  }

  long long i(Ctx& c) override {
    switch (op) {
      case Op::And: return left->truth(c) && right->truth(c);
      case Op::Or: return left->truth(c) || right->truth(c);
      case Op::Less:
      case Op::Greater:
      case Op::LessEqual:
      case Op::GreaterEqual:
      case Op::Equal:
      case Op::NotEqual: return compare(c);
      default: break;
    }
    if (operands == Kind::Double) return toInteger(d(c));
    const long long a = left->i(c), b = right->i(c);
    long long r = 0;
    switch (op) {
      case Op::Add: r = static_cast<long long>(static_cast<unsigned long long>(a) + static_cast<unsigned long long>(b)); break;
      case Op::Sub: r = static_cast<long long>(static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b)); break;
      case Op::Mul: r = static_cast<long long>(static_cast<unsigned long long>(a) * static_cast<unsigned long long>(b)); break;
      case Op::Div:
        if (b == 0) throw Fault(pos, "zero divide");
        r = (b == -1) ? static_cast<long long>(0ULL - static_cast<unsigned long long>(a)) : a / b;
        break;
      case Op::Mod:
        if (b == 0) throw Fault(pos, "zero divide");
        r = b == -1 ? 0 : a % b;
        break;
      case Op::ShiftLeft: r = static_cast<long long>(static_cast<unsigned long long>(a) << (b & 63)); break;
      case Op::ShiftRight: r = a >> (b & 63); break;
      case Op::BitAnd: r = a & b; break;
      case Op::BitOr: r = a | b; break;
      case Op::BitXor: r = a ^ b; break;
      default: break;
    }
    return wrapTo(resultBase, r);
  }
  double d(Ctx& c) override {
    if (operands != Kind::Double || kind != Kind::Double) return static_cast<double>(i(c));
    const double a = left->d(c), b = right->d(c);
    switch (op) {
      case Op::Add: return a + b;
      case Op::Sub: return a - b;
      case Op::Mul: return a * b;
      case Op::Div:
        if (b == 0) throw Fault(pos, "zero divide");
        return a / b;
      case Op::Mod:
        if (b == 0) throw Fault(pos, "zero divide");
        return std::fmod(a, b);
      default: return 0;
    }
  }
  std::string s(Ctx& c) override {
    if (kind != Kind::String) return Node::s(c);
    std::string a = textOf(c, *left, leftBase);
    a += textOf(c, *right, rightBase);
    return a;
  }
};

struct Unary : Node {
  Unary(Kind k, SourcePos p, Op op) : Node(k, p), op(op) {}
  Op op;
  BaseType base = BaseType::Int;
  NodePtr operand;
  long long i(Ctx& c) override {
    switch (op) {
      case Op::Not: return !operand->truth(c);
      case Op::BitNot: return wrapTo(base, ~operand->i(c));
      case Op::Negate:
        if (kind == Kind::Double) return toInteger(d(c));
        return wrapTo(base, static_cast<long long>(0ULL - static_cast<unsigned long long>(operand->i(c))));
      default: return kind == Kind::Double ? toInteger(operand->d(c)) : operand->i(c);
    }
  }
  double d(Ctx& c) override {
    if (kind != Kind::Double) return static_cast<double>(i(c));
    return op == Op::Negate ? -operand->d(c) : operand->d(c);
  }
};

struct Step : Node {  // ++x, --x, x++, x--
  Step(Kind k, SourcePos p, bool up, bool post) : Node(k, p), up(up), post(post) {}
  bool up, post;
  std::unique_ptr<LNode> target;
  long long i(Ctx& c) override {
    if (kind == Kind::Double) return toInteger(d(c));
    Cell& x = target->cell(c);
    const long long before = x.i;
    x.i = wrapTo(target->base, static_cast<long long>(static_cast<unsigned long long>(before) + (up ? 1ULL : ~0ULL)));
    return post ? before : x.i;
  }
  double d(Ctx& c) override {
    if (kind != Kind::Double) return static_cast<double>(i(c));
    Cell& x = target->cell(c);
    const double before = x.d;
    x.d = before + (up ? 1 : -1);
    return post ? before : x.d;
  }
};

struct Ternary : Node {
  Ternary(Kind k, SourcePos p) : Node(k, p) {}
  NodePtr cond, a, b;
  long long i(Ctx& c) override { return cond->truth(c) ? a->i(c) : b->i(c); }
  double d(Ctx& c) override { return cond->truth(c) ? a->d(c) : b->d(c); }
  std::string s(Ctx& c) override { return cond->truth(c) ? a->s(c) : b->s(c); }
  void run(Ctx& c) override { cond->truth(c) ? a->run(c) : b->run(c); }
};

struct Cast : Node {
  Cast(Kind k, SourcePos p, BaseType b) : Node(k, p), base(b) {}
  BaseType base;
  NodePtr operand;
  long long i(Ctx& c) override {
    if (base == BaseType::Bool) return operand->truth(c);
    return wrapTo(base, operand->kind == Kind::Double ? toInteger(operand->d(c)) : operand->i(c));
  }
  double d(Ctx& c) override {
    if (kind != Kind::Double) return static_cast<double>(i(c));
    const double v = operand->d(c);
    return base == BaseType::Float ? static_cast<float>(v) : v;
  }
  std::string s(Ctx& c) override {
    if (kind != Kind::String) return Node::s(c);
    return textOf(c, *operand, operand->kind == Kind::Int ? BaseType::Long : BaseType::Double);
  }
};

struct Comma : Node {
  Comma(Kind k, SourcePos p) : Node(k, p) {}
  NodePtr a, b;
  long long i(Ctx& c) override { a->run(c); return b->i(c); }
  double d(Ctx& c) override { a->run(c); return b->d(c); }
  std::string s(Ctx& c) override { a->run(c); return b->s(c); }
  void run(Ctx& c) override { a->run(c); b->run(c); }
};

// ---------------------------------------------------------------------------------------------
// Statements

enum class Flow : std::uint8_t { Normal, Break, Continue, Return };

struct SNode {
  virtual ~SNode() = default;
  virtual Flow exec(Ctx& c) = 0;
};
using SNodePtr = std::unique_ptr<SNode>;

struct Block : SNode {
  std::vector<SNodePtr> body;
  Flow exec(Ctx& c) override {
    for (auto& s : body) {
      const Flow f = s->exec(c);
      if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
  }
};

struct ExprS : SNode {
  NodePtr e;
  Flow exec(Ctx& c) override {
    e->run(c);
    return Flow::Normal;
  }
};

struct VarInit {
  bool global = false;
  std::size_t slot = 0;
  BaseType base = BaseType::Int;
  std::vector<NodePtr> sizes;  // arrays: one per dimension, null for a dynamic one
  bool isArray = false;
  NodePtr init;
  std::vector<NodePtr> initList;
};

void initialize(Ctx& c, VarInit& v, SourcePos pos) {
  Cell& x = v.global ? c.globals[v.slot] : c.locals[v.slot];
  x.ref = nullptr;
  if (v.isArray) {
    auto a = std::make_unique<ArrayData>();
    a->base = v.base;
    std::size_t total = 1;
    for (auto& sz : v.sizes) {
      long long n = sz ? sz->i(c) : 0;
      if (n < 0 || n > kMaxArrayCells) throw Fault(pos, "array size out of range");
      a->dims.push_back(static_cast<int>(n));
      total *= static_cast<std::size_t>(n);
      if (total > kMaxArrayCells) throw Fault(pos, "array too large");
    }
    if (v.sizes.empty()) a->dims.push_back(0);
    if (!v.initList.empty() && !v.sizes.empty() && !v.sizes[0] && a->dims.size() == 1) {
      a->dims[0] = static_cast<int>(v.initList.size());
      total = v.initList.size();
    }
    a->cells.resize(total);
    for (std::size_t k = 0; k < v.initList.size() && k < total; ++k) store(c, a->cells[k], v.base, *v.initList[k]);
    x.a = std::move(a);
    return;
  }
  if (v.init) {
    store(c, x, v.base, *v.init);
  } else {
    x.i = 0;
    x.d = 0;
    x.s.clear();
  }
}

struct Decl : SNode {
  std::vector<VarInit> vars;
  SourcePos pos;
  Flow exec(Ctx& c) override {
    for (auto& v : vars) initialize(c, v, pos);
    return Flow::Normal;
  }
};

struct If : SNode {
  NodePtr cond;
  SNodePtr then, otherwise;
  Flow exec(Ctx& c) override {
    if (cond->truth(c)) return then->exec(c);
    return otherwise ? otherwise->exec(c) : Flow::Normal;
  }
};

struct Machine;
void spendLoopTurn(Ctx& c, SourcePos pos);

struct Loop : SNode {
  StmtKind kind = StmtKind::While;
  SourcePos pos;
  SNodePtr init;
  NodePtr cond, step;
  SNodePtr body;
  Flow exec(Ctx& c) override {
    if (init) init->exec(c);
    if (kind == StmtKind::DoWhile) {
      do {
        spendLoopTurn(c, pos);
        const Flow f = body->exec(c);
        if (f == Flow::Break) break;
        if (f == Flow::Return) return f;
      } while (cond->truth(c));
      return Flow::Normal;
    }
    while (!cond || cond->truth(c)) {
      spendLoopTurn(c, pos);
      const Flow f = body->exec(c);
      if (f == Flow::Break) break;
      if (f == Flow::Return) return f;
      if (step) step->run(c);
    }
    return Flow::Normal;
  }
};

struct Switch : SNode {
  NodePtr value;
  std::vector<SNodePtr> body;
  std::vector<std::pair<long long, std::size_t>> labels;
  std::size_t defaultAt = static_cast<std::size_t>(-1);
  Flow exec(Ctx& c) override {
    const long long v = value->i(c);
    std::size_t from = defaultAt;
    for (const auto& [k, at] : labels)
      if (k == v) {
        from = at;
        break;
      }
    for (std::size_t n = from; n < body.size(); ++n) {
      const Flow f = body[n]->exec(c);
      if (f == Flow::Break) break;
      if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
  }
};

struct Simple : SNode {
  Flow f;
  explicit Simple(Flow f) : f(f) {}
  Flow exec(Ctx&) override { return f; }
};

struct Return : SNode {
  NodePtr value;
  BaseType base = BaseType::Void;
  Flow exec(Ctx& c) override;
};

// ---------------------------------------------------------------------------------------------
// Functions and the machine

struct Function {
  const FunctionDecl* decl = nullptr;
  Type returnType = kVoid;
  std::size_t frameSize = 0;
  std::vector<std::size_t> paramSlots;
  std::vector<BaseType> paramBases;
  std::vector<bool> paramByRef;
  std::vector<NodePtr> paramDefaults;
  std::unique_ptr<Block> body;
};

struct IndicatorCache;

struct Machine {
  std::vector<Cell> globals;
  std::vector<Cell> stack = std::vector<Cell>(kStackCells);
  std::size_t top = 0;
  Cell ret;
  SimulatedTerminal* term = nullptr;
  const ExpertTestSettings* settings = nullptr;
  std::string comment;
  long long loopTurns = 0;
  int depth = 0;
};

void spendLoopTurn(Ctx& c, SourcePos pos) {
  if (++c.m->loopTurns > c.m->settings->loopLimit) throw Fault(pos, "endless loop: the EA was stopped");
}

Flow Return::exec(Ctx& c) {
  if (value) {
    if (base == BaseType::Void)
      value->run(c);
    else
      store(c, c.m->ret, base, *value);
  }
  return Flow::Return;
}

struct UserCall : Node {
  UserCall(Kind k, SourcePos p) : Node(k, p) {}
  Function* fn = nullptr;
  std::vector<NodePtr> args;
  void call(Ctx& c) {
    Machine& m = *c.m;
    Function& f = *fn;
    if (m.top + f.frameSize > m.stack.size() || m.depth > 256) throw Fault(pos, "stack overflow");
    // The callee's frame is taken first, so that a call inside an argument builds its own
    // frame above it; the arguments are worked out in the caller's frame.
    Cell* frame = m.stack.data() + m.top;
    struct Restore {
      Ctx& c;
      Machine& m;
      Cell* saved;
      std::size_t size;
      ~Restore() {
        c.locals = saved;
        m.top -= size;
        --m.depth;
      }
    } restore{c, m, c.locals, f.frameSize};
    m.top += f.frameSize;
    ++m.depth;
    for (std::size_t k = 0; k < f.paramSlots.size(); ++k) {
      Cell& p = frame[f.paramSlots[k]];
      Node* a = k < args.size() ? args[k].get() : f.paramDefaults[k].get();
      if (f.paramByRef[k] && k < args.size()) {
        p.ref = &static_cast<LNode*>(a)->cell(c);
      } else {
        p.ref = nullptr;
        if (a) store(c, p, f.paramBases[k], *a);
      }
    }
    c.locals = frame;
    switch (kindOf(f.returnType)) {
      case Kind::Int: m.ret.i = 0; break;
      case Kind::Double: m.ret.d = 0; break;
      case Kind::String: m.ret.s.clear(); break;
      default: break;
    }
    f.body->exec(c);
  }
  long long i(Ctx& c) override {
    if (kind != Kind::Int) return Node::i(c);
    call(c);
    return c.m->ret.i;
  }
  double d(Ctx& c) override {
    if (kind != Kind::Double) return Node::d(c);
    call(c);
    return c.m->ret.d;
  }
  std::string s(Ctx& c) override {
    if (kind != Kind::String) return Node::s(c);
    call(c);
    return c.m->ret.s;
  }
  void run(Ctx& c) override { call(c); }
};

// ---------------------------------------------------------------------------------------------
// Built-in functions

enum class B {
  // account
  AccountBalance, AccountEquity, AccountFreeMargin, AccountProfit, AccountNumber, AccountLeverage, AccountCurrency,
  AccountName, AccountCompany, AccountServer,
  // market
  MarketInfo, Symbol, Period, RefreshRates, Bars, IBars, IOpen, IHigh, ILow, IClose, ITime, IVolume, IHighest, ILowest,
  // orders
  OrderSend, OrderModify, OrderClose, OrderSelect, OrdersTotal, OrdersHistoryTotal, OrderTicket, OrderType, OrderLots,
  OrderOpenPrice, OrderClosePrice, OrderStopLoss, OrderTakeProfit, OrderOpenTime, OrderCloseTime, OrderMagicNumber,
  OrderSymbol, OrderComment, OrderProfit, OrderExpiration, OrderCommission, OrderSwap,
  // indicators
  IMA, IRSI, IMACD, IOsMA, IBands, IStochastic, ISAR, IADX,
  // terminal state
  GetLastError, IsTesting, IsDemo, IsConnected, IsTradeAllowed, IsOptimization, IsVisualMode, IsStopped,
  IsExpertEnabled, IsTradeContextBusy, GetTickCount, Sleep, Print, Alert, Comment,
  // time
  TimeCurrent, TimeLocal, TimeToStr, TimeDay, TimeMonth, TimeYear, TimeHour, TimeMinute, TimeSeconds, TimeDayOfWeek,
  TimeDayOfYear, Day, Month, Year, Hour, Minute, Seconds, DayOfWeek, DayOfYear,
  // math
  MathAbs, MathFloor, MathCeil, MathRound, MathSqrt, MathPow, MathMax, MathMin, MathLog, MathExp, MathMod,
  NormalizeDouble,
  // strings and conversion
  DoubleToStr, IntegerToString, StringLen, StringSubstr, StringFind, StrToDouble, StrToInteger, StringConcatenate,
  StringTrimLeft, StringTrimRight, TimeToStrIgnored,
  // arrays
  ArraySize, ArrayResize, ArrayInitialize, ArrayRange,
};

const std::unordered_map<std::string_view, B>& builtinIds() {
  static const std::unordered_map<std::string_view, B> ids = {
      {"AccountBalance", B::AccountBalance}, {"AccountEquity", B::AccountEquity},
      {"AccountFreeMargin", B::AccountFreeMargin}, {"AccountProfit", B::AccountProfit},
      {"AccountNumber", B::AccountNumber}, {"AccountLeverage", B::AccountLeverage},
      {"AccountCurrency", B::AccountCurrency}, {"AccountName", B::AccountName},
      {"AccountCompany", B::AccountCompany}, {"AccountServer", B::AccountServer},
      {"MarketInfo", B::MarketInfo}, {"Symbol", B::Symbol}, {"Period", B::Period}, {"RefreshRates", B::RefreshRates},
      {"iBars", B::IBars}, {"iOpen", B::IOpen}, {"iHigh", B::IHigh}, {"iLow", B::ILow}, {"iClose", B::IClose},
      {"iTime", B::ITime}, {"iVolume", B::IVolume}, {"iHighest", B::IHighest}, {"iLowest", B::ILowest},
      {"OrderSend", B::OrderSend}, {"OrderModify", B::OrderModify}, {"OrderClose", B::OrderClose},
      {"OrderSelect", B::OrderSelect}, {"OrdersTotal", B::OrdersTotal}, {"OrdersHistoryTotal", B::OrdersHistoryTotal},
      {"OrderTicket", B::OrderTicket}, {"OrderType", B::OrderType}, {"OrderLots", B::OrderLots},
      {"OrderOpenPrice", B::OrderOpenPrice}, {"OrderClosePrice", B::OrderClosePrice},
      {"OrderStopLoss", B::OrderStopLoss}, {"OrderTakeProfit", B::OrderTakeProfit},
      {"OrderOpenTime", B::OrderOpenTime}, {"OrderCloseTime", B::OrderCloseTime},
      {"OrderMagicNumber", B::OrderMagicNumber}, {"OrderSymbol", B::OrderSymbol}, {"OrderComment", B::OrderComment},
      {"OrderProfit", B::OrderProfit}, {"OrderExpiration", B::OrderExpiration},
      {"OrderCommission", B::OrderCommission}, {"OrderSwap", B::OrderSwap},
      {"iMA", B::IMA}, {"iRSI", B::IRSI}, {"iMACD", B::IMACD}, {"iOsMA", B::IOsMA}, {"iBands", B::IBands},
      {"iStochastic", B::IStochastic}, {"iSAR", B::ISAR}, {"iADX", B::IADX},
      {"GetLastError", B::GetLastError}, {"IsTesting", B::IsTesting}, {"IsDemo", B::IsDemo},
      {"IsConnected", B::IsConnected}, {"IsTradeAllowed", B::IsTradeAllowed}, {"IsOptimization", B::IsOptimization},
      {"IsVisualMode", B::IsVisualMode}, {"IsStopped", B::IsStopped}, {"IsExpertEnabled", B::IsExpertEnabled},
      {"IsTradeContextBusy", B::IsTradeContextBusy}, {"GetTickCount", B::GetTickCount}, {"Sleep", B::Sleep},
      {"Print", B::Print}, {"Alert", B::Alert}, {"Comment", B::Comment},
      {"TimeCurrent", B::TimeCurrent}, {"TimeLocal", B::TimeLocal}, {"TimeToStr", B::TimeToStr},
      {"TimeToString", B::TimeToStr}, {"TimeDay", B::TimeDay}, {"TimeMonth", B::TimeMonth}, {"TimeYear", B::TimeYear},
      {"TimeHour", B::TimeHour}, {"TimeMinute", B::TimeMinute}, {"TimeSeconds", B::TimeSeconds},
      {"TimeDayOfWeek", B::TimeDayOfWeek}, {"TimeDayOfYear", B::TimeDayOfYear}, {"Day", B::Day}, {"Month", B::Month},
      {"Year", B::Year}, {"Hour", B::Hour}, {"Minute", B::Minute}, {"Seconds", B::Seconds},
      {"DayOfWeek", B::DayOfWeek}, {"DayOfYear", B::DayOfYear},
      {"MathAbs", B::MathAbs}, {"fabs", B::MathAbs}, {"MathFloor", B::MathFloor}, {"floor", B::MathFloor},
      {"MathCeil", B::MathCeil}, {"ceil", B::MathCeil}, {"MathRound", B::MathRound}, {"round", B::MathRound},
      {"MathSqrt", B::MathSqrt}, {"sqrt", B::MathSqrt}, {"MathPow", B::MathPow}, {"pow", B::MathPow},
      {"MathMax", B::MathMax}, {"fmax", B::MathMax}, {"MathMin", B::MathMin}, {"fmin", B::MathMin},
      {"MathLog", B::MathLog}, {"log", B::MathLog}, {"MathExp", B::MathExp}, {"exp", B::MathExp},
      {"MathMod", B::MathMod}, {"fmod", B::MathMod}, {"NormalizeDouble", B::NormalizeDouble},
      {"DoubleToStr", B::DoubleToStr}, {"DoubleToString", B::DoubleToStr}, {"IntegerToString", B::IntegerToString},
      {"StringLen", B::StringLen}, {"StringSubstr", B::StringSubstr}, {"StringFind", B::StringFind},
      {"StrToDouble", B::StrToDouble}, {"StringToDouble", B::StrToDouble}, {"StrToInteger", B::StrToInteger},
      {"StringToInteger", B::StrToInteger}, {"StringConcatenate", B::StringConcatenate},
      {"StringTrimLeft", B::StringTrimLeft}, {"StringTrimRight", B::StringTrimRight},
      {"ArraySize", B::ArraySize}, {"ArrayResize", B::ArrayResize}, {"ArrayInitialize", B::ArrayInitialize},
      {"ArrayRange", B::ArrayRange},
  };
  return ids;
}

Kind kindOfBuiltin(B id) {
  switch (id) {
    case B::AccountCurrency: case B::AccountName: case B::AccountCompany: case B::AccountServer: case B::Symbol:
    case B::OrderSymbol: case B::OrderComment: case B::TimeToStr: case B::DoubleToStr: case B::IntegerToString:
    case B::StringSubstr: case B::StringConcatenate: case B::StringTrimLeft: case B::StringTrimRight:
      return Kind::String;
    case B::AccountBalance: case B::AccountEquity: case B::AccountFreeMargin: case B::AccountProfit:
    case B::MarketInfo: case B::IOpen: case B::IHigh: case B::ILow: case B::IClose: case B::OrderLots:
    case B::OrderOpenPrice: case B::OrderClosePrice: case B::OrderStopLoss: case B::OrderTakeProfit:
    case B::OrderProfit: case B::OrderCommission: case B::OrderSwap: case B::IMA: case B::IRSI: case B::IMACD:
    case B::IOsMA: case B::IBands: case B::IStochastic: case B::ISAR: case B::IADX: case B::MathAbs:
    case B::MathFloor: case B::MathCeil: case B::MathRound: case B::MathSqrt: case B::MathPow: case B::MathMax:
    case B::MathMin: case B::MathLog: case B::MathExp: case B::MathMod: case B::NormalizeDouble:
    case B::StrToDouble:
      return Kind::Double;
    case B::Print: case B::Alert: case B::Comment: case B::Sleep: case B::ArrayInitialize:
      return Kind::Void;
    default:
      return Kind::Int;
  }
}

// One indicator object per call site, made again only when the call's parameters change: the
// generated EA calls each with constant parameters, so a tick costs no lookup.
struct IndicatorSlot {
  std::vector<double> params;
  int minutes = -1;
  const BarSeries* bars = nullptr;
  std::unique_ptr<MovingAverage> ma;
  std::unique_ptr<Rsi> rsi;
  std::unique_ptr<Macd> macd;
  std::unique_ptr<BollingerBands> bands;
  std::unique_ptr<Stochastic> stochastic;
  std::unique_ptr<ParabolicSar> sar;
  std::unique_ptr<Adx> adx;
};

struct BuiltinCall : Node {
  BuiltinCall(Kind k, SourcePos p, B id) : Node(k, p), id(id) {}
  B id;
  std::vector<NodePtr> args;
  std::vector<BaseType> argBases;
  IndicatorSlot slot;

  SimulatedTerminal& term(Ctx& c) { return *c.m->term; }
  int ai(Ctx& c, std::size_t k) { return static_cast<int>(args[k]->i(c)); }
  double ad(Ctx& c, std::size_t k) { return args[k]->d(c); }
  std::string as(Ctx& c, std::size_t k) { return args[k]->s(c); }
  // The symbol argument: "" stands for NULL, the chart's symbol.
  std::string symbolArg(Ctx& c, std::size_t k) { return args[k]->kind == Kind::String ? args[k]->s(c) : std::string(); }

  const SimulatedTerminal::Order* order(Ctx& c) {
    const SimulatedTerminal::Order* o = term(c).selected();
    if (!o) term(c).setLastError(kErrNoOrderSelected);
    return o;
  }

  double series(Ctx& c, int field) {
    if (!term(c).isOurSymbol(symbolArg(c, 0))) {
      term(c).setLastError(kErrUnknownSymbol);
      return 0;
    }
    return seriesAt(c, ai(c, 1), field, ai(c, 2));
  }
  double seriesAt(Ctx& c, int minutes, int field, long long shift) {
    try {
      return term(c).seriesValue(minutes, field, shift);
    } catch (const std::runtime_error& e) {
      throw Fault(pos, e.what());
    }
  }

  // The frame of the indicator's timeframe, with the indicator built for the call's
  // parameters when they differ from the last call's.
  const SimulatedTerminal::Frame& indicatorFrame(Ctx& c, int minutes, const std::vector<double>& params) {
    if (!term(c).isOurSymbol(symbolArg(c, 0))) throw Fault(pos, "an indicator of another symbol cannot be computed");
    const SimulatedTerminal::Frame* f;
    try {
      f = &term(c).frame(minutes);
    } catch (const std::runtime_error& e) {
      throw Fault(pos, e.what());
    }
    if (slot.bars != f->bars || slot.params != params) {
      const BarSeries& bars = *f->bars;
      slot = IndicatorSlot{};
      slot.bars = f->bars;
      slot.params = params;
      auto whole = [&](double v) {
        if (!(v >= -1e9 && v <= 1e9)) throw Fault(pos, "indicator parameter out of range: " + doubleText(v, 0));
        return static_cast<int>(v);
      };
      auto method = [&](double v) {
        auto m = maMethodFromNumber(whole(v));
        if (!m) throw Fault(pos, "unknown moving average method " + doubleText(v, 0));
        return *m;
      };
      auto price = [&](double v) {
        auto p = appliedPriceFromNumber(whole(v));
        if (!p) throw Fault(pos, "unknown applied price " + doubleText(v, 0));
        return *p;
      };
      try {
        switch (id) {
          case B::IMA: slot.ma = std::make_unique<MovingAverage>(bars, whole(params[0]), method(params[1]), price(params[2])); break;
          case B::IRSI: slot.rsi = std::make_unique<Rsi>(bars, whole(params[0]), price(params[1])); break;
          case B::IMACD:
          case B::IOsMA:
            slot.macd = std::make_unique<Macd>(bars, whole(params[0]), whole(params[1]), whole(params[2]), price(params[3]));
            break;
          case B::IBands: slot.bands = std::make_unique<BollingerBands>(bars, whole(params[0]), params[1], price(params[2])); break;
          case B::IStochastic:
            slot.stochastic = std::make_unique<Stochastic>(bars, whole(params[0]), whole(params[1]), whole(params[2]),
                                                           method(params[3]),
                                                           params[4] == 1 ? StochasticPriceField::CloseClose
                                                                          : StochasticPriceField::LowHigh);
            break;
          case B::ISAR: slot.sar = std::make_unique<ParabolicSar>(bars, params[0], params[1]); break;
          case B::IADX: slot.adx = std::make_unique<Adx>(bars, whole(params[0])); break;
          default: break;
        }
      } catch (const std::invalid_argument& e) {
        throw Fault(pos, e.what());
      }
    }
    return *f;
  }

  // The value at `shift` from a finished bar's series, or from the forming bar.
  template <typename Values, typename Forming>
  static double valueAt(const SimulatedTerminal::Frame& f, int shift, int lineShift, const Values& values,
                        Forming forming) {
    const auto bar = barAtShift(f.current, shift, lineShift);
    if (!bar) return kNaN;
    if (*bar == f.current) return forming();
    return values[*bar];
  }

  double indicator(Ctx& c) {
    switch (id) {
      case B::IMA: {  // symbol, tf, period, ma_shift, method, price, shift
        const int maShift = ai(c, 3);
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 4), ad(c, 5)});
        return valueAt(f, ai(c, 6), maShift, slot.ma->values(), [&] { return slot.ma->forming(f.current, f.forming); });
      }
      case B::IRSI: {  // symbol, tf, period, price, shift
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3)});
        return valueAt(f, ai(c, 4), 0, slot.rsi->values(), [&] { return slot.rsi->forming(f.current, f.forming); });
      }
      case B::IMACD: {  // symbol, tf, fast, slow, signal, price, mode, shift
        const int mode = ai(c, 6);
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3), ad(c, 4), ad(c, 5)});
        const auto& line = mode == 1 ? slot.macd->signal() : slot.macd->main();
        return valueAt(f, ai(c, 7), 0, line, [&] {
          const MacdValues v = slot.macd->forming(f.current, f.forming);
          return mode == 1 ? v.signal : v.main;
        });
      }
      case B::IOsMA: {  // symbol, tf, fast, slow, signal, price, shift
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3), ad(c, 4), ad(c, 5)});
        return valueAt(f, ai(c, 6), 0, slot.macd->osma(),
                       [&] { return slot.macd->forming(f.current, f.forming).osma; });
      }
      case B::IBands: {  // symbol, tf, period, deviation, bands_shift, price, mode, shift
        const int mode = ai(c, 6);
        const int bandsShift = ai(c, 4);
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3), ad(c, 5)});
        const auto& line = mode == 1 ? slot.bands->upper() : mode == 2 ? slot.bands->lower() : slot.bands->middle();
        return valueAt(f, ai(c, 7), bandsShift, line, [&] {
          const BandsValues v = slot.bands->forming(f.current, f.forming);
          return mode == 1 ? v.upper : mode == 2 ? v.lower : v.middle;
        });
      }
      case B::IStochastic: {  // symbol, tf, K, D, slowing, method, price_field, mode, shift
        const int mode = ai(c, 7);
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3), ad(c, 4), ad(c, 5), ad(c, 6)});
        const auto& line = mode == 1 ? slot.stochastic->signal() : slot.stochastic->main();
        return valueAt(f, ai(c, 8), 0, line, [&] {
          const StochasticValues v = slot.stochastic->forming(f.current, f.forming);
          return mode == 1 ? v.signal : v.main;
        });
      }
      case B::ISAR: {  // symbol, tf, step, maximum, shift
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2), ad(c, 3)});
        return valueAt(f, ai(c, 4), 0, slot.sar->values(), [&] { return slot.sar->forming(f.current, f.forming); });
      }
      case B::IADX: {  // symbol, tf, period, price, mode, shift
        const int mode = ai(c, 4);
        const auto& f = indicatorFrame(c, ai(c, 1), {ad(c, 2)});
        const auto& line = mode == 1 ? slot.adx->plusDi() : mode == 2 ? slot.adx->minusDi() : slot.adx->main();
        return valueAt(f, ai(c, 5), 0, line, [&] {
          const AdxValues v = slot.adx->forming(f.current, f.forming);
          return mode == 1 ? v.plusDi : mode == 2 ? v.minusDi : v.main;
        });
      }
      default: return 0;
    }
  }

  std::string joined(Ctx& c) {
    std::string out;
    for (std::size_t k = 0; k < args.size(); ++k) {
      if (args[k]->kind == Kind::Double)
        out += doubleText(args[k]->d(c), 8);
      else
        out += textOf(c, *args[k], argBases[k]);
    }
    return out;
  }

  void log(Ctx& c, const std::string& text) {
    const auto& sink = c.m->settings->log;
    if (sink) sink(timeText(term(c).time(), 7) + "  " + text);
  }

  long long timePart(long long t, int part) {
    const long long days = market_detail::floorDiv(t, 86400);
    const long long sec = t - days * 86400;
    const auto civil = market_detail::civilFromDays(days);
    switch (part) {
      case 0: return civil.day;
      case 1: return civil.month;
      case 2: return civil.year;
      case 3: return sec / 3600;
      case 4: return sec / 60 % 60;
      case 5: return sec % 60;
      case 6: return ((days % 7) + 11) % 7;  // 1970-01-01 was a Thursday (4); Sunday is 0
      default: return days - market_detail::daysFromCivil(civil.year, 1, 1) + 1;
    }
  }

  ArrayData* arrayArg(Ctx& c, std::size_t k) {
    ArrayData* a = static_cast<LNode*>(args[k].get())->cell(c).a.get();
    if (!a) throw Fault(pos, "array expected");
    return a;
  }

  long long i(Ctx& c) override {
    SimulatedTerminal& t = term(c);
    switch (id) {
      case B::AccountNumber: return 0;
      case B::AccountLeverage: return 100;
      case B::Period: return t.period();
      case B::RefreshRates: return 1;
      case B::IBars:
        if (!t.isOurSymbol(symbolArg(c, 0))) return 0;
        try {
          return t.seriesBars(ai(c, 1));
        } catch (const std::runtime_error& e) {
          throw Fault(pos, e.what());
        }
      case B::ITime: {
        const double v = series(c, 5);
        return std::isnan(v) ? 0 : static_cast<long long>(v);
      }
      case B::IVolume: {
        const double v = series(c, 4);
        return std::isnan(v) ? 0 : static_cast<long long>(v);
      }
      case B::IHighest:
      case B::ILowest: {  // symbol, tf, type, count, start
        if (!t.isOurSymbol(symbolArg(c, 0))) return -1;
        try {
          const int field = ai(c, 2);
          const int count = ai(c, 3);
          const int start = ai(c, 4);
          return t.extremeShift(ai(c, 1), field, count, start, id == B::IHighest);
        } catch (const std::runtime_error& e) {
          throw Fault(pos, e.what());
        }
      }
      case B::OrderSend: {
        const std::string sym = symbolArg(c, 0);
        const int cmd = ai(c, 1);
        const double lots = ad(c, 2);
        const double price = ad(c, 3);
        (void)ai(c, 4);
        const double sl = ad(c, 5);
        const double tp = ad(c, 6);
        const std::string comment = args[7]->kind == Kind::String ? as(c, 7) : std::string();
        const int magic = ai(c, 8);
        (void)args[9]->i(c);
        (void)args[10]->i(c);
        return t.orderSend(sym, cmd, lots, price, sl, tp, comment, magic);
      }
      case B::OrderModify: {
        const int ticket = ai(c, 0);
        (void)ad(c, 1);
        const double sl = ad(c, 2);
        const double tp = ad(c, 3);
        (void)args[4]->i(c);
        (void)args[5]->i(c);
        return t.orderModify(ticket, sl, tp);
      }
      case B::OrderClose: {
        const int ticket = ai(c, 0);
        const double lots = ad(c, 1);
        const double price = ad(c, 2);
        (void)ai(c, 3);
        (void)args[4]->i(c);
        return t.orderClose(ticket, lots, price);
      }
      case B::OrderSelect: {
        const long long index = args[0]->i(c);
        const int select = ai(c, 1);
        const int pool = ai(c, 2);
        return t.orderSelect(index, select, pool);
      }
      case B::OrdersTotal: return t.ordersTotal();
      case B::OrdersHistoryTotal: return t.ordersHistoryTotal();
      case B::OrderTicket: { auto* o = order(c); return o ? o->ticket : 0; }
      case B::OrderType: { auto* o = order(c); return o ? o->type : 0; }
      case B::OrderOpenTime: { auto* o = order(c); return o ? o->openTime : 0; }
      case B::OrderCloseTime: { auto* o = order(c); return o ? o->closeTime : 0; }
      case B::OrderMagicNumber: { auto* o = order(c); return o ? o->magic : 0; }
      case B::OrderExpiration: return 0;
      case B::GetLastError: return t.takeLastError();
      case B::IsTesting: case B::IsDemo: case B::IsConnected: case B::IsTradeAllowed: case B::IsExpertEnabled:
        return 1;
      case B::IsOptimization: case B::IsVisualMode: case B::IsStopped: case B::IsTradeContextBusy: return 0;
      case B::GetTickCount: return 0;  // no wall clock: a run is the same on every machine
      case B::TimeCurrent: case B::TimeLocal: return t.time();
      case B::TimeDay: return timePart(args[0]->i(c), 0);
      case B::TimeMonth: return timePart(args[0]->i(c), 1);
      case B::TimeYear: return timePart(args[0]->i(c), 2);
      case B::TimeHour: return timePart(args[0]->i(c), 3);
      case B::TimeMinute: return timePart(args[0]->i(c), 4);
      case B::TimeSeconds: return timePart(args[0]->i(c), 5);
      case B::TimeDayOfWeek: return timePart(args[0]->i(c), 6);
      case B::TimeDayOfYear: return timePart(args[0]->i(c), 7);
      case B::Day: return timePart(t.time(), 0);
      case B::Month: return timePart(t.time(), 1);
      case B::Year: return timePart(t.time(), 2);
      case B::Hour: return timePart(t.time(), 3);
      case B::Minute: return timePart(t.time(), 4);
      case B::Seconds: return timePart(t.time(), 5);
      case B::DayOfWeek: return timePart(t.time(), 6);
      case B::DayOfYear: return timePart(t.time(), 7);
      case B::StringLen: return static_cast<long long>(as(c, 0).size());
      case B::StringFind: {
        const std::string s = as(c, 0), what = as(c, 1);
        const long long from = args.size() > 2 ? args[2]->i(c) : 0;
        if (from < 0 || static_cast<std::size_t>(from) > s.size()) return -1;
        const auto at = s.find(what, static_cast<std::size_t>(from));
        return at == std::string::npos ? -1 : static_cast<long long>(at);
      }
      case B::StrToInteger: return parseInteger(as(c, 0));
      case B::ArraySize: {
        const ArrayData* a = arrayArg(c, 0);
        return static_cast<long long>(a->cells.size());
      }
      case B::ArrayRange: {
        const ArrayData* a = arrayArg(c, 0);
        const long long dim = args[1]->i(c);
        if (dim < 0 || static_cast<std::size_t>(dim) >= a->dims.size()) return 0;
        return a->dims[static_cast<std::size_t>(dim)];
      }
      case B::ArrayResize: {
        ArrayData* a = arrayArg(c, 0);
        const long long n = args[1]->i(c);
        if (n < 0 || static_cast<unsigned long long>(n) * a->inner() > kMaxArrayCells) return -1;
        a->dims[0] = static_cast<int>(n);
        a->cells.resize(static_cast<std::size_t>(n) * a->inner());
        return static_cast<long long>(a->cells.size());
      }
      default:
        if (kind == Kind::Double) return toInteger(d(c));
        if (kind == Kind::String) return parseInteger(s(c));
        run(c);
        return 0;
    }
  }

  double d(Ctx& c) override {
    if (kind != Kind::Double) return static_cast<double>(i(c));
    SimulatedTerminal& t = term(c);
    switch (id) {
      case B::AccountBalance: return t.balance();
      case B::AccountEquity: case B::AccountFreeMargin: return t.equity();
      case B::AccountProfit: return t.openProfit();
      case B::MarketInfo: {
        const std::string sym = symbolArg(c, 0);
        return t.marketInfo(sym, ai(c, 1));
      }
      case B::IOpen: return series(c, 0);
      case B::ILow: return series(c, 1);
      case B::IHigh: return series(c, 2);
      case B::IClose: return series(c, 3);
      case B::OrderLots: { auto* o = order(c); return o ? o->lots : 0; }
      case B::OrderOpenPrice: { auto* o = order(c); return o ? o->openPrice : 0; }
      case B::OrderClosePrice: {
        auto* o = order(c);
        if (!o) return 0;
        if (o->closeTime) return o->closePrice;
        return o->type == 0 ? t.bid() : t.ask();
      }
      case B::OrderStopLoss: { auto* o = order(c); return o ? t.priceOfPoints(o->stopLoss) : 0; }
      case B::OrderTakeProfit: { auto* o = order(c); return o ? t.priceOfPoints(o->takeProfit) : 0; }
      case B::OrderProfit: {
        auto* o = order(c);
        if (!o) return 0;
        return o->closeTime ? o->profit : t.profitNow(*o);
      }
      case B::OrderCommission: case B::OrderSwap: return 0;
      case B::IMA: case B::IRSI: case B::IMACD: case B::IOsMA: case B::IBands: case B::IStochastic: case B::ISAR:
      case B::IADX:
        return indicator(c);
      case B::MathAbs: return std::fabs(ad(c, 0));
      case B::MathFloor: return std::floor(ad(c, 0));
      case B::MathCeil: return std::ceil(ad(c, 0));
      case B::MathRound: return std::round(ad(c, 0));
      case B::MathSqrt: return std::sqrt(ad(c, 0));
      case B::MathPow: { const double a = ad(c, 0); return std::pow(a, ad(c, 1)); }
      case B::MathMax: { const double a = ad(c, 0); return std::max(a, ad(c, 1)); }
      case B::MathMin: { const double a = ad(c, 0); return std::min(a, ad(c, 1)); }
      case B::MathLog: return std::log(ad(c, 0));
      case B::MathExp: return std::exp(ad(c, 0));
      case B::MathMod: { const double a = ad(c, 0); return std::fmod(a, ad(c, 1)); }
      case B::NormalizeDouble: {
        const double v = ad(c, 0);
        return normalizePrice(v, std::clamp(ai(c, 1), 0, 8));
      }
      case B::StrToDouble: return parseDouble(as(c, 0));
      default: return 0;
    }
  }

  std::string s(Ctx& c) override {
    if (kind != Kind::String) return Node::s(c);
    SimulatedTerminal& t = term(c);
    switch (id) {
      case B::AccountCurrency: return t.symbol().size() >= 6 ? t.symbol().substr(3, 3) : std::string();
      case B::AccountName: case B::AccountCompany: case B::AccountServer: return "Zorvik";
      case B::Symbol: return t.symbol();
      case B::OrderSymbol: { auto* o = order(c); return o ? t.symbol() : std::string(); }
      case B::OrderComment: { auto* o = order(c); return o ? o->comment : std::string(); }
      case B::TimeToStr: { const long long v = args[0]->i(c); return timeText(v, ai(c, 1)); }
      case B::DoubleToStr: { const double v = ad(c, 0); return doubleText(v, ai(c, 1)); }
      case B::IntegerToString: return std::to_string(args[0]->i(c));
      case B::StringSubstr: {
        const std::string s = as(c, 0);
        const long long from = args[1]->i(c);
        const long long len = args[2]->i(c);
        if (from < 0 || static_cast<std::size_t>(from) >= s.size()) return {};
        return s.substr(static_cast<std::size_t>(from), len < 0 ? std::string::npos : static_cast<std::size_t>(len));
      }
      case B::StringConcatenate: return joined(c);
      case B::StringTrimLeft: {
        const std::string s = as(c, 0);
        const auto at = s.find_first_not_of(" \t\r\n");
        return at == std::string::npos ? std::string() : s.substr(at);
      }
      case B::StringTrimRight: {
        const std::string s = as(c, 0);
        const auto at = s.find_last_not_of(" \t\r\n");
        return at == std::string::npos ? std::string() : s.substr(0, at + 1);
      }
      default: return {};
    }
  }

  void run(Ctx& c) override {
    switch (id) {
      case B::Print: case B::Alert: log(c, joined(c)); return;
      case B::Comment: c.m->comment = joined(c); return;
      case B::Sleep: (void)args[0]->i(c); return;
      case B::ArrayInitialize: {
        ArrayData* a = arrayArg(c, 0);
        for (Cell& x : a->cells) store(c, x, a->base, *args[1]);
        return;
      }
      default: Node::run(c); return;
    }
  }
};

// The chart's predefined variables and series.
enum class Predefined { Bid, Ask, Point, Digits, Bars, Symbol, Period, LastError, Open, High, Low, Close, Time, Volume };

struct PredefinedValue : Node {
  PredefinedValue(Kind k, SourcePos p, Predefined w) : Node(k, p), what(w) {}
  Predefined what;
  long long i(Ctx& c) override {
    SimulatedTerminal& t = *c.m->term;
    switch (what) {
      case Predefined::Digits: return t.digits();
      case Predefined::Bars: return t.bars();
      case Predefined::Period: return t.period();
      case Predefined::LastError: return t.lastError();
      default: return toInteger(d(c));
    }
  }
  double d(Ctx& c) override {
    SimulatedTerminal& t = *c.m->term;
    switch (what) {
      case Predefined::Bid: return t.bid();
      case Predefined::Ask: return t.ask();
      case Predefined::Point: return t.point();
      default: return static_cast<double>(i(c));
    }
  }
  std::string s(Ctx& c) override {
    if (what == Predefined::Symbol) return c.m->term->symbol();
    return Node::s(c);
  }
};

struct SeriesElement : Node {
  SeriesElement(Kind k, SourcePos p, int field) : Node(k, p), field(field) {}
  int field;  // MODE_OPEN .. MODE_TIME
  NodePtr index;
  double value(Ctx& c) { return c.m->term->seriesValue(0, field, index->i(c)); }
  long long i(Ctx& c) override {
    const double v = value(c);
    return std::isnan(v) ? 0 : static_cast<long long>(v);
  }
  double d(Ctx& c) override { return kind == Kind::Double ? value(c) : static_cast<double>(i(c)); }
};

// ---------------------------------------------------------------------------------------------
// Translation of the checked tree

struct Compiler {
  std::unordered_map<const VarDecl*, std::pair<bool, std::size_t>> slots;  // global?, slot
  std::unordered_map<const FunctionDecl*, Function*> functions;
  std::unordered_map<std::string, Function*> byName;
  std::size_t globalCount = 0;
  std::size_t localCount = 0;
  std::vector<std::unique_ptr<Decl>> staticInits;
  std::string error;

  [[noreturn]] void fail(SourcePos p, const std::string& why) { throw Fault(p, why); }

  std::unique_ptr<LNode> variable(SourcePos p, const VarDecl* v) {
    auto it = slots.find(v);
    if (it == slots.end()) fail(p, "'" + v->name + "' is used before the interpreter knows it");
    const Kind k = kindOf(v->type);
    if (it->second.first) return std::make_unique<GlobalVar>(k, p, v->type.base, it->second.second);
    return std::make_unique<LocalVar>(k, p, v->type.base, it->second.second);
  }

  static NodePtr constantOf(SourcePos p, const BuiltinValue& v) {
    if (v.type.base == BaseType::Double || v.type.base == BaseType::Float) return std::make_unique<DoubleConst>(p, v.doubleValue);
    if (v.type.base == BaseType::String) return std::make_unique<StringConst>(p, std::string());
    if (v.type.base == BaseType::Null) return std::make_unique<IntConst>(p, 0);
    return std::make_unique<IntConst>(p, v.intValue);
  }

  NodePtr predefined(SourcePos p, const BuiltinValue& v, Type t) {
    static const std::unordered_map<std::string_view, Predefined> names = {
        {"Bid", Predefined::Bid},       {"Ask", Predefined::Ask},         {"Point", Predefined::Point},
        {"_Point", Predefined::Point},  {"Digits", Predefined::Digits},   {"_Digits", Predefined::Digits},
        {"Bars", Predefined::Bars},     {"_Symbol", Predefined::Symbol},  {"_Period", Predefined::Period},
        {"_LastError", Predefined::LastError},
    };
    auto it = names.find(v.name);
    if (it == names.end()) fail(p, "the interpreter does not provide '" + v.name + "'");
    return std::make_unique<PredefinedValue>(kindOf(t), p, it->second);
  }

  // A default written in the built-in table: a number, a constant, "A|B", NULL or a string.
  NodePtr defaultArg(SourcePos p, const BuiltinParam& param) {
    const std::string& text = param.defaultText;
    const Kind k = kindOf(param.type);
    if (text == "NULL" || text.empty()) {
      if (k == Kind::String) return std::make_unique<StringConst>(p, std::string());
      return std::make_unique<IntConst>(p, 0);
    }
    if (text.size() >= 2 && text.front() == '"') return std::make_unique<StringConst>(p, text.substr(1, text.size() - 2));
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
        if (bar == std::string::npos && from == 0 && k == Kind::Double) return std::make_unique<DoubleConst>(p, number);
        bits |= static_cast<long long>(number);
      }
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    if (!allKnown) fail(p, "the interpreter cannot use the default value '" + text + "'");
    if (k == Kind::Double) return std::make_unique<DoubleConst>(p, static_cast<double>(bits));
    return std::make_unique<IntConst>(p, bits);
  }

  Kind operandKind(const Expr& a, const Expr& b) {
    const Kind ka = kindOf(a.type), kb = kindOf(b.type);
    if (ka == Kind::String || kb == Kind::String) return Kind::String;
    if (ka == Kind::Double || kb == Kind::Double) return Kind::Double;
    return Kind::Int;
  }

  std::unique_ptr<LNode> lvalue(Expr& e) {
    NodePtr n = expr(e);
    auto* l = dynamic_cast<LNode*>(n.get());
    if (!l) fail(e.pos, "a variable is needed here");
    n.release();
    return std::unique_ptr<LNode>(l);
  }

  NodePtr expr(Expr& e) {
    const Kind k = kindOf(e.type);
    switch (e.kind) {
      case ExprKind::Literal: {
        auto& l = static_cast<LiteralExpr&>(e);
        if (l.literalType.base == BaseType::String) return std::make_unique<StringConst>(e.pos, l.stringValue);
        if (l.literalType.base == BaseType::Double || l.literalType.base == BaseType::Float)
          return std::make_unique<DoubleConst>(e.pos, l.doubleValue);
        if (l.literalType.base == BaseType::Null && k == Kind::String) return std::make_unique<StringConst>(e.pos, "");
        return std::make_unique<IntConst>(e.pos, l.intValue);
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
            auto s = std::make_unique<SeriesElement>(k, e.pos, f->second);
            s->index = expr(*indices[0]);
            return s;
          }
        }
        auto el = std::make_unique<Element>(k, e.pos, e.type.base);
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
            auto s = std::make_unique<Step>(k, e.pos, u.op == Op::PreIncrement || u.op == Op::PostIncrement,
                                            u.op == Op::PostIncrement || u.op == Op::PostDecrement);
            s->target = lvalue(*u.operand);
            if (s->target->kind != k) fail(e.pos, "the interpreter does not step this value");
            return s;
          }
          default: {
            auto n = std::make_unique<Unary>(k, e.pos, u.op);
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
        auto a = std::make_unique<Assign>(k, e.pos);
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
          const Kind ok = operandKind(*b.left, *b.right);
          if (ok == Kind::Double && resultType.base != BaseType::Float) resultType = kDouble;
          if (ok == Kind::String) resultType = kString;
          if (ok == Kind::Int) resultType = b.left->type.base == BaseType::Long || b.right->type.base == BaseType::Long ? kLong : b.left->type;
          a->value = binary(e.pos, op, resultType, *b.left, expr(*b.left), *b.right, expr(*b.right));
        }
        return a;
      }
      case ExprKind::Ternary: {
        auto& t = static_cast<TernaryExpr&>(e);
        auto n = std::make_unique<Ternary>(k, e.pos);
        n->cond = expr(*t.condition);
        n->a = expr(*t.whenTrue);
        n->b = expr(*t.whenFalse);
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
        auto n = std::make_unique<Comma>(k, e.pos);
        n->a = expr(*b.left);
        n->b = expr(*b.right);
        return n;
      }
    }
    fail(e.pos, "an expression the interpreter does not run");
  }

  NodePtr binary(SourcePos p, Op op, Type type, const Expr& le, NodePtr l, const Expr& re, NodePtr r) {
    Kind operands = operandKind(le, re);
    Kind k = kindOf(type);
    if (op == Op::And || op == Op::Or) operands = Kind::Int;
    // NULL beside a string is the empty string.
    if (operands == Kind::String) {
      if (le.type.base == BaseType::Null) l = std::make_unique<StringConst>(p, "");
      if (re.type.base == BaseType::Null) r = std::make_unique<StringConst>(p, "");
    }
    auto b = std::make_unique<Binary>(k, p, op, type.base, operands);
    b->leftBase = le.type.base;
    b->rightBase = re.type.base;
    b->left = std::move(l);
    b->right = std::move(r);
    return b;
  }

  NodePtr call(CallExpr& c) {
    const Kind k = kindOf(c.type);
    if (c.function) {
      Function* fn = nullptr;
      auto it = functions.find(c.function);
      if (it != functions.end() && it->second->body) fn = it->second;
      if (!fn) {
        auto byIt = byName.find(c.name);
        if (byIt != byName.end()) fn = byIt->second;
      }
      if (!fn) fail(c.pos, "'" + c.name + "' has no body");
      auto n = std::make_unique<UserCall>(k, c.pos);
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
    const auto& ids = builtinIds();
    auto it = ids.find(c.builtin->name);
    if (it == ids.end()) fail(c.pos, "the interpreter does not run the built-in function '" + c.name + "'");
    auto n = std::make_unique<BuiltinCall>(kindOfBuiltin(it->second), c.pos, it->second);
    const bool arrays = it->second == B::ArraySize || it->second == B::ArrayResize ||
                        it->second == B::ArrayInitialize || it->second == B::ArrayRange;
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
    if (k != Kind::Void && n->kind != k && n->kind != Kind::Void) {
      // The table's return type decides how the value is used; convert the native one.
      auto cast = std::make_unique<Cast>(k, c.pos, c.type.base);
      cast->operand = std::move(n);
      return cast;
    }
    return n;
  }

  VarInit varInit(VarDecl& v, bool global) {
    VarInit vi;
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

  SNodePtr stmt(Stmt& s) {
    switch (s.kind) {
      case StmtKind::Block: {
        auto b = std::make_unique<Block>();
        for (auto& x : static_cast<BlockStmt&>(s).statements) b->body.push_back(stmt(*x));
        return b;
      }
      case StmtKind::Expression: {
        auto e = std::make_unique<ExprS>();
        e->e = expr(*static_cast<ExprStmt&>(s).expr);
        return e;
      }
      case StmtKind::Declaration: {
        auto d = std::make_unique<Decl>();
        d->pos = s.pos;
        for (auto& v : static_cast<DeclStmt&>(s).variables) {
          if (v->storage == Storage::Static) {
            // Kept between calls and set once, before init().
            auto once = std::make_unique<Decl>();
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
        auto n = std::make_unique<If>();
        n->cond = expr(*i.condition);
        n->then = stmt(*i.then);
        if (i.otherwise) n->otherwise = stmt(*i.otherwise);
        return n;
      }
      case StmtKind::While:
      case StmtKind::DoWhile:
      case StmtKind::For: {
        auto& l = static_cast<LoopStmt&>(s);
        auto n = std::make_unique<Loop>();
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
        auto n = std::make_unique<Switch>();
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
      case StmtKind::Break: return std::make_unique<Simple>(Flow::Break);
      case StmtKind::Continue: return std::make_unique<Simple>(Flow::Continue);
      case StmtKind::Empty: return std::make_unique<Simple>(Flow::Normal);
      case StmtKind::Return: {
        auto r = std::make_unique<Return>();
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

// ---------------------------------------------------------------------------------------------

struct ExpertInterpreter::Impl {
  std::vector<std::unique_ptr<Function>> functions;
  std::vector<std::unique_ptr<Decl>> globalInits;  // globals and statics, in order
  std::size_t globalCount = 0;
  Function* init = nullptr;
  Function* start = nullptr;
  Function* deinit = nullptr;

  void callEvent(Ctx& c, Function* f) {
    if (!f) return;
    c.m->loopTurns = 0;
    UserCall call(Kind::Void, f->decl->pos);
    call.fn = f;
    call.call(c);
  }
};

ExpertInterpreter::ExpertInterpreter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ExpertInterpreter::~ExpertInterpreter() = default;

std::variant<std::unique_ptr<ExpertInterpreter>, std::string> ExpertInterpreter::load(const Program& program) {
  auto impl = std::make_unique<Impl>();
  Compiler comp;
  try {
    // Every function is known before any body is translated: a call may come before the
    // definition.
    for (const auto& f : program.functions) {
      auto fn = std::make_unique<Function>();
      fn->decl = f.get();
      fn->returnType = f->returnType;
      comp.functions[f.get()] = fn.get();
      if (f->body) comp.byName[f->name] = fn.get();
      impl->functions.push_back(std::move(fn));
    }
    for (const auto& f : program.functions)
      if (!f->body) comp.functions[f.get()] = comp.byName.count(f->name) ? comp.byName[f->name] : comp.functions[f.get()];
    for (const Program::Item& item : program.order) {
      if (item.globals) {
        auto d = std::make_unique<Decl>();
        d->pos = item.globals->pos;
        for (auto& v : item.globals->variables) d->vars.push_back(comp.varInit(*v, true));
        impl->globalInits.push_back(std::move(d));
        continue;
      }
      FunctionDecl& f = *item.function;
      if (!f.body) continue;
      Function& fn = *comp.functions[&f];
      if (fn.body) continue;
      comp.localCount = 0;
      comp.currentReturn = kindOf(f.returnType) == Kind::Void ? BaseType::Void : f.returnType.base;
      for (auto& p : f.parameters) {
        const std::size_t slot = comp.localCount++;
        comp.slots[p.get()] = {false, slot};
        fn.paramSlots.push_back(slot);
        fn.paramBases.push_back(p->type.base);
        fn.paramByRef.push_back(p->isReference || p->type.isArray());
        fn.paramDefaults.push_back(p->init ? comp.expr(*p->init) : nullptr);
      }
      fn.body = std::unique_ptr<Block>(static_cast<Block*>(comp.stmt(*f.body).release()));
      fn.frameSize = comp.localCount;
    }
  } catch (const Fault& e) {
    return std::string(e.what());
  }
  for (auto& s : comp.staticInits) impl->globalInits.push_back(std::move(s));
  impl->globalCount = comp.globalCount;
  auto find = [&](std::initializer_list<const char*> names) -> Function* {
    for (const char* n : names) {
      auto it = comp.byName.find(n);
      if (it != comp.byName.end()) return it->second;
    }
    return nullptr;
  };
  impl->init = find({"init", "OnInit"});
  impl->start = find({"start", "OnTick"});
  impl->deinit = find({"deinit", "OnDeinit"});
  if (!impl->start) return std::string("the program has no start() function: it is no Expert Advisor");
  if (impl->deinit && !impl->deinit->paramSlots.empty() && !impl->deinit->paramDefaults[0]) {
    // OnDeinit(const int reason): called with REASON_PROGRAM.
    impl->deinit->paramDefaults[0] = std::make_unique<IntConst>(SourcePos{}, 0);
  }
  return std::unique_ptr<ExpertInterpreter>(new ExpertInterpreter(std::move(impl)));
}

ExpertTestRun ExpertInterpreter::run(const ExpertTestSettings& settings) {
  ExpertTestRun out;
  const BarSeries& bars = *settings.history;
  const std::size_t end = std::min(settings.endBar, bars.size());
  if (settings.firstBar >= end) {
    out.error = "no bars to test";
    out.balance = settings.deposit;
    return out;
  }
  SimulatedTerminal term(bars, settings.firstBar, end, settings.symbol, settings.deposit);
  Machine m;
  m.term = &term;
  m.settings = &settings;
  m.globals.resize(impl_->globalCount);
  Ctx c{&m, m.globals.data(), m.stack.data()};
  try {
    for (auto& d : impl_->globalInits) d->exec(c);
    impl_->callEvent(c, impl_->init);
    for (std::size_t b = settings.firstBar; b < end; ++b) {
      const std::int64_t o = term.pointsOf(bars.open[b]);
      const std::int64_t h = term.pointsOf(bars.high[b]);
      const std::int64_t l = term.pointsOf(bars.low[b]);
      const std::int64_t cl = term.pointsOf(bars.close[b]);
      const bool lowFirst = bars.close[b] >= bars.open[b];
      const std::int64_t path[4] = {o, lowFirst ? l : h, lowFirst ? h : l, cl};
      const double prices[4] = {bars.open[b], lowFirst ? bars.low[b] : bars.high[b],
                                lowFirst ? bars.high[b] : bars.low[b], bars.close[b]};
      for (int k = 1; k <= 4; ++k) {
        term.beginTick(b, k, path[k - 1], prices[k - 1]);
        impl_->callEvent(c, impl_->start);
      }
    }
    term.closeAtEnd();
    impl_->callEvent(c, impl_->deinit);
  } catch (const Fault& e) {
    out.error = e.what();
  } catch (const std::exception& e) {
    out.error = e.what();
  }
  out.trades = term.trades();
  out.balance = term.balance();
  out.comment = m.comment;
  return out;
}

}  // namespace zorvik::mql4
