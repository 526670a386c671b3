#pragma once
// The checker's walk over a parsed program: declarations, scopes and statements in
// checker.cpp, types, expressions and calls in checker_expressions.cpp. Shared by those two
// files only.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "mql4/builtins.hpp"
#include "mql4/diagnostic.hpp"
#include "mql4/syntax_tree.hpp"

namespace zorvik::mql4::checking {

inline std::string inQuotes(std::string_view name) { return "'" + std::string(name) + "'"; }

inline std::string lowerCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

class TreeChecker {
 public:
  TreeChecker(Program& program, Diagnostics& diags) : program_(program), diags_(diags), table_(BuiltinTable::instance()) {}

  void run();

 private:
  // -------------------------------------------------------------------------------------------
  // Diagnostics

  void error(SourcePos pos, std::string text) { diags_.push_back({pos, Severity::Error, std::move(text)}); }
  void warning(SourcePos pos, std::string text) { diags_.push_back({pos, Severity::Warning, std::move(text)}); }

  // -------------------------------------------------------------------------------------------
  // Declarations

  static bool sameParameters(const FunctionDecl& a, const FunctionDecl& b);
  bool hasBody(const FunctionDecl& f) const;
  void declareFunction(FunctionDecl& f);
  void declareGlobal(VarDecl& v);

  // The parts of a declaration every scope checks alike: array sizes, initial values.
  void checkDeclaration(VarDecl& v);

  // -------------------------------------------------------------------------------------------
  // Functions and scopes

  struct Local {
    std::string_view name;
    const VarDecl* decl;
  };

  void checkFunction(FunctionDecl& f);
  void pushScope();
  void popScope();
  const VarDecl* findLocal(std::string_view name, std::size_t from = 0) const;

  // Without "#property strict" a local lives from its declaration to the end of the function,
  // whatever block declares it: declaring it again anywhere in the function is an error. With
  // it, a block is a scope of its own and an inner block may hide an outer name.
  void declareLocal(const VarDecl& v);
  const BuiltinValue* visibleBuiltin(std::string_view name) const;

  // -------------------------------------------------------------------------------------------
  // Statements

  void condition(Expr& e);
  void statement(Stmt& s);

  // A statement of an if or loop is a scope of its own even without braces ("for(...) int i;").
  void branch(Stmt& s);

  // -------------------------------------------------------------------------------------------
  // Control flow

  // How control may leave a statement, as bits: on to the next statement, by break, by
  // continue. A return leaves none of them. Conditions are judged only when they are integral
  // constants ("while(true)"); any other may be true or false, so "if" without "else" and a
  // loop with a condition can always be passed by.
  enum Exit : unsigned { kNext = 1, kBreak = 2, kContinue = 4 };
  unsigned exits(const Stmt& s) const;
  unsigned sequenceExits(const std::vector<StmtPtr>& statements, bool labelsReachable) const;
  bool alwaysTrue(const Expr* condition) const;

  // -------------------------------------------------------------------------------------------
  // Types

  // Whether a value of type `from` may go where `to` is expected; reports the fault at `pos`
  // otherwise. `what` names the operation in the message ("=", "return", a parameter).
  bool convert(Type from, Type to, SourcePos pos, std::string_view what);

  // The value of an integral constant expression, if it is one.
  std::optional<long long> fold(const Expr& e) const;

  // Whether an expression is a constant (default values of parameters must be).
  bool isConstant(const Expr& e) const;

  // -------------------------------------------------------------------------------------------
  // Expressions

  Type check(Expr& e);
  Type compute(Expr& e);
  Type name(NameExpr& n);
  Type index(IndexExpr& ix);

  // The variable or predefined value an lvalue expression finally names, with how many
  // indexes were applied to it; nullptr when it is no name at all.
  static const NameExpr* rootName(const Expr& e);

  // Whether `target` may be changed; reports why not. `op` is the operator for the message.
  bool assignable(const Expr& target, std::string_view op);
  Type unary(UnaryExpr& u);

  // A scalar operand of a binary operator; reports void and whole arrays.
  bool operand(const Expr& e, Type t);

  // The type of `left op right` for the arithmetic, bitwise and comparison operators, or
  // an error type after reporting.
  Type combine(Op op, Type l, Type r, SourcePos pos);
  Type binary(BinaryExpr& b);
  static Op arithmeticOf(Op assignment);
  Type assign(BinaryExpr& a);
  Type ternary(TernaryExpr& t);

  // -------------------------------------------------------------------------------------------
  // Calls

  struct Parameter {
    std::string_view name;
    Type type;
    bool isReference;
  };
  static Parameter parameterOf(const BuiltinParam& p) { return {p.name, p.type, p.isReference || p.type.isArray()}; }
  static Parameter parameterOf(const VarDeclPtr& p) { return {p->name, p->type, p->isReference || p->type.isArray()}; }

  // Whether an argument fits a parameter; reports the fault when `report` is set.
  bool argumentFits(const Expr& arg, const Parameter& p, std::size_t index, bool report);

  // Checks the arguments against one signature. Returns whether they fit; reports only when
  // `report` is set.
  template <typename Params>
  bool fits(CallExpr& c, const Params& params, std::size_t minArgs, bool variadic, bool report);
  const FunctionDecl* definitionOf(const FunctionDecl& f) const;
  static std::size_t requiredArguments(const FunctionDecl& f);
  Type call(CallExpr& c);
  const std::vector<const Builtin*>& visibleBuiltins(const std::string& name);

  Program& program_;
  Diagnostics& diags_;
  const BuiltinTable& table_;
  bool strict_ = false;
  std::unordered_set<std::string> includes_;  // lower case
  std::unordered_map<std::string, std::vector<FunctionDecl*>> functions_;
  std::unordered_map<std::string, const VarDecl*> globals_;
  FunctionDecl* current_ = nullptr;
  std::vector<Local> locals_;
  std::vector<std::size_t> scopeStarts_;
};

}  // namespace zorvik::mql4::checking
