#include "account/trade.hpp"

namespace zorvik {

std::string_view tradeTypeName(TradeType type) { return type == TradeType::Buy ? "buy" : "sell"; }

std::string_view closeReasonName(CloseReason reason) {
  switch (reason) {
    case CloseReason::Signal: return "signal";
    case CloseReason::StopLoss: return "sl";
    case CloseReason::TakeProfit: return "tp";
    case CloseReason::Hedge: return "hedge";
    case CloseReason::EndOfTest: return "end";
    case CloseReason::StopOut: return "stopout";
  }
  return "signal";
}

}  // namespace zorvik
