#pragma once
// A trading system's rules as typed data: what each group compares and how many points it
// needs, the stops, the day limit and the money management. Read once from the stored system;
// the generator prints them as the Expert Advisor, the backtest evaluates them, the lint reads
// them. Every stored number is parsed here and nowhere else.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "indicators/indicator_basics.hpp"
#include "indicators/stochastic.hpp"
#include "model/indicator_kind.hpp"
#include "rules/kind_condition.hpp"
#include "rules/signal_test.hpp"
#include "rules/trade_rules.hpp"
#include "rules/value_checks.hpp"

namespace zorvik {

class TradingSystem;
class Catalogue;
class DefinitionTable;
class Indicator;
class LanguageTable;

// A number as the system stores it: the text as the trader typed it, its value, the leading
// number of the text ("12abc" is 12, "" is 0), and the text as the listing writes it.
struct StoredNumber {
  std::string text;
  double value = 0;
  std::string written;  // plainDecimal of the text: "08" is written 8, never as a C octal
  // The value rounded to a whole number within the int range, as an `int` input reads it.
  std::int32_t whole() const;
};

// The symbol an indicator reads or the system trades: the chart's, or a named one.
struct SymbolChoice {
  bool chart = true;
  std::string stored;  // as stored: the catalogue's first symbol id, "Symbol()" or a name
};

// The timeframe an indicator reads: the terminal's constant ("0" for the chart's, "60", ...)
// and its minutes.
struct TimeframeChoice {
  std::string id;        // as stored, "idH1"
  std::string constant;  // the catalogue's value for the id
  int minutes = 0;       // 0: the chart's
  bool chart() const { return constant == "0"; }
};

// An averaging method or applied price: the terminal's constant as the catalogue gives it
// ("MODE_EMA", "PRICE_CLOSE" or a number), and what it means; nullopt when it means nothing.
struct MethodChoice {
  std::string constant;
  std::optional<MaMethod> method;
};
struct PriceChoice {
  std::string constant;
  std::optional<AppliedPrice> price;
};

struct IndicatorRule {
  int position = 0;  // 1-based in its group
  std::string type;  // as stored, "RSI"
  std::string comment;
  IndicatorKind kind = IndicatorKind::Other;
  bool reversed = false;  // action type "idReverse": votes for the opposite side
  std::string sideCode;   // the side its test is for: "L", "S", "XL", "XS"; empty for neither
  SignalTest test = SignalTest::None;
  bool bullish = false;   // the test is the kind's bullish one
  Operands operands{};    // what feeds k1, l1, k2, l2; all unused without a test
  StoredNumber points;    // the signal value added when the test holds
  StoredNumber shift;     // bar s
  SymbolChoice symbol;
  TimeframeChoice timeframe;
  MethodChoice method;
  PriceChoice price;
  // The kind's own settings; a kind reads only its own.
  StoredNumber period;
  StoredNumber averageShift;  // ma_shift
  StoredNumber fastPeriod, slowPeriod, fastShift, slowShift;
  PriceChoice fastPrice, slowPrice;
  StoredNumber signalPeriod;        // MACD
  StoredNumber level;               // RSI action line, Stochastic trigger
  std::string_view levelKey;        // the stored key of the level, "actionline" or "st_trigger"
  StoredNumber sarStep, sarMaximum;
  StoredNumber kPeriod, dPeriod, slowing;
  std::string priceFieldConstant;   // Stochastic: "0" low/high, "1" close/close
  std::optional<StochasticPriceField> priceField;  // nullopt for any other constant
  StoredNumber deviation;           // Bollinger Bands
  StoredNumber bandsShift;

  bool votes() const { return test != SignalTest::None; }
};

struct GroupRules {
  int group = 0;  // 1 entry long, 2 exit long, 3 entry short, 4 exit short
  std::string thresholdText;
  std::optional<double> signalSum;  // nullopt: a signal value is not a number
  int firstBadPosition = 0;         // then the first such indicator, 1-based
  std::int32_t thresholdPoints = 0; // points needed; 0 never fires
  std::vector<IndicatorRule> indicators;
};

// The stored texts the listing writes as they stand.
struct StoredStops {
  StoredNumber stoploss, takeprofit, trailing;
};
struct StoredMoneyManagement {
  std::string typeText;  // mm_typ as stored
  std::string hedgingConstant;  // the hedging id's MQL4 text without its "#"
  StoredNumber maxTrades, lots, maxLots, fraction, base, delta, slippage;
};

struct SystemRules {
  std::string title;
  std::array<GroupRules, 4> groups;
  StoredStops longStops, shortStops;  // of the exit-long and exit-short groups
  StoredMoneyManagement money;
  SymbolChoice symbol;  // what the system trades
  TradeRules trade;
};

// The rules as stored, whatever their values: nothing is refused here. The lint reads these.
SystemRules readSystemRules(const TradingSystem& system, const Catalogue& catalogue, const DefinitionTable& definitions);

// One indicator's rule as it votes in a group of that side code ("L", "XL", "S", "XS"): for
// the opposite side when it is reversed.
IndicatorRule readIndicatorRule(const Catalogue& catalogue, const DefinitionTable& definitions,
                                const Indicator& indicator, std::string_view groupSide, int position);
// The same for the side code it votes for, whatever its action type; empty for neither side.
IndicatorRule indicatorRuleVotingFor(const Catalogue& catalogue, const DefinitionTable& definitions,
                                     const Indicator& indicator, std::string_view sideCode, int position);

// Why a system cannot become an Expert Advisor: a signal value that is not a number, or values
// the listing cannot take.
struct RulesRefusal {
  // "SHORT 1 (2 Moving Averages): \"drei\"" for a signal value; else one line per value
  // problem (the first few), see describeValueProblem.
  std::string fault;
  std::vector<ValueProblem> problems;  // empty for a signal value that is not a number
};

// The rules, or why the system cannot be traded. The magic number is the one the Expert
// Advisor will trade under; the language translates the captions of the refusal.
std::variant<SystemRules, RulesRefusal> systemRulesOf(const TradingSystem& system, const Catalogue& catalogue,
                                                      const DefinitionTable& definitions, std::string_view magic,
                                                      const LanguageTable* language = nullptr);

}  // namespace zorvik
