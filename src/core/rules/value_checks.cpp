#include "rules/value_checks.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "model/catalogue.hpp"
#include "model/definition_table.hpp"
#include "model/group_roles.hpp"
#include "model/indicator_kind.hpp"
#include "model/language.hpp"
#include "model/trading_system.hpp"
#include "rules/level_mirror.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"

namespace zorvik {
namespace {

// The keys the listing declares or passes as int; every other number is a double there.
constexpr std::array<std::string_view, 18> kIntKeys{{
    "shift", "period", "periodfast", "periodslow", "periodsignal", "ma_shift", "ma_shiftfast", "ma_shiftslow",
    "st_pk", "st_pd", "st_slow", "bo_shift", "stop_sl", "stop_tp", "stop_ts", "mm_maxtrades", "mm_slippage",
    "general_magic",
}};

bool isIntKey(std::string_view key) {
  for (std::string_view k : kIntKeys)
    if (k == key) return true;
  return false;
}

bool isNumberKind(std::string_view kind) { return kind.empty() || kind == "-"; }
bool isTextKind(std::string_view kind) { return kind == "Symbols"; }

// Blanks around a number are harmless in code; anything else around it is not.
std::string_view withoutBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<std::string> numberProblem(std::string_view raw, bool integer, bool nonNegative) {
  const std::string_view s = withoutBlanks(raw);
  std::size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) ++i;
  std::size_t intDigits = 0, fracDigits = 0;
  bool point = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++intDigits; }
  if (i < s.size() && s[i] == '.') {
    point = true;
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { ++i; ++fracDigits; }
  }
  if (i != s.size() || intDigits + fracDigits == 0) return std::string("ist keine Zahl");
  if (integer && point) return std::string("muss eine ganze Zahl sein");
  if (integer) {
    std::int64_t v = 0;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < INT32_MIN || v > INT32_MAX)
      return std::string("liegt nicht im Zahlenbereich von MQL4");
  } else {
    // Doubles reach MQL4 as written; a value of more than 15 significant digits would not
    // come back as the trader typed it.
    if (intDigits > 15) return std::string("liegt nicht im Zahlenbereich von MQL4");
  }
  if (nonNegative && negative && s.find_first_not_of("+-0.") != std::string_view::npos)
    return std::string("darf nicht negativ sein");
  return std::nullopt;
}

std::optional<std::string> literalProblem(std::string_view text) {
  if (text.size() > kLongestLiteral) return std::string("ist zu lang (höchstens 255 Zeichen)");
  for (unsigned char c : text)
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
      return std::string("enthält ein Steuerzeichen");
  return std::nullopt;
}

bool isBoolConstant(std::string_view s) {
  for (std::string_view b : {"TRUE", "FALSE", "true", "false", "0", "1"})
    if (b == s) return true;
  return false;
}

// What a parameter's values must be, worked out once per parameter: a large system checks the
// same dozen rows thousands of times.
struct ValueRule {
  enum class Kind { Unchecked, Literal, Number } kind = Kind::Unchecked;
  bool integer = false;
  bool nonNegative = false;
};

ValueRule ruleOf(const ParameterCoding& coding) {
  if (coding.key == "general_magic") return {ValueRule::Kind::Number, true, false};
  if (coding.key == "general_bezeichnung" || isTextKind(coding.kind)) return {ValueRule::Kind::Literal};
  if (!isNumberKind(coding.kind)) return {};
  return {ValueRule::Kind::Number, isIntKey(coding.key), coding.minimum >= 0};
}

std::optional<std::string> problemUnder(const ValueRule& rule, std::string_view value) {
  switch (rule.kind) {
    case ValueRule::Kind::Literal: return literalProblem(value);
    case ValueRule::Kind::Number: return numberProblem(value, rule.integer, rule.nonNegative);
    case ValueRule::Kind::Unchecked: break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> valueProblem(const ParameterCoding& coding, std::string_view value) {
  return problemUnder(ruleOf(coding), value);
}

std::optional<std::string> magicProblem(std::string_view value) { return numberProblem(value, true, false); }

namespace {

bool isStopKey(std::string_view key) { return key == "stop_sl" || key == "stop_tp" || key == "stop_ts"; }

// The catalogue range a typed number must lie in, as described at valueRefusal. Rows without a
// range (lists, texts) have minimum and maximum 0.
std::optional<ValueProblem> rangeProblem(const ParameterCoding& coding, std::string_view value) {
  if (!(coding.minimum < coding.maximum)) return std::nullopt;
  double low = coding.minimum, high = coding.maximum;
  if (isMirroredLevelKey(coding.key)) {
    low = std::min<double>(low, 100.0 - coding.maximum);
    high = std::max<double>(high, 100.0 - coding.minimum);
  }
  const std::string fallback = trim(coding.defaultValue);
  const double byDefault = leadingNumber(fallback);
  const bool defaultIsNumber = !fallback.empty() && !numberProblem(fallback, false, false);
  const bool lowHolds = !(defaultIsNumber && byDefault < low);
  const bool highHolds = !isStopKey(coding.key) && !(defaultIsNumber && byDefault > high);
  const double v = leadingNumber(trim(value));
  if ((lowHolds && v < low) || (highHolds && v > high)) {
    ValueProblem problem;
    problem.key = coding.key;
    problem.value = std::string(value);
    if (lowHolds && highHolds) {
      problem.message = "liegt außerhalb des erlaubten Bereichs";
      problem.detail = ": " + invariantNumber(low) + " \u2013 " + invariantNumber(high);
    } else if (lowHolds) {
      problem.message = "ist zu klein, das kleinste erlaubte ist";
      problem.detail = " " + invariantNumber(low);
    } else {
      problem.message = "ist zu groß, das größte erlaubte ist";
      problem.detail = " " + invariantNumber(high);
    }
    return problem;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ValueProblem> valueRefusal(const ParameterCoding& coding, std::string_view value) {
  const ValueRule rule = ruleOf(coding);
  if (auto problem = problemUnder(rule, value)) return ValueProblem{0, 0, "", coding.key, std::string(value), *problem, ""};
  if (rule.kind != ValueRule::Kind::Number || coding.key == "general_magic") return std::nullopt;
  return rangeProblem(coding, value);
}

std::string valueProblemText(const ValueProblem& problem, const LanguageTable* language) {
  return (language ? language->translate(problem.message) : problem.message) + problem.detail;
}

std::string withDecimalPoint(std::string_view typed) {
  const std::size_t comma = typed.find(',');
  if (comma == std::string_view::npos || typed.find(',', comma + 1) != std::string_view::npos ||
      typed.find('.') != std::string_view::npos)
    return std::string(typed);
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const bool digitBefore = comma > 0 && digit(typed[comma - 1]);
  const bool digitAfter = comma + 1 < typed.size() && digit(typed[comma + 1]);
  if (!digitBefore && !digitAfter) return std::string(typed);
  std::string out(typed);
  out[comma] = '.';
  return out;
}

namespace {

// withRanges: the editors' judgement (valueRefusal) rather than the generator's (valueProblem).
std::vector<ValueProblem> collectProblems(const TradingSystem& system, const Catalogue& catalogue,
                                          const DefinitionTable& definitions, bool withRanges) {
  std::vector<ValueProblem> problems;
  // A large system repeats a dozen types: their keys and rows are looked up once.
  struct KeyRule {
    const std::string* key;
    const ParameterCoding* coding;
    ValueRule rule;
  };
  std::vector<std::pair<std::string, std::vector<KeyRule>>> typeRules;
  auto rulesOf = [&](const std::string& type) -> const std::vector<KeyRule>& {
    for (const auto& entry : typeRules)
      if (entry.first == type) return entry.second;
    std::vector<KeyRule> rules;
    for (const std::string& key : catalogue.parameterKeysOf(type))
      if (const ParameterCoding* coding = catalogue.parameter(key))
        if (const ValueRule rule = ruleOf(*coding); rule.kind != ValueRule::Kind::Unchecked)
          rules.push_back({&key, coding, rule});
    typeRules.emplace_back(type, std::move(rules));
    return typeRules.back().second;
  };
  auto check = [&](int group, int position, std::string_view type, std::string_view key, const std::string& value) {
    const ParameterCoding* coding = catalogue.parameter(key);
    std::optional<std::string> problem;
    std::string detail;
    if (coding && withRanges) {
      if (auto refusal = valueRefusal(*coding, value)) {
        problem = refusal->message;
        detail = refusal->detail;
      }
    } else if (coding) {
      problem = valueProblem(*coding, value);
    } else if (key == "general_magic") {
      problem = magicProblem(value);
    }
    if (problem) problems.push_back({group, position, std::string(type), std::string(key), value, *problem, detail});
  };

  check(0, 0, "", "general_bezeichnung", system.general.title);
  check(0, 0, "", "general_magic", system.general.magic);
  const MoneyManagementRecord& mm = system.mm;
  check(0, 0, "", "mm_symbol", mm.symbol);
  if (auto problem = literalProblem(mm.type)) problems.push_back({0, 0, "", "mm_typ", mm.type, *problem, ""});
  check(0, 0, "", "mm_lots", mm.lots);
  check(0, 0, "", "mm_maxlots", mm.maxlots);
  check(0, 0, "", "mm_fraction", mm.fraction);
  check(0, 0, "", "mm_base", mm.base);
  check(0, 0, "", "mm_delta", mm.delta);
  check(0, 0, "", "mm_slippage", mm.slippage);
  check(0, 0, "", "mm_maxtrades", mm.maxtrades);
  std::string hedging = definitions.idToMeta4(mm.hedging);
  if (!hedging.empty() && hedging.front() == '#') hedging.erase(0, 1);
  if (!isBoolConstant(hedging)) problems.push_back({0, 0, "", "mm_hedging", mm.hedging, "ist kein gültiger Wert", ""});

  for (int index = 1; index <= kGroupCount; ++index) {
    const SignalGroup& group = system.group(index);
    check(index, 0, "", "threshold", group.threshold);
    if (kGroupRoles[static_cast<std::size_t>(index - 1)].isExit) {
      check(index, 0, "", "stop_sl", group.sl);
      check(index, 0, "", "stop_tp", group.tp);
      check(index, 0, "", "stop_ts", group.ts);
    }
    int position = 0;
    for (const Indicator& ind : group.indicators()) {
      ++position;
      if (indicatorKindOf(ind.type()) == IndicatorKind::Other) continue;
      for (const KeyRule& checked : rulesOf(ind.type())) {
        const std::string& value = ind.parameter(*checked.key);
        if (auto problem = problemUnder(checked.rule, value)) {
          problems.push_back({index, position, ind.type(), *checked.key, value, *problem, ""});
        } else if (withRanges && checked.rule.kind == ValueRule::Kind::Number) {
          if (auto outside = rangeProblem(*checked.coding, value)) {
            outside->group = index;
            outside->position = position;
            outside->indicatorType = ind.type();
            problems.push_back(std::move(*outside));
          }
        }
      }
    }
  }
  return problems;
}

}  // namespace

std::vector<ValueProblem> expertValueProblems(const TradingSystem& system, const Catalogue& catalogue,
                                              const DefinitionTable& definitions) {
  return collectProblems(system, catalogue, definitions, false);
}

std::vector<ValueProblem> systemValueRefusals(const TradingSystem& system, const Catalogue& catalogue,
                                              const DefinitionTable& definitions) {
  return collectProblems(system, catalogue, definitions, true);
}

std::string describeValueProblem(const TradingSystem& system, const Catalogue& catalogue, const ValueProblem& problem,
                                 const LanguageTable* language) {
  auto tr = [&](std::string_view german) { return language ? language->translate(german) : std::string(german); };
  std::string text = system.general.title + ": ";
  if (problem.group >= 1 && problem.group <= kGroupCount) {
    text += tr(kGroupRoles[static_cast<std::size_t>(problem.group - 1)].caption);
    if (problem.position > 0) text += " " + std::to_string(problem.position) + " (" + problem.indicatorType + ")";
    text += ", ";
  }
  std::string caption = language ? catalogue.parameterCaption(problem.key, *language) : std::string();
  if (caption.empty()) caption = problem.key;
  std::string shown = problem.value.size() > 40 ? problem.value.substr(0, 40) + "..." : problem.value;
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text + caption + " \"" + shown + "\": " + valueProblemText(problem, language);
}


}  // namespace zorvik
