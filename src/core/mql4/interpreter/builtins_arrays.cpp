// ArraySize, ArrayRange, ArrayResize, ArrayInitialize: calls on an array variable itself.
#include <cstddef>

#include "mql4/interpreter/builtin_calls.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct ArrayCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  // The first argument is translated as a variable (takesArray), so it names its cell.
  ArrayValue* arrayArg(RunContext& c, std::size_t k) {
    ArrayValue* a = static_cast<AssignableNode*>(args[k].get())->cell(c).array.get();
    if (!a) throw CriticalError(pos, "array expected");
    return a;
  }

  long long evalInt(RunContext& c) override {
    switch (id) {
      case BuiltinId::ArraySize: {
        const ArrayValue* a = arrayArg(c, 0);
        return static_cast<long long>(a->cells.size());
      }
      case BuiltinId::ArrayRange: {
        const ArrayValue* a = arrayArg(c, 0);
        const long long dim = args[1]->evalInt(c);
        if (dim < 0 || static_cast<std::size_t>(dim) >= a->dims.size()) return 0;
        return a->dims[static_cast<std::size_t>(dim)];
      }
      case BuiltinId::ArrayResize: {
        ArrayValue* a = arrayArg(c, 0);
        const long long n = args[1]->evalInt(c);
        if (n < 0 || static_cast<unsigned long long>(n) * a->inner() > kMaxArrayCells) return -1;
        const std::size_t cells = static_cast<std::size_t>(n) * a->inner();
        Machine& m = *c.machine;
        if (cells > a->cells.size()) {
          chargeMemory(m, pos, static_cast<long long>((cells - a->cells.size()) * sizeof(ValueCell)));
        } else {
          long long freed = static_cast<long long>((a->cells.size() - cells) * sizeof(ValueCell));
          if (a->base == BaseType::String)
            for (std::size_t k = cells; k < a->cells.size(); ++k) freed += static_cast<long long>(a->cells[k].stringValue.size());
          m.memory.used -= freed;
        }
        a->meter = &m.memory;
        a->dims[0] = static_cast<int>(n);
        a->cells.resize(cells);
        return static_cast<long long>(a->cells.size());
      }
      default: return ExpressionNode::evalInt(c);
    }
  }

  void evalForEffect(RunContext& c) override {
    if (id == BuiltinId::ArrayInitialize) {
      ArrayValue* a = arrayArg(c, 0);
      for (ValueCell& x : a->cells) store(c, x, a->base, *args[1]);
      return;
    }
    ExpressionNode::evalForEffect(c);
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeArrayCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<ArrayCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
