#pragma once
// Calls of the terminal's built-in functions, and the chart's predefined variables and series.
// Each group of built-ins has its own node class in its own file (builtins_orders.cpp for
// OrderSend, OrderSelect, ...); makeBuiltinCall picks the group by the built-in's number.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mql4/interpreter/expression_nodes.hpp"
#include "mql4/interpreter/run_context.hpp"
#include "mql4/interpreter/values.hpp"
#include "mql4/types.hpp"

namespace zorvik::mql4 {
class SimulatedTerminal;
}

namespace zorvik::mql4::interpreter {

// The built-ins the interpreter runs, by group; the comment names the file that runs them.
enum class BuiltinId {
  // account: builtins_account.cpp
  AccountBalance, AccountEquity, AccountFreeMargin, AccountProfit, AccountNumber, AccountLeverage, AccountCurrency,
  AccountName, AccountCompany, AccountServer, AccountMargin, AccountStopoutLevel, AccountStopoutMode,
  // market info and time series: builtins_series.cpp
  MarketInfo, Symbol, Period, RefreshRates, IBars, IOpen, IHigh, ILow, IClose, ITime, IVolume, IHighest, ILowest,
  // orders: builtins_orders.cpp
  OrderSend, OrderModify, OrderClose, OrderSelect, OrdersTotal, OrdersHistoryTotal, OrderTicket, OrderType, OrderLots,
  OrderOpenPrice, OrderClosePrice, OrderStopLoss, OrderTakeProfit, OrderOpenTime, OrderCloseTime, OrderMagicNumber,
  OrderSymbol, OrderComment, OrderProfit, OrderExpiration, OrderCommission, OrderSwap,
  // technical indicators: builtins_indicators.cpp
  IMA, IRSI, IMACD, IOsMA, IBands, IStochastic, ISAR, IADX,
  // terminal state and output: builtins_terminal.cpp
  GetLastError, IsTesting, IsDemo, IsConnected, IsTradeAllowed, IsOptimization, IsVisualMode, IsStopped,
  IsExpertEnabled, IsTradeContextBusy, GetTickCount, Sleep, Print, Alert, Comment,
  // date and time: builtins_time.cpp
  TimeCurrent, TimeLocal, TimeToStr, TimeDay, TimeMonth, TimeYear, TimeHour, TimeMinute, TimeSeconds, TimeDayOfWeek,
  TimeDayOfYear, Day, Month, Year, Hour, Minute, Seconds, DayOfWeek, DayOfYear,
  // math, strings and conversion: builtins_strings_math.cpp
  MathAbs, MathFloor, MathCeil, MathRound, MathSqrt, MathPow, MathMax, MathMin, MathLog, MathExp, MathMod,
  NormalizeDouble, DoubleToStr, IntegerToString, StringLen, StringSubstr, StringFind, StrToDouble, StrToInteger,
  StringConcatenate, StringTrimLeft, StringTrimRight,
  // arrays: builtins_arrays.cpp
  ArraySize, ArrayResize, ArrayInitialize, ArrayRange,
};

// The built-in of that MQL4 name (aliases such as MathAbs/fabs give the same); none when the
// interpreter does not run it.
std::optional<BuiltinId> builtinIdOf(std::string_view name);
// Whether the first argument is an array the built-in reads or changes in place.
bool takesArray(BuiltinId id);

// A call of a built-in. The node's kind is the built-in's own result kind; where the
// built-in table declares another return type, the translation puts a Cast around it.
struct BuiltinCall : ExpressionNode {
  BuiltinCall(ValueKind k, SourcePos p, BuiltinId id) : ExpressionNode(k, p), id(id) {}
  BuiltinId id;
  std::vector<ExpressionPtr> args;  // defaults from the built-in table already filled in
  std::vector<BaseType> argBases;

  // Asked for a number of another kind, a built-in converts its own integer; a string one
  // falls back to the plain conversions.
  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    return 0;
  }
  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    return {};
  }

 protected:
  static SimulatedTerminal& term(RunContext& c) { return *c.machine->term; }
  int argInt(RunContext& c, std::size_t k) { return static_cast<int>(args[k]->evalInt(c)); }
  double argDouble(RunContext& c, std::size_t k) { return args[k]->evalDouble(c); }
  std::string argString(RunContext& c, std::size_t k) { return args[k]->evalString(c); }
  // The symbol argument: "" stands for NULL, the chart's symbol.
  std::string symbolArg(RunContext& c, std::size_t k) {
    return args[k]->kind == ValueKind::String ? args[k]->evalString(c) : std::string();
  }
  // Every argument's text one after the other, as Print and StringConcatenate join them.
  std::string joinedArgs(RunContext& c);
};

// Nodes of each group; `kind` is the built-in's own result kind.
std::unique_ptr<BuiltinCall> makeAccountCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeSeriesCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeOrderCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeIndicatorCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeTerminalCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeTimeCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeStringMathCall(ValueKind kind, SourcePos pos, BuiltinId id);
std::unique_ptr<BuiltinCall> makeArrayCall(ValueKind kind, SourcePos pos, BuiltinId id);

// The node for a call of that built-in, of its group, without arguments yet.
std::unique_ptr<BuiltinCall> makeBuiltinCall(SourcePos pos, BuiltinId id);

// The chart's predefined variables (builtins_series.cpp).
enum class Predefined { Bid, Ask, Point, Digits, Bars, Symbol, Period, LastError };

// Bid, Ask, Digits, _Symbol, ...: the one of that MQL4 name, none when the interpreter does not
// provide it.
std::optional<Predefined> predefinedOf(std::string_view name);
ExpressionPtr makePredefinedValue(ValueKind kind, SourcePos pos, Predefined what);
// Open[shift], ..., Time[shift] of the chart: field is MODE_OPEN .. MODE_TIME.
ExpressionPtr makeSeriesElement(ValueKind kind, SourcePos pos, int field, ExpressionPtr shift);

}  // namespace zorvik::mql4::interpreter
