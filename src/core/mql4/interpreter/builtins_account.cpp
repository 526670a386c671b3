// AccountBalance, AccountEquity, AccountCurrency, ...: the simulated account as the EA sees it.
#include <string>

#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct AccountCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  long long evalInt(RunContext& c) override {
    switch (id) {
      case BuiltinId::AccountNumber: return 0;
      // The terminal's leverage is a whole number; a fractional one shows cut off.
      case BuiltinId::AccountLeverage: return static_cast<long long>(term(c).terms().leverage);
      case BuiltinId::AccountStopoutLevel: return static_cast<long long>(term(c).terms().stopOutPercent);
      case BuiltinId::AccountStopoutMode: return 0;  // the level is a percentage
      default: return ExpressionNode::evalInt(c);
    }
  }

  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::AccountBalance: return t.balance();
      case BuiltinId::AccountEquity: return t.equity();
      case BuiltinId::AccountFreeMargin: return t.freeMargin();
      case BuiltinId::AccountMargin: return t.margin();
      case BuiltinId::AccountProfit: return t.openProfit();
      default: return 0;
    }
  }

  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    SimulatedTerminal& t = term(c);
    switch (id) {
      // The account is kept in the quote currency of the one symbol tested.
      case BuiltinId::AccountCurrency: return t.symbol().size() >= 6 ? t.symbol().substr(3, 3) : std::string();
      case BuiltinId::AccountName: case BuiltinId::AccountCompany: case BuiltinId::AccountServer: return "Zorvik";
      default: return {};
    }
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeAccountCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<AccountCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
