// MarketInfo, Symbol, Period, iBars, iOpen ... iTime, iHighest, iLowest, and the chart's
// predefined variables (Bid, Ask, Point, Digits, ...) and series (Open[], ..., Time[]).
#include <cmath>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct SeriesCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  // iOpen ... iTime: symbol, timeframe, shift. Another symbol sets the unknown-symbol error and
  // gives 0.
  double series(RunContext& c, int field) {
    if (!term(c).isOurSymbol(symbolArg(c, 0))) {
      term(c).setLastError(kErrUnknownSymbol);
      return 0;
    }
    return seriesAt(c, argInt(c, 1), field, argInt(c, 2));
  }
  double seriesAt(RunContext& c, int minutes, int field, long long shift) {
    try {
      return term(c).seriesValue(minutes, field, shift);
    } catch (const std::runtime_error& e) {
      throw CriticalError(pos, e.what());
    }
  }

  long long evalInt(RunContext& c) override {
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::Period: return t.period();
      case BuiltinId::RefreshRates: return 1;
      case BuiltinId::IBars:
        if (!t.isOurSymbol(symbolArg(c, 0))) return 0;
        try {
          return t.seriesBars(argInt(c, 1));
        } catch (const std::runtime_error& e) {
          throw CriticalError(pos, e.what());
        }
      case BuiltinId::ITime: {
        const double v = series(c, 5);
        return std::isnan(v) ? 0 : static_cast<long long>(v);
      }
      case BuiltinId::IVolume: {
        const double v = series(c, 4);
        return std::isnan(v) ? 0 : static_cast<long long>(v);
      }
      case BuiltinId::IHighest:
      case BuiltinId::ILowest: {  // symbol, tf, type, count, start
        if (!t.isOurSymbol(symbolArg(c, 0))) return -1;
        try {
          const int field = argInt(c, 2);
          const int count = argInt(c, 3);
          const int start = argInt(c, 4);
          return t.extremeShift(argInt(c, 1), field, count, start, id == BuiltinId::IHighest);
        } catch (const std::runtime_error& e) {
          throw CriticalError(pos, e.what());
        }
      }
      default: return ExpressionNode::evalInt(c);
    }
  }

  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::MarketInfo: {
        const std::string sym = symbolArg(c, 0);
        return t.marketInfo(sym, argInt(c, 1));
      }
      case BuiltinId::IOpen: return series(c, 0);
      case BuiltinId::ILow: return series(c, 1);
      case BuiltinId::IHigh: return series(c, 2);
      case BuiltinId::IClose: return series(c, 3);
      default: return 0;
    }
  }

  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    if (id == BuiltinId::Symbol) return term(c).symbol();
    return {};
  }
};

struct PredefinedValue final : ExpressionNode {
  PredefinedValue(ValueKind k, SourcePos p, Predefined w) : ExpressionNode(k, p), what(w) {}
  Predefined what;
  long long evalInt(RunContext& c) override {
    SimulatedTerminal& t = *c.machine->term;
    switch (what) {
      case Predefined::Digits: return t.digits();
      case Predefined::Bars: return t.bars();
      case Predefined::Period: return t.period();
      case Predefined::LastError: return t.lastError();
      default: return toInteger(evalDouble(c));
    }
  }
  double evalDouble(RunContext& c) override {
    SimulatedTerminal& t = *c.machine->term;
    switch (what) {
      case Predefined::Bid: return t.bid();
      case Predefined::Ask: return t.ask();
      case Predefined::Point: return t.point();
      default: return static_cast<double>(evalInt(c));
    }
  }
  std::string evalString(RunContext& c) override {
    if (what == Predefined::Symbol) return c.machine->term->symbol();
    return ExpressionNode::evalString(c);
  }
};

struct SeriesElement final : ExpressionNode {
  SeriesElement(ValueKind k, SourcePos p, int field) : ExpressionNode(k, p), field(field) {}
  int field;  // MODE_OPEN .. MODE_TIME
  ExpressionPtr index;
  double value(RunContext& c) { return c.machine->term->seriesValue(0, field, index->evalInt(c)); }
  long long evalInt(RunContext& c) override {
    const double v = value(c);
    return std::isnan(v) ? 0 : static_cast<long long>(v);
  }
  double evalDouble(RunContext& c) override { return kind == ValueKind::Double ? value(c) : static_cast<double>(evalInt(c)); }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeSeriesCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<SeriesCall>(kind, pos, id);
}

std::optional<Predefined> predefinedOf(std::string_view name) {
  static const std::unordered_map<std::string_view, Predefined> names = {
      {"Bid", Predefined::Bid},       {"Ask", Predefined::Ask},         {"Point", Predefined::Point},
      {"_Point", Predefined::Point},  {"Digits", Predefined::Digits},   {"_Digits", Predefined::Digits},
      {"Bars", Predefined::Bars},     {"_Symbol", Predefined::Symbol},  {"_Period", Predefined::Period},
      {"_LastError", Predefined::LastError},
  };
  const auto it = names.find(name);
  if (it == names.end()) return std::nullopt;
  return it->second;
}

ExpressionPtr makePredefinedValue(ValueKind kind, SourcePos pos, Predefined what) {
  return std::make_unique<PredefinedValue>(kind, pos, what);
}

ExpressionPtr makeSeriesElement(ValueKind kind, SourcePos pos, int field, ExpressionPtr shift) {
  auto element = std::make_unique<SeriesElement>(kind, pos, field);
  element->index = std::move(shift);
  return element;
}

}  // namespace zorvik::mql4::interpreter
