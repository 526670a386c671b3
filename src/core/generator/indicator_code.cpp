#include "generator/indicator_code.hpp"

#include <array>
#include <span>

#include "generator/listing.hpp"
#include "generator/mql_literal.hpp"
#include "model/indicator.hpp"
#include "rules/system_rules.hpp"
#include "rules/terminal_constants.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

using Kind = IndicatorKind;

std::string_view testText(SignalTest test) {
  switch (test) {
    case SignalTest::None: break;
    case SignalTest::KAboveL: return "  if (k1>l1)";
    case SignalTest::KBelowL: return "  if (k1<l1)";
    case SignalTest::CrossAbove: return "  if ((k1>l1) && (k2<=l2))";
    case SignalTest::CrossBelow: return "  if ((k1<l1) && (k2>=l2))";
    case SignalTest::AboveRising: return "  if ((k1>l1) && (k2>l2))";
    case SignalTest::BelowRising: return "  if ((k1<l1) && (k2>l2))";
    case SignalTest::MainUpOsmaDown: return "  if ((k1>0) && (l1<0))";
    case SignalTest::MainDownOsmaUp: return "  if ((k1<0) && (l1>0))";
    case SignalTest::KBelowL2: return "  if (k1<l2)";
  }
  return {};
}

// The order in which a kind's lines are written, as the listing has always had them: the
// operands, the note on the chart's timeframe, and, for the kinds whose operands depend on the
// side, where the lines stop when the indicator votes for no side.
enum class Step { K1, L1, K2, L2, ChartNote, StopWithoutTest };

std::span<const Step> stepsOf(Kind kind) {
  using S = Step;
  static constexpr S kAverage[] = {S::K1, S::ChartNote, S::L1};
  static constexpr S kAverageCross[] = {S::K1, S::K2, S::ChartNote, S::L1, S::L2};
  static constexpr S kTwoAverages[] = {S::K1, S::ChartNote, S::L1};
  static constexpr S kTwoAveragesCross[] = {S::ChartNote, S::K1, S::L1, S::K2, S::L2};
  static constexpr S kRsi[] = {S::L1, S::ChartNote, S::K1};
  static constexpr S kRsiCross[] = {S::L1, S::ChartNote, S::K1, S::L2, S::K2};
  static constexpr S kSar[] = {S::StopWithoutTest, S::L1, S::L2, S::ChartNote, S::K1, S::K2};
  static constexpr S kMacd[] = {S::ChartNote, S::L1, S::K1};
  static constexpr S kStochastic[] = {S::ChartNote, S::K1, S::L1};
  static constexpr S kBands[] = {S::K1, S::ChartNote, S::L1, S::L2};
  static constexpr S kChannel[] = {S::ChartNote, S::StopWithoutTest, S::K1, S::L1};
  static constexpr S kAdx[] = {S::ChartNote, S::StopWithoutTest, S::K1, S::L1, S::K2, S::L2};
  switch (kind) {
    case Kind::MovingAverage: return kAverage;
    case Kind::MovingAverageCross: return kAverageCross;
    case Kind::TwoMovingAverages: return kTwoAverages;
    case Kind::TwoMovingAveragesCross: return kTwoAveragesCross;
    case Kind::Rsi: return kRsi;
    case Kind::RsiCross: return kRsiCross;
    case Kind::ParabolicSar: return kSar;
    case Kind::Macd: return kMacd;
    case Kind::Stochastic: return kStochastic;
    case Kind::BollingerBands: return kBands;
    case Kind::DonchianChannel: return kChannel;
    case Kind::Adx: return kAdx;
    case Kind::Other: break;
  }
  return {};
}

// The operands a kind reads whatever the side: those that do not depend on it, written even
// when the indicator votes for no side.
Operands operandsWithoutTest(Kind kind) {
  const KindCondition* condition = conditionOf(kind);
  return condition ? condition->operands(false) : Operands{};
}

// `tSymbol`, the Expert Advisor's traded symbol, for the chart's; else the name as a literal.
std::string symbolArgument(const SymbolChoice& symbol) {
  return symbol.chart ? std::string("tSymbol") : mqlStringLiteral(symbol.stored);
}

class OperandWriter {
 public:
  explicit OperandWriter(const IndicatorRule& rule)
      : rule_(rule),
        symbol_(symbolArgument(rule.symbol)),
        where_(joined(symbol_, ",", rule.timeframe.constant, ",")),
        shift_(rule.shift.written),
        // The "+1" is left for the terminal to add, so a shift of "1" reads "1+1".
        previousShift_(joined(rule.shift.written, "+1")) {}

  // The right-hand side of the operand's assignment, its semicolon included.
  std::string code(const Operand& operand) const {
    const std::string& s = operand.barsBack == 0 ? shift_ : previousShift_;
    const IndicatorRule& r = rule_;
    switch (operand.line) {
      case OperandLine::None: break;
      case OperandLine::Close: return bar("Close", s) + ";";
      case OperandLine::High: return bar("High", s) + ";";
      case OperandLine::Low: return bar("Low", s) + ";";
      case OperandLine::Level: return r.level.written + ";";
      case OperandLine::MovingAverage: return ima(r.period.written, r.averageShift.written, r.price.constant, s);
      case OperandLine::FastAverage: return ima(r.fastPeriod.written, r.fastShift.written, r.fastPrice.constant, s);
      case OperandLine::SlowAverage: return ima(r.slowPeriod.written, r.slowShift.written, r.slowPrice.constant, s);
      case OperandLine::Rsi: return joined("iRSI(", where_, r.period.written, ",", r.price.constant, ",", s, ");");
      case OperandLine::Sar: return joined("iSAR(", where_, r.sarStep.written, ",", r.sarMaximum.written, ",", s, ");");
      case OperandLine::MacdMain: return joined("iMACD(", macdPeriods(), ",MODE_MAIN,", s, ");");
      case OperandLine::MacdOsma: return joined("iOsMA(", macdPeriods(), ",", s, ");");
      case OperandLine::StochasticMain:
        return joined("iStochastic(", where_, r.kPeriod.written, ",", r.dPeriod.written, ",", r.slowing.written, ",",
                      r.method.constant, ",", r.priceFieldConstant, ",MODE_MAIN,", s, ");");
      case OperandLine::BandsUpper: return bands("MODE_UPPER");
      case OperandLine::BandsLower: return bands("MODE_LOWER");
      // The channel of the `period` bars before bar s, which itself is not part of it.
      case OperandLine::ChannelHighest:
        return bar("High", joined("iHighest(", where_, "MODE_HIGH,", r.period.written, ",", previousOf(s), ")")) + ";";
      case OperandLine::ChannelLowest:
        return bar("Low", joined("iLowest(", where_, "MODE_LOW,", r.period.written, ",", previousOf(s), ")")) + ";";
      case OperandLine::PlusDi: return adx("MODE_PLUSDI", s);
      case OperandLine::MinusDi: return adx("MODE_MINUSDI", s);
      case OperandLine::AdxMain: return adx("MODE_MAIN", s);
    }
    return {};
  }

 private:
  // Close[], High[] and Low[] are the chart's bars; an indicator on another symbol or
  // timeframe compares with that symbol's bars instead.
  std::string bar(std::string_view series, std::string_view barShift) const {
    if (rule_.symbol.chart && rule_.timeframe.chart()) return joined(series, "[", barShift, "]");
    return joined("i", series, "(", where_, barShift, ")");
  }
  std::string previousOf(const std::string& s) const { return s == shift_ ? previousShift_ : joined(s, "+1"); }
  std::string ima(std::string_view period, std::string_view maShift, std::string_view price,
                  std::string_view barShift) const {
    return joined("iMA(", where_, period, ",", maShift, ",", rule_.method.constant, " ,", price, ",", barShift, ");");
  }
  std::string macdPeriods() const {
    const IndicatorRule& r = rule_;
    return joined(where_, r.fastPeriod.written, ",", r.slowPeriod.written, ",", r.signalPeriod.written, ",", r.price.constant);
  }
  std::string bands(std::string_view mode) const {
    const IndicatorRule& r = rule_;
    return joined("iBands(", where_, r.period.written, ",", r.deviation.written, ",", r.bandsShift.written, ",",
                  r.price.constant, ",", mode, ",", shift_, ");");
  }
  std::string adx(std::string_view mode, std::string_view barShift) const {
    return joined("iADX(", where_, rule_.period.written, ",", rule_.price.constant, ",", mode, ",", barShift, ");");
  }

  const IndicatorRule& rule_;
  std::string symbol_;
  std::string where_;
  std::string shift_;
  std::string previousShift_;
};

constexpr std::array<std::string_view, 4> kOperandNames{"k1", "l1", "k2", "l2"};

}  // namespace

std::string symbolArgument(const Catalogue& catalogue, std::string_view storedSymbol) {
  return symbolArgument(SymbolChoice{isChartSymbol(catalogue, storedSymbol), std::string(storedSymbol)});
}

void writeIndicatorCode(const IndicatorRule& rule, Listing& out) {
  if (rule.kind == Kind::Other) return;
  const OperandWriter writer(rule);
  const Operands operands = rule.votes() ? rule.operands : operandsWithoutTest(rule.kind);
  for (const Step step : stepsOf(rule.kind)) {
    switch (step) {
      case Step::ChartNote:
        if (rule.timeframe.chart()) out.emplace_back("// 0=Timeframe im Chart");
        break;
      case Step::StopWithoutTest:
        if (!rule.votes()) return;
        break;
      default: {
        const std::size_t slot = static_cast<std::size_t>(step);
        out.line("  ", kOperandNames[slot], "=", writer.code(operands[slot]));
      }
    }
  }
  if (!rule.votes()) return;
  const std::string typeName = toUpper(rule.type);
  out.line(testText(rule.test), " {ic=ic+", rule.points.written, ";");
  out.line("    if(Debug==TRUE) Print(\"", typeName, " ok\");} else {");
  out.line("    if(Debug==TRUE) Print(\"", typeName, " no\");}");
}

void writeIndicatorCode(const Catalogue& catalogue, const DefinitionTable& definitions, const Indicator& indicator,
                        Listing& out, std::string_view side) {
  writeIndicatorCode(indicatorRuleVotingFor(catalogue, definitions, indicator, side, 1), out);
}

}  // namespace zorvik
