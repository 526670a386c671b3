// What the Expert Advisor may receive: the rules for numbers and texts, the refusal naming the
// place of a bad value, hostile component files, the shape of every generated listing, and
// the trading mends that show in the listing's text.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cctype>
#include <regex>

#include "backtest/backtest.hpp"
#include "generator/expert_generator.hpp"
#include "model/language.hpp"
#include "text/numbers.hpp"
#include "terminal/expert_source_file.hpp"
#include "generator/mql_literal.hpp"
#include "rules/value_checks.hpp"
#include "model/catalogue.hpp"
#include "model/component_files.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "parity_support.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"
#include "workspace/current_system.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik {
namespace {

using testing::TestWorkspace;

// ---- The shape of a listing, as the terminal's compiler would first see it.

// The functions every Expert Advisor defines, with their return types.
const std::pair<const char*, const char*> kFunctions[] = {
    {"void", "checkStoplevels"},    {"int", "init"},          {"int", "deinit"},
    {"double", "normalize_lots"},   {"int", "is_long"},       {"int", "is_short"},
    {"int", "check_long_entries"},  {"int", "check_short_entries"}, {"int", "check_long_exits"},
    {"int", "check_short_exits"},   {"void", "meldeOrderFehler"},   {"void", "enter_long"},
    {"void", "enter_short"},        {"void", "exit_long"},    {"void", "exit_short"},
    {"void", "trail_sl"},           {"void", "set_missing_stops"},  {"int", "start"},
    {"string", "ErrCode"},          {"void", "showHistory"},  {"double", "getTotalLots"},
};

// The listing with string contents and comments removed (the quotes stay), or the faults of
// its strings: a literal must close on its own line.
std::string codeOnly(const std::vector<std::string>& lines, std::vector<std::string>* faults) {
  std::string code;
  bool inBlockComment = false;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (inBlockComment) {
        if (c == '*' && i + 1 < line.size() && line[i + 1] == '/') { inBlockComment = false; ++i; }
      } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
        break;
      } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
        inBlockComment = true;
        ++i;
      } else if (c == '"') {
        ++i;
        while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
        if (i >= line.size() && faults) faults->push_back("line " + std::to_string(n + 1) + ": string not closed");
        code += "\"\"";
      } else {
        code += c;
      }
    }
    code += '\n';
  }
  return code;
}

// How often "<type> <name>(" stands in the code as a definition, blanks allowed as MQL4 allows
// them. A plain scan: this runs for hundreds of listings, where a regular expression per
// function name made the test crawl.
long definitionCount(const std::string& code, std::string_view type, std::string_view name) {
  auto isWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  long count = 0;
  for (std::size_t at = code.find(type); at != std::string::npos; at = code.find(type, at + 1)) {
    if (at > 0 && isWord(code[at - 1])) continue;
    std::size_t i = at + type.size();
    const std::size_t blanks = i;
    while (i < code.size() && isBlank(code[i])) ++i;
    if (i == blanks || code.compare(i, name.size(), name) != 0) continue;
    i += name.size();
    while (i < code.size() && isBlank(code[i])) ++i;
    if (i < code.size() && code[i] == '(') ++count;
  }
  return count;
}

std::vector<std::string> shapeFaults(const std::vector<std::string>& lines) {
  std::vector<std::string> faults;
  for (const std::string& line : lines)
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos || line.find('\0') != std::string::npos)
      faults.push_back("a line holds a line break or NUL: " + line.substr(0, 60));
  const std::string code = codeOnly(lines, &faults);
  std::string open;
  for (char c : code) {
    if (c == '{' || c == '(') open += c;
    if (c == '}' || c == ')') {
      if (open.empty() || open.back() != (c == '}' ? '{' : '(')) {
        faults.push_back(std::string("unbalanced ") + c);
        return faults;
      }
      open.pop_back();
    }
  }
  if (!open.empty()) faults.push_back("not closed: " + open);
  for (const auto& [type, name] : kFunctions) {
    const auto count = definitionCount(code, type, name);
    if (count != 1) faults.push_back(std::string("function ") + name + " defined " + std::to_string(count) + " times");
  }
  static const std::regex emptyValue(R"((^|[^=!<>+\-*/])=\s*[;,)}])");
  if (std::regex_search(code, emptyValue)) faults.push_back("no value after \"=\"");
  static const std::regex emptyArgument(R"([(,]\s*[,)])");
  for (auto it = std::sregex_iterator(code.begin(), code.end(), emptyArgument); it != std::sregex_iterator(); ++it)
    if (it->str() != "()") {
      faults.push_back("empty argument: " + it->str());
      break;
    }
  return faults;
}

ExpertSource generate(const Workspace& ws, const TradingSystem& system) {
  return expertSourceLines(system, ws.catalogue, ws.definitions, ExpertOptions{system.general.magic, "stamp", &ws.language});
}

// Opens a system file from the given folder as the program does: copied into the user folder.
TradingSystem& openCopy(TestWorkspace& t, const fs::path& file) {
  const std::string name = file.filename().string();
  fs::copy_file(file, t.ws->userFile(name), fs::copy_options::overwrite_existing);
  EXPECT_TRUE(openSystem(*t.ws, name)) << name;
  return t.ws->system();
}

std::vector<fs::path> systemFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().ends_with(".hsy.txt")) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(ExpertShape, EveryTestAndDemoSystemGivesAWellFormedListing) {
  const fs::path root = testing::sourceDir();
  std::vector<fs::path> files = systemFiles(root / "tests" / "fixtures" / "golden");
  const std::vector<fs::path> demo = systemFiles(root / "examples" / "user");
  files.insert(files.end(), demo.begin(), demo.end());
  ASSERT_GE(files.size(), 7u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    TestWorkspace t;
    const TradingSystem& system = openCopy(t, file);
    const ExpertSource source = generate(*t.ws, system);
    ASSERT_TRUE(source.ok()) << source.fault;
    EXPECT_EQ(shapeFaults(source.lines), std::vector<std::string>{});
  }
}

TEST(ExpertShape, TheCheckFindsBrokenListings) {
  const std::vector<std::string> good{"int init(){ a=1; Print(\"(\" + \"}\"); }"};
  struct Case {
    std::vector<std::string> lines;
    const char* fault;
  };
  const Case cases[] = {
      {{"int init(){ a=; }"}, "no value after"},
      {{"int init(){ Print(\"open); }"}, "string not closed"},
      {{"int init(){ f(1,,2); }"}, "empty argument"},
      {{"int init(){ a=1; ) }"}, "unbalanced"},
      {{"int init(){ if(a==1 { }"}, "not closed"},
      {{"int init(){ x=\"}\"; // }"}, "not closed"},
  };
  for (const Case& c : cases) {
    const auto faults = shapeFaults(c.lines);
    EXPECT_TRUE(std::any_of(faults.begin(), faults.end(),
                            [&](const std::string& f) { return f.find(c.fault) != std::string::npos; }))
        << c.fault;
  }
  const auto faults = shapeFaults(good);
  EXPECT_TRUE(std::none_of(faults.begin(), faults.end(), [](const std::string& f) { return f.find("function init ") != std::string::npos; }));
}

// ---- The rules for one value.

TEST(ExpertValues, NumbersAndTextsOfTheCatalogue) {
  TestWorkspace t;
  const std::string tooLong(kLongestLiteral + 1, 'X');
  struct Case {
    const char* key;
    const char* value;
    const char* problem;  // nullptr: taken
  };
  const Case cases[] = {
      {"period", "14", nullptr},
      {"period", " 14 ", nullptr},                 // blanks around are harmless in code
      {"period", "72,5", "ist keine Zahl"},        // a decimal comma
      {"period", "abc", "ist keine Zahl"},
      {"period", "1e3", "ist keine Zahl"},         // MQL4 reads no exponent in an int
      {"period", "", "ist keine Zahl"},
      {"period", "14.5", "muss eine ganze Zahl sein"},
      {"period", "2147483647", nullptr},
      {"period", "2147483648", "liegt nicht im Zahlenbereich von MQL4"},
      {"period", "99999999999999999999", "liegt nicht im Zahlenbereich von MQL4"},
      {"period", "-3", "darf nicht negativ sein"},
      {"ma_shift", "-3", nullptr},                 // a backwards shift is allowed
      {"stop_sl", "-50", "darf nicht negativ sein"},
      {"stop_sl", "0", nullptr},
      {"stop_ts", "30; int injected = 1", "ist keine Zahl"},
      {"mm_lots", ".5", nullptr},
      {"mm_lots", "0.01", nullptr},
      {"mm_lots", "-1", "darf nicht negativ sein"},
      {"mm_lots", "1.5.2", "ist keine Zahl"},
      {"mm_maxtrades", "2.0", "muss eine ganze Zahl sein"},
      {"pa_step", "0.02", nullptr},
      {"value", "+3", nullptr},
      {"st_trigger", "20.5", nullptr},             // a level is a double
      {"threshold", "100", nullptr},
      {"symbol", "EURUSD", nullptr},
      {"symbol", "EUR\"USD", nullptr},             // escaped, not refused
      {"symbol", tooLong.c_str(), "ist zu lang (höchstens 255 Zeichen)"},
      {"general_bezeichnung", "a\x01" "b", "enthält ein Steuerzeichen"},
      {"general_bezeichnung", "zwei\nZeilen", nullptr},
      {"general_magic", "100042", nullptr},
      {"general_magic", "-", "ist keine Zahl"},
      {"timeframe", "kein Wert", nullptr},         // a choice: only the list's constants are written
      {"comment", "\"; }", nullptr},               // never written
  };
  for (const Case& c : cases) {
    const ParameterCoding* coding = t.ws->catalogue.parameter(c.key);
    ASSERT_NE(coding, nullptr) << c.key;
    const auto problem = valueProblem(*coding, c.value);
    SCOPED_TRACE(std::string(c.key) + " = " + c.value);
    if (c.problem) {
      ASSERT_TRUE(problem.has_value());
      EXPECT_EQ(*problem, c.problem);
      EXPECT_NE(t.ws->language.translate(*problem), "");
    } else {
      EXPECT_EQ(problem, std::nullopt);
    }
  }
}

TEST(ExpertValues, StringLiteralsCannotBeEnded) {
  const std::pair<std::string, std::string> cases[] = {
      {"Trend", "\"Trend\""},
      {"X\"; int start(){", "\"X\\\"; int start(){\""},
      {"C:\\MT4\\", "\"C:\\\\MT4\\\\\""},  // a closing backslash must not escape the quote
      {"a\nb\r\tc", "\"a\\nb\\r\\tc\""},
      {std::string("n\0l", 3), "\"n?l\""},
      {"", "\"\""},
  };
  for (const auto& [text, literal] : cases) EXPECT_EQ(mqlStringLiteral(text), literal);
}

// ---- Refusing a system.

TEST(ExpertValues, GenerationNamesSystemGroupIndicatorAndParameterAndWritesNothing) {
  TestWorkspace t;
  TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  system.group(1).indicator(1).setRaw("shift", "72,5");
  system.group(2).sl = "-50";
  testing::writeBytes(t.ws->userFile("_Zorvik.mq4"), "earlier");

  const ExpertSource source = generate(*t.ws, system);
  EXPECT_TRUE(source.lines.empty());
  ASSERT_EQ(source.problems.size(), 2u);
  EXPECT_EQ(source.problems[0].group, 1);
  EXPECT_EQ(source.problems[0].position, 1);
  EXPECT_EQ(source.problems[0].key, "shift");
  EXPECT_EQ(source.problems[1].key, "stop_sl");

  int compiled = 0;
  EXPECT_EQ(generateExpertSource(*t.ws, system, system.general.magic, "Trend", [&](Workspace&, std::string_view) { return ++compiled; }), 0);
  EXPECT_EQ(compiled, 0);
  EXPECT_EQ(testing::readBytes(t.ws->userFile("_Zorvik.mq4")), "earlier");
  ASSERT_EQ(t.host.messages.size(), 1u);
  const std::string& message = t.host.messages[0];
  const std::string type = system.group(1).indicator(1).type();
  EXPECT_TRUE(message.starts_with("Der Expert Advisor wurde nicht erzeugt - diese Werte sind ungültig: " +
                                  system.general.title + ": LONG 1 (" + type + "), "))
      << message;
  EXPECT_NE(message.find("\"72,5\": ist keine Zahl"), std::string::npos) << message;
  EXPECT_NE(message.find("EXIT LONG, Stoploss \"-50\": darf nicht negativ sein"), std::string::npos) << message;

  t.ws->language.switchLanguage("ENGLISCH", t.ws->resFolder());
  generateExpertSource(*t.ws, system, system.general.magic, "Trend", {});
  ASSERT_EQ(t.host.messages.size(), 2u);
  EXPECT_NE(t.host.messages[1].find("The Expert Advisor was not generated - these values are not valid: "), std::string::npos);
  EXPECT_NE(t.host.messages[1].find(": is not a number"), std::string::npos) << t.host.messages[1];
  EXPECT_NE(t.host.messages[1].find(": must not be negative"), std::string::npos) << t.host.messages[1];
}

// Texts keep to their string literals, numbers are refused: whatever a shared file holds, the
// code of the listing is the code of an ordinary system.
TEST(ExpertValues, HostileValuesInEveryFieldAreRefusedOrEscaped) {
  const std::string hostile[] = {
      "X\"; int start(){ OrderSend(); }//",
      "30; int injected = 1",
      "}",
      "{",
      ");",
      "a\nint injected=1;",
      std::string("a\0b", 3),
      "\\",
      std::string(10000, '9'),
      std::string(10000, '"'),
  };
  TestWorkspace t;
  TradingSystem& base = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  const ExpertSource plain = generate(*t.ws, base);
  ASSERT_TRUE(plain.ok()) << plain.fault;
  const std::string plainCode = codeOnly(plain.lines, nullptr);

  // Every field the listing writes, as a setter on a copy of the system.
  using Setter = std::function<void(TradingSystem&, const std::string&)>;
  std::vector<std::pair<std::string, Setter>> fields = {
      {"title", [](TradingSystem& s, const std::string& v) { s.general.title = v; }},
      {"magic", [](TradingSystem& s, const std::string& v) { s.general.magic = v; }},
      {"threshold", [](TradingSystem& s, const std::string& v) { s.group(1).threshold = v; }},
      {"sl", [](TradingSystem& s, const std::string& v) { s.group(2).sl = v; }},
      {"tp", [](TradingSystem& s, const std::string& v) { s.group(4).tp = v; }},
      {"ts", [](TradingSystem& s, const std::string& v) { s.group(4).ts = v; }},
      {"mm_type", [](TradingSystem& s, const std::string& v) { s.mm.type = v; }},
      {"mm_symbol", [](TradingSystem& s, const std::string& v) { s.mm.symbol = v; }},
      {"mm_lots", [](TradingSystem& s, const std::string& v) { s.mm.lots = v; }},
      {"mm_maxlots", [](TradingSystem& s, const std::string& v) { s.mm.maxlots = v; }},
      {"mm_fraction", [](TradingSystem& s, const std::string& v) { s.mm.fraction = v; }},
      {"mm_base", [](TradingSystem& s, const std::string& v) { s.mm.base = v; }},
      {"mm_delta", [](TradingSystem& s, const std::string& v) { s.mm.delta = v; }},
      {"mm_slippage", [](TradingSystem& s, const std::string& v) { s.mm.slippage = v; }},
      {"mm_maxtrades", [](TradingSystem& s, const std::string& v) { s.mm.maxtrades = v; }},
      {"mm_hedging", [](TradingSystem& s, const std::string& v) { s.mm.hedging = v; }},
  };
  for (int g = 1; g <= kGroupCount; ++g) {
    for (int i = 1; i <= base.group(g).count(); ++i) {
      for (const Indicator::Parameter& p : base.group(g).indicator(i).parameters()) {
        if (p.name == "value") continue;  // refused by the signal sum, see the generator's tests
        fields.push_back({std::to_string(g) + "/" + std::to_string(i) + "/" + p.name,
                          [g, i, name = p.name](TradingSystem& s, const std::string& v) {
                            s.group(g).indicator(i).setRaw(name, v);
                          }});
      }
    }
  }
  ASSERT_GT(fields.size(), 30u);
  for (const auto& [field, set] : fields) {
    // What the field's code is with a harmless text; a number field refuses it and keeps
    // the code of the plain system.
    TradingSystem harmless = base;
    set(harmless, "X");
    const ExpertSource withText = generate(*t.ws, harmless);
    const std::string fieldCode = withText.ok() ? codeOnly(withText.lines, nullptr) : plainCode;
    for (const std::string& value : hostile) {
      SCOPED_TRACE(field + " = " + value.substr(0, 40));
      TradingSystem system = base;
      set(system, value);
      const ExpertSource source = generate(*t.ws, system);
      if (!source.ok()) {
        EXPECT_TRUE(source.lines.empty());
        continue;
      }
      EXPECT_EQ(shapeFaults(source.lines), std::vector<std::string>{});
      EXPECT_EQ(codeOnly(source.lines, nullptr), fieldCode);
    }
  }
}

// ---- Opening an existing file.

TEST(ExpertValues, AFileWithoutSomeKeysOpensWithTheDefaultsForThem) {
  TestWorkspace t;
  // Only a title and a magic number: no stops, thresholds, money management or hedging.
  testing::writeBytes(t.ws->userFile("Kurz.hsy.txt"),
                      "START general\r\nbezeichnung=\"Kurz\"\r\nmagic=\"100123\"\r\nENDE general\r\n");
  ASSERT_TRUE(openSystem(*t.ws, "Kurz.hsy.txt"));
  const TradingSystem& system = t.ws->system();
  EXPECT_EQ(system.general.title, "Kurz");
  EXPECT_EQ(system.group(2).sl, "5");
  EXPECT_EQ(system.group(4).tp, "6");
  EXPECT_EQ(system.group(1).threshold, "100");
  EXPECT_FALSE(system.mm.hedging.empty());
  const ExpertSource source = generate(*t.ws, system);
  ASSERT_TRUE(source.ok()) << source.fault;
  EXPECT_NE(std::find(source.lines.begin(), source.lines.end(), "extern int Stoploss_Long = 5;"), source.lines.end());
  EXPECT_EQ(shapeFaults(source.lines), std::vector<std::string>{});
}

// ---- Trading mends that show in the listing.

std::vector<std::string> functionBody(const std::vector<std::string>& lines, const std::string& head) {
  auto from = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(head); });
  if (from == lines.end()) return {};
  int depth = 0;
  std::vector<std::string> body;
  for (auto it = from; it != lines.end(); ++it) {
    body.push_back(*it);
    const std::string code = codeOnly({*it}, nullptr);
    depth += static_cast<int>(std::count(code.begin(), code.end(), '{')) - static_cast<int>(std::count(code.begin(), code.end(), '}'));
    if (depth <= 0 && it != from) break;
  }
  return body;
}

std::size_t lineWith(const std::vector<std::string>& lines, const std::string& part) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(part) != std::string::npos) return i;
  return std::string::npos;
}

TEST(ExpertMends, TheDailyTradeLimitStartsAgainEachDay) {
  // Once both counters only grew: after maxTrades trades the EA never traded again until it
  // was restarted.
  TestWorkspace t;
  const TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  const ExpertSource source = generate(*t.ws, system);
  const auto start = functionBody(source.lines, "int start()");
  const std::size_t reset = lineWith(start, "if(today!=tradeDay)");
  const std::size_t limit = lineWith(start, "maxTrades)&&(maxTrades!=0)");
  ASSERT_NE(reset, std::string::npos);
  ASSERT_NE(limit, std::string::npos);
  EXPECT_LT(reset, limit);
  EXPECT_NE(lineWith(start, "istTrades=0;"), std::string::npos);
  // The new day's count is this EA's orders of the day, recounted, not 0: after a restart
  // during the day its earlier trades still count.
  const std::size_t recount = lineWith(start, "showHistory();");
  EXPECT_LT(reset, recount);
  EXPECT_LT(recount, limit);
  EXPECT_EQ(lineWith(start, "dayTrades=0;"), std::string::npos);
  // The day counted is the day showHistory counted, by magic number and symbol, among the
  // closed and the open orders.
  const auto history = functionBody(source.lines, "void showHistory()");
  EXPECT_NE(lineWith(history, "tradeDay=sheute;"), std::string::npos);
  EXPECT_EQ(std::count_if(history.begin(), history.end(),
                          [](const std::string& l) {
                            return l.find("(OrderMagicNumber()==magic)&&(OrderSymbol()==tSymbol)){dayTrades++;}") !=
                                   std::string::npos;
                          }),
            2);
}

TEST(ExpertMends, StopsAreNormalisedFromFreshPricesAndRetriedUntilSet) {
  TestWorkspace t;
  const TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  const ExpertSource source = generate(*t.ws, system);
  for (const char* function : {"void enter_long()", "void enter_short()"}) {
    SCOPED_TRACE(function);
    const auto body = functionBody(source.lines, function);
    const std::size_t refresh = lineWith(body, "    RefreshRates();");
    const std::size_t stop = lineWith(body, "price1=");
    ASSERT_NE(refresh, std::string::npos);
    EXPECT_LT(refresh, lineWith(body, "Stoploss_"));
    EXPECT_NE(stop, std::string::npos);
    for (const std::string& line : body)
      if (line.find("* Point") != std::string::npos) {
        EXPECT_NE(line.find("NormalizeDouble("), std::string::npos) << line;
      }
    // A refused modification is reported, not dropped.
    const std::size_t modify = lineWith(body, "OrderModify(");
    ASSERT_NE(modify, std::string::npos);
    EXPECT_NE(body[modify].find("==FALSE) Print("), std::string::npos) << body[modify];
  }
  const auto retry = functionBody(source.lines, "void set_missing_stops()");
  EXPECT_NE(lineWith(retry, "OrderMagicNumber()!=magic"), std::string::npos);
  EXPECT_NE(lineWith(retry, "OrderClose(OrderTicket(),OrderLots(),market,0)"), std::string::npos);
  // A position whose stops stay refused is logged once, not at every bar.
  const std::size_t refused = lineWith(retry, "refused, asked again at each new bar");
  ASSERT_NE(refused, std::string::npos);
  EXPECT_NE(retry[refused].find("if(firstStopsRefusal(OrderTicket())) Print("), std::string::npos);
  // Asked for at the first tick of a new bar only, after the trailing and before the exits.
  const auto start = functionBody(source.lines, "int start()");
  const std::size_t newBar = lineWith(start, "if (Volume[0]<merkVol){");
  const std::size_t missing = lineWith(start, "set_missing_stops();");
  EXPECT_LT(lineWith(start, "if (sperr) return(0);"), missing);
  EXPECT_LT(lineWith(start, "trail_sl();"), newBar);
  EXPECT_LT(newBar, missing);
  EXPECT_LT(missing, lineWith(start, "check_long_exits()"));
  for (const std::string& line : functionBody(source.lines, "void trail_sl()"))
    if (line.find("* Point") != std::string::npos) {
      EXPECT_NE(line.find("NormalizeDouble("), std::string::npos) << line;
    }
}

TEST(ExpertMends, AnotherSymbolsChartDoesNotTradeAndTrailingBelowTheStopIsSaid) {
  TestWorkspace t;
  TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  system.mm.symbol = "GBPUSD";
  const ExpertSource source = generate(*t.ws, system);
  ASSERT_TRUE(source.ok()) << source.fault;
  EXPECT_NE(lineWith(source.lines, "string tSymbol = \"GBPUSD\";"), std::string::npos);
  const auto init = functionBody(source.lines, "int init()");
  // The globals outlive a change of the chart's symbol: the block is lifted first of all.
  ASSERT_GE(init.size(), 2u);
  EXPECT_EQ(init[1], "  sperr=FALSE;");
  const std::size_t guard = lineWith(init, "if (tSymbol!=Symbol())");
  ASSERT_NE(guard, std::string::npos);
  EXPECT_NE(init[guard + 1].find("sperr=TRUE;"), std::string::npos);
  EXPECT_NE(lineWith(init, "Comment(\"This EA trades \""), std::string::npos);
  EXPECT_LT(guard, lineWith(init, "checkStoplevels();"));
  EXPECT_NE(lineWith(init, "it replaces the stop loss at the first tick"), std::string::npos);
  EXPECT_NE(lineWith(source.lines, "// Trailing stops trail from the first tick"), std::string::npos);
}

// A room under mmMaxLots below the broker's smallest lot sends no order and says why; cutting
// it to the smallest lot would pass the limit.
TEST(ExpertMends, ARoomBelowTheSmallestLotSendsNoOrder) {
  TestWorkspace t;
  const TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  const ExpertSource source = generate(*t.ws, system);
  for (const char* function : {"void enter_long()", "void enter_short()"}) {
    SCOPED_TRACE(function);
    const auto body = functionBody(source.lines, function);
    const std::size_t tooSmall = lineWith(body, "+ 0.0000001 < MarketInfo(tSymbol, MODE_MINLOT)) {");
    ASSERT_NE(tooSmall, std::string::npos);
    EXPECT_NE(body[tooSmall + 1].find("Print(\"no "), std::string::npos);
    EXPECT_EQ(body[tooSmall + 2], "        return;");
    EXPECT_LT(tooSmall, lineWith(body, "lots=normalize_lots(mmMaxLots - getTotalLots("));
    EXPECT_LT(tooSmall, lineWith(body, "OrderSend("));
  }
}

// Every stored number reaches the listing as a plain decimal: a leading zero could make a
// C-like compiler read it as octal ("010" is 8 there) or refuse it ("08").
TEST(ExpertMends, StoredNumbersAreWrittenAsPlainDecimals) {
  const struct {
    const char* stored;
    const char* written;
  } numbers[] = {
      {"08", "8"},       {"020", "20"},     {"0", "0"},         {"000", "0"},     {"-08", "-8"},
      {"+3", "3"},       {" 12 ", "12"},    {".5", "0.5"},      {"-.5", "-0.5"},  {"0.50", "0.50"},
      {"007.250", "7.250"}, {"5.", "5.0"},  {"1e3", "1e3"},     {"", ""},         {"abc", "abc"},
  };
  for (const auto& n : numbers) EXPECT_EQ(plainDecimal(n.stored), n.written) << '"' << n.stored << '"';

  TestWorkspace t;
  TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  system.group(2).sl = "040";
  system.mm.lots = "0.10";
  system.mm.maxtrades = "03";
  system.general.magic = "0100789";
  Indicator& first = system.group(1).indicator(1);
  for (const std::string& key : t.ws->catalogue.parameterKeysOf(first.type()))
    if (key == "shift" || key.starts_with("period")) first.setRaw(key, "0" + first.parameter(key));
  const ExpertSource source = generate(*t.ws, system);
  ASSERT_TRUE(source.ok()) << source.fault;
  EXPECT_NE(lineWith(source.lines, "extern int Stoploss_Long = 40;"), std::string::npos);
  EXPECT_NE(lineWith(source.lines, "extern double mmLots = 0.10;"), std::string::npos);
  EXPECT_NE(lineWith(source.lines, "extern int maxTrades = 3;"), std::string::npos);
  EXPECT_NE(lineWith(source.lines, "extern int magic =100789;"), std::string::npos);
  // No number in the code begins with a zero followed by a digit.
  const std::regex octal("[^0-9A-Za-z_.]0[0-9]");
  for (const std::string& line : source.lines) {
    const std::string code = codeOnly({line}, nullptr);
    EXPECT_FALSE(std::regex_search(code, octal)) << line;
  }
}

// A money-management type none of the three methods gives an EA without a lot line and a
// backtest without a trade: both refuse it, saying which value it is.
TEST(ExpertMends, AnUnknownMoneyManagementTypeIsRefused) {
  TestWorkspace t;
  TradingSystem& system = openCopy(t, testing::sourceDir() / "tests" / "fixtures" / "golden" / "trend_fixed_lots.hsy.txt");
  const struct {
    const char* type;
    bool refused;
  } types[] = {
      {"idFixed Lots", false}, {"idFixed Fractional", false}, {"idFixed Ratio", false}, {"#0", false}, {"", false},
      {"idMartingale", true},  {"#7", true},                   {"Fixed Lots", true},
  };
  const BarSeries history = testing::walkWithGaps("EURUSD", 5, 7, 600, 15);  // what its indicators read
  for (const auto& c : types) {
    SCOPED_TRACE(c.type);
    system.mm.type = c.type;
    const ExpertSource source = generate(*t.ws, system);
    EXPECT_EQ(source.ok(), !c.refused) << source.fault;
    auto backtest = Backtest::prepare(system, t.ws->catalogue, t.ws->definitions, history, {});
    const std::string* why = std::get_if<std::string>(&backtest);
    if (!c.refused) {
      EXPECT_EQ(why, nullptr) << *why;
      continue;
    }
    ASSERT_NE(why, nullptr);
    for (const std::string& fault : {source.fault, *why})
      EXPECT_NE(fault.find("\"" + std::string(c.type) + "\": ist keine der Methoden Fixed Lots"),
                std::string::npos)
          << fault;
  }
  // In English, as every value problem.
  system.mm.type = "idMartingale";
  LanguageTable english;
  english.switchLanguage("ENGLISCH", t.ws->resFolder());
  const ExpertSource source = expertSourceLines(system, t.ws->catalogue, t.ws->definitions,
                                                ExpertOptions{system.general.magic, "stamp", &english});
  EXPECT_NE(source.fault.find("\"idMartingale\": is none of the methods Fixed Lots, Fixed Fractional, Fixed Ratio"),
            std::string::npos)
      << source.fault;
}

}  // namespace
}  // namespace zorvik
