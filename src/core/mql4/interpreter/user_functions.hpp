#pragma once
// The program's own functions, translated, and the node that calls one.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "mql4/interpreter/expression_nodes.hpp"
#include "mql4/interpreter/run_context.hpp"
#include "mql4/interpreter/statement_nodes.hpp"
#include "mql4/interpreter/values.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4::interpreter {

struct CompiledFunction {
  const FunctionDecl* decl = nullptr;
  Type returnType = kVoid;
  std::size_t frameSize = 0;
  std::vector<std::size_t> paramSlots;
  std::vector<BaseType> paramBases;
  std::vector<bool> paramByRef;
  std::vector<ExpressionPtr> paramDefaults;
  std::unique_ptr<BlockStatement> body;
};

struct UserFunctionCall final : ExpressionNode {
  UserFunctionCall(ValueKind k, SourcePos p) : ExpressionNode(k, p) {}
  CompiledFunction* fn = nullptr;
  std::vector<ExpressionPtr> args;
  void call(RunContext& c) {
    Machine& m = *c.machine;
    CompiledFunction& f = *fn;
    spendStep(c, pos);
    if (m.top + f.frameSize > m.stack.size() || m.depth > 256) throw CriticalError(pos, "stack overflow");
    // The callee's frame is taken first, so that a call inside an argument builds its own
    // frame above it; the arguments are worked out in the caller's frame.
    ValueCell* frame = m.stack.data() + m.top;
    struct Restore {
      RunContext& c;
      Machine& m;
      ValueCell* saved;
      std::size_t size;
      const std::string* caller;
      ~Restore() {
        c.locals = saved;
        m.top -= size;
        --m.depth;
        m.function = caller;
      }
    } restore{c, m, c.locals, f.frameSize, m.function};
    m.top += f.frameSize;
    ++m.depth;
    for (std::size_t k = 0; k < f.paramSlots.size(); ++k) {
      ValueCell& p = frame[f.paramSlots[k]];
      ExpressionNode* a = k < args.size() ? args[k].get() : f.paramDefaults[k].get();
      if (f.paramByRef[k] && k < args.size()) {
        p.ref = &static_cast<AssignableNode*>(a)->cell(c);
      } else {
        p.ref = nullptr;
        if (a) store(c, p, f.paramBases[k], *a);
      }
    }
    c.locals = frame;
    m.function = &f.decl->name;
    switch (kindOf(f.returnType)) {
      case ValueKind::Int: m.ret.intValue = 0; break;
      case ValueKind::Double: m.ret.doubleValue = 0; break;
      case ValueKind::String: clearString(m, m.ret); break;
      default: break;
    }
    f.body->execute(c);
  }
  long long evalInt(RunContext& c) override {
    if (kind != ValueKind::Int) return ExpressionNode::evalInt(c);
    call(c);
    return c.machine->ret.intValue;
  }
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return ExpressionNode::evalDouble(c);
    call(c);
    return c.machine->ret.doubleValue;
  }
  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    call(c);
    return c.machine->ret.stringValue;
  }
  void evalForEffect(RunContext& c) override { call(c); }
};

}  // namespace zorvik::mql4::interpreter
