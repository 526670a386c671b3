// TimeCurrent, TimeToStr, TimeHour, Hour, DayOfWeek, ...: the tick's time and the parts of a
// datetime (seconds since 1970, no time zone).
#include <string>

#include "market/civil_time.hpp"
#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

enum class TimePart { Day, Month, Year, Hour, Minute, Second, DayOfWeek, DayOfYear };

long long timePart(long long t, TimePart part) {
  const long long days = market_detail::floorDiv(t, 86400);
  const long long sec = t - days * 86400;
  const auto civil = market_detail::civilFromDays(days);
  switch (part) {
    case TimePart::Day: return civil.day;
    case TimePart::Month: return civil.month;
    case TimePart::Year: return civil.year;
    case TimePart::Hour: return sec / 3600;
    case TimePart::Minute: return sec / 60 % 60;
    case TimePart::Second: return sec % 60;
    case TimePart::DayOfWeek: return ((days % 7) + 11) % 7;  // 1970-01-01 was a Thursday (4); Sunday is 0
    case TimePart::DayOfYear: break;
  }
  return days - market_detail::daysFromCivil(civil.year, 1, 1) + 1;
}

struct TimeCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  long long evalInt(RunContext& c) override {
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::TimeCurrent: case BuiltinId::TimeLocal: return t.time();
      case BuiltinId::TimeDay: return timePart(args[0]->evalInt(c), TimePart::Day);
      case BuiltinId::TimeMonth: return timePart(args[0]->evalInt(c), TimePart::Month);
      case BuiltinId::TimeYear: return timePart(args[0]->evalInt(c), TimePart::Year);
      case BuiltinId::TimeHour: return timePart(args[0]->evalInt(c), TimePart::Hour);
      case BuiltinId::TimeMinute: return timePart(args[0]->evalInt(c), TimePart::Minute);
      case BuiltinId::TimeSeconds: return timePart(args[0]->evalInt(c), TimePart::Second);
      case BuiltinId::TimeDayOfWeek: return timePart(args[0]->evalInt(c), TimePart::DayOfWeek);
      case BuiltinId::TimeDayOfYear: return timePart(args[0]->evalInt(c), TimePart::DayOfYear);
      case BuiltinId::Day: return timePart(t.time(), TimePart::Day);
      case BuiltinId::Month: return timePart(t.time(), TimePart::Month);
      case BuiltinId::Year: return timePart(t.time(), TimePart::Year);
      case BuiltinId::Hour: return timePart(t.time(), TimePart::Hour);
      case BuiltinId::Minute: return timePart(t.time(), TimePart::Minute);
      case BuiltinId::Seconds: return timePart(t.time(), TimePart::Second);
      case BuiltinId::DayOfWeek: return timePart(t.time(), TimePart::DayOfWeek);
      case BuiltinId::DayOfYear: return timePart(t.time(), TimePart::DayOfYear);
      default: return ExpressionNode::evalInt(c);
    }
  }

  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    if (id == BuiltinId::TimeToStr) {
      const long long v = args[0]->evalInt(c);
      return timeText(v, argInt(c, 1));
    }
    return {};
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeTimeCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<TimeCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
