// OrderSend, OrderModify, OrderClose, OrderSelect and the properties of the selected order.
#include <string>

#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

struct OrderCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;

  // The order OrderSelect chose; none sets the no-order-selected error.
  const SimulatedTerminal::Order* order(RunContext& c) {
    const SimulatedTerminal::Order* o = term(c).selected();
    if (!o) term(c).setLastError(kErrNoOrderSelected);
    return o;
  }

  // Arguments the simulated terminal has no use for (slippage, arrow colour, expiration) are
  // still evaluated, in order, for their side effects.
  long long evalInt(RunContext& c) override {
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::OrderSend: {
        const std::string sym = symbolArg(c, 0);
        const int cmd = argInt(c, 1);
        const double lots = argDouble(c, 2);
        const double price = argDouble(c, 3);
        (void)argInt(c, 4);
        const double sl = argDouble(c, 5);
        const double tp = argDouble(c, 6);
        const std::string comment = args[7]->kind == ValueKind::String ? argString(c, 7) : std::string();
        const int magic = argInt(c, 8);
        (void)args[9]->evalInt(c);
        (void)args[10]->evalInt(c);
        return t.orderSend(sym, cmd, lots, price, sl, tp, comment, magic);
      }
      case BuiltinId::OrderModify: {
        const int ticket = argInt(c, 0);
        (void)argDouble(c, 1);
        const double sl = argDouble(c, 2);
        const double tp = argDouble(c, 3);
        (void)args[4]->evalInt(c);
        (void)args[5]->evalInt(c);
        return t.orderModify(ticket, sl, tp);
      }
      case BuiltinId::OrderClose: {
        const int ticket = argInt(c, 0);
        const double lots = argDouble(c, 1);
        const double price = argDouble(c, 2);
        (void)argInt(c, 3);
        (void)args[4]->evalInt(c);
        return t.orderClose(ticket, lots, price);
      }
      case BuiltinId::OrderSelect: {
        const long long index = args[0]->evalInt(c);
        const int select = argInt(c, 1);
        const int pool = argInt(c, 2);
        return t.orderSelect(index, select, pool);
      }
      case BuiltinId::OrdersTotal: return t.ordersTotal();
      case BuiltinId::OrdersHistoryTotal: return t.ordersHistoryTotal();
      case BuiltinId::OrderTicket: { auto* o = order(c); return o ? o->ticket : 0; }
      case BuiltinId::OrderType: { auto* o = order(c); return o ? o->type : 0; }
      case BuiltinId::OrderOpenTime: { auto* o = order(c); return o ? o->openTime : 0; }
      case BuiltinId::OrderCloseTime: { auto* o = order(c); return o ? o->closeTime : 0; }
      case BuiltinId::OrderMagicNumber: { auto* o = order(c); return o ? o->magic : 0; }
      case BuiltinId::OrderExpiration: return 0;
      default: return ExpressionNode::evalInt(c);
    }
  }

  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::OrderLots: { auto* o = order(c); return o ? o->lots : 0; }
      case BuiltinId::OrderOpenPrice: { auto* o = order(c); return o ? o->openPrice : 0; }
      case BuiltinId::OrderClosePrice: {
        auto* o = order(c);
        if (!o) return 0;
        if (o->closeTime) return o->closePrice;
        return o->type == 0 ? t.bid() : t.ask();
      }
      case BuiltinId::OrderStopLoss: { auto* o = order(c); return o ? t.priceOfPoints(o->stopLoss) : 0; }
      case BuiltinId::OrderTakeProfit: { auto* o = order(c); return o ? t.priceOfPoints(o->takeProfit) : 0; }
      case BuiltinId::OrderProfit: {
        auto* o = order(c);
        if (!o) return 0;
        return o->closeTime ? o->profit : t.profitNow(*o);
      }
      case BuiltinId::OrderCommission: { auto* o = order(c); return o ? o->commission : 0; }
      case BuiltinId::OrderSwap: { auto* o = order(c); return o ? o->swap : 0; }
      default: return 0;
    }
  }

  std::string evalString(RunContext& c) override {
    if (kind != ValueKind::String) return ExpressionNode::evalString(c);
    SimulatedTerminal& t = term(c);
    switch (id) {
      case BuiltinId::OrderSymbol: { auto* o = order(c); return o ? t.symbol() : std::string(); }
      case BuiltinId::OrderComment: { auto* o = order(c); return o ? o->comment : std::string(); }
      default: return {};
    }
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeOrderCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<OrderCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
