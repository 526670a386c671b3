// The MQL4 checker: every EA the generator writes passes it, each broken EA of the fixture set
// is rejected at the line of its fault, and the language rules it enforces hold one by one.
#include <gtest/gtest.h>

#include <algorithm>

#include "generator/expert_generator.hpp"
#include "terminal/expert_source_file.hpp"
#include "model/file_names.hpp"
#include "model/trading_system.hpp"
#include "mql4/builtins.hpp"
#include "mql4/checker.hpp"
#include "test_support.hpp"
#include "workspace/current_system.hpp"

namespace zorvik::mql4 {
namespace {

namespace fs = std::filesystem;

fs::path fixtures() { return testing::sourceDir() / "tests" / "fixtures"; }

std::string errorsOf(const CheckResult& r, const std::string& file) {
  std::string text;
  for (const std::string& line : formatDiagnostics(file, r.diagnostics))
    if (line.find(": error: ") != std::string::npos) text += line + "\n";
  return text;
}

std::vector<Diagnostic> errors(const CheckResult& r) {
  std::vector<Diagnostic> out;
  for (const Diagnostic& d : r.diagnostics)
    if (d.severity == Severity::Error) out.push_back(d);
  return out;
}

// ---------------------------------------------------------------------------------------------
// What the generator writes

// The golden listings, and EAs written by hand with the idioms traders use (event handlers,
// enumerations, #define, objects, files, message boxes, strict and non-strict mode).
TEST(Mql4Checker, GoldenListingsAndHandWrittenExpertsPass) {
  int checked = 0;
  for (const fs::path& folder : {fixtures() / "golden", fixtures() / "mql4"}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".mq4") continue;
      const CheckResult r = checkFile(entry.path());
      EXPECT_TRUE(r.ok()) << errorsOf(r, entry.path().filename().string());
      ++checked;
    }
  }
  EXPECT_GE(checked, 6);
}

TEST(Mql4Checker, EveryDemoSystemsExpertPasses) {
  testing::TestWorkspace t(true);
  Workspace& ws = *t.ws;
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(ws.userFolder())) {
    const std::string file = entry.path().filename().string();
    if (file.size() < 8 || file.substr(file.size() - 8) != ".hsy.txt") continue;
    SCOPED_TRACE(file);
    ASSERT_TRUE(openSystem(ws, decodeFileName(file)));
    ASSERT_TRUE(writeExpertSource(ws, ws.system(), "100001"));
    const CheckResult r = checkFile(ws.userFile("_Zorvik.mq4"));
    EXPECT_TRUE(r.ok()) << errorsOf(r, file);
    ++checked;
  }
  EXPECT_GE(checked, 3);
}

// ---------------------------------------------------------------------------------------------
// The broken set: one fault each in an otherwise valid EA

struct BrokenCase {
  const char* file;
  int line;
  const char* message;
};

TEST(Mql4Checker, BrokenExpertsAreRejectedAtTheirFault) {
  const CheckResult valid = checkFile(fixtures() / "mql4" / "valid_expert.mq4");
  ASSERT_TRUE(valid.ok()) << errorsOf(valid, "valid_expert.mq4");

  const BrokenCase cases[] = {
      {"missing_semicolon", 13, "semicolon expected"},
      {"wrong_argument_count", 19, "'NormalizeDouble' - wrong parameters count"},
      {"undeclared_variable", 16, "'cnt' - undeclared identifier"},
      {"unbalanced_brace", 18, "unbalanced parentheses"},
      {"string_assigned_to_int", 13, "cannot convert 'string' to 'int'"},
      {"duplicate_local", 18, "'pos' - variable already defined"},
      {"assignment_to_bid", 12, "'Bid' - constant cannot be modified"},
      {"unterminated_string", 21, "unterminated string"},
  };
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(fixtures() / "mql4" / "broken")) files += entry.path().extension() == ".mq4";
  EXPECT_EQ(files, std::size(cases)) << "every broken fixture has its row";
  for (const BrokenCase& c : cases) {
    SCOPED_TRACE(c.file);
    const CheckResult r = checkFile(fixtures() / "mql4" / "broken" / (std::string(c.file) + ".mq4"));
    const auto found = errors(r);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front().pos.line, c.line) << found.front().message;
    EXPECT_NE(found.front().message.find(c.message), std::string::npos) << found.front().message;
  }
}

TEST(Mql4Checker, UnreadableFileIsAnError) {
  const CheckResult r = checkFile(fixtures() / "mql4" / "no such file.mq4");
  EXPECT_FALSE(r.ok());
  // A source beyond any real one is refused after reading just past the limit, however large
  // it claims to be (a sparse 50 GB file here).
  testing::TempDir dir;
  const fs::path huge = dir.path() / "huge.mq4";
  testing::writeBytes(huge, "int start(){ return(0); }\n");
  fs::resize_file(huge, std::uintmax_t{50} << 30);
  const CheckResult big = checkFile(huge);
  ASSERT_EQ(big.diagnostics.size(), 1u);
  EXPECT_NE(big.diagnostics[0].message.find("larger than 16 MB"), std::string::npos) << big.diagnostics[0].message;
}

// ---------------------------------------------------------------------------------------------
// The rules, one snippet each. An empty `error` means the snippet must pass.

struct Snippet {
  const char* what;
  const char* source;
  const char* error;  // part of the first error's message; "" for none
  int line = 0;       // the first error's line, 0 for any
};

TEST(Mql4Checker, LanguageRules) {
  const Snippet cases[] = {
      // Passing programs
      {"a function called before its definition", "int start(){ return(helper(2)); }\nint helper(int a){ return(a*2); }", ""},
      {"string concatenation with numbers", "void f(){ string s = \"a\" + 1 + 2.5 + TRUE; Print(s + Bars); }", ""},
      {"all statements",
       "void f(){ int i=0; for(;;){ if(i>3) break; else i++; }\n while(i>0) i--; do { i++; continue; } while(i<2);\n"
       " switch(i){ case 1: case OP_SELL+1: i=0; break; default: i=-1; } }",
       ""},
      {"operators", "void f(){ int a=1,b=2; a+=b; a-=1; a*=2; a/=2; a%=3; a<<=1; a>>=1; a&=7; a|=8; a^=1;\n"
                    " bool c = a>b ? true : !(a<=b) && (a!=b || a==b); double d = (double)a/b + -a + ~b; a = int(d); a++; --b; }", ""},
      {"#property strict lets an inner block hide a name", "#property strict\nvoid f(){ int i=1; { int i=2; Print(i); } for(int k=0;k<1;k++){} for(int k=0;k<1;k++){} }", ""},
      {"stdlib.mqh declares ErrorDescription", "#include <stdlib.mqh>\nvoid f(){ Print(ErrorDescription(GetLastError())); }", ""},
      {"#define, enum, input, arrays, literals",
       "#define LEVEL 30\nenum Side { Up, Down=3 };\ninput Side side = Down;\ndouble buf[LEVEL];\nint grid[2][2] = {{1,2},{3,4}};\n"
       "void f(){ datetime t = D'2024.01.02 10:00'; color c = C'0,128,255'; buf[0] = LEVEL + grid[1][1] + side + Close[1];\n"
       " double dyn[]; ArrayResize(dyn, 5); ArrayCopy(dyn, buf); Print(ArraySize(dyn), t, c, 0x1F, 'a', 1e-3, clrRed, Red); }",
       ""},
      {"NULL stands for the symbol", "void f(){ double m = iMA(NULL,0,14,0,MODE_SMA,PRICE_CLOSE,0); Print(m); }", ""},
      {"a string parameter takes a reference variable", "void f(){ string s=\"ab\"; StringToUpper(s); }", ""},
      {"a local may hide a predefined name", "void f(){ double Point = 1; Point = 2; Print(Point); }", ""},
      {"default parameters and overloads", "int g(int a, int b=2){ return(a+b); }\nint g(string s){ return(StringLen(s)); }\nvoid f(){ g(1); g(1,2); g(\"x\"); }", ""},
      {"globals and statics set from constants", "#define LOTS 0.1\nconst int K = 3;\ndouble lots = LOTS * 2;\nint n = K + OP_SELL - (1 << 2);\n"
                                                "string s = \"a\" + \"b\";\nbool on = K > 2 ? true : false;\ndatetime d = D'2024.01.02';\n"
                                                "color c = clrRed;\nvoid f(){ static int calls = K * 2; double m = iMA(NULL,0,14,0,MODE_SMA,PRICE_CLOSE,0); Print(calls, m); }", ""},
      {"strict: every path returns",
       "#property strict\nint a(int x){ if(x>0) return(1); else return(2); }\nint b(){ while(true){ if(Bars>1) return(1); } }\n"
       "int c(){ for(;;){} }\nint d(int x){ switch(x){ case 1: return(1); default: return(0); } }\n"
       "int e(){ do { return(1); } while(Bars>0); }\nint g(int x){ { if(x) return(1); } return(0); }\n"
       "int h(){ for(;;){ switch(Bars){ case 1: break; default: return(1); } } }", ""},
      {"without strict a missing return is the terminal's affair", "int f(int x){ if(x>0) return(1); }", ""},
      // Rejected programs
      {"undeclared name", "void f(){ x = 1; }", "'x' - undeclared identifier", 1},
      {"unknown function", "void f(){ Foo(); }", "'Foo' - function not defined", 1},
      {"too many arguments to a built-in", "void f(){ Print(OrdersTotal(1)); }", "'OrdersTotal' - wrong parameters count", 1},
      {"too few arguments to a user function", "int g(int a){ return(a); }\nvoid f(){\n g(); }", "'g' - wrong parameters count", 3},
      {"string where a built-in wants a number", "void f(){ double m = iRSI(NULL,\"0\",14,PRICE_CLOSE,0); }", "cannot convert 'string' to 'int'", 1},
      {"series are read-only", "void f(){\n Close[0] = 1.0; }", "'Close' - constant cannot be modified", 2},
      {"Digits is read-only", "void f(){ Digits++; }", "'Digits' - constant cannot be modified", 1},
      {"input variables are read-only", "input int Period1 = 3;\nvoid f(){ Period1 = 4; }", "'Period1' - constant cannot be modified", 2},
      {"constants are read-only", "void f(){ OP_BUY = 2; }", "'OP_BUY' - constant cannot be modified", 1},
      {"a local declared twice anywhere in a function", "void f(){\n for(int i=0;i<2;i++){}\n for(int i=0;i<2;i++){} }", "'i' - variable already defined", 3},
      {"a local with a parameter's name", "void f(int a){ double a = 1; }", "'a' - variable already defined", 1},
      {"strict: twice in the same block", "#property strict\nvoid f(){ int i; int i; }", "'i' - variable already defined", 2},
      {"strict: a block's local ends with the block", "#property strict\nvoid f(){ { int i = 1; } i = 2; }", "'i' - undeclared identifier", 2},
      {"ErrorDescription needs stdlib.mqh", "void f(){ Print(ErrorDescription(1)); }", "'ErrorDescription' - function not defined", 1},
      {"an unknown header", "#include <nosuch.mqh>\nvoid f(){}", "cannot open include file", 1},
      {"string arithmetic", "void f(){ string s = \"a\" - 1; }", "'-' - illegal operation use", 1},
      {"a void value used", "void g(){}\nvoid f(){ int a = g(); }", "'void' type is illegal", 2},
      {"a value returned from a void function", "void f(){ return(1); }", "'void' function returns a value", 1},
      {"no value returned from an int function", "int f(){ return; }", "function must return a value", 1},
      {"break outside a loop", "void f(){ break; }", "not inside a loop", 1},
      {"a reference parameter needs a variable", "void f(){ StringToUpper(\"ab\"); }", "variable of type 'string' expected", 1},
      {"an array parameter needs an array", "void f(){ double d; ArrayResize(d, 3); }", "expected for parameter 1", 1},
      {"a whole array used as a value", "double a[3];\nvoid f(){ double d = a + 1; }", "invalid array access", 2},
      {"duplicate case values", "void f(int a){ switch(a){ case 1: break;\n case 1: break; } }", "duplicate case value", 2},
      {"a function defined twice", "void f(){}\nvoid f(){}", "function already defined", 2},
      {"a global defined twice", "int a;\ndouble a;", "'a' - variable already defined", 2},
      {"a missing closing parenthesis", "void f(){ Print((1); }", "unbalanced parentheses", 1},
      {"an unterminated comment", "void f(){}\n/* open", "unterminated comment", 2},
      {"an else without if", "void f(){ else return; }", "'else'", 1},
      {"a declaration without type", "x = 3;", "declaration without type", 1},
      {"a stray character", "void f(){ int a = 1 @ 2; }", "unexpected character", 1},
      {"a number with letters", "void f(){ int a = 12abc; }", "invalid number", 1},
      {"a macro with parameters is beyond us", "#define SQR(x) ((x)*(x))\nvoid f(){}", "not supported", 1},
      {"modulo of a double", "void f(){ double d = 5.5 % 2; }", "'%' - illegal operation use", 1},
      {"a global set by a call", "double g = iMA(NULL,0,14,0,MODE_SMA,PRICE_CLOSE,0);\nvoid f(){}", "'g' - constant expression required", 1},
      {"a global set from a variable", "int a = 1;\nint b = a + 1;", "'b' - constant expression required", 2},
      {"a global set from a predefined variable", "double p = Point;", "'p' - constant expression required", 1},
      {"an input set by a call", "input int bars = Bars;", "'bars' - constant expression required", 1},
      {"a static set by a call", "void f(){\n static double s = Bid; }", "'s' - constant expression required", 2},
      {"a global array listing a call", "double levels[2] = {1.0, iATR(NULL,0,14,0)};", "'levels' - constant expression required", 1},
      {"strict: an if without else", "#property strict\nint f(int x){ if(x>0) return(1); }", "'f' - not all control paths return a value", 2},
      {"strict: a loop that may end", "#property strict\n\nint f(){ while(Bars>0){ return(1); } }", "not all control paths return a value", 3},
      {"strict: an endless loop left by break", "#property strict\nint f(){ for(;;){ if(Bars) break; } }", "not all control paths return a value", 2},
      {"strict: a switch without default", "#property strict\nint f(int x){ switch(x){ case 1: return(1); } }", "not all control paths return a value", 2},
      {"strict: a case that breaks", "#property strict\nint f(int x){ switch(x){ case 1: break; default: return(1); } }", "not all control paths return a value", 2},
      {"strict: no return at all", "#property strict\ndouble f(){ Print(1); }", "not all control paths return a value", 2},
  };
  for (const Snippet& c : cases) {
    SCOPED_TRACE(c.what);
    const CheckResult r = checkSource(c.source);
    const auto found = errors(r);
    if (std::string(c.error).empty()) {
      EXPECT_TRUE(found.empty()) << errorsOf(r, "snippet");
      continue;
    }
    ASSERT_FALSE(found.empty());
    EXPECT_NE(found.front().message.find(c.error), std::string::npos) << found.front().message;
    if (c.line) {
      EXPECT_EQ(found.front().pos.line, c.line);
    }
  }
}

TEST(Mql4Checker, PositionsAreLineAndColumnAsTheCompilerGivesThem) {
  const CheckResult r = checkSource("int a;\r\nvoid f(){\r\n\tint b = a + zz;\r\n}\r\n");
  const auto found = errors(r);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].pos.line, 3);
  EXPECT_EQ(found[0].pos.column, 14);
  EXPECT_EQ(formatDiagnostic("x.mq4", found[0]), "x.mq4(3,14): error: 'zz' - undeclared identifier");
}

// Sources built to exhaust the stack or the memory are refused with a message, not a crash.
TEST(Mql4Checker, HostileSourcesAreRefusedCleanly) {
  const std::string deepParentheses = "void f(){ int a = " + std::string(5000, '(') + "1" + std::string(5000, ')') + "; }";
  std::string longSum = "void f(){ int a = 1";
  for (int i = 0; i < 20000; ++i) longSum += "+1";
  longSum += "; }";
  std::string deepBlocks = "void f()" + std::string(5000, '{') + std::string(5000, '}');
  std::string macroBomb = "#define A0 1\n";
  for (int i = 1; i < 40; ++i) macroBomb += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
  macroBomb += "void f(){ int a = A39; }";
  // What real EAs hold stays well inside the limits: long else-if chains, long tables.
  std::string elseIfChain = "string d(int e){ string s=\"\";\n";
  for (int i = 0; i < 300; ++i) elseIfChain += (i ? " else if(e==" : " if(e==") + std::to_string(i) + ") s=\"" + std::to_string(i) + "\";\n";
  elseIfChain += " return(s); }";
  std::string table = "double t[3000] = {0";
  for (int i = 1; i < 3000; ++i) table += "," + std::to_string(i) + ".5";
  table += "};";
  for (const std::string& fine : {elseIfChain, table}) {
    const CheckResult r = checkSource(fine);
    EXPECT_TRUE(r.ok()) << errorsOf(r, "fine").substr(0, 300);
  }

  const struct {
    const char* what;
    std::string source;
    const char* error;
  } cases[] = {
      {"deep parentheses", deepParentheses, "nesting too deep"},
      {"a very long expression", longSum, "expression too complex"},
      {"deeply nested blocks", deepBlocks, "nesting too deep"},
      {"macros that multiply", macroBomb, "macro expansion too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const CheckResult r = checkSource(c.source);
    const auto found = errors(r);
    ASSERT_FALSE(found.empty());
    EXPECT_NE(found.front().message.find(c.error), std::string::npos) << found.front().message;
  }
}

// Warnings are reported and pass.
TEST(Mql4Checker, WarningsDoNotFail) {
  const CheckResult r = checkSource("void f(){ int a = 1.5; }");
  EXPECT_TRUE(r.ok());
  ASSERT_EQ(r.diagnostics.size(), 1u);
  EXPECT_EQ(r.diagnostics[0].severity, Severity::Warning);
}

// ---------------------------------------------------------------------------------------------
// The tree a later pass walks: names and calls resolved, expressions typed.

TEST(Mql4Checker, TreeCarriesTypesAndResolvedNames) {
  CheckResult r = checkSource("int n = 3;\nint f(){ int t = OrderSend(Symbol(),OP_BUY,0.1,Ask,3,0,0,\"a\\\"b\" \"\\\\c\\n\"); return(t / n); }");
  ASSERT_TRUE(r.ok()) << errorsOf(r, "tree");
  ASSERT_EQ(r.program.functions.size(), 1u);
  const FunctionDecl& f = *r.program.functions[0];
  const auto& decl = static_cast<const DeclStmt&>(*f.body->statements[0]);
  const auto& call = static_cast<const CallExpr&>(*decl.variables[0]->init);
  ASSERT_NE(call.builtin, nullptr);
  EXPECT_EQ(call.builtin->name, "OrderSend");
  EXPECT_EQ(call.type, kInt);
  const auto& ask = static_cast<const NameExpr&>(*call.args[3]);
  ASSERT_EQ(ask.ref.kind, NameRef::Kind::BuiltinValue);
  EXPECT_FALSE(ask.ref.builtin->isConstant);
  const auto& op = static_cast<const NameExpr&>(*call.args[1]);
  EXPECT_EQ(op.ref.builtin->intValue, 0);

  const auto& comment = static_cast<const LiteralExpr&>(*call.args[7]);
  EXPECT_EQ(comment.stringValue, "a\"b\\c\n") << "escapes resolved, adjacent literals joined";

  const auto& ret = static_cast<const ExprStmt&>(*f.body->statements[1]);
  const auto& div = static_cast<const BinaryExpr&>(*ret.expr);
  EXPECT_EQ(div.type, kInt) << "int / int stays an integer division";
  const auto& t = static_cast<const NameExpr&>(*div.left);
  const auto& n = static_cast<const NameExpr&>(*div.right);
  EXPECT_EQ(t.ref.variable, decl.variables[0].get());
  EXPECT_EQ(n.ref.variable, r.program.globals[0]->variables[0].get());

  // A call through a prototype with defaults runs the definition.
  CheckResult p = checkSource("int g(int a, int b = 2);\nint f(){ return(g(1)); }\nint g(int a, int b){ return(a+b); }");
  ASSERT_TRUE(p.ok()) << errorsOf(p, "prototype");
  const auto& call2 = static_cast<const CallExpr&>(*static_cast<const ExprStmt&>(*p.program.functions[1]->body->statements[0]).expr);
  EXPECT_EQ(call2.function, p.program.functions[2].get());
}

// ---------------------------------------------------------------------------------------------
// The built-in table

TEST(Mql4Builtins, EveryRowIsReadAndSignaturesAreExact) {
  const BuiltinTable& table = BuiltinTable::instance();
  for (const Builtin& b : table.allFunctions()) {
    SCOPED_TRACE(b.name);
    EXPECT_FALSE(b.name.empty());
    EXPECT_FALSE(b.returnType.isError());
    for (const BuiltinParam& p : b.params) {
      EXPECT_FALSE(p.name.empty());
      EXPECT_FALSE(p.type.isError());
    }
  }
  struct Row {
    const char* name;
    std::size_t minArgs, maxArgs;
    Type result;
  };
  const Row rows[] = {
      {"OrderSend", 7, 11, kInt},        {"OrderModify", 5, 6, kBool},       {"OrderClose", 4, 5, kBool},
      {"OrderSelect", 2, 3, kBool},      {"iMA", 7, 7, kDouble},             {"iStochastic", 9, 9, kDouble},
      {"iBands", 8, 8, kDouble},         {"iHighest", 3, 5, kInt},           {"TimeToStr", 1, 2, kString},
      {"StringSubstr", 2, 3, kString},   {"MarketInfo", 2, 2, kDouble},      {"MessageBox", 0, 3, kInt},
      {"NormalizeDouble", 2, 2, kDouble}, {"GetTickCount", 0, 0, Type{BaseType::UInt, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto& overloads = table.functions(row.name);
    ASSERT_EQ(overloads.size(), 1u);
    EXPECT_EQ(overloads[0]->minArgs, row.minArgs);
    EXPECT_EQ(overloads[0]->params.size(), row.maxArgs);
    EXPECT_EQ(overloads[0]->returnType, row.result);
  }
  const BuiltinValue* bid = table.value("Bid");
  ASSERT_NE(bid, nullptr);
  EXPECT_FALSE(bid->isConstant);
  const BuiltinValue* red = table.value("clrRed");
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->intValue, 0x0000FF) << "colours are 0x00BBGGRR";
  EXPECT_EQ(table.value("PERIOD_H4")->intValue, 240);
}

}  // namespace
}  // namespace zorvik::mql4
