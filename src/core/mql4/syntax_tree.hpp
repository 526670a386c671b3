#pragma once
// The syntax tree of an MQL4 program. Every node keeps its source position; the checker fills
// in the types of expressions and what each name and call refers to, so that a later pass (an
// interpreter) can walk the tree without looking anything up by name again.
#include <memory>
#include <string>
#include <vector>

#include "mql4/diagnostic.hpp"
#include "mql4/types.hpp"

namespace zorvik::mql4 {

struct VarDecl;
struct FunctionDecl;
struct Builtin;
struct BuiltinValue;

// ---------------------------------------------------------------------------------------------
// Expressions

enum class ExprKind { Literal, Name, Call, Index, Unary, Postfix, Binary, Assign, Ternary, Cast, Comma };

enum class Op {
  // unary
  Negate, Plus, Not, BitNot, PreIncrement, PreDecrement, PostIncrement, PostDecrement,
  // binary
  Add, Sub, Mul, Div, Mod, ShiftLeft, ShiftRight, BitAnd, BitOr, BitXor,
  Less, Greater, LessEqual, GreaterEqual, Equal, NotEqual, And, Or,
  // assignment
  Assign, AddAssign, SubAssign, MulAssign, DivAssign, ModAssign, AndAssign, OrAssign, XorAssign,
  ShiftLeftAssign, ShiftRightAssign,
};
const char* opSpelling(Op op);

struct Expr {
  explicit Expr(ExprKind k, SourcePos p) : kind(k), pos(p) {}
  virtual ~Expr() = default;
  ExprKind kind;
  SourcePos pos;
  Type type = kErrorType;  // set by the checker
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr {
  explicit LiteralExpr(SourcePos p) : Expr(ExprKind::Literal, p) {}
  Type literalType = kInt;  // int, long, double, string, bool, color, datetime or NULL
  long long intValue = 0;
  double doubleValue = 0;
  std::string stringValue;
};

// What a name stands for, once resolved.
struct NameRef {
  enum class Kind { Unresolved, Variable, BuiltinValue };
  Kind kind = Kind::Unresolved;
  const VarDecl* variable = nullptr;      // a global, parameter or local of the program
  const BuiltinValue* builtin = nullptr;  // a predefined variable, series or constant
};

struct NameExpr : Expr {
  NameExpr(SourcePos p, std::string n) : Expr(ExprKind::Name, p), name(std::move(n)) {}
  std::string name;
  NameRef ref;
};

struct CallExpr : Expr {
  CallExpr(SourcePos p, std::string n) : Expr(ExprKind::Call, p), name(std::move(n)) {}
  std::string name;
  std::vector<ExprPtr> args;
  const FunctionDecl* function = nullptr;  // the program's own function, or
  const Builtin* builtin = nullptr;        // the terminal's
};

struct IndexExpr : Expr {
  explicit IndexExpr(SourcePos p) : Expr(ExprKind::Index, p) {}
  ExprPtr array;
  ExprPtr index;
};

struct UnaryExpr : Expr {  // prefix operators and, with kind Postfix, x++ and x--
  UnaryExpr(ExprKind k, SourcePos p, Op o) : Expr(k, p), op(o) {}
  Op op;
  ExprPtr operand;
};

struct BinaryExpr : Expr {  // also assignments (kind Assign) and the comma operator (kind Comma)
  BinaryExpr(ExprKind k, SourcePos p, Op o) : Expr(k, p), op(o) {}
  Op op;
  ExprPtr left;
  ExprPtr right;
};

struct TernaryExpr : Expr {
  explicit TernaryExpr(SourcePos p) : Expr(ExprKind::Ternary, p) {}
  ExprPtr condition;
  ExprPtr whenTrue;
  ExprPtr whenFalse;
};

struct CastExpr : Expr {
  CastExpr(SourcePos p, Type t) : Expr(ExprKind::Cast, p), target(t) {}
  Type target;
  ExprPtr operand;
};

// ---------------------------------------------------------------------------------------------
// Declarations

enum class Storage { Local, Global, Extern, Input, Static, Parameter };

struct VarDecl {
  SourcePos pos;
  std::string name;
  Type type;
  Storage storage = Storage::Local;
  bool isConst = false;
  bool isReference = false;              // a parameter passed by reference (&)
  std::vector<ExprPtr> arraySizes;       // one per dimension; nullptr for a dynamic one ([])
  ExprPtr init;                          // a value, or for arrays the first of `initList`
  std::vector<ExprPtr> initList;         // {a, b, c}
  bool hasInitList = false;
};
using VarDeclPtr = std::unique_ptr<VarDecl>;

// ---------------------------------------------------------------------------------------------
// Statements

enum class StmtKind { Block, Expression, Declaration, If, While, DoWhile, For, Switch, Case, Break, Continue, Return, Empty };

struct Stmt {
  Stmt(StmtKind k, SourcePos p) : kind(k), pos(p) {}
  virtual ~Stmt() = default;
  StmtKind kind;
  SourcePos pos;
};
using StmtPtr = std::unique_ptr<Stmt>;

struct BlockStmt : Stmt {
  explicit BlockStmt(SourcePos p) : Stmt(StmtKind::Block, p) {}
  std::vector<StmtPtr> statements;
};

struct ExprStmt : Stmt {  // also the value of `return` (kind Return; expr may be null)
  ExprStmt(StmtKind k, SourcePos p) : Stmt(k, p) {}
  ExprPtr expr;
};

struct DeclStmt : Stmt {
  explicit DeclStmt(SourcePos p) : Stmt(StmtKind::Declaration, p) {}
  std::vector<VarDeclPtr> variables;
};

struct IfStmt : Stmt {
  explicit IfStmt(SourcePos p) : Stmt(StmtKind::If, p) {}
  ExprPtr condition;
  StmtPtr then;
  StmtPtr otherwise;  // may be null
};

struct LoopStmt : Stmt {  // while, do-while and for
  LoopStmt(StmtKind k, SourcePos p) : Stmt(k, p) {}
  StmtPtr init;         // for only: a declaration or expression statement, may be null
  ExprPtr condition;    // may be null in a for (endless)
  ExprPtr step;         // for only, may be null
  StmtPtr body;
};

// The body of a switch holds its statements in order with the case and default labels among
// them, as in C: execution falls through from one label's statements into the next.
struct SwitchStmt : Stmt {
  explicit SwitchStmt(SourcePos p) : Stmt(StmtKind::Switch, p) {}
  ExprPtr value;
  std::vector<StmtPtr> body;
};

struct CaseStmt : Stmt {
  explicit CaseStmt(SourcePos p) : Stmt(StmtKind::Case, p) {}
  ExprPtr value;  // null for default
  long long constant = 0;  // the value, once the checker has folded it
};

struct SimpleStmt : Stmt {  // break, continue, empty statement
  SimpleStmt(StmtKind k, SourcePos p) : Stmt(k, p) {}
};

// ---------------------------------------------------------------------------------------------
// The program

struct FunctionDecl {
  SourcePos pos;
  std::string name;
  Type returnType;
  std::vector<VarDeclPtr> parameters;
  std::unique_ptr<BlockStmt> body;  // null for a prototype
  bool isImported = false;          // declared inside an #import block
};
using FunctionDeclPtr = std::unique_ptr<FunctionDecl>;

struct Property {
  SourcePos pos;
  std::string name;   // "copyright", "strict" ...
  std::string value;  // as written, quotes removed
};

struct Include {
  SourcePos pos;
  std::string name;         // as written between < > or " "
  bool systemHeader = true;  // <name>
};

struct Program {
  std::vector<Property> properties;
  std::vector<Include> includes;
  std::vector<std::unique_ptr<DeclStmt>> globals;  // in source order
  std::vector<FunctionDeclPtr> functions;           // in source order
  // Globals and functions interleaved as the source has them: what the checker walks, since
  // a global is known only after its declaration, and a function everywhere.
  struct Item {
    const DeclStmt* globals = nullptr;
    FunctionDecl* function = nullptr;
  };
  std::vector<Item> order;
  bool strict = false;  // #property strict
};

}  // namespace zorvik::mql4
