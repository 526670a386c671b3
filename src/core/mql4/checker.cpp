// Declarations, scopes and statements: what a program declares where, which names each
// statement sees, and the entry points that parse and check a source.
#include "mql4/checker.hpp"

#include <algorithm>
#include <optional>

#include "mql4/builtins.hpp"
#include "mql4/parser.hpp"
#include "mql4/tree_checker.hpp"
#include "text/text_files.hpp"

namespace zorvik::mql4 {
namespace checking {

void TreeChecker::run() {
  strict_ = program_.strict;
  for (const Include& inc : program_.includes) {
    if (!inc.systemHeader || !table_.knowsHeader(inc.name)) {
      error(inc.pos, inQuotes(inc.name) + " - cannot open include file");
      continue;
    }
    includes_.insert(lowerCase(inc.name));
  }
  // Every function is known everywhere, also before its definition.
  for (auto& f : program_.functions) declareFunction(*f);
  for (const Program::Item& item : program_.order) {
    if (item.globals) {
      for (const VarDeclPtr& v : item.globals->variables) declareGlobal(*v);
    } else {
      checkFunction(*item.function);
    }
  }
  for (const auto& [name, overloads] : functions_) {
    for (const FunctionDecl* f : overloads)
      if (!f->body && !f->isImported && !hasBody(*f)) error(f->pos, inQuotes(f->name) + " - function declared but never defined");
  }
}

bool TreeChecker::sameParameters(const FunctionDecl& a, const FunctionDecl& b) {
  if (a.parameters.size() != b.parameters.size()) return false;
  for (std::size_t i = 0; i < a.parameters.size(); ++i)
    if (a.parameters[i]->type != b.parameters[i]->type) return false;
  return true;
}

bool TreeChecker::hasBody(const FunctionDecl& f) const {
  const auto it = functions_.find(f.name);
  if (it == functions_.end()) return false;
  return std::any_of(it->second.begin(), it->second.end(),
                     [&](const FunctionDecl* g) { return g->body && sameParameters(*g, f); });
}

void TreeChecker::declareFunction(FunctionDecl& f) {
  auto& overloads = functions_[f.name];
  for (const FunctionDecl* other : overloads) {
    if (!sameParameters(*other, f)) continue;
    if (other->body && f.body) {
      error(f.pos, inQuotes(f.name) + " - function already defined and has body");
      return;
    }
    if (other->returnType != f.returnType) {
      error(f.pos, inQuotes(f.name) + " - function already declared with another type");
      return;
    }
  }
  overloads.push_back(&f);
  if (globals_.count(f.name)) error(f.pos, inQuotes(f.name) + " - identifier already used");
}

void TreeChecker::declareGlobal(VarDecl& v) {
  checkDeclaration(v);
  if (globals_.count(v.name) || functions_.count(v.name)) {
    error(v.pos, inQuotes(v.name) + " - variable already defined");
    return;
  }
  if (visibleBuiltin(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides a predefined name");
  globals_[v.name] = &v;
}

namespace {

bool setAtLoad(const VarDecl& v) {
  return v.storage == Storage::Global || v.storage == Storage::Extern || v.storage == Storage::Input ||
         v.storage == Storage::Static;
}

}  // namespace

void TreeChecker::checkDeclaration(VarDecl& v) {
  for (ExprPtr& size : v.arraySizes) {
    if (!size) continue;
    const Type t = check(*size);
    const std::optional<long long> n = fold(*size);
    if (t.isError()) continue;
    if (!n) error(size->pos, "constant expression required");
    else if (*n <= 0) error(size->pos, "invalid array size");
  }
  if (v.init) {
    const Type t = check(*v.init);
    if (v.type.isArray() && v.storage != Storage::Parameter) {
      error(v.init->pos, inQuotes(v.name) + " - arrays are initialized by a list in braces");
    } else if (v.type.isArray() && v.storage == Storage::Parameter) {
      error(v.init->pos, inQuotes(v.name) + " - array parameters cannot have a default value");
    } else {
      convert(t, v.type, v.init->pos, "=");
    }
    if (v.storage == Storage::Parameter && !t.isError() && !isConstant(*v.init))
      error(v.init->pos, inQuotes(v.name) + " - default value must be a constant");
    // Globals and statics are set once, when the program is loaded, before anything it could
    // call or read has a value: only constants can give them one.
    if (setAtLoad(v) && !t.isError() && !isConstant(*v.init))
      error(v.init->pos, inQuotes(v.name) + " - constant expression required");
  }
  if (v.hasInitList) {
    if (!v.type.isArray() && v.initList.size() > 1) error(v.pos, inQuotes(v.name) + " - too many initializers");
    for (ExprPtr& e : v.initList) {
      const Type t = check(*e);
      convert(t, v.type.isArray() ? Type{v.type.base, 0} : v.type, e->pos, "=");
      if (setAtLoad(v) && !t.isError() && !isConstant(*e)) error(e->pos, inQuotes(v.name) + " - constant expression required");
    }
  }
  if (v.isConst && !v.init && !v.hasInitList && v.storage != Storage::Parameter)
    error(v.pos, inQuotes(v.name) + " - constant variable must be initialized");
}

void TreeChecker::checkFunction(FunctionDecl& f) {
  current_ = &f;
  locals_.clear();
  scopeStarts_.clear();
  scopeStarts_.push_back(0);
  for (VarDeclPtr& p : f.parameters) {
    checkDeclaration(*p);
    if (!p->name.empty()) declareLocal(*p);
  }
  if (f.body) {
    // The function's outermost braces are the parameters' scope, not a new one.
    for (StmtPtr& s : f.body->statements) statement(*s);
    // Without "strict" the terminal hands back an empty value and compiles; with it the
    // compiler refuses a function that can reach its end without a value.
    if (strict_ && f.returnType.base != BaseType::Void && (exits(*f.body) & kNext))
      error(f.pos, inQuotes(f.name) + " - not all control paths return a value");
  }
  current_ = nullptr;
}

void TreeChecker::pushScope() {
  if (strict_) scopeStarts_.push_back(locals_.size());
}

void TreeChecker::popScope() {
  if (!strict_) return;
  locals_.resize(scopeStarts_.back());
  scopeStarts_.pop_back();
}

const VarDecl* TreeChecker::findLocal(std::string_view name, std::size_t from) const {
  for (std::size_t i = locals_.size(); i-- > from;)
    if (locals_[i].name == name) return locals_[i].decl;
  return nullptr;
}

void TreeChecker::declareLocal(const VarDecl& v) {
  if (findLocal(v.name, scopeStarts_.back())) {
    error(v.pos, inQuotes(v.name) + " - variable already defined");
    return;
  }
  if (findLocal(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides local declaration");
  else if (globals_.count(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides global declaration");
  else if (visibleBuiltin(v.name)) warning(v.pos, "declaration of " + inQuotes(v.name) + " hides a predefined name");
  locals_.push_back({v.name, &v});
}

const BuiltinValue* TreeChecker::visibleBuiltin(std::string_view name) const {
  const BuiltinValue* b = table_.value(name);
  if (b && !b->header.empty() && !includes_.count(b->header)) return nullptr;
  return b;
}

void TreeChecker::condition(Expr& e) {
  const Type t = check(e);
  if (t.isError()) return;
  if (t.base == BaseType::Void) error(e.pos, "expression of 'void' type is illegal");
  else if (t.isArray()) error(e.pos, "invalid array access");
}

void TreeChecker::statement(Stmt& s) {
  switch (s.kind) {
    case StmtKind::Block: {
      pushScope();
      for (StmtPtr& inner : static_cast<BlockStmt&>(s).statements) statement(*inner);
      popScope();
      break;
    }
    case StmtKind::Expression:
      check(*static_cast<ExprStmt&>(s).expr);
      break;
    case StmtKind::Declaration:
      for (VarDeclPtr& v : static_cast<DeclStmt&>(s).variables) {
        checkDeclaration(*v);
        declareLocal(*v);
      }
      break;
    case StmtKind::If: {
      auto& i = static_cast<IfStmt&>(s);
      condition(*i.condition);
      branch(*i.then);
      if (i.otherwise) branch(*i.otherwise);
      break;
    }
    case StmtKind::While:
    case StmtKind::DoWhile: {
      auto& l = static_cast<LoopStmt&>(s);
      if (s.kind == StmtKind::While) condition(*l.condition);
      branch(*l.body);
      if (s.kind == StmtKind::DoWhile) condition(*l.condition);
      break;
    }
    case StmtKind::For: {
      auto& l = static_cast<LoopStmt&>(s);
      pushScope();
      if (l.init) statement(*l.init);
      if (l.condition) condition(*l.condition);
      if (l.step) check(*l.step);
      branch(*l.body);
      popScope();
      break;
    }
    case StmtKind::Switch: {
      auto& sw = static_cast<SwitchStmt&>(s);
      const Type t = check(*sw.value);
      if (!t.isError() && !t.isIntegral()) error(sw.value->pos, "illegal switch expression type");
      pushScope();
      std::unordered_set<long long> seen;
      bool hasDefault = false;
      for (StmtPtr& inner : sw.body) {
        if (inner->kind == StmtKind::Case) {
          auto& c = static_cast<CaseStmt&>(*inner);
          if (!c.value) {
            if (hasDefault) error(c.pos, "duplicate 'default' label");
            hasDefault = true;
            continue;
          }
          const Type ct = check(*c.value);
          const std::optional<long long> v = fold(*c.value);
          if (ct.isError()) continue;
          if (!v || !ct.isIntegral()) {
            error(c.value->pos, "constant expression is not integral");
            continue;
          }
          c.constant = *v;
          if (!seen.insert(*v).second) error(c.pos, "duplicate case value");
        } else {
          statement(*inner);
        }
      }
      popScope();
      break;
    }
    case StmtKind::Return: {
      auto& r = static_cast<ExprStmt&>(s);
      const bool isVoid = current_->returnType.base == BaseType::Void;
      if (r.expr) {
        const Type t = check(*r.expr);
        if (isVoid) error(s.pos, "'return' - 'void' function returns a value");
        else convert(t, current_->returnType, r.expr->pos, "return");
      } else if (!isVoid) {
        error(s.pos, "'return' - function must return a value");
      }
      break;
    }
    case StmtKind::Case:  // only inside a switch, handled there
    case StmtKind::Break:
    case StmtKind::Continue:
    case StmtKind::Empty:
      break;
  }
}

void TreeChecker::branch(Stmt& s) {
  pushScope();
  statement(s);
  popScope();
}

bool TreeChecker::alwaysTrue(const Expr* condition) const {
  if (!condition) return true;  // for(;;)
  const std::optional<long long> v = fold(*condition);
  return v && *v != 0;
}

unsigned TreeChecker::sequenceExits(const std::vector<StmtPtr>& statements, bool labelsReachable) const {
  unsigned out = kNext;
  for (const StmtPtr& s : statements) {
    // A case label is a way in from the switch: what follows it is reached again.
    if (labelsReachable && s->kind == StmtKind::Case) out |= kNext;
    if (!(out & kNext)) continue;  // not reached by falling through; a later label may reach on
    out = (out & ~kNext) | exits(*s);
  }
  return out;
}

unsigned TreeChecker::exits(const Stmt& s) const {
  switch (s.kind) {
    case StmtKind::Return: return 0;
    case StmtKind::Break: return kBreak;
    case StmtKind::Continue: return kContinue;
    case StmtKind::Block: return sequenceExits(static_cast<const BlockStmt&>(s).statements, false);
    case StmtKind::If: {
      const auto& i = static_cast<const IfStmt&>(s);
      return exits(*i.then) | (i.otherwise ? exits(*i.otherwise) : unsigned{kNext});
    }
    case StmtKind::While:
    case StmtKind::For:
    case StmtKind::DoWhile: {
      const auto& l = static_cast<const LoopStmt&>(s);
      const unsigned body = exits(*l.body);
      // A loop ends by a break, or when its condition is false; an endless one only by a break.
      if (body & kBreak) return kNext;
      if (alwaysTrue(l.condition.get())) return 0;
      // A do-while whose body always returns never gets to its condition.
      if (s.kind == StmtKind::DoWhile && !(body & (kNext | kContinue))) return 0;
      return kNext;
    }
    case StmtKind::Switch: {
      const auto& sw = static_cast<const SwitchStmt&>(s);
      const bool hasDefault = std::any_of(sw.body.begin(), sw.body.end(), [](const StmtPtr& inner) {
        return inner->kind == StmtKind::Case && !static_cast<const CaseStmt&>(*inner).value;
      });
      const unsigned body = sequenceExits(sw.body, true);
      // Without a default a value no case names passes the switch by; a break leaves it.
      const unsigned next = (!hasDefault || (body & (kNext | kBreak))) ? unsigned{kNext} : 0u;
      return next | (body & kContinue);
    }
    case StmtKind::Expression:
    case StmtKind::Declaration:
    case StmtKind::Case:
    case StmtKind::Empty: return kNext;
  }
  return kNext;
}

}  // namespace checking


CheckResult checkSource(std::string_view source) {
  CheckResult result;
  result.program = parseProgram(source, result.diagnostics);
  if (!hasErrors(result.diagnostics)) checking::TreeChecker(result.program, result.diagnostics).run();
  std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
    return a.pos.line != b.pos.line ? a.pos.line < b.pos.line : a.pos.column < b.pos.column;
  });
  return result;
}

CheckResult checkFile(const std::filesystem::path& file) {
  // One byte over the limit is read to tell a file of exactly the limit from a larger one,
  // without asking its size first: a file may grow, and a device reports none.
  const std::optional<std::string> bytes = readFileBytes(file, kMaxSourceBytes + 1);
  if (!bytes || bytes->size() > kMaxSourceBytes) {
    CheckResult result;
    result.diagnostics.push_back({{0, 0}, Severity::Error,
                                  bytes ? "the file is larger than " + std::to_string(kMaxSourceBytes >> 20) +
                                              " MB, more than any MQL4 source is read"
                                        : std::string("cannot read the file")});
    return result;
  }
  return checkSource(*bytes);
}

std::vector<std::string> formatDiagnostics(const std::string& fileName, const Diagnostics& diagnostics) {
  std::vector<std::string> lines;
  lines.reserve(diagnostics.size());
  for (const Diagnostic& d : diagnostics) lines.push_back(formatDiagnostic(fileName, d));
  return lines;
}

}  // namespace zorvik::mql4
