// Longer than our usual files on purpose: most of it is the Expert Advisor's fixed MQL4 text,
// written in listing order, so that a reader can follow the generated EA top to bottom here.
#include "generator/expert_generator.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "generator/indicator_code.hpp"
#include "generator/listing.hpp"
#include "generator/maker_identity.hpp"
#include "generator/mql_literal.hpp"
#include "model/catalogue.hpp"
#include "model/group_roles.hpp"
#include "model/trading_system.hpp"
#include "rules/system_rules.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

using Lines = Listing;

void add(Lines& out, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) out.emplace_back(line);
}

std::string twoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}


void writeHeader(Lines& out, std::string_view timeStamp) {
  out.line("#property copyright \"", std::string(kMakerCopyright), " ", std::string(timeStamp), "\"");
  out.line("#property link \"", std::string(kMakerWebAddress), "\"");
}

void writeGlobals(Lines& out, const SystemRules& rules, std::string_view magic) {
  const StoredMoneyManagement& mm = rules.money;

  out.line("extern int Stoploss_Long = ", rules.longStops.stoploss.written, ";");
  out.line("extern int Takeprofit_Long = ", rules.longStops.takeprofit.written, ";");
  out.line("extern int Stoploss_Short = ", rules.shortStops.stoploss.written, ";");
  out.line("extern int Takeprofit_Short = ", rules.shortStops.takeprofit.written, ";");
  out.emplace_back("// Trailing stops trail from the first tick: a distance below the stop loss replaces it at once");
  out.line("extern int Trailing_SL_Long = ", rules.longStops.trailing.written, ";");
  out.line("extern int Trailing_SL_Short = ", rules.shortStops.trailing.written, ";");
  out.push_back("extern int OrderMitStop = 0;");
  out.line("extern bool Hedging = ", mm.hedgingConstant, ";");
  out.push_back("// maxTrades=0 -> nicht beachten. Sonst maximale Anzahl Trades je Sitzung");
  out.line("extern int maxTrades = ", mm.maxTrades.written, ";");
  out.push_back("extern bool Debug = TRUE;");
  // The EA resolves only the literal "Symbol()" to the chart's symbol; the chart choice shown
  // in English ("Current symbol") must reach it in that form.
  out.line("string tSymbol = ", mqlStringLiteral(rules.symbol.chart ? std::string("Symbol()") : rules.symbol.stored), ";");
  out.line("extern int magic =", plainDecimal(magic), ";");
  out.push_back("int merkVol =0;");
  out.line("string dMMTyp =", mqlStringLiteral(mm.typeText), ";");
  out.push_back("string dComment = \"\";");
  out.line("extern double mmLots = ", mm.lots.written, ";");
  out.line("extern double mmMaxLots = ", mm.maxLots.written, ";");
  out.line("double mmFraction = ", mm.fraction.written, ";");
  out.line("double mmBase = ", mm.base.written, ";");
  out.line("double mmDelta = ", mm.delta.written, ";");
  out.line("double mmSlippage = ", mm.slippage.written, ";");
  out.push_back("int laufMax=10;");
  out.push_back("int istTrades=0;");
  out.push_back("int dayTrades=0;");
  out.emplace_back("string tradeDay=\"\";  // the day the trade counters count, yyyy.mm.dd");
  const auto& thresholds = rules.trade.thresholds;
  for (std::size_t i = 0; i < thresholds.size(); ++i)
    out.line("int thr", std::to_string(i + 1), " = ", intText(thresholds[i]), ";");
  add(out, {
      "bool sperr=FALSE;",
      "int lastPosCount=0;",
      "int lastPosTicket=0;",
      "double stopLevel=0;",
      "int stopsRefused[];  // tickets whose refused missing stops are in the log: one line per position, not per bar",
  });
}

void writeCheckStoplevels(Lines& out) {
  add(out, {
      R"~(void checkStoplevels(){)~",
      R"~(  string rem="";)~",
      R"~(  if(Debug==TRUE){Print("checkStopLevels()");})~",
      R"~(  int c=0;)~",
      R"~(  stopLevel=MarketInfo(tSymbol, MODE_STOPLEVEL);)~",
      R"~(  if(Debug==TRUE){Print("broker stoplevel:"+stopLevel);})~",
      R"~()~",
      R"~(  if(Takeprofit_Long!=0){if(Takeprofit_Long<stopLevel) { Takeprofit_Long=stopLevel;c++;rem=rem+"TPL ";}})~",
      R"~(  if(Takeprofit_Short!=0){if(Takeprofit_Short<stopLevel){ Takeprofit_Short=stopLevel;c++;rem=rem+"TPS ";}})~",
      R"~(  if(Stoploss_Long!=0){if(Stoploss_Long<stopLevel) { Stoploss_Long=stopLevel;c++;rem=rem+"SLL ";}})~",
      R"~(  if(Stoploss_Short!=0){if(Stoploss_Short<stopLevel) { Stoploss_Short=stopLevel;c++;rem=rem+"SLS ";}})~",
      R"~(  if(Trailing_SL_Long!=0){if(Trailing_SL_Long<stopLevel) { Trailing_SL_Long=stopLevel;c++;rem=rem+"TSL ";}})~",
      R"~(  if(Trailing_SL_Short!=0){if(Trailing_SL_Short<stopLevel) { Trailing_SL_Short=stopLevel;c++;rem=rem+"TSS ";}})~",
      R"~( )~",
      R"~(  if(c>0){)~",
      R"~(    Print("Stoplevels had to be adjusted:" + c + " times in:"+ rem);)~",
      R"~(  }  )~",
      R"~(  )~",
      R"~(})~",
  });
}

void writeInitAndDeinit(Lines& out, const SystemRules& rules) {
  add(out, {
      R"~(int init() {)~",
      // The terminal keeps the globals when the chart changes its symbol and calls init()
      // again: a block from the wrong symbol before must not outlive the move to the right one.
      R"~(  sperr=FALSE;)~",
      R"~(  Print("Demo:"+IsDemo());)~",
      R"~(  Print("Digits:"+Digits);)~",
      R"~(  Print("Account:" + AccountNumber());)~",
      R"~(  Print("AccountFreemargin:" + AccountFreeMargin());)~",
      R"~(  Print("AccountLeverage:" + AccountLeverage());)~",
      R"~(  Print("AccountBaclance:" + AccountBalance());)~",
      R"~(  )~",
      R"~(  if(Debug==TRUE){Print("init()");})~",
  });
  out.line("  dComment =  ", mqlStringLiteral(rules.title), R"~(+"  "+ magic + "; " + Period(); )~");
  add(out, {
      R"~(merkVol=0;)~",
      R"~(if (tSymbol=="Symbol()") tSymbol = Symbol();)~",
      // Orders use the chart's Ask, Bid, Point and Digits: on another symbol's chart every
      // order would be refused or priced wrongly, so the EA does not trade there at all.
      R"~(if (tSymbol!=Symbol()) {)~",
      R"~(  sperr=TRUE;)~",
      R"~(  Print("This EA trades "+tSymbol+" but runs on a "+Symbol()+" chart: it will not trade. Attach it to a "+tSymbol+" chart.");)~",
      R"~(  Comment("This EA trades "+tSymbol+" but runs on a "+Symbol()+" chart: it will not trade.");)~",
      R"~(  return(0);)~",
      R"~(})~",
      R"~(checkStoplevels();)~",
      R"~(if (Trailing_SL_Long>0 && Stoploss_Long>0 && Trailing_SL_Long<Stoploss_Long) Print("Trailing stop long "+Trailing_SL_Long+" is below the stop loss "+Stoploss_Long+": it replaces the stop loss at the first tick");)~",
      R"~(if (Trailing_SL_Short>0 && Stoploss_Short>0 && Trailing_SL_Short<Stoploss_Short) Print("Trailing stop short "+Trailing_SL_Short+" is below the stop loss "+Stoploss_Short+": it replaces the stop loss at the first tick");)~",
  });
  out.line("Comment(\"x1, ", std::string(kMakerWebAddress), "\");");
  add(out, {
      R"~(showHistory();)~",
      R"~(return(0);)~",
      R"~(})~",
      R"~(int deinit() {)~",
      R"~(  if(Debug==TRUE){Print("deinit()");})~",
      R"~(  Comment("");)~",
      R"~(  return(0);)~",
      R"~(})~",
  });
}

void writeNormalizeLots(Lines& out) {
  add(out, {
      R"~(double normalize_lots(double ad) {)~",
      R"~(  double minlot = MarketInfo(tSymbol, MODE_MINLOT);)~",
      R"~(  double maxlot = MarketInfo(tSymbol, MODE_MAXLOT);)~",
      R"~(  double lotstep = MarketInfo(tSymbol, MODE_LOTSTEP);)~",
      R"~( if(Debug==TRUE) {)~",
      R"~(  if(ad > maxlot) Print("> Lots-> "+ maxlot);)~",
      R"~(  if(ad < minlot) Print("< Lots-> "+ minlot);)~",
      R"~(})~",
      R"~(  if(ad > maxlot) return (maxlot);)~",
      R"~(  if(ad < minlot) return (minlot);)~",
      R"~(  double ret = MathFloor(ad / lotstep) * lotstep;)~",
      R"~( if(Debug==TRUE) {)~",
      R"~( Print("F Lots-> "+ ret);)~",
      R"~(})~",
      R"~(  return (ret);)~",
      R"~(})~",
  });
}

void writeIsLongIsShort(Lines& out) {
  add(out, {
      R"~(int is_long() {)~",
      R"~(  for (int pos = OrdersTotal() -1;pos >=0;pos--) {)~",
      R"~(    if (OrderSelect(pos,SELECT_BY_POS,MODE_TRADES) != FALSE))~",
      R"~(      if (OrderMagicNumber() == magic && OrderType() == OP_BUY) return (1);)~",
      R"~(  })~",
      R"~(  return(0);)~",
      R"~(  })~",
      R"~(int is_short() {)~",
      R"~(  for (int pos = OrdersTotal() -1;pos >=0;pos--) {)~",
      R"~(    if (OrderSelect(pos,SELECT_BY_POS,MODE_TRADES) != FALSE))~",
      R"~(      if (OrderMagicNumber() == magic && OrderType() == OP_SELL) return (1);)~",
      R"~(  })~",
      R"~(  return(0);)~",
      R"~(})~",
  });
}

struct CheckFunction {
  int group;
  std::string_view name;
  std::string_view checking;   // logged on entry
  std::string_view triggered;  // logged when the points reach the threshold
  std::string_view noSignal;   // logged otherwise
  std::string_view tailIndent;
};

// In file order: long entries, short entries, long exits, short exits.
constexpr std::array<CheckFunction, 4> kCheckFunctions{{
    {1, "check_long_entries", "check long conditions", "long S I G N A L triggered !", "no long signal", "  "},
    {3, "check_short_entries", "check short conditions", "short S I G N A L triggered !", "no short signal", " "},
    {2, "check_long_exits", "check long exit conditions", "long exit S I G N A L triggered !", "no long exit signal", " "},
    {4, "check_short_exits", "check short exit conditions", "short exit S I G N A L triggered !", "no short exit signal",
     " "},
}};

void writeCheckFunction(Lines& out, const SystemRules& rules, const CheckFunction& f) {
  const std::string thr = "thr" + std::to_string(f.group);
  const std::string tail(f.tailIndent);
  const GroupRules& group = rules.groups[static_cast<std::size_t>(f.group - 1)];

  out.line("int ", std::string(f.name), "() {");
  out.line("  if(Debug==TRUE){Print(\"", std::string(f.checking), "\");}");
  add(out, {
      "  int count=0;",
      "  int ic=0;",
      "  double l1,l2,k1,k2;",
      "// Indikatoren ",
  });
  for (const IndicatorRule& indicator : group.indicators) {
    if (indicator.reversed) out.emplace_back("// Reverse");
    writeIndicatorCode(indicator, out);
  }
  out.emplace_back("// Ende Indikatoren ");
  out.line(" if(", thr, "!=0){");
  out.line("  if(ic >=", thr, ") {");
  out.line("    if(Debug==TRUE){Print(\"", std::string(f.triggered), "\");}");
  add(out, {
      "    return (1);",
      "  }else{",
      "    if(ic>0){",
  });
  out.line("      if(Debug==TRUE){Print(\"only \" + ic + \" points of \" + ", thr, ");}");
  add(out, {
      "    }",
      "  }",
      " }",
  });
  out.line(tail, "if(Debug==TRUE){Print(\"", std::string(f.noSignal), "\");}");
  out.line(tail, "return(0);");
  out.emplace_back("}");
}

void writeOrderErrorReport(Lines& out) {
  add(out, {
      R"~(void meldeOrderFehler(){)~",
      R"~(    if(Debug==TRUE){  Print("order error:"+ ErrCode(GetLastError()));})~",
      R"~(    RefreshRates();)~",
      R"~(    if(Debug==TRUE){  Print("now Bid Ask:"+ Bid +" "+ Ask);})~",
      R"~(    )~",
      R"~(})~",
  });
}

// The lot lines of the money-management method; true when they open a lot test whose brace
// the function has to close at its end.
bool writeLotLines(Lines& out, const SystemRules& rules, bool shortSide) {
  // Both sides compare with the extern mmLots, so a lot size the trader changes in the
  // terminal's inputs counts for long and short alike.
  const std::string_view lotTest = "    if (lots >=mmLots) {";
  // mmMaxLots is the most a side may hold: an order larger than the room left is cut to it
  // (without this, one order of a growing account could go far beyond the limit). The room is
  // a difference of lot sizes (1 - 0.8 is 0.19999999999999996 as a double); the tiny addition
  // keeps the floor of normalize_lots from taking a whole lot step off it.
  const std::string_view side = shortSide ? "OP_SELL" : "OP_BUY";
  // When the room is below the broker's smallest lot, the smallest lot would already break the
  // limit: no order goes out, and the log says why (once per bar, the entries run once per bar).
  auto writeLotLimit = [&] {
    const std::string room = "mmMaxLots - getTotalLots(" + std::string(side) + ")";
    out.line("    if (mmMaxLots!=0 && lots > ", room, ") {");
    out.line("      if (", room, " + 0.0000001 < MarketInfo(tSymbol, MODE_MINLOT)) {");
    out.line("        Print(\"no ", shortSide ? "short" : "long", " order: the room under mmMaxLots, \"+(", room,
             ")+\" lots, is below the smallest lot \"+MarketInfo(tSymbol, MODE_MINLOT));");
    add(out, {
        "        return;",
        "      }",
    });
    out.line("      lots=normalize_lots(", room, " + 0.0000001);");
    out.emplace_back("    }");
  };
  switch (rules.trade.lotMethod) {
    case LotMethod::FixedLots:
      out.emplace_back("    lots=mmLots;");
      writeLotLimit();
      return false;
    case LotMethod::FixedFractional:
      out.emplace_back("    lots=normalize_lots(mmLots * MathFloor(AccountEquity() / mmFraction));");
      writeLotLimit();
      out.push_back(lotTest);
      return true;
    case LotMethod::FixedRatio:
      out.emplace_back("    if(AccountEquity() < mmBase) lots = 0.0;");
      out.line(shortSide ? "    " : "   ",
               "else lots=normalize_lots(mmLots * MathFloor(MathSqrt(2.0 * (AccountEquity() - mmBase) / mmDelta + "
               "0.25) + 0.5));");
      writeLotLimit();
      out.push_back(lotTest);
      return true;
    case LotMethod::None:
      break;
  }
  return false;
}

void writeEnterLong(Lines& out, const SystemRules& rules) {
  add(out, {
      R"~(void enter_long() {)~",
      R"~(  if(Debug==TRUE){Print("ENTER LONG");})~",
      R"~(  double price1;)~",
      R"~(  double price2;)~",
      R"~(  double lots;)~",
      R"~(  int ticket;)~",
      R"~(  if ((getTotalLots(OP_BUY) < mmMaxLots)||(mmMaxLots==0)) {)~",
      R"~(    if (Hedging == FALSE && is_short() == 1) {)~",
      R"~(      if(Debug==TRUE){  Print("no Hedging. No goLONG while SHORT");})~",
      R"~(      return;)~",
      R"~(    })~",
      R"~(    if (Debug==TRUE){Print("MM:" + dMMTyp);})~",
  });
  const bool lotTestOpen = writeLotLines(out, rules, false);
  add(out, {
      R"~(   for(int lauf=0;lauf<laufMax;lauf++){)~",
      R"~(    if (Debug==TRUE){if(lauf>0){Print("next try with adjusted stops");}})~",
      R"~(    price1=0;)~",
      R"~(    price2=0;)~",
      R"~(    RefreshRates();)~",
      R"~(    if (Stoploss_Long > 0) price1= NormalizeDouble(Bid - Stoploss_Long * Point, Digits);)~",
      R"~(    if (Takeprofit_Long > 0) price2= NormalizeDouble(Bid + Takeprofit_Long * Point, Digits);)~",
      R"~(    if (Debug==TRUE){Print("SL TP -> " + price1 + " " + price2);})~",
      R"~(    if (OrderMitStop == 0) {)~",
      R"~(      if(Debug==TRUE){Print("send blank order without stops ");})~",
      R"~(      ticket = OrderSend( tSymbol, OP_BUY, lots, Ask,0,0,0,dComment,magic,0,SpringGreen);)~",
      R"~(      if (ticket!=-1))~",
      R"~(        {)~",
      R"~(        istTrades++;)~",
      R"~(        if(Debug==TRUE){Print("modify stops");})~",
      R"~(        OrderSelect(ticket,SELECT_BY_TICKET);)~",
      R"~(        if ((price1!=0 || price2!=0) && OrderModify(OrderTicket(),OrderOpenPrice(),price1,price2,0,Green)==FALSE) Print(ticket+": stops refused, retried at the next bar: "+ ErrCode(GetLastError()));} )~",
      R"~(        else {)~",
      R"~(        // Fehler)~",
      R"~(          meldeOrderFehler();)~",
      R"~(        })~",
      R"~(    })~",
      R"~(    else {)~",
      R"~(      if(Debug==TRUE){Print("send order with stops");})~",
      R"~(      ticket = OrderSend( tSymbol,OP_BUY,lots,Ask,mmSlippage,price1,price2,dComment,magic,0,SpringGreen);)~",
      R"~(      if(ticket!=-1){istTrades++;} else {)~",
      R"~(        meldeOrderFehler();)~",
      R"~(      })~",
      R"~(    })~",
      R"~(    if(ticket!=-1) break;)~",
      R"~(    })~",
      R"~(  } else)~",
      R"~(  {)~",
      R"~(    if(Debug==TRUE){Print("max long lots reached ! :" + mmMaxLots);})~",
      R"~(  })~",
      R"~(})~",
  });
  if (lotTestOpen) out.emplace_back("}");
}

void writeEnterShort(Lines& out, const SystemRules& rules) {
  add(out, {
      R"~(void enter_short() {)~",
      R"~(  if(Debug==TRUE){Print("ENTER SHORT");})~",
      R"~(  double lots;)~",
      R"~(  double price1;)~",
      R"~(  double price2;)~",
      R"~(  int ticket;)~",
      R"~(  if ((getTotalLots(OP_SELL) < mmMaxLots)||(mmMaxLots==0)) {)~",
      R"~(    if (Hedging == FALSE && is_long() == 1) {)~",
      R"~(      if(Debug==TRUE){  Print("no Hedging. No goSHORT while LONG");})~",
      R"~(      return;)~",
      R"~(    })~",
      R"~(    if(Debug==TRUE){Print("MM:"+dMMTyp);})~",
  });
  const bool lotTestOpen = writeLotLines(out, rules, true);
  add(out, {
      R"~(    if(Debug==TRUE){Print("lots:" + lots);})~",
      R"~(  for(int lauf=0;lauf<laufMax;lauf++){)~",
      R"~(    if (Debug==TRUE){if(lauf>0){Print("next try with adjusted stops");}})~",
      R"~(    price1=0;)~",
      R"~(    price2=0;)~",
      R"~(    RefreshRates();)~",
      R"~(    if (Stoploss_Short > 0) price1=NormalizeDouble(Ask + Stoploss_Short * Point, Digits);)~",
      R"~(    if (Takeprofit_Short > 0) price2= NormalizeDouble(Ask - Takeprofit_Short * Point, Digits);)~",
      R"~(    if (Debug==TRUE){Print("SL TP -> " + price1 + " " + price2);})~",
      R"~(    if (OrderMitStop == 0) {)~",
      R"~(      if(Debug==TRUE){Print("send blank order without stops ");})~",
      R"~(      ticket = OrderSend( tSymbol, OP_SELL, lots, Bid,0,0,0,dComment,magic,0,DeepPink);)~",
      R"~(      if (ticket!=-1){)~",
      R"~(        istTrades++;)~",
      R"~(      if(Debug==TRUE){Print("modify stops");})~",
      R"~(      OrderSelect(ticket,SELECT_BY_TICKET);)~",
      R"~(      if ((price1!=0 || price2!=0) && OrderModify(OrderTicket(),OrderOpenPrice(),price1,price2,0,Red)==FALSE) Print(ticket+": stops refused, retried at the next bar: "+ ErrCode(GetLastError()));} else { )~",
      R"~(      // Fehler)~",
      R"~(        meldeOrderFehler();)~",
      R"~(      }  )~",
      R"~(    })~",
      R"~(    else {)~",
      R"~(      if(Debug==TRUE){Print("send order with stops");})~",
      R"~(      ticket = OrderSend( tSymbol,OP_SELL,lots,Bid,mmSlippage,price1,price2,dComment,magic,0,DeepPink);)~",
      R"~(      if( ticket!=-1) {istTrades++;} else {)~",
      R"~(        meldeOrderFehler();)~",
      R"~(      })~",
      R"~(    })~",
      R"~(    if(ticket!=-1) break;)~",
      R"~(    }    )~",
      R"~(  } else)~",
      R"~(  {)~",
      R"~(    if(Debug==TRUE){Print("max short lots reached ! :" + mmMaxLots);})~",
      R"~(  })~",
      R"~(})~",
  });
  if (lotTestOpen) out.emplace_back("}");
}

void writeExits(Lines& out) {
  add(out, {
      R"~(void exit_long() {)~",
      R"~(  int c=0;)~",
      R"~(  if(Debug==TRUE){Print("check exit long");})~",
      R"~(  for (int pos = OrdersTotal() - 1;pos>=0;pos--) {)~",
      R"~(    if(OrderSelect(pos,SELECT_BY_POS,MODE_TRADES)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(    else {)~",
      R"~(      if(OrderMagicNumber() == magic && OrderType() == OP_BUY){)~",
      R"~(        c++;)~",
      R"~(        if(Debug==TRUE){Print("  close long order ...");})~",
      R"~(        if(Debug==TRUE){Print("  OrderTicket:"+OrderTicket());})~",
      R"~(        OrderClose(OrderTicket(),OrderLots(), Bid, 0);)~",
      R"~(      })~",
      R"~(    })~",
      R"~(  })~",
      R"~(  if(Debug==TRUE && c==0) {Print("no action required");})~",
      R"~(})~",
      R"~(void exit_short() {)~",
      R"~(  int c=0;)~",
      R"~(  if(Debug==TRUE){Print("check exit short");})~",
      R"~(  for (int pos = OrdersTotal() - 1;pos>=0;pos--) {)~",
      R"~(    if(OrderSelect(pos,SELECT_BY_POS,MODE_TRADES)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(    else {)~",
      R"~(      if(OrderMagicNumber() == magic && OrderType() == OP_SELL){)~",
      R"~(        c++;)~",
      R"~(        if(Debug==TRUE){Print("  close short order ...");})~",
      R"~(        if(Debug==TRUE){Print("  OrderTicket:"+OrderTicket());})~",
      R"~(        OrderClose(OrderTicket(),OrderLots(), Ask, 0);)~",
      R"~(      })~",
      R"~(    })~",
      R"~(  })~",
      R"~(  if(Debug==TRUE && c==0) {Print("no action required");})~",
      R"~(})~",
  });
}

void writeTrailSl(Lines& out) {
  add(out, {
      R"~(void trail_sl() {)~",
      R"~(  double newStop=0;)~",
      R"~(  if(Debug==TRUE){Print("check trailingstop B:" + Bid + " A:"+ Ask);})~",
      R"~(  for (int pos = OrdersTotal() - 1;pos>=0;pos--) {)~",
      R"~(    if(OrderSelect(pos,SELECT_BY_POS,MODE_TRADES)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(    else)~",
      R"~(    {)~",
      R"~(      if(Debug==TRUE){Print("check order:"+(pos+1));})~",
      R"~(      if(Trailing_SL_Long > 0 && OrderMagicNumber() == magic && OrderType() == OP_BUY) {)~",
      R"~(        newStop=NormalizeDouble(Bid - Trailing_SL_Long * Point, Digits);)~",
      R"~(//      if(Bid > OrderOpenPrice() && newStop > OrderStopLoss()) {)~",
      R"~(        if(newStop > OrderStopLoss()) {)~",
      R"~(          if(Debug==TRUE){Print("long stop ="+ OrderStopLoss());})~",
      R"~(          if(Debug==TRUE){Print("set newstop:"+newStop);})~",
      R"~(          if(OrderModify(OrderTicket(),OrderOpenPrice(), newStop, OrderTakeProfit(),OrderExpiration(),Blue)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(        } else if(Debug==TRUE){Print("no new stop");})~",
      R"~(      })~",
      R"~(      else {)~",
      R"~(        if(Trailing_SL_Short > 0 && OrderMagicNumber() == magic && OrderType() == OP_SELL) {)~",
      R"~(          newStop=NormalizeDouble(Ask + Trailing_SL_Short * Point, Digits);)~",
      R"~(//        if(Ask < OrderOpenPrice() && newStop < OrderStopLoss()) {)~",
      // A short position without a stop loss reports a stop of 0, which no new stop is below;
      // it is trailed from the first tick, as a long position without a stop is.
      R"~(          if(OrderStopLoss() == 0 || newStop < OrderStopLoss()) {)~",
      R"~(            if(Debug==TRUE){Print("short stop ="+ OrderStopLoss());})~",
      R"~(            if(Debug==TRUE){Print("set newstop:"+newStop);})~",
      R"~(            if(OrderModify(OrderTicket(),OrderOpenPrice(),newStop, OrderTakeProfit(),OrderExpiration(),Blue)==FALSE)Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(          } else if(Debug==TRUE){Print("no new stop");})~",
      R"~(        })~",
      R"~(      })~",
      R"~(    })~",
      R"~(  })~",
      R"~(})~",
  });
}

// A stop the broker refused when the position was opened is asked for again at the first tick
// of each later bar, measured from the open price. Once the market has passed it, it can never
// be set (the broker refuses a stop on the wrong side of the price): the position is closed at
// the market, as that stop would have closed it. Asking at every tick instead would send a
// modification bound to fail at every tick and fill the log; a position still refused is logged
// once.
void writeSetMissingStops(Lines& out) {
  add(out, {
      R"~(bool firstStopsRefusal(int ticket) {)~",
      R"~(  int n=ArraySize(stopsRefused);)~",
      R"~(  for(int i=0;i<n;i++) if(stopsRefused[i]==ticket) return(false);)~",
      R"~(  ArrayResize(stopsRefused,n+1);)~",
      R"~(  stopsRefused[n]=ticket;)~",
      R"~(  return(true);)~",
      R"~(})~",
      R"~(void set_missing_stops() {)~",
      R"~(  for (int pos = OrdersTotal() - 1;pos>=0;pos--) {)~",
      R"~(    if(OrderSelect(pos,SELECT_BY_POS,MODE_TRADES)==FALSE) continue;)~",
      R"~(    if(OrderMagicNumber()!=magic || OrderSymbol()!=tSymbol) continue;)~",
      R"~(    double sl=OrderStopLoss();)~",
      R"~(    double tp=OrderTakeProfit();)~",
      // Compared as prices of whole points: the tick's price as it stands may differ from the
      // stop's in the last bits.
      R"~(    double market=0;)~",
      R"~(    string passed="";)~",
      R"~(    if(OrderType()==OP_BUY){)~",
      R"~(      if(sl==0 && Stoploss_Long>0) sl=NormalizeDouble(OrderOpenPrice() - Stoploss_Long * Point, Digits);)~",
      R"~(      if(tp==0 && Takeprofit_Long>0) tp=NormalizeDouble(OrderOpenPrice() + Takeprofit_Long * Point, Digits);)~",
      R"~(      market=NormalizeDouble(Bid, Digits);)~",
      R"~(      if(sl!=OrderStopLoss() && market<=sl) passed="stop loss";)~",
      R"~(      else if(tp!=OrderTakeProfit() && market>=tp) passed="take profit";)~",
      R"~(    } else if(OrderType()==OP_SELL){)~",
      R"~(      if(sl==0 && Stoploss_Short>0) sl=NormalizeDouble(OrderOpenPrice() + Stoploss_Short * Point, Digits);)~",
      R"~(      if(tp==0 && Takeprofit_Short>0) tp=NormalizeDouble(OrderOpenPrice() - Takeprofit_Short * Point, Digits);)~",
      R"~(      market=NormalizeDouble(Ask, Digits);)~",
      R"~(      if(sl!=OrderStopLoss() && market>=sl) passed="stop loss";)~",
      R"~(      else if(tp!=OrderTakeProfit() && market<=tp) passed="take profit";)~",
      R"~(    } else continue;)~",
      R"~(    if(passed!=""){)~",
      R"~(      Print(OrderTicket()+": the market has passed the missing "+passed+": closed at "+market);)~",
      R"~(      if(OrderClose(OrderTicket(),OrderLots(),market,0)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(      continue;)~",
      R"~(    })~",
      R"~(    if(sl==OrderStopLoss() && tp==OrderTakeProfit()) continue;)~",
      R"~(    if(OrderModify(OrderTicket(),OrderOpenPrice(),sl,tp,OrderExpiration(),Blue)){)~",
      R"~(      Print(OrderTicket()+": missing stops set, SL "+sl+" TP "+tp);)~",
      R"~(      continue;)~",
      R"~(    })~",
      R"~(    int err=GetLastError();)~",
      R"~(    if(firstStopsRefusal(OrderTicket())) Print(OrderTicket()+": missing stops SL "+sl+" TP "+tp+" refused, asked again at each new bar: "+ ErrCode(err));)~",
      R"~(  })~",
      R"~(})~",
  });
}

void writeStart(Lines& out) {
  add(out, {
      R"~(int start() {)~",
      R"~(  int doExitShort=0;)~",
      R"~(  int doExitLong=0;)~",
      R"~(  Print("Bars:" + Bars);)~",
      R"~(  if(Debug==TRUE){Print("next tick ... start()");})~",
      R"~(  int istPosCount=OrdersTotal();)~",
      R"~(  int istLastPosTicket=0;)~",
      R"~(  if(istPosCount>0) {)~",
      R"~(    OrderSelect(istPosCount-1,SELECT_BY_POS,MODE_TRADES);)~",
      R"~(    istLastPosTicket=OrderTicket();)~",
      R"~(  } else {)~",
      R"~(  // ist null)~",
      R"~(  }  )~",
      R"~()~",
      R"~(  if (sperr) return(0);)~",
      // maxTrades is a limit per day. At the first tick of a day the count starts again from
      // this EA's orders opened that day, not from 0: the terminal may have been restarted
      // since, and its trades of the day still count.
      R"~(  string today=StringSubstr(TimeToStr(TimeCurrent()),0,10);)~",
      R"~(  if(today!=tradeDay){)~",
      R"~(    Print("new day "+today+": trade counters recounted");)~",
      R"~(    istTrades=0;)~",
      R"~(    showHistory();)~",
      R"~(  })~",
  });
  out.line("  Comment(\"x1, ", std::string(kMakerWebAddress), "\");");
  add(out, {
      R"~(  if(lastPosCount != istPosCount) {)~",
      R"~(  if(Debug==TRUE){)~",
      R"~(    Print("positions changed! "+ lastPosCount +" -> "+ istPosCount);)~",
      R"~(    if(istPosCount==0) Print("Closed ticket: "+ lastPosTicket);)~",
      R"~(    if(istPosCount!=0) Print("last ticket: "+ istLastPosTicket);)~",
      R"~(    )~",
      R"~(  })~",
      R"~(  })~",
      R"~(  lastPosCount=istPosCount;)~",
      R"~(  lastPosTicket=istLastPosTicket;)~",
      R"~(  if(istPosCount>0 && (Trailing_SL_Long > 0 || Trailing_SL_Short > 0)) trail_sl();)~",
      R"~(  if (Volume[0]<merkVol){)~",
      R"~(  if (Debug==TRUE){Print("start of signalcheck");})~",
      R"~(  merkVol=Volume[0];)~",
      R"~(  set_missing_stops();)~",
      R"~(  if(check_long_exits()==1) doExitLong=1;)~",
      R"~(  if(check_short_exits()==1) doExitShort=1;)~",
      R"~(   if(doExitLong==0){)~",
      R"~(    if (Hedging == FALSE && is_long() ==1){)~",
      R"~(      if(check_short_entries()==1){)~",
      R"~(        doExitLong=1;)~",
      R"~(        if (Debug==TRUE){Print("no Hedging - must close long");})~",
      R"~(      })~",
      R"~(    })~",
      R"~(   })~",
      R"~(   if(doExitShort==0){)~",
      R"~(    if (Hedging == FALSE && is_short() ==1){)~",
      R"~(      if(check_long_entries()==1){)~",
      R"~(        doExitShort=1;)~",
      R"~(        if (Debug==TRUE){Print("no Hedging - must close short");})~",
      R"~(      })~",
      R"~(    })~",
      R"~(   })~",
      R"~(  if(doExitLong==1) exit_long();)~",
      R"~(  if(doExitShort==1) exit_short();)~",
      R"~(  if(((istTrades+dayTrades)>=maxTrades)&&(maxTrades!=0)){)~",
      R"~(    Print("The max.Trades reached. Check no more new signals !");)~",
      R"~(    Print("Today before EA Start/Today in EA is:"+ istTrades + " was:"+ dayTrades);)~",
      R"~(  }else{)~",
      R"~(    if(check_long_entries()==1) enter_long();)~",
      R"~(    if(check_short_entries()==1) enter_short();)~",
      R"~(  })~",
      R"~(  if (Debug==TRUE){Print("end of signalcheck");})~",
      R"~(  return(0);)~",
      R"~(  })~",
      R"~(  merkVol=Volume[0];)~",
      R"~(return(1);})~",
      R"~()~",
  });
}

struct TradeError {
  int number;
  std::string_view text;
};

constexpr std::array<TradeError, 28> kTradeErrors{{
    {0, " No error returned. "},
    {1, " No error returned, but the result is unknown. "},
    {2, " Common error. "},
    {3, " Invalid trade parameters. "},
    {4, " Trade server is busy. "},
    {5, " Old version of the client terminal. "},
    {6, " No connection with trade server. "},
    {7, " Not enough rights. "},
    {8, " Too frequent requests. "},
    {9, " Malfunctional trade operation. "},
    {64, " Account disabled. "},
    {65, " Invalid account. "},
    {128, " Trade timeout. "},
    {129, " Invalid price. "},
    {130, " Invalid stops. "},
    {131, " Invalid trade volume. "},
    {132, " Market is closed. "},
    {133, " Trade is disabled. "},
    {134, " Not enough money. "},
    {135, " Price changed. "},
    {136, " Off quotes. "},
    {137, " Broker is busy. "},
    {138, " Requote. "},
    {139, " Order is locked. "},
    {140, " Long positions only allowed. "},
    {141, " Too many requests. "},
    {145, " Modification denied because order too close to market. "},
    {146, " Trade context is busy. "},
}};

void writeErrCode(Lines& out) {
  add(out, {
      R"~(string ErrCode(int e){)~",
      R"~(string s="";)~",
      R"~(switch(e))~",
      R"~({)~",
  });
  for (const TradeError& e : kTradeErrors)
    out.line("   case  ", std::to_string(e.number), " : {s=\"", std::string(e.text), "\";break;}");
  add(out, {
      R"~(})~",
      R"~(  return (s);)~",
      R"~(})~",
      R"~(//+------------------------------------------------------------------+)~",
      R"~()~",
  });
}

// Counts today's orders of this EA (its magic number on its symbol): first those in the account
// history, then the open ones.
void writeTodaysOrderScan(Lines& out, std::string_view total, std::string_view pool, std::string_view failure) {
  out.line("  for(i=0;i<", std::string(total), ";i++)");
  add(out, {
      R"~(    {)~",
      R"~(     //---- check selection result)~",
  });
  out.line("     if(OrderSelect(i,SELECT_BY_POS,", std::string(pool), ")==false)");
  out.emplace_back("       {");
  out.line("        Print(\"", std::string(failure), "\",GetLastError(),\")\");");
  add(out, {
      R"~(        break;)~",
      R"~(       })~",
      R"~(     //Print(OrderTicket()); // some work with order)~",
      R"~(     sorder=StringSubstr(TimeToStr(OrderOpenTime()),0,10);)~",
      R"~(     //Print("Zeit:"+TimeToStr(OrderOpenTime()));)~",
      R"~(     if((sorder==sheute)&&(OrderMagicNumber()==magic)&&(OrderSymbol()==tSymbol)){dayTrades++;})~",
      R"~(    })~",
  });
}

void writeShowHistory(Lines& out) {
  add(out, {
      R"~(void showHistory(){)~",
      R"~( )~",
      R"~( int gt=GetTickCount();)~",
      R"~( datetime d=TimeCurrent();)~",
      R"~( string sheute=StringSubstr(TimeToStr(d),0,10);)~",
      R"~( string sorder="";)~",
      R"~( if(Debug==TRUE){Print("check magicnumber:"+magic);})~",
      R"~( )~",
      R"~( dayTrades=0;)~",
      R"~( tradeDay=sheute;)~",
      R"~(  if(Debug==TRUE){Print("showHistory()");})~",
      R"~( // retrieving info from trade history)~",
      R"~(  int i,hstTotal=OrdersHistoryTotal();)~",
      R"~()~",
  });
  writeTodaysOrderScan(out, "hstTotal", "MODE_HISTORY", "Access to history failed with error (");
  add(out, {
      R"~(  Print("Trades closed today:"+dayTrades);)~",
      R"~(  )~",
      R"~(  int ist=OrdersTotal();)~",
  });
  writeTodaysOrderScan(out, "ist", "MODE_TRADES", "Access to actual orders failed with error (");
  add(out, {
      R"~(   )~",
      R"~(  )~",
      R"~(  Print("Trades total today:"+dayTrades);)~",
      R"~(  Print("time:"+(GetTickCount()-gt));)~",
      R"~(  if(Debug==TRUE){Print("end showHistory()");})~",
      R"~(})~",
  });
}

void writeGetTotalLots(Lines& out) {
  add(out, {
      R"~()~",
      R"~(double getTotalLots(int OP_MODE) {)~",
      R"~(  int c=0;)~",
      R"~(  double lts=0;)~",
      R"~(  for (int pos = OrdersTotal() - 1;pos>=0;pos--) {)~",
      R"~(    if(OrderSelect(pos,SELECT_BY_POS,MODE_TRADES)==FALSE) Print(OrderTicket()+": "+ ErrCode(GetLastError()));)~",
      R"~(    else {)~",
      R"~(      if(OrderMagicNumber() == magic && OrderType() == OP_MODE){)~",
      R"~(        c++;)~",
      R"~(        lts=lts + OrderLots();)~",
      R"~(      })~",
      R"~(    })~",
      R"~(  })~",
      R"~(  if(Debug==TRUE && c==0) {Print("lots total:"+lts);})~",
      R"~(  return(lts);)~",
      R"~(})~",
  });
}

}  // namespace

std::string expertTimeStamp(const DateTime& t) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.year);
  return twoDigits(t.month) + "-" + twoDigits(t.day) + "-" + year + "/" + twoDigits(t.hour) + ":" +
         twoDigits(t.minute) + ":" + twoDigits(t.second);
}

namespace {

ExpertSource writeListing(const TradingSystem& system, const Catalogue& catalogue, const DefinitionTable& definitions,
                          const ExpertOptions& options, Listing::Form form) {
  ExpertSource result;
  auto rules = systemRulesOf(system, catalogue, definitions, options.magic, options.language);
  if (auto* refusal = std::get_if<RulesRefusal>(&rules)) {
    result.fault = std::move(refusal->fault);
    result.problems = std::move(refusal->problems);
    return result;
  }
  const SystemRules& r = std::get<SystemRules>(rules);

  Listing out(form);
  // About what the largest systems need, so neither form grows while it is written.
  out.reserve(2048, 96 * 1024);
  writeHeader(out, options.timeStamp);
  writeGlobals(out, r, options.magic);
  writeCheckStoplevels(out);
  writeInitAndDeinit(out, r);
  writeNormalizeLots(out);
  writeIsLongIsShort(out);
  for (const CheckFunction& f : kCheckFunctions) writeCheckFunction(out, r, f);
  writeOrderErrorReport(out);
  writeEnterLong(out, r);
  writeEnterShort(out, r);
  writeExits(out);
  writeTrailSl(out);
  writeSetMissingStops(out);
  writeStart(out);
  writeErrCode(out);
  writeShowHistory(out);
  writeGetTotalLots(out);
  if (form == Listing::Form::Lines)
    result.lines = out.takeLines();
  else
    result.fileText = out.takeText();
  return result;
}

}  // namespace

ExpertSource expertSourceLines(const TradingSystem& system, const Catalogue& catalogue,
                               const DefinitionTable& definitions, const ExpertOptions& options) {
  return writeListing(system, catalogue, definitions, options, Listing::Form::Lines);
}

ExpertSource expertSourceFileText(const TradingSystem& system, const Catalogue& catalogue,
                                  const DefinitionTable& definitions, const ExpertOptions& options) {
  return writeListing(system, catalogue, definitions, options, Listing::Form::FileText);
}

}  // namespace zorvik
