// MathAbs ... MathMod, NormalizeDouble, and the string functions and conversions: StringLen,
// StringSubstr, StringFind, DoubleToStr, StrToDouble, StringConcatenate, ...
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "account/symbol_properties.hpp"
#include "mql4/interpreter/builtin_calls.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct StringMathCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  long long evalInt(RunContext& c) override {
    switch (id) {
      case BuiltinId::StringLen: return static_cast<long long>(argString(c, 0).size());
      case BuiltinId::StringFind: {
        const std::string s = argString(c, 0), what = argString(c, 1);
        const long long from = args.size() > 2 ? args[2]->evalInt(c) : 0;
        if (from < 0 || static_cast<std::size_t>(from) > s.size()) return -1;
        const auto at = s.find(what, static_cast<std::size_t>(from));
        return at == std::string::npos ? -1 : static_cast<long long>(at);
      }
      case BuiltinId::StrToInteger: return parseInteger(argString(c, 0));
      default: return ExpressionNode::evalInt(c);
    }
  }

  // Binary functions read their first argument first.
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    switch (id) {
      case BuiltinId::MathAbs: return std::fabs(argDouble(c, 0));
      case BuiltinId::MathFloor: return std::floor(argDouble(c, 0));
      case BuiltinId::MathCeil: return std::ceil(argDouble(c, 0));
      case BuiltinId::MathRound: return std::round(argDouble(c, 0));
      case BuiltinId::MathSqrt: return std::sqrt(argDouble(c, 0));
      case BuiltinId::MathPow: { const double a = argDouble(c, 0); return std::pow(a, argDouble(c, 1)); }
      case BuiltinId::MathMax: { const double a = argDouble(c, 0); return std::max(a, argDouble(c, 1)); }
      case BuiltinId::MathMin: { const double a = argDouble(c, 0); return std::min(a, argDouble(c, 1)); }
      case BuiltinId::MathLog: return std::log(argDouble(c, 0));
      case BuiltinId::MathExp: return std::exp(argDouble(c, 0));
      case BuiltinId::MathMod: { const double a = argDouble(c, 0); return std::fmod(a, argDouble(c, 1)); }
      case BuiltinId::NormalizeDouble: {
        const double v = argDouble(c, 0);
        return normalizePrice(v, std::clamp(argInt(c, 1), 0, 8));
      }
      case BuiltinId::StrToDouble: return parseDouble(argString(c, 0));
      default: return 0;
    }
  }

  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    switch (id) {
      case BuiltinId::DoubleToStr: { const double v = argDouble(c, 0); return doubleText(v, argInt(c, 1)); }
      case BuiltinId::IntegerToString: return std::to_string(args[0]->evalInt(c));
      case BuiltinId::StringSubstr: {
        const std::string s = argString(c, 0);
        const long long from = args[1]->evalInt(c);
        const long long len = args[2]->evalInt(c);
        if (from < 0 || static_cast<std::size_t>(from) >= s.size()) return {};
        return s.substr(static_cast<std::size_t>(from), len < 0 ? std::string::npos : static_cast<std::size_t>(len));
      }
      case BuiltinId::StringConcatenate: return joinedArgs(c);
      case BuiltinId::StringTrimLeft: {
        const std::string s = argString(c, 0);
        const auto at = s.find_first_not_of(" \t\r\n");
        return at == std::string::npos ? std::string() : s.substr(at);
      }
      case BuiltinId::StringTrimRight: {
        const std::string s = argString(c, 0);
        const auto at = s.find_last_not_of(" \t\r\n");
        return at == std::string::npos ? std::string() : s.substr(0, at + 1);
      }
      default: return {};
    }
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeStringMathCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<StringMathCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
