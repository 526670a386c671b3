// The MQL4 interpreter: the language as the terminal runs it (conversions, integer width,
// control flow, functions, arrays), its critical errors, and the simulated terminal an EA
// sees (ticks, forming bar, orders and their refusals).
#include <gtest/gtest.h>

#include <cmath>

#include "market/bar_series.hpp"
#include "mql4/checker.hpp"
#include "mql4/interpreter.hpp"

namespace zorvik::mql4 {
namespace {

constexpr std::int64_t kMonday = 1704067200;  // 2024-01-01 00:00

// Hourly bars from (open, high, low, close) in points of a 5-digit symbol.
BarSeries bars(const std::vector<std::array<int, 4>>& ohlc) {
  BarSeries s;
  s.symbol = "EURUSD";
  s.timeframeMinutes = 60;
  s.digits = 5;
  for (std::size_t i = 0; i < ohlc.size(); ++i) {
    const auto& b = ohlc[i];
    s.push_back({kMonday + static_cast<std::int64_t>(i) * 3600, b[0] / 1e5, b[1] / 1e5, b[2] / 1e5, b[3] / 1e5, 50});
  }
  return s;
}

struct Outcome {
  ExpertTestRun run;
  std::vector<std::string> printed;  // without the time in front
  std::string loadError;
};

Outcome runSource(const std::string& source, const BarSeries& history, SymbolProperties symbol = {},
                  long long loopLimit = 10'000'000, const RunBudget& budget = {}) {
  Outcome out;
  const CheckResult checked = checkSource(source);
  std::string errors;
  for (const std::string& m : formatDiagnostics("t.mq4", checked.diagnostics)) errors += m + "\n";
  EXPECT_TRUE(checked.ok()) << errors;
  if (!checked.ok()) return out;
  auto loaded = ExpertInterpreter::load(checked.program);
  if (auto* why = std::get_if<std::string>(&loaded)) {
    out.loadError = *why;
    return out;
  }
  ExpertTestSettings settings;
  settings.history = &history;
  settings.endBar = history.size();
  settings.symbol = symbol;
  settings.symbol.digits = history.digits;
  settings.loopLimit = loopLimit;
  settings.budget = budget;
  settings.log = [&out](std::string_view line) { out.printed.emplace_back(line.substr(line.find("  ") + 2)); };
  out.run = std::get<0>(loaded)->run(settings);
  return out;
}

const BarSeries kOneBar = bars({{110000, 110050, 109950, 110020}});

// ---------------------------------------------------------------------------------------------
// The language

struct PrintCase {
  const char* code;      // statements of init()
  const char* expected;  // what they print, lines joined with '|'
};

TEST(Mql4Interpreter, ValuesAndStatementsAsTheTerminalComputesThem) {
  const PrintCase cases[] = {
      {"Print(7/2); Print(7/2.0); Print(-7/2); Print(-7%3);", "3|3.50000000|-3|-1"},
      {"int i=2147483647; i++; Print(i); i=2147483647; i=i+1; Print(i);", "-2147483648|-2147483648"},
      {"Print(\"a\"+1+2); Print(1+2+\"a\"); Print(\"x\"+1.5);", "a12|3a|x1.50000000"},
      {"bool b=5; Print(b); Print(b+1); int n=3.99; Print(n); n=-3.99; Print(n);", "true|2|3|-3"},
      {"double d=1/3; Print(d); d=1.0/4; Print(d);", "0.00000000|0.25000000"},
      {"string s=\"abc\"; Print(s==\"abc\"); Print(s<\"abd\"); Print(StringSubstr(s,1)); Print(StringLen(s));",
       "true|true|bc|3"},
      {"int x=0; if(x==0) Print(\"zero\"); else Print(\"other\"); Print(x>0 ? \"pos\" : \"not\");", "zero|not"},
      {"int s=0; for(int i=0;i<10;i++){ if(i==2) continue; if(i==5) break; s+=i; } Print(s);", "8"},
      {"int i=0; while(true){ i++; if(i>=4) break; } do { i--; } while(i>0); Print(i);", "0"},
      {"for(int k=0;k<4;k++) switch(k){ case 0: Print(\"a\"); case 1: Print(\"b\"); break; default: Print(\"d\"); }",
       "a|b|b|d|d"},
      {"Print(twice(4)); Print(fact(10)); Print(counter()+counter()+counter());", "8|3628800|6"},
      {"int v=1; bump(v); bump(v); Print(v); Print(greet()); Print(greet(\"you\"));", "3|hello world|hello you"},
      {"double a[3]; a[1]=2.5; Print(ArraySize(a)); Print(a[1]+a[0]); int d[]; ArrayResize(d,5); d[4]=7;"
       " Print(ArraySize(d)); Print(d[4]); int m[2][3]; m[1][2]=6; Print(m[1][2]*2);",
       "3|2.50000000|5|7|12"},
      {"int f[]={3,1,2}; Print(ArraySize(f)); Print(f[0]*100+f[1]*10+f[2]);", "3|312"},
      {"Print(TimeToStr(0)); Print(TimeToStr(86400*366+3600+120+5,TIME_DATE|TIME_SECONDS));"
       " Print(TimeDayOfWeek(0));",
       "1970.01.01 00:00|1971.01.02 01:02:05|4"},
      {"Print(NormalizeDouble(1.234567,5)); Print(MathFloor(-1.5)); Print(MathMax(2,3.5)); Print(DoubleToStr(2.5,1));",
       "1.23457000|-2.00000000|3.50000000|2.5"},
      // A literal is the double nearest to it, as a lot size of ".3" must be.
      {"Print(0.3==3/10.0); Print(1.1==11/10.0); Print(2.675e-1==2675/10000.0);", "true|true|true"},
      {"int i=5; i+=2.9; Print(i); i<<=2; Print(i); i%=5; Print(i); double q=10; q/=4; Print(q);",
       "7|28|3|2.50000000"},
  };
  for (const PrintCase& c : cases) {
    SCOPED_TRACE(c.code);
    const std::string source = std::string(
                                   "int twice(int x){ return(x*2); }\n"
                                   "int fact(int n){ if(n<=1) return(1); return(n*fact(n-1)); }\n"
                                   "int counter(){ static int n=0; n++; return(n); }\n"
                                   "void bump(int &x){ x++; }\n"
                                   "string greet(string who=\"world\"){ return(\"hello \"+who); }\n"
                                   "int init(){ ") +
                               c.code + " return(0); }\nint start(){ return(0); }\n";
    const Outcome o = runSource(source, kOneBar);
    ASSERT_EQ(o.loadError, "");
    EXPECT_TRUE(o.run.ok()) << o.run.error;
    std::string printed;
    for (const std::string& line : o.printed) printed += (printed.empty() ? "" : "|") + line;
    EXPECT_EQ(printed, c.expected);
  }
}

TEST(Mql4Interpreter, CriticalErrorsStopTheExpertWithTheirLine) {
  const struct {
    const char* body;
    int line;
    const char* message;
  } cases[] = {
      {"int z=0;\nint r=5/z;", 3, "zero divide"},
      {"double z=0;\ndouble r=1.5/z;", 3, "zero divide"},
      {"int a[3];\nint i=3;\na[i]=1;", 4, "array out of range"},
      {"int i=0;\nwhile(i>=0) i=1;", 3, "endless loop"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const Outcome o = runSource(std::string("int start(){\n") + c.body + "\nreturn(0); }\n", kOneBar, {}, 100000);
    ASSERT_FALSE(o.run.ok());
    EXPECT_NE(o.run.error.find("line " + std::to_string(c.line)), std::string::npos) << o.run.error;
    EXPECT_NE(o.run.error.find(c.message), std::string::npos) << o.run.error;
  }
}

TEST(Mql4Interpreter, RunawayProgramsAreStoppedByTheirBudget) {
  RunBudget small;
  small.steps = 1'000'000;
  small.memoryBytes = 100LL << 20;
  small.logBytes = 1LL << 20;
  small.tickTime = std::chrono::seconds(60);  // slow machines must not stop a case early
  RunBudget slowOnly = small;
  slowOnly.steps = 1LL << 60;
  slowOnly.tickTime = std::chrono::milliseconds(300);
  const struct {
    const char* what;
    const char* source;
    RunBudget budget;
    const char* stop;  // the budget named
    const char* function;
    int line;
  } cases[] = {
      // No loop, and never deeper than 41 calls: only the count of calls stops it.
      {"recursion bomb", "int f(int n){ if(n<=0) return(1);\nreturn(f(n-1)+f(n-1)); }\nint start(){ f(40); return(0); }",
       small, "the step budget is used up", "f", 2},
      {"recursion bomb on the clock", "int f(int n){ if(n<=0) return(1);\nreturn(f(n-1)+f(n-1)); }\nint start(){ f(60); return(0); }",
       slowOnly, "the time budget is used up", "f", 2},
      // Spread over every tick: no single call comes near the loop limit.
      {"busy start()", "int start(){\nfor(int i=0;i<400000;i++){} return(0); }", small, "the step budget is used up",
       "start", 2},
      {"arrays", "int start(){\ndouble a[1000000];\ndouble b[1000000];\nreturn(0); }", small,
       "the memory budget is used up", "start", 3},
      {"doubling a string", "int start(){ string s=\"0123456789\";\nfor(int i=0;i<40;i++)\ns=s+s;\nreturn(0); }", small,
       "the memory budget is used up", "start", 3},
      {"log flood", "int start(){\nfor(int i=0;i<1000000;i++) Print(\"flood \", i); return(0); }", small,
       "the log budget is used up", "start", 2},
  };
  const BarSeries history = bars({{110000, 110050, 109950, 110020}, {110020, 110070, 109990, 110040}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome o = runSource(c.source, history, {}, 10'000'000, c.budget);
    ASSERT_FALSE(o.run.ok());
    EXPECT_NE(o.run.error.find(c.stop), std::string::npos) << o.run.error;
    EXPECT_NE(o.run.error.find("in " + std::string(c.function) + "()"), std::string::npos) << o.run.error;
    EXPECT_EQ(o.run.error.rfind("line " + std::to_string(c.line) + ",", 0), 0u) << o.run.error;
  }

  // Memory given back is free again: arrays of a returned call and overwritten strings are not
  // counted twice, however often the EA makes them anew (40 calls of 3 MB each here).
  RunBudget tight = small;
  tight.memoryBytes = 8LL << 20;
  const Outcome reused = runSource(
      "void work(){ double a[50000]; string s=\"\"; for(int i=0;i<1000;i++) s=s+\"0123456789\"; ArrayResize(a,10); }\n"
      "int start(){ for(int k=0;k<5;k++) work(); return(0); }",
      history, {}, 10'000'000, tight);
  EXPECT_TRUE(reused.run.ok()) << reused.run.error;
}

TEST(Mql4Interpreter, BuiltInsItDoesNotRunAreRefusedWhenLoading) {
  const Outcome o = runSource("int start(){ ObjectCreate(\"x\",OBJ_HLINE,0,0,1.0); return(0); }", kOneBar);
  EXPECT_NE(o.loadError.find("ObjectCreate"), std::string::npos) << o.loadError;
  const Outcome none = runSource("int init(){ return(0); }", kOneBar);
  EXPECT_NE(none.loadError.find("start()"), std::string::npos) << none.loadError;
}

// ---------------------------------------------------------------------------------------------
// The simulated terminal

TEST(Mql4Interpreter, TicksShowTheFormingBar) {
  // A rising bar visits low before high; a falling one high before low.
  const BarSeries h = bars({{110000, 110050, 109950, 110020}, {110020, 110030, 109900, 109910}});
  const Outcome o = runSource(
      "int start(){ Print(Bars+\" \"+Volume[0]+\" \"+DoubleToStr(Bid,5)+\" \"+DoubleToStr(Ask,5)+\" \"+"
      "DoubleToStr(High[0],5)+\" \"+DoubleToStr(Low[0],5)+\" \"+DoubleToStr(Close[0],5)+\" \"+DoubleToStr(Open[0],5)); return(0); }",
      h);
  const std::vector<std::string> expected = {
      "1 1 1.10000 1.10020 1.10000 1.10000 1.10000 1.10000", "1 2 1.09950 1.09970 1.10000 1.09950 1.09950 1.10000",
      "1 3 1.10050 1.10070 1.10050 1.09950 1.10050 1.10000", "1 4 1.10020 1.10040 1.10050 1.09950 1.10020 1.10000",
      "2 1 1.10020 1.10040 1.10020 1.10020 1.10020 1.10020", "2 2 1.10030 1.10050 1.10030 1.10020 1.10030 1.10020",
      "2 3 1.09900 1.09920 1.10030 1.09900 1.09900 1.10020", "2 4 1.09910 1.09930 1.10030 1.09900 1.09910 1.10020",
  };
  EXPECT_EQ(o.printed, expected);
}

TEST(Mql4Interpreter, OrdersAreFilledStoppedAndRefusedAsTheBrokerDoes) {
  // Bar 0 rises to 1.10050; bar 1 opens with a gap below the stop loss of the buy.
  const BarSeries h = bars({{110000, 110050, 109950, 110020}, {109800, 109850, 109700, 109750}});
  SymbolProperties sym;
  sym.stopLevelPoints = 30;
  const Outcome o = runSource(
      "int start(){\n"
      "  if(Bars==1 && Volume[0]==1){\n"
      "    Print(OrderSend(Symbol(),OP_BUY,0.015,Ask,0,0,0)+\" \"+GetLastError());\n"
      "    Print(OrderSend(Symbol(),OP_BUY,0.1,Ask,0,Bid-0.0002,0)+\" \"+GetLastError());\n"
      "    Print(OrderSend(Symbol(),OP_BUY,0.1,Ask,0,Bid-0.0010,0)+\" \"+GetLastError());\n"
      "    Print(OrderSend(Symbol(),OP_SELL,0.2,Bid,0,0,0)+\" \"+GetLastError());\n"
      "    Print(OrderModify(2,0,Ask+0.0001,0,0)+\" \"+GetLastError());\n"
      "    Print(OrderSend(\"GBPUSD\",OP_SELL,0.2,Bid,0,0,0)+\" \"+GetLastError());\n"
      "  }\n"
      "  return(0); }\n",
      h, sym);
  ASSERT_TRUE(o.run.ok()) << o.run.error;
  const std::vector<std::string> expected = {"-1 131", "-1 130", "1 0", "2 0", "false 130", "-1 4106"};
  EXPECT_EQ(o.printed, expected);
  ASSERT_EQ(o.run.trades.size(), 2u);
  // The buy's stop at 1.09900 was jumped over by the open of 1.09800: filled at that open.
  EXPECT_EQ(o.run.trades[0].reason, CloseReason::StopLoss);
  EXPECT_DOUBLE_EQ(o.run.trades[0].closePrice, 1.09800);
  EXPECT_EQ(o.run.trades[0].closeTime, kMonday + 3600);
  // The sell stays open to the end: closed at the last Ask.
  EXPECT_EQ(o.run.trades[1].reason, CloseReason::EndOfTest);
  EXPECT_DOUBLE_EQ(o.run.trades[1].closePrice, 1.09770);
  EXPECT_NEAR(o.run.trades[1].profit, (1.10000 - 1.09770) * 0.2 * 100000, 1e-9);
  EXPECT_NEAR(o.run.balance, 10000 + o.run.trades[0].profit + o.run.trades[1].profit, 1e-9);
}

// A stop reached by a later tick (no gap) fills at the stop's own price, even when the tick's
// stored price has the same points but other last bits; Bid is the stored price itself.
TEST(Mql4Interpreter, AStopFillsAtItsOwnPriceNotAtTheStoredTickPrice) {
  BarSeries h = bars({{110000, 110050, 109950, 110020}, {110000, 110010, 109900, 109950}});
  const double storedLow = std::nextafter(1.099, 2.0);  // 1.09900 in points, not the nearest double
  h.low[1] = storedLow;
  const Outcome o = runSource(
      "int start(){\n"
      "  if(Bars==1 && Volume[0]==1) OrderSend(Symbol(),OP_BUY,0.1,Ask,0,NormalizeDouble(Bid-0.0010,5),0);\n"
      "  if(Bars==2 && Volume[0]==3) Print(Bid==Low[0]);\n"
      "  return(0); }\n",
      h);
  ASSERT_TRUE(o.run.ok()) << o.run.error;
  EXPECT_EQ(o.printed, std::vector<std::string>{"true"});
  ASSERT_EQ(o.run.trades.size(), 1u);
  EXPECT_EQ(o.run.trades[0].reason, CloseReason::StopLoss);
  EXPECT_EQ(o.run.trades[0].closePrice, 1.099);
  EXPECT_NE(o.run.trades[0].closePrice, storedLow);
}

// What an indicator shows at shift 0 while a bar forms is, at that bar's last tick, exactly the
// value the next tick shows for the finished bar at shift 1: on the chart's timeframe and on a
// higher one built from it (whose bar forms over several chart bars).
TEST(Mql4Interpreter, TheFormingBarBecomesTheFinishedBar) {
  std::vector<std::array<int, 4>> ohlc;
  int price = 110000;
  for (int i = 0; i < 120; ++i) {
    const int close = price + ((i * 37) % 23 - 11) * 7;
    ohlc.push_back({price, std::max(price, close) + (i % 5) * 3, std::min(price, close) - (i % 7) * 2, close});
    price = close;
  }
  const BarSeries h = bars(ohlc);
  const char* calls[] = {
      "iMA(NULL,TF,5,0,MODE_EMA,PRICE_TYPICAL,S)",
      "iMA(NULL,TF,4,0,MODE_LWMA,PRICE_CLOSE,S)",
      "iRSI(NULL,TF,6,PRICE_CLOSE,S)",
      "iMACD(NULL,TF,3,7,3,PRICE_CLOSE,MODE_SIGNAL,S)",
      "iOsMA(NULL,TF,3,7,3,PRICE_MEDIAN,S)",
      "iBands(NULL,TF,6,2,0,PRICE_CLOSE,MODE_UPPER,S)",
      "iStochastic(NULL,TF,5,3,3,MODE_SMA,0,MODE_MAIN,S)",
      "iSAR(NULL,TF,0.02,0.2,S)",
      "iADX(NULL,TF,5,PRICE_CLOSE,MODE_MAIN,S)",
      "iHigh(NULL,TF,S)",
  };
  for (const char* tf : {"0", "240"}) {
    for (const char* call : calls) {
      auto with = [&](const char* shift) {
        std::string c = call;
        c.replace(c.find("TF"), 2, tf);
        c.replace(c.find(",S)"), 3, std::string(",") + shift + ")");
        return c;
      };
      SCOPED_TRACE(with("s") + " on " + tf);
      const std::string source =
          "double last=0; datetime lastBar=0; int compared=0;\n"
          "int start(){\n"
          "  datetime bar=iTime(NULL," + std::string(tf) + ",0);\n"
          "  if(lastBar!=0 && bar!=lastBar){\n"
          "    double done=" + with("1") + ";\n"
          "    if(done==last) compared++; else if(!(done!=done && last!=last)) Print(\"differs at \"+TimeToStr(bar)+\": \"+DoubleToStr(last,10)+\" \"+DoubleToStr(done,10));\n"
          "  }\n"
          "  last=" + with("0") + "; lastBar=bar;\n"
          "  return(0); }\n"
          "int deinit(){ Print(\"compared \"+compared); return(0); }\n";
      const Outcome o = runSource(source, h);
      ASSERT_TRUE(o.run.ok()) << o.run.error;
      ASSERT_FALSE(o.printed.empty());
      EXPECT_EQ(o.printed.size(), 1u) << o.printed.front();
      EXPECT_GE(o.printed.back(), std::string("compared ")) << o.printed.back();
      EXPECT_NE(o.printed.back(), "compared 0");
    }
  }
}

}  // namespace
}  // namespace zorvik::mql4
