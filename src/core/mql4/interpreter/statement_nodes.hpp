#pragma once
// Statement nodes: the translated form of MQL4 statements. execute() tells the enclosing
// statements how control goes on (break, continue, return or on to the next).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "mql4/interpreter/expression_nodes.hpp"
#include "mql4/interpreter/run_context.hpp"
#include "mql4/interpreter/values.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4::interpreter {

enum class Flow : std::uint8_t { Normal, Break, Continue, Return };

struct StatementNode {
  virtual ~StatementNode() = default;
  virtual Flow execute(RunContext& c) = 0;
};
using StatementPtr = std::unique_ptr<StatementNode>;

struct BlockStatement final : StatementNode {
  std::vector<StatementPtr> body;
  Flow execute(RunContext& c) override {
    for (auto& s : body) {
      const Flow f = s->execute(c);
      if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
  }
};

struct ExpressionStatement final : StatementNode {
  ExpressionPtr expression;
  Flow execute(RunContext& c) override {
    expression->evalForEffect(c);
    return Flow::Normal;
  }
};

struct VariableInit {
  bool global = false;
  std::size_t slot = 0;
  BaseType base = BaseType::Int;
  std::vector<ExpressionPtr> sizes;  // arrays: one per dimension, null for a dynamic one
  bool isArray = false;
  ExpressionPtr init;
  std::vector<ExpressionPtr> initList;
};

inline void initialize(RunContext& c, VariableInit& v, SourcePos pos) {
  ValueCell& x = v.global ? c.globals[v.slot] : c.locals[v.slot];
  x.ref = nullptr;
  if (v.isArray) {
    auto a = std::make_unique<ArrayValue>();
    a->base = v.base;
    std::size_t total = 1;
    for (auto& sz : v.sizes) {
      long long n = sz ? sz->evalInt(c) : 0;
      if (n < 0 || n > kMaxArrayCells) throw CriticalError(pos, "array size out of range");
      a->dims.push_back(static_cast<int>(n));
      total *= static_cast<std::size_t>(n);
      if (total > kMaxArrayCells) throw CriticalError(pos, "array too large");
    }
    if (v.sizes.empty()) a->dims.push_back(0);
    if (!v.initList.empty() && !v.sizes.empty() && !v.sizes[0] && a->dims.size() == 1) {
      a->dims[0] = static_cast<int>(v.initList.size());
      total = v.initList.size();
    }
    chargeMemory(*c.machine, pos, static_cast<long long>(total * sizeof(ValueCell)));
    a->meter = &c.machine->memory;
    a->cells.resize(total);
    for (std::size_t k = 0; k < v.initList.size() && k < total; ++k) store(c, a->cells[k], v.base, *v.initList[k]);
    x.array = std::move(a);
    return;
  }
  if (v.init) {
    store(c, x, v.base, *v.init);
  } else {
    x.intValue = 0;
    x.doubleValue = 0;
    clearString(*c.machine, x);
  }
}

struct DeclarationStatement final : StatementNode {
  std::vector<VariableInit> vars;
  SourcePos pos;
  Flow execute(RunContext& c) override {
    for (auto& v : vars) initialize(c, v, pos);
    return Flow::Normal;
  }
};

struct IfStatement final : StatementNode {
  ExpressionPtr cond;
  StatementPtr then, otherwise;
  Flow execute(RunContext& c) override {
    if (cond->isTrue(c)) return then->execute(c);
    return otherwise ? otherwise->execute(c) : Flow::Normal;
  }
};

struct LoopStatement final : StatementNode {
  StmtKind kind = StmtKind::While;
  SourcePos pos;
  StatementPtr init;
  ExpressionPtr cond, step;
  StatementPtr body;
  Flow execute(RunContext& c) override {
    if (init) init->execute(c);
    if (kind == StmtKind::DoWhile) {
      do {
        spendLoopTurn(c, pos);
        const Flow f = body->execute(c);
        if (f == Flow::Break) break;
        if (f == Flow::Return) return f;
      } while (cond->isTrue(c));
      return Flow::Normal;
    }
    while (!cond || cond->isTrue(c)) {
      spendLoopTurn(c, pos);
      const Flow f = body->execute(c);
      if (f == Flow::Break) break;
      if (f == Flow::Return) return f;
      if (step) step->evalForEffect(c);
    }
    return Flow::Normal;
  }
};

struct SwitchStatement final : StatementNode {
  ExpressionPtr value;
  std::vector<StatementPtr> body;
  std::vector<std::pair<long long, std::size_t>> labels;
  std::size_t defaultAt = static_cast<std::size_t>(-1);
  Flow execute(RunContext& c) override {
    const long long v = value->evalInt(c);
    std::size_t from = defaultAt;
    for (const auto& [k, at] : labels)
      if (k == v) {
        from = at;
        break;
      }
    for (std::size_t n = from; n < body.size(); ++n) {
      const Flow f = body[n]->execute(c);
      if (f == Flow::Break) break;
      if (f != Flow::Normal) return f;
    }
    return Flow::Normal;
  }
};

// break, continue and the empty statement.
struct FixedFlowStatement final : StatementNode {
  explicit FixedFlowStatement(Flow flow) : flow(flow) {}
  Flow flow;
  Flow execute(RunContext&) override { return flow; }
};

struct ReturnStatement final : StatementNode {
  ExpressionPtr value;
  BaseType base = BaseType::Void;  // of the function's result; Void: the value is only run
  Flow execute(RunContext& c) override {
    if (value) {
      if (base == BaseType::Void)
        value->evalForEffect(c);
      else
        store(c, c.machine->ret, base, *value);
    }
    return Flow::Return;
  }
};

}  // namespace zorvik::mql4::interpreter
