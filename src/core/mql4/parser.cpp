// The MQL4 grammar as one recursive-descent parser, kept whole in one file: its rules call
// each other up and down (a statement holds expressions, an expression a cast to a type, a
// declaration both), and each rule reads best beside the ones it calls.
#include "mql4/parser.hpp"

#include <deque>
#include <set>
#include <string>
#include <unordered_set>

#include "mql4/lexer.hpp"
#include "mql4/macro_expansion.hpp"

namespace zorvik::mql4 {

const char* opSpelling(Op op) {
  switch (op) {
    case Op::Negate: return "-";
    case Op::Plus: return "+";
    case Op::Not: return "!";
    case Op::BitNot: return "~";
    case Op::PreIncrement: case Op::PostIncrement: return "++";
    case Op::PreDecrement: case Op::PostDecrement: return "--";
    case Op::Add: return "+";
    case Op::Sub: return "-";
    case Op::Mul: return "*";
    case Op::Div: return "/";
    case Op::Mod: return "%";
    case Op::ShiftLeft: return "<<";
    case Op::ShiftRight: return ">>";
    case Op::BitAnd: return "&";
    case Op::BitOr: return "|";
    case Op::BitXor: return "^";
    case Op::Less: return "<";
    case Op::Greater: return ">";
    case Op::LessEqual: return "<=";
    case Op::GreaterEqual: return ">=";
    case Op::Equal: return "==";
    case Op::NotEqual: return "!=";
    case Op::And: return "&&";
    case Op::Or: return "||";
    case Op::Assign: return "=";
    case Op::AddAssign: return "+=";
    case Op::SubAssign: return "-=";
    case Op::MulAssign: return "*=";
    case Op::DivAssign: return "/=";
    case Op::ModAssign: return "%=";
    case Op::AndAssign: return "&=";
    case Op::OrAssign: return "|=";
    case Op::XorAssign: return "^=";
    case Op::ShiftLeftAssign: return "<<=";
    case Op::ShiftRightAssign: return ">>=";
  }
  return "?";
}

namespace {

struct SyntaxError {};

// Limits that keep the recursive parser, the checker and the tree's destruction within the
// stack on any input: nesting of statements and parentheses, and the tokens of one statement
// (which bounds how deep its expression tree can grow). No EA comes near them: an "else if"
// chain nests one level per branch, and each value of an initializer list counts on its own.
constexpr int kMaxNesting = 1000;
constexpr std::size_t kMaxStatementTokens = 4000;

// Words that can never name a variable or function.
const std::unordered_set<std::string_view>& reservedWords() {
  static const std::unordered_set<std::string_view> words{
      "if", "else", "for", "while", "do", "switch", "case", "default", "break", "continue", "return",
      "extern", "input", "sinput", "static", "const", "enum", "struct", "class", "true", "false",
      "void", "bool", "char", "uchar", "short", "ushort", "int", "uint", "long", "ulong", "float",
      "double", "string", "datetime", "color", "sizeof", "new", "delete", "this", "operator",
  };
  return words;
}

class Parser {
 public:
  Parser(std::string_view source, Diagnostics& diags) : diags_(diags) {
    Diagnostics lexical;
    raw_ = tokenize(source, lexical);
    if (!lexical.empty()) {
      diags_.insert(diags_.end(), lexical.begin(), lexical.end());
      failed_ = true;
      return;
    }
    if (!checkBrackets(raw_, diags_)) {
      failed_ = true;
      return;
    }
    if (!expandMacros(raw_, toks_, macroTexts_, diags_)) failed_ = true;
  }

  Program run() {
    Program program;
    // The terminal's own enumerations name ints, as ours do.
    for (std::string_view e : {"ENUM_TIMEFRAMES", "ENUM_MA_METHOD", "ENUM_APPLIED_PRICE", "ENUM_STO_PRICE",
                               "ENUM_LINE_STYLE", "ENUM_OBJECT", "ENUM_BASE_CORNER", "ENUM_ANCHOR_POINT",
                               "ENUM_ORDER_TYPE", "ENUM_INIT_RETCODE", "ENUM_SYMBOL_INFO_DOUBLE",
                               "ENUM_SYMBOL_INFO_INTEGER", "ENUM_SYMBOL_INFO_STRING", "ENUM_ACCOUNT_INFO_DOUBLE",
                               "ENUM_ACCOUNT_INFO_INTEGER", "ENUM_ACCOUNT_INFO_STRING", "ENUM_DAY_OF_WEEK",
                               "ENUM_SERIESMODE", "ENUM_ALIGN_MODE", "ENUM_BORDER_TYPE"})
      enumTypes_.emplace(e);
    if (failed_) return program;
    try {
      while (at().kind != TokenKind::End) topLevel(program);
    } catch (const SyntaxError&) {
    }
    return program;
  }

 private:
  // -------------------------------------------------------------------------------------------
  // Tokens

  const Token& at(std::size_t ahead = 0) const {
    const std::size_t k = i_ + ahead;
    return k < toks_.size() ? toks_[k] : toks_.back();
  }
  const Token& take() {
    const Token& t = at();
    if (i_ + 1 < toks_.size()) ++i_;
    return t;
  }
  bool accept(std::string_view punct) {
    if (at().is(punct)) {
      take();
      return true;
    }
    return false;
  }
  SourcePos previousEnd() const { return i_ > 0 ? toks_[i_ - 1].end : at().pos; }

  // Counts one level of nesting for as long as it lives.
  struct Nest {
    explicit Nest(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxNesting) parser.fail(parser.at().pos, "'" + std::string(parser.at().spelling) + "' - nesting too deep");
    }
    ~Nest() { --parser.depth_; }
    Parser& parser;
  };
  void statementStarts() { statementStart_ = i_; }
  void guardSize() {
    if (i_ - statementStart_ > kMaxStatementTokens) fail(at().pos, "'" + std::string(at().spelling) + "' - expression too complex");
  }

  [[noreturn]] void fail(SourcePos pos, std::string text) {
    diags_.push_back({pos, Severity::Error, std::move(text)});
    throw SyntaxError{};
  }
  [[noreturn]] void unexpected() {
    const Token& t = at();
    if (t.kind == TokenKind::End) fail(t.pos, "'' - unexpected end of program");
    fail(t.pos, "'" + std::string(t.spelling) + "' - unexpected token");
  }
  void expect(std::string_view punct) {
    if (accept(punct)) return;
    // A missing ';' belongs at the end of the statement before, not on the line that follows.
    if (punct == ";") fail(previousEnd(), "';' - semicolon expected");
    if (at().kind == TokenKind::End) fail(at().pos, "'' - unexpected end of program");
    fail(at().pos, "'" + std::string(at().spelling) + "' - '" + std::string(punct) + "' expected");
  }
  std::string identifier(const char* what) {
    const Token& t = at();
    if (t.kind != TokenKind::Identifier || reservedWords().count(t.spelling)) {
      if (t.kind == TokenKind::End) fail(t.pos, "'' - unexpected end of program");
      fail(t.pos, "'" + std::string(t.spelling) + "' - " + what + " expected");
    }
    take();
    return std::string(t.spelling);
  }

  // -------------------------------------------------------------------------------------------
  // Types

  bool isTypeWord(const Token& t) const {
    if (t.kind != TokenKind::Identifier) return false;
    BaseType b;
    return baseTypeOfKeyword(t.spelling, b) || (!enumTypes_.empty() && enumTypes_.count(t.spelling));
  }
  Type parseBaseType() {
    const Token& t = at();
    BaseType b;
    if (t.kind == TokenKind::Identifier && baseTypeOfKeyword(t.spelling, b)) {
      take();
      return {b, 0};
    }
    if (t.kind == TokenKind::Identifier && !enumTypes_.empty() && enumTypes_.count(t.spelling)) {
      take();
      return kInt;  // an enumeration is an int with named values
    }
    fail(t.pos, "'" + std::string(t.spelling) + "' - declaration without type");
  }

  // -------------------------------------------------------------------------------------------
  // Top level

  void topLevel(Program& program) {
    statementStarts();
    const Token& t = at();
    if (t.kind == TokenKind::Directive) {
      directive(program, take());
      return;
    }
    if (t.is(";")) {
      take();
      return;
    }
    if (t.isWord("enum")) {
      enumDeclaration(program);
      return;
    }
    if (t.isWord("struct") || t.isWord("class") || t.isWord("union") || t.isWord("interface") || t.isWord("template"))
      fail(t.pos, "'" + std::string(t.spelling) + "' - not supported by this checker");

    const SourcePos start = t.pos;
    Storage storage = Storage::Global;
    bool isConst = false;
    while (true) {
      if (at().isWord("extern")) storage = Storage::Extern;
      else if (at().isWord("input") || at().isWord("sinput")) storage = Storage::Input;
      else if (at().isWord("static")) storage = Storage::Static;
      else if (at().isWord("const")) isConst = true;
      else break;
      take();
    }
    if (!isTypeWord(at())) {
      if (at().kind == TokenKind::Identifier && at(1).is("(")) fail(at().pos, "'" + std::string(at().spelling) + "' - function declaration without type");
      if (at().kind == TokenKind::Identifier) fail(at().pos, "'" + std::string(at().spelling) + "' - declaration without type");
      unexpected();
    }
    const Type type = parseBaseType();
    if (at().kind == TokenKind::Identifier && at(1).is("(")) {
      auto f = std::make_unique<FunctionDecl>();
      f->pos = at().pos;
      f->returnType = type;
      f->name = identifier("function name");
      f->isImported = inImport_;
      parameters(*f);
      if (at().is("{")) {
        if (inImport_) fail(at().pos, "'{' - function body in an import");
        f->body = block();
      } else {
        expect(";");
      }
      program.order.push_back({nullptr, f.get()});
      program.functions.push_back(std::move(f));
      return;
    }
    if (type.base == BaseType::Void) fail(start, "'void' - illegal use of type");
    auto decl = std::make_unique<DeclStmt>(start);
    declarators(*decl, type, storage == Storage::Global ? Storage::Global : storage, isConst);
    expect(";");
    program.order.push_back({decl.get(), nullptr});
    program.globals.push_back(std::move(decl));
  }

  void directive(Program& program, const Token& t) {
    std::string_view line = trimmed(t.spelling.substr(1));
    const std::string_view word = line.substr(0, line.find_first_of(" \t"));
    const std::string_view rest = trimmed(line.substr(word.size()));
    if (word == "property") {
      Property p;
      p.pos = t.pos;
      const std::size_t gap = rest.find_first_of(" \t");
      p.name = std::string(rest.substr(0, gap));
      std::string_view value = gap == std::string_view::npos ? std::string_view{} : trimmed(rest.substr(gap));
      if (value.size() >= 2 && value.front() == '"') {
        if (value.back() != '"') fail(t.pos, "'#property' - unterminated string");
        value = value.substr(1, value.size() - 2);
      }
      p.value = std::string(value);
      if (p.name.empty()) fail(t.pos, "'#property' - property name expected");
      if (p.name == "strict") program.strict = true;
      program.properties.push_back(std::move(p));
      return;
    }
    if (word == "include") {
      if (rest.size() < 3 || !((rest.front() == '<' && rest.back() == '>') || (rest.front() == '"' && rest.back() == '"')))
        fail(t.pos, "'#include' - file name expected in <> or \"\"");
      program.includes.push_back({t.pos, std::string(rest.substr(1, rest.size() - 2)), rest.front() == '<'});
      return;
    }
    if (word == "import") {
      // #import "file.dll" opens a list of prototypes, a bare #import closes it.
      inImport_ = !rest.empty();
      return;
    }
    fail(t.pos, "'#" + std::string(word) + "' - unknown or unsupported directive");
  }

  void enumDeclaration(Program& program) {
    const SourcePos start = take().pos;
    std::string name;
    if (at().kind == TokenKind::Identifier) name = identifier("enumeration name");
    expect("{");
    auto decl = std::make_unique<DeclStmt>(start);
    long long next = 0;
    while (!at().is("}")) {
      statementStarts();
      auto v = std::make_unique<VarDecl>();
      v->pos = at().pos;
      v->name = identifier("enumerator");
      v->type = kInt;
      v->storage = Storage::Global;
      v->isConst = true;
      if (accept("=")) {
        // The value is folded by the checker; the parser keeps the expression.
        v->init = conditional();
      } else {
        auto lit = std::make_unique<LiteralExpr>(v->pos);
        lit->intValue = next;
        v->init = std::move(lit);
      }
      if (v->init->kind == ExprKind::Literal) next = static_cast<LiteralExpr&>(*v->init).intValue + 1;
      decl->variables.push_back(std::move(v));
      if (!accept(",")) break;
    }
    expect("}");
    expect(";");
    if (!name.empty()) enumTypes_.insert(name);
    program.order.push_back({decl.get(), nullptr});
    program.globals.push_back(std::move(decl));
  }

  void parameters(FunctionDecl& f) {
    expect("(");
    if (at().isWord("void") && at(1).is(")")) take();
    while (!at().is(")")) {
      auto p = std::make_unique<VarDecl>();
      p->storage = Storage::Parameter;
      if (at().isWord("const")) {
        take();
        p->isConst = true;
      }
      p->pos = at().pos;
      if (!isTypeWord(at())) fail(at().pos, "'" + std::string(at().spelling) + "' - parameter type expected");
      p->type = parseBaseType();
      if (p->type.base == BaseType::Void) fail(p->pos, "'void' - illegal use of type");
      if (accept("&")) p->isReference = true;
      if (at().kind == TokenKind::Identifier) {
        p->pos = at().pos;
        p->name = identifier("parameter name");
      }
      while (accept("[")) {
        if (!at().is("]")) p->arraySizes.push_back(conditional());
        else p->arraySizes.push_back(nullptr);
        expect("]");
        ++p->type.dims;
      }
      if (p->type.isArray() && !p->isReference) fail(p->pos, "'" + p->name + "' - arrays are passed by reference only");
      if (accept("=")) p->init = conditional();
      f.parameters.push_back(std::move(p));
      if (!accept(",")) break;
    }
    expect(")");
  }

  // name[size][size] = value, name2 ... up to (not including) the ';'.
  void declarators(DeclStmt& decl, Type type, Storage storage, bool isConst) {
    do {
      statementStarts();
      auto v = std::make_unique<VarDecl>();
      v->pos = at().pos;
      v->name = identifier("variable name");
      v->type = type;
      v->storage = storage;
      v->isConst = isConst;
      while (accept("[")) {
        if (at().is("]")) v->arraySizes.push_back(nullptr);
        else v->arraySizes.push_back(conditional());
        expect("]");
        ++v->type.dims;
      }
      if (accept("=")) {
        if (at().is("{")) {
          initList(*v);
        } else {
          v->init = assignment();
        }
      }
      decl.variables.push_back(std::move(v));
    } while (accept(","));
  }

  void initList(VarDecl& v) {
    expect("{");
    v.hasInitList = true;
    while (!at().is("}")) {
      if (at().is("{")) {
        // Nested lists of a many-dimensional array: their values in order.
        take();
        while (!at().is("}")) {
          statementStarts();
          v.initList.push_back(assignment());
          if (!accept(",")) break;
        }
        expect("}");
      } else {
        statementStarts();
        v.initList.push_back(assignment());
      }
      if (!accept(",")) break;
    }
    expect("}");
  }

  // -------------------------------------------------------------------------------------------
  // Statements

  std::unique_ptr<BlockStmt> block() {
    auto b = std::make_unique<BlockStmt>(at().pos);
    expect("{");
    while (!at().is("}")) {
      if (at().kind == TokenKind::End) unexpected();
      b->statements.push_back(statement());
    }
    take();
    return b;
  }

  bool startsDeclaration() const {
    const Token& t = at();
    if (t.isWord("static") || t.isWord("const")) return true;
    return isTypeWord(t) && !at(1).is("(");
  }

  StmtPtr declarationStatement() {
    auto decl = std::make_unique<DeclStmt>(at().pos);
    Storage storage = Storage::Local;
    bool isConst = false;
    while (true) {
      if (at().isWord("static")) storage = Storage::Static;
      else if (at().isWord("const")) isConst = true;
      else break;
      take();
    }
    if (at().isWord("extern") || at().isWord("input")) fail(at().pos, "'" + std::string(at().spelling) + "' - not allowed inside a function");
    const Type type = parseBaseType();
    if (type.base == BaseType::Void) fail(decl->pos, "'void' - illegal use of type");
    declarators(*decl, type, storage, isConst);
    return decl;
  }

  StmtPtr statement() {
    const Nest nest(*this);
    statementStarts();
    const Token& t = at();
    const SourcePos pos = t.pos;
    if (t.is("{")) return block();
    if (t.is(";")) {
      take();
      return std::make_unique<SimpleStmt>(StmtKind::Empty, pos);
    }
    if (t.kind == TokenKind::Directive) fail(pos, "'" + std::string(t.spelling) + "' - directive inside a function");
    if (t.kind == TokenKind::Identifier) {
      const std::string_view w = t.spelling;
      if (w == "if") {
        take();
        auto s = std::make_unique<IfStmt>(pos);
        expect("(");
        s->condition = expression();
        expect(")");
        s->then = statement();
        if (at().isWord("else")) {
          take();
          s->otherwise = statement();
        }
        return s;
      }
      if (w == "else") fail(pos, "'else' - illegal 'else' without matching 'if'");
      if (w == "while") {
        take();
        auto s = std::make_unique<LoopStmt>(StmtKind::While, pos);
        expect("(");
        s->condition = expression();
        expect(")");
        ++loops_;
        s->body = statement();
        --loops_;
        return s;
      }
      if (w == "do") {
        take();
        auto s = std::make_unique<LoopStmt>(StmtKind::DoWhile, pos);
        ++loops_;
        s->body = statement();
        --loops_;
        if (!at().isWord("while")) fail(at().pos, "'" + std::string(at().spelling) + "' - 'while' expected");
        take();
        expect("(");
        s->condition = expression();
        expect(")");
        expect(";");
        return s;
      }
      if (w == "for") {
        take();
        auto s = std::make_unique<LoopStmt>(StmtKind::For, pos);
        expect("(");
        if (!at().is(";")) {
          if (startsDeclaration()) {
            s->init = declarationStatement();
          } else {
            auto e = std::make_unique<ExprStmt>(StmtKind::Expression, at().pos);
            e->expr = expression();
            s->init = std::move(e);
          }
        }
        expect(";");
        if (!at().is(";")) s->condition = expression();
        expect(";");
        if (!at().is(")")) s->step = expression();
        expect(")");
        ++loops_;
        s->body = statement();
        --loops_;
        return s;
      }
      if (w == "switch") {
        take();
        auto s = std::make_unique<SwitchStmt>(pos);
        expect("(");
        s->value = expression();
        expect(")");
        expect("{");
        ++switches_;
        while (!at().is("}")) {
          if (at().kind == TokenKind::End) unexpected();
          s->body.push_back(statement());
        }
        --switches_;
        take();
        return s;
      }
      if (w == "case" || w == "default") {
        take();
        if (switches_ == 0) fail(pos, "'" + std::string(w) + "' - not inside a switch");
        auto s = std::make_unique<CaseStmt>(pos);
        if (w == "case") s->value = conditional();
        expect(":");
        return s;
      }
      if (w == "break" || w == "continue") {
        take();
        if (w == "break" && loops_ == 0 && switches_ == 0) fail(pos, "'break' - not inside a loop or switch");
        if (w == "continue" && loops_ == 0) fail(pos, "'continue' - not inside a loop");
        expect(";");
        return std::make_unique<SimpleStmt>(w == "break" ? StmtKind::Break : StmtKind::Continue, pos);
      }
      if (w == "return") {
        take();
        auto s = std::make_unique<ExprStmt>(StmtKind::Return, pos);
        if (!at().is(";")) s->expr = expression();
        expect(";");
        return s;
      }
      if (startsDeclaration()) {
        StmtPtr d = declarationStatement();
        expect(";");
        return d;
      }
    }
    auto s = std::make_unique<ExprStmt>(StmtKind::Expression, pos);
    s->expr = expression();
    expect(";");
    return s;
  }

  // -------------------------------------------------------------------------------------------
  // Expressions, from the loosest binding to the tightest

  ExprPtr expression() {
    ExprPtr left = assignment();
    while (at().is(",")) {
      guardSize();
      const SourcePos pos = take().pos;
      auto c = std::make_unique<BinaryExpr>(ExprKind::Comma, pos, Op::Assign);
      c->left = std::move(left);
      c->right = assignment();
      left = std::move(c);
    }
    return left;
  }

  ExprPtr assignment() {
    const Nest nest(*this);
    ExprPtr left = conditional();
    static const std::pair<std::string_view, Op> kAssign[] = {
        {"=", Op::Assign},       {"+=", Op::AddAssign}, {"-=", Op::SubAssign},          {"*=", Op::MulAssign},
        {"/=", Op::DivAssign},   {"%=", Op::ModAssign}, {"&=", Op::AndAssign},          {"|=", Op::OrAssign},
        {"^=", Op::XorAssign},   {"<<=", Op::ShiftLeftAssign}, {">>=", Op::ShiftRightAssign},
    };
    if (at().kind == TokenKind::Punct) {
      for (const auto& [spelling, op] : kAssign) {
        if (sameText(at().spelling, spelling)) {
          const SourcePos pos = take().pos;
          auto a = std::make_unique<BinaryExpr>(ExprKind::Assign, pos, op);
          a->left = std::move(left);
          a->right = assignment();  // right to left: a = b = c
          return a;
        }
      }
    }
    return left;
  }

  ExprPtr conditional() {
    ExprPtr cond = binary(0);
    if (!at().is("?")) return cond;
    auto t = std::make_unique<TernaryExpr>(take().pos);
    t->condition = std::move(cond);
    t->whenTrue = assignment();
    expect(":");
    t->whenFalse = assignment();
    return t;
  }

  struct BinaryLevel {
    std::string_view spelling;
    Op op;
    int level;  // higher binds tighter
  };
  static const BinaryLevel* binaryOp(const Token& t) {
    static const BinaryLevel kLevels[] = {
        {"||", Op::Or, 1},         {"&&", Op::And, 2},        {"|", Op::BitOr, 3},
        {"^", Op::BitXor, 4},      {"&", Op::BitAnd, 5},      {"==", Op::Equal, 6},
        {"!=", Op::NotEqual, 6},   {"<", Op::Less, 7},        {">", Op::Greater, 7},
        {"<=", Op::LessEqual, 7},  {">=", Op::GreaterEqual, 7}, {"<<", Op::ShiftLeft, 8},
        {">>", Op::ShiftRight, 8}, {"+", Op::Add, 9},         {"-", Op::Sub, 9},
        {"*", Op::Mul, 10},        {"/", Op::Div, 10},        {"%", Op::Mod, 10},
    };
    if (t.kind != TokenKind::Punct) return nullptr;
    for (const BinaryLevel& l : kLevels)
      if (sameText(l.spelling, t.spelling)) return &l;
    return nullptr;
  }

  // Precedence climbing: operators of the same level group from the left.
  ExprPtr binary(int minLevel) {
    ExprPtr left = unary();
    while (const BinaryLevel* l = binaryOp(at())) {
      if (l->level <= minLevel) break;
      guardSize();
      const SourcePos pos = take().pos;
      auto b = std::make_unique<BinaryExpr>(ExprKind::Binary, pos, l->op);
      b->left = std::move(left);
      b->right = binary(l->level);
      left = std::move(b);
    }
    return left;
  }

  ExprPtr unary() {
    const Nest nest(*this);
    guardSize();
    const Token& t = at();
    const SourcePos pos = t.pos;
    static const std::pair<std::string_view, Op> kPrefix[] = {
        {"-", Op::Negate}, {"+", Op::Plus}, {"!", Op::Not}, {"~", Op::BitNot}, {"++", Op::PreIncrement}, {"--", Op::PreDecrement},
    };
    if (t.kind == TokenKind::Punct) {
      for (const auto& [spelling, op] : kPrefix) {
        if (sameText(t.spelling, spelling)) {
          take();
          auto u = std::make_unique<UnaryExpr>(ExprKind::Unary, pos, op);
          u->operand = unary();
          return u;
        }
      }
      // (type) value: a cast, told from a parenthesised expression by the type word.
      if (t.is("(") && isTypeWord(at(1)) && at(2).is(")")) {
        take();
        const Type type = parseBaseType();
        take();
        auto c = std::make_unique<CastExpr>(pos, type);
        c->operand = unary();
        return c;
      }
    }
    return postfix(primary());
  }

  ExprPtr postfix(ExprPtr e) {
    while (true) {
      guardSize();
      if (at().is("[")) {
        auto ix = std::make_unique<IndexExpr>(take().pos);
        ix->array = std::move(e);
        ix->index = expression();
        expect("]");
        e = std::move(ix);
      } else if (at().is("++") || at().is("--")) {
        const Token& t = take();
        auto u = std::make_unique<UnaryExpr>(ExprKind::Postfix, t.pos, t.is("++") ? Op::PostIncrement : Op::PostDecrement);
        u->operand = std::move(e);
        e = std::move(u);
      } else {
        return e;
      }
    }
  }

  ExprPtr primary() {
    const Token& t = at();
    const SourcePos pos = t.pos;
    switch (t.kind) {
      case TokenKind::IntLiteral:
      case TokenKind::ColorLiteral:
      case TokenKind::DateLiteral: {
        take();
        auto lit = std::make_unique<LiteralExpr>(pos);
        lit->intValue = t.intValue;
        lit->literalType = t.kind == TokenKind::ColorLiteral  ? kColor
                           : t.kind == TokenKind::DateLiteral ? kDatetime
                           : (t.intValue > 2147483647LL || t.intValue < -2147483648LL) ? kLong
                                                                                        : kInt;
        return lit;
      }
      case TokenKind::DoubleLiteral: {
        take();
        auto lit = std::make_unique<LiteralExpr>(pos);
        lit->doubleValue = t.doubleValue;
        lit->literalType = kDouble;
        return lit;
      }
      case TokenKind::StringLiteral: {
        auto lit = std::make_unique<LiteralExpr>(pos);
        lit->literalType = kString;
        // "a" "b": adjacent strings are one.
        while (at().kind == TokenKind::StringLiteral) lit->stringValue += stringLiteralValue(take().spelling);
        return lit;
      }
      case TokenKind::Identifier: {
        if (t.spelling == "true" || t.spelling == "false") {
          take();
          auto lit = std::make_unique<LiteralExpr>(pos);
          lit->literalType = kBool;
          lit->intValue = t.spelling == "true" ? 1 : 0;
          return lit;
        }
        if (isTypeWord(t) && at(1).is("(")) {
          // type(value): the functional form of a cast.
          const Type type = parseBaseType();
          take();
          auto c = std::make_unique<CastExpr>(pos, type);
          c->operand = expression();
          expect(")");
          return c;
        }
        if (reservedWords().count(t.spelling)) fail(pos, "'" + std::string(t.spelling) + "' - unexpected token");
        take();
        if (at().is("(")) {
          take();
          auto call = std::make_unique<CallExpr>(pos, std::string(t.spelling));
          while (!at().is(")")) {
            call->args.push_back(assignment());
            if (!accept(",")) break;
          }
          expect(")");
          return call;
        }
        return std::make_unique<NameExpr>(pos, std::string(t.spelling));
      }
      case TokenKind::Punct:
        if (t.is("(")) {
          take();
          ExprPtr inner = expression();
          expect(")");
          return inner;
        }
        break;
      default:
        break;
    }
    if (t.kind == TokenKind::End) fail(pos, "'' - unexpected end of program");
    fail(pos, "'" + std::string(t.spelling) + "' - expression expected");
  }

  Diagnostics& diags_;
  std::vector<Token> raw_;
  std::vector<Token> toks_;
  std::deque<std::string> macroTexts_;  // the macro tokens point into these
  std::size_t i_ = 0;
  bool failed_ = false;
  bool inImport_ = false;
  int loops_ = 0;
  int switches_ = 0;
  int depth_ = 0;
  std::size_t statementStart_ = 0;
  std::set<std::string, std::less<>> enumTypes_;
};

}  // namespace

Program parseProgram(std::string_view source, Diagnostics& diagnostics) {
  Parser parser(source, diagnostics);
  return parser.run();
}

}  // namespace zorvik::mql4
