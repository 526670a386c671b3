#include "mql4/interpreter/builtin_calls.hpp"

#include <unordered_map>

namespace zorvik::mql4::interpreter {
namespace {

const std::unordered_map<std::string_view, BuiltinId>& builtinIds() {
  static const std::unordered_map<std::string_view, BuiltinId> ids = {
      {"AccountBalance", BuiltinId::AccountBalance}, {"AccountEquity", BuiltinId::AccountEquity},
      {"AccountFreeMargin", BuiltinId::AccountFreeMargin}, {"AccountProfit", BuiltinId::AccountProfit},
      {"AccountNumber", BuiltinId::AccountNumber}, {"AccountLeverage", BuiltinId::AccountLeverage},
      {"AccountCurrency", BuiltinId::AccountCurrency}, {"AccountName", BuiltinId::AccountName},
      {"AccountCompany", BuiltinId::AccountCompany}, {"AccountServer", BuiltinId::AccountServer},
      {"AccountMargin", BuiltinId::AccountMargin}, {"AccountStopoutLevel", BuiltinId::AccountStopoutLevel},
      {"AccountStopoutMode", BuiltinId::AccountStopoutMode},
      {"MarketInfo", BuiltinId::MarketInfo}, {"Symbol", BuiltinId::Symbol}, {"Period", BuiltinId::Period}, {"RefreshRates", BuiltinId::RefreshRates},
      {"iBars", BuiltinId::IBars}, {"iOpen", BuiltinId::IOpen}, {"iHigh", BuiltinId::IHigh}, {"iLow", BuiltinId::ILow}, {"iClose", BuiltinId::IClose},
      {"iTime", BuiltinId::ITime}, {"iVolume", BuiltinId::IVolume}, {"iHighest", BuiltinId::IHighest}, {"iLowest", BuiltinId::ILowest},
      {"OrderSend", BuiltinId::OrderSend}, {"OrderModify", BuiltinId::OrderModify}, {"OrderClose", BuiltinId::OrderClose},
      {"OrderSelect", BuiltinId::OrderSelect}, {"OrdersTotal", BuiltinId::OrdersTotal}, {"OrdersHistoryTotal", BuiltinId::OrdersHistoryTotal},
      {"OrderTicket", BuiltinId::OrderTicket}, {"OrderType", BuiltinId::OrderType}, {"OrderLots", BuiltinId::OrderLots},
      {"OrderOpenPrice", BuiltinId::OrderOpenPrice}, {"OrderClosePrice", BuiltinId::OrderClosePrice},
      {"OrderStopLoss", BuiltinId::OrderStopLoss}, {"OrderTakeProfit", BuiltinId::OrderTakeProfit},
      {"OrderOpenTime", BuiltinId::OrderOpenTime}, {"OrderCloseTime", BuiltinId::OrderCloseTime},
      {"OrderMagicNumber", BuiltinId::OrderMagicNumber}, {"OrderSymbol", BuiltinId::OrderSymbol}, {"OrderComment", BuiltinId::OrderComment},
      {"OrderProfit", BuiltinId::OrderProfit}, {"OrderExpiration", BuiltinId::OrderExpiration},
      {"OrderCommission", BuiltinId::OrderCommission}, {"OrderSwap", BuiltinId::OrderSwap},
      {"iMA", BuiltinId::IMA}, {"iRSI", BuiltinId::IRSI}, {"iMACD", BuiltinId::IMACD}, {"iOsMA", BuiltinId::IOsMA}, {"iBands", BuiltinId::IBands},
      {"iStochastic", BuiltinId::IStochastic}, {"iSAR", BuiltinId::ISAR}, {"iADX", BuiltinId::IADX},
      {"GetLastError", BuiltinId::GetLastError}, {"IsTesting", BuiltinId::IsTesting}, {"IsDemo", BuiltinId::IsDemo},
      {"IsConnected", BuiltinId::IsConnected}, {"IsTradeAllowed", BuiltinId::IsTradeAllowed}, {"IsOptimization", BuiltinId::IsOptimization},
      {"IsVisualMode", BuiltinId::IsVisualMode}, {"IsStopped", BuiltinId::IsStopped}, {"IsExpertEnabled", BuiltinId::IsExpertEnabled},
      {"IsTradeContextBusy", BuiltinId::IsTradeContextBusy}, {"GetTickCount", BuiltinId::GetTickCount}, {"Sleep", BuiltinId::Sleep},
      {"Print", BuiltinId::Print}, {"Alert", BuiltinId::Alert}, {"Comment", BuiltinId::Comment},
      {"TimeCurrent", BuiltinId::TimeCurrent}, {"TimeLocal", BuiltinId::TimeLocal}, {"TimeToStr", BuiltinId::TimeToStr},
      {"TimeToString", BuiltinId::TimeToStr}, {"TimeDay", BuiltinId::TimeDay}, {"TimeMonth", BuiltinId::TimeMonth}, {"TimeYear", BuiltinId::TimeYear},
      {"TimeHour", BuiltinId::TimeHour}, {"TimeMinute", BuiltinId::TimeMinute}, {"TimeSeconds", BuiltinId::TimeSeconds},
      {"TimeDayOfWeek", BuiltinId::TimeDayOfWeek}, {"TimeDayOfYear", BuiltinId::TimeDayOfYear}, {"Day", BuiltinId::Day}, {"Month", BuiltinId::Month},
      {"Year", BuiltinId::Year}, {"Hour", BuiltinId::Hour}, {"Minute", BuiltinId::Minute}, {"Seconds", BuiltinId::Seconds},
      {"DayOfWeek", BuiltinId::DayOfWeek}, {"DayOfYear", BuiltinId::DayOfYear},
      {"MathAbs", BuiltinId::MathAbs}, {"fabs", BuiltinId::MathAbs}, {"MathFloor", BuiltinId::MathFloor}, {"floor", BuiltinId::MathFloor},
      {"MathCeil", BuiltinId::MathCeil}, {"ceil", BuiltinId::MathCeil}, {"MathRound", BuiltinId::MathRound}, {"round", BuiltinId::MathRound},
      {"MathSqrt", BuiltinId::MathSqrt}, {"sqrt", BuiltinId::MathSqrt}, {"MathPow", BuiltinId::MathPow}, {"pow", BuiltinId::MathPow},
      {"MathMax", BuiltinId::MathMax}, {"fmax", BuiltinId::MathMax}, {"MathMin", BuiltinId::MathMin}, {"fmin", BuiltinId::MathMin},
      {"MathLog", BuiltinId::MathLog}, {"log", BuiltinId::MathLog}, {"MathExp", BuiltinId::MathExp}, {"exp", BuiltinId::MathExp},
      {"MathMod", BuiltinId::MathMod}, {"fmod", BuiltinId::MathMod}, {"NormalizeDouble", BuiltinId::NormalizeDouble},
      {"DoubleToStr", BuiltinId::DoubleToStr}, {"DoubleToString", BuiltinId::DoubleToStr}, {"IntegerToString", BuiltinId::IntegerToString},
      {"StringLen", BuiltinId::StringLen}, {"StringSubstr", BuiltinId::StringSubstr}, {"StringFind", BuiltinId::StringFind},
      {"StrToDouble", BuiltinId::StrToDouble}, {"StringToDouble", BuiltinId::StrToDouble}, {"StrToInteger", BuiltinId::StrToInteger},
      {"StringToInteger", BuiltinId::StrToInteger}, {"StringConcatenate", BuiltinId::StringConcatenate},
      {"StringTrimLeft", BuiltinId::StringTrimLeft}, {"StringTrimRight", BuiltinId::StringTrimRight},
      {"ArraySize", BuiltinId::ArraySize}, {"ArrayResize", BuiltinId::ArrayResize}, {"ArrayInitialize", BuiltinId::ArrayInitialize},
      {"ArrayRange", BuiltinId::ArrayRange},
  };
  return ids;
}

ValueKind kindOfBuiltin(BuiltinId id) {
  switch (id) {
    case BuiltinId::AccountCurrency: case BuiltinId::AccountName: case BuiltinId::AccountCompany: case BuiltinId::AccountServer: case BuiltinId::Symbol:
    case BuiltinId::OrderSymbol: case BuiltinId::OrderComment: case BuiltinId::TimeToStr: case BuiltinId::DoubleToStr: case BuiltinId::IntegerToString:
    case BuiltinId::StringSubstr: case BuiltinId::StringConcatenate: case BuiltinId::StringTrimLeft: case BuiltinId::StringTrimRight:
      return ValueKind::String;
    case BuiltinId::AccountBalance: case BuiltinId::AccountEquity: case BuiltinId::AccountFreeMargin: case BuiltinId::AccountProfit:
    case BuiltinId::AccountMargin: case BuiltinId::MarketInfo: case BuiltinId::IOpen: case BuiltinId::IHigh: case BuiltinId::ILow: case BuiltinId::IClose: case BuiltinId::OrderLots:
    case BuiltinId::OrderOpenPrice: case BuiltinId::OrderClosePrice: case BuiltinId::OrderStopLoss: case BuiltinId::OrderTakeProfit:
    case BuiltinId::OrderProfit: case BuiltinId::OrderCommission: case BuiltinId::OrderSwap: case BuiltinId::IMA: case BuiltinId::IRSI: case BuiltinId::IMACD:
    case BuiltinId::IOsMA: case BuiltinId::IBands: case BuiltinId::IStochastic: case BuiltinId::ISAR: case BuiltinId::IADX: case BuiltinId::MathAbs:
    case BuiltinId::MathFloor: case BuiltinId::MathCeil: case BuiltinId::MathRound: case BuiltinId::MathSqrt: case BuiltinId::MathPow: case BuiltinId::MathMax:
    case BuiltinId::MathMin: case BuiltinId::MathLog: case BuiltinId::MathExp: case BuiltinId::MathMod: case BuiltinId::NormalizeDouble:
    case BuiltinId::StrToDouble:
      return ValueKind::Double;
    case BuiltinId::Print: case BuiltinId::Alert: case BuiltinId::Comment: case BuiltinId::Sleep: case BuiltinId::ArrayInitialize:
      return ValueKind::Void;
    default:
      return ValueKind::Int;
  }
}

}  // namespace

std::optional<BuiltinId> builtinIdOf(std::string_view name) {
  const auto& ids = builtinIds();
  const auto it = ids.find(name);
  if (it == ids.end()) return std::nullopt;
  return it->second;
}

bool takesArray(BuiltinId id) {
  return id == BuiltinId::ArraySize || id == BuiltinId::ArrayResize || id == BuiltinId::ArrayInitialize ||
         id == BuiltinId::ArrayRange;
}

std::unique_ptr<BuiltinCall> makeBuiltinCall(SourcePos pos, BuiltinId id) {
  const ValueKind kind = kindOfBuiltin(id);
  switch (id) {
    case BuiltinId::AccountBalance: case BuiltinId::AccountEquity: case BuiltinId::AccountFreeMargin:
    case BuiltinId::AccountProfit: case BuiltinId::AccountNumber: case BuiltinId::AccountLeverage:
    case BuiltinId::AccountCurrency: case BuiltinId::AccountName: case BuiltinId::AccountCompany:
    case BuiltinId::AccountServer: case BuiltinId::AccountMargin: case BuiltinId::AccountStopoutLevel:
    case BuiltinId::AccountStopoutMode:
      return makeAccountCall(kind, pos, id);
    case BuiltinId::MarketInfo: case BuiltinId::Symbol: case BuiltinId::Period: case BuiltinId::RefreshRates:
    case BuiltinId::IBars: case BuiltinId::IOpen: case BuiltinId::IHigh: case BuiltinId::ILow: case BuiltinId::IClose:
    case BuiltinId::ITime: case BuiltinId::IVolume: case BuiltinId::IHighest: case BuiltinId::ILowest:
      return makeSeriesCall(kind, pos, id);
    case BuiltinId::OrderSend: case BuiltinId::OrderModify: case BuiltinId::OrderClose: case BuiltinId::OrderSelect:
    case BuiltinId::OrdersTotal: case BuiltinId::OrdersHistoryTotal: case BuiltinId::OrderTicket:
    case BuiltinId::OrderType: case BuiltinId::OrderLots: case BuiltinId::OrderOpenPrice:
    case BuiltinId::OrderClosePrice: case BuiltinId::OrderStopLoss: case BuiltinId::OrderTakeProfit:
    case BuiltinId::OrderOpenTime: case BuiltinId::OrderCloseTime: case BuiltinId::OrderMagicNumber:
    case BuiltinId::OrderSymbol: case BuiltinId::OrderComment: case BuiltinId::OrderProfit:
    case BuiltinId::OrderExpiration: case BuiltinId::OrderCommission: case BuiltinId::OrderSwap:
      return makeOrderCall(kind, pos, id);
    case BuiltinId::IMA: case BuiltinId::IRSI: case BuiltinId::IMACD: case BuiltinId::IOsMA: case BuiltinId::IBands:
    case BuiltinId::IStochastic: case BuiltinId::ISAR: case BuiltinId::IADX:
      return makeIndicatorCall(kind, pos, id);
    case BuiltinId::GetLastError: case BuiltinId::IsTesting: case BuiltinId::IsDemo: case BuiltinId::IsConnected:
    case BuiltinId::IsTradeAllowed: case BuiltinId::IsOptimization: case BuiltinId::IsVisualMode:
    case BuiltinId::IsStopped: case BuiltinId::IsExpertEnabled: case BuiltinId::IsTradeContextBusy:
    case BuiltinId::GetTickCount: case BuiltinId::Sleep: case BuiltinId::Print: case BuiltinId::Alert:
    case BuiltinId::Comment:
      return makeTerminalCall(kind, pos, id);
    case BuiltinId::TimeCurrent: case BuiltinId::TimeLocal: case BuiltinId::TimeToStr: case BuiltinId::TimeDay:
    case BuiltinId::TimeMonth: case BuiltinId::TimeYear: case BuiltinId::TimeHour: case BuiltinId::TimeMinute:
    case BuiltinId::TimeSeconds: case BuiltinId::TimeDayOfWeek: case BuiltinId::TimeDayOfYear: case BuiltinId::Day:
    case BuiltinId::Month: case BuiltinId::Year: case BuiltinId::Hour: case BuiltinId::Minute: case BuiltinId::Seconds:
    case BuiltinId::DayOfWeek: case BuiltinId::DayOfYear:
      return makeTimeCall(kind, pos, id);
    case BuiltinId::MathAbs: case BuiltinId::MathFloor: case BuiltinId::MathCeil: case BuiltinId::MathRound:
    case BuiltinId::MathSqrt: case BuiltinId::MathPow: case BuiltinId::MathMax: case BuiltinId::MathMin:
    case BuiltinId::MathLog: case BuiltinId::MathExp: case BuiltinId::MathMod: case BuiltinId::NormalizeDouble:
    case BuiltinId::DoubleToStr: case BuiltinId::IntegerToString: case BuiltinId::StringLen:
    case BuiltinId::StringSubstr: case BuiltinId::StringFind: case BuiltinId::StrToDouble:
    case BuiltinId::StrToInteger: case BuiltinId::StringConcatenate: case BuiltinId::StringTrimLeft:
    case BuiltinId::StringTrimRight:
      return makeStringMathCall(kind, pos, id);
    case BuiltinId::ArraySize: case BuiltinId::ArrayResize: case BuiltinId::ArrayInitialize:
    case BuiltinId::ArrayRange:
      return makeArrayCall(kind, pos, id);
  }
  return nullptr;
}

std::string BuiltinCall::joinedArgs(RunContext& c) {
  std::string out;
  for (std::size_t k = 0; k < args.size(); ++k) {
    if (args[k]->kind == ValueKind::Double)
      out += doubleText(args[k]->evalDouble(c), 8);
    else
      out += textOf(c, *args[k], argBases[k]);
    fitsMemory(*c.machine, pos, static_cast<long long>(out.size()));
  }
  return out;
}

}  // namespace zorvik::mql4::interpreter
