#include "backtest/backtest_report.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "market/history_files.hpp"

namespace zorvik {
namespace {

std::string shortestNumber(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string jsonNumber(const std::optional<double>& v) {
  if (!v || !std::isfinite(*v)) return "null";
  return shortestNumber(*v);
}

std::string optionalFixed(const std::optional<double>& v, int decimals) {
  return v ? fixedNumber(*v, decimals) : std::string("-");
}

std::string htmlEscape(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

struct Row {
  std::string label;
  std::string value;
};

std::vector<Row> statisticRows(const BacktestStatistics& s) {
  return {
      {"Net profit", fixedNumber(s.netProfit, 2)},
      {"Gross profit", fixedNumber(s.grossProfit, 2)},
      {"Gross loss", fixedNumber(s.grossLoss, 2)},
      {"Profit factor", optionalFixed(s.profitFactor, 2)},
      {"Trades", std::to_string(s.trades)},
      {"Won %", optionalFixed(s.wonPercent, 2)},
      {"Average win", optionalFixed(s.averageWin, 2)},
      {"Average loss", optionalFixed(s.averageLoss, 2)},
      {"Largest win", optionalFixed(s.largestWin, 2)},
      {"Largest loss", optionalFixed(s.largestLoss, 2)},
      {"Maximal drawdown", fixedNumber(s.maxDrawdown, 2)},
      {"Maximal drawdown %", fixedNumber(s.maxDrawdownPercent, 2)},
      {"Recovery factor", optionalFixed(s.recoveryFactor, 2)},
      {"Expectancy", optionalFixed(s.expectancy, 2)},
      {"Commission", fixedNumber(s.totalCommission, 2)},
      {"Swap", fixedNumber(s.totalSwap, 2)},
      {"Stop outs", std::to_string(s.stopOuts)},
      {"Refused: no money", std::to_string(s.refusedForMoney)},
  };
}

// The report's words in German, keyed by the English words the rows and headings are written
// with (the terminal table and the machine-readable files keep those). A label without a
// German line here stays English rather than vanish.
constexpr std::pair<std::string_view, std::string_view> kGermanWords[] = {
    {"Net profit", "Nettogewinn"},
    {"Gross profit", "Bruttogewinn"},
    {"Gross loss", "Bruttoverlust"},
    {"Profit factor", "Profitfaktor"},
    {"Trades", "Trades"},
    {"Won %", "Gewonnen %"},
    {"Average win", "Durchschnittlicher Gewinn"},
    {"Average loss", "Durchschnittlicher Verlust"},
    {"Largest win", "Größter Gewinn"},
    {"Largest loss", "Größter Verlust"},
    {"Maximal drawdown", "Maximaler Drawdown"},
    {"Maximal drawdown %", "Maximaler Drawdown %"},
    {"Recovery factor", "Erholungsfaktor"},
    {"Expectancy", "Erwartungswert"},
    {"bars", "Kerzen"},
    {"deposit", "Einlage"},
    {"cancelled", "abgebrochen"},
    {"Statistics", "Statistik"},
    {"Commission", "Kommission"},
    {"Swap", "Swap"},
    {"Stop outs", "Stop Outs"},
    {"Refused: no money", "Abgelehnt: kein Geld"},
    {"stopped out", "ausgestoppt (Stop Out)"},
    {"positions closed", "Positionen geschlossen"},
    {"stop out", "Stop Out"},
    {"Equity (green) and balance (blue), stop outs (red)", "Kapital (grün) und Kontostand (blau), Stop Outs (rot)"},
    {"Ticket", "Ticket"},
    {"Type", "Typ"},
    {"Lots", "Lots"},
    {"Open time", "Eröffnet"},
    {"Open price", "Eröffnungskurs"},
    {"Close time", "Geschlossen"},
    {"Close price", "Schlusskurs"},
    {"SL", "SL"},
    {"TP", "TP"},
    {"Profit", "Gewinn"},
    {"Reason", "Grund"},
    {"buy", "Kauf"},
    {"sell", "Verkauf"},
    {"signal", "Signal"},
    {"sl", "Stop Loss"},
    {"tp", "Take Profit"},
    {"hedge", "Gegenposition"},
    {"end", "Testende"},
    {"stopout", "Stop Out"},
};

std::string shownWord(std::string_view english, ReportLanguage language) {
  if (language == ReportLanguage::German)
    for (const auto& [from, german] : kGermanWords)
      if (from == english) return std::string(german);
  return std::string(english);
}

// "31.12.2024 23:00" in German, the history's own "2024.12.31 23:00" in English.
std::string shownTime(std::int64_t time, ReportLanguage language) {
  const std::string text = historyTimeText(time);
  if (language != ReportLanguage::German || text.size() < 10) return text;
  return text.substr(8, 2) + "." + text.substr(5, 2) + "." + text.substr(0, 4) + text.substr(10);
}

// Equity and balance as two polylines; many bars share a pixel column, so each column keeps
// its lowest and highest value and the drawdowns stay visible.
std::string equitySvg(const BacktestResult& r) {
  constexpr int kWidth = 900, kHeight = 300, kColumns = 900;
  const std::size_t n = r.equity.size();
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) + "\" height=\"" +
                    std::to_string(kHeight) + "\" viewBox=\"0 0 " + std::to_string(kWidth) + " " +
                    std::to_string(kHeight) + "\" role=\"img\" aria-label=\"equity and balance\">";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\" stroke=\"#ccc\"/>";
  if (n == 0) return svg + "</svg>";
  double lo = r.deposit, hi = r.deposit;
  for (std::size_t i = 0; i < n; ++i) {
    lo = std::min({lo, r.equity[i], r.balance[i]});
    hi = std::max({hi, r.equity[i], r.balance[i]});
  }
  if (hi - lo < 1e-9) hi = lo + 1;
  const double pad = 10;
  auto y = [&](double v) { return pad + (hi - v) / (hi - lo) * (kHeight - 2 * pad); };
  auto line = [&](const std::vector<double>& values, const char* colour) {
    std::string points;
    const std::size_t columns = std::min<std::size_t>(n, kColumns);
    for (std::size_t c = 0; c < columns; ++c) {
      const std::size_t a = c * n / columns, b = std::max(a + 1, (c + 1) * n / columns);
      double mn = values[a], mx = values[a];
      for (std::size_t i = a; i < b; ++i) {
        mn = std::min(mn, values[i]);
        mx = std::max(mx, values[i]);
      }
      const double x = columns == 1 ? kWidth / 2.0 : static_cast<double>(c) * (kWidth - 1) / (columns - 1);
      points += fixedNumber(x, 1) + "," + fixedNumber(y(mx), 1) + " ";
      if (mn != mx) points += fixedNumber(x, 1) + "," + fixedNumber(y(mn), 1) + " ";
    }
    return "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"1.2\" points=\"" + points +
           "\"/>";
  };
  svg += "<line x1=\"0\" x2=\"" + std::to_string(kWidth) + "\" y1=\"" + fixedNumber(y(r.deposit), 1) + "\" y2=\"" +
         fixedNumber(y(r.deposit), 1) + "\" stroke=\"#bbb\" stroke-dasharray=\"4 4\"/>";
  svg += line(r.balance, "#1f5fbf");
  svg += line(r.equity, "#2a9d3a");
  // A stop out is marked where it happened, on the equity the bar ended with.
  for (const Trade& t : r.trades) {
    if (t.reason != CloseReason::StopOut || t.closeBar < r.firstBar || t.closeBar - r.firstBar >= n) continue;
    const std::size_t i = t.closeBar - r.firstBar;
    const double x = n == 1 ? kWidth / 2.0 : static_cast<double>(i) * (kWidth - 1) / static_cast<double>(n - 1);
    svg += "<circle cx=\"" + fixedNumber(x, 1) + "\" cy=\"" + fixedNumber(y(r.equity[i]), 1) +
           "\" r=\"3\" fill=\"#d62728\"><title>stop out</title></circle>";
  }
  svg += "<text x=\"6\" y=\"14\" font-size=\"11\" fill=\"#333\">" + fixedNumber(hi, 2) + "</text>";
  svg += "<text x=\"6\" y=\"" + std::to_string(kHeight - 4) + "\" font-size=\"11\" fill=\"#333\">" + fixedNumber(lo, 2) +
         "</text>";
  return svg + "</svg>";
}

}  // namespace

std::string fixedNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "nan";
  char buf[512];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return shortestNumber(value);
  std::string s(buf, r.ptr);
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);  // no "-0.00"
  return s;
}

std::string tradesCsv(const BacktestResult& r) {
  std::string out = "ticket,type,lots,open_time,open_price,close_time,close_price,sl,tp,profit,reason,commission,swap\n";
  for (const Trade& t : r.trades) {
    out += std::to_string(t.ticket) + "," + std::string(tradeTypeName(t.type)) + "," + fixedNumber(t.lots, 2) + "," +
           historyTimeText(t.openTime) + "," + fixedNumber(t.openPrice, r.digits) + "," + historyTimeText(t.closeTime) +
           "," + fixedNumber(t.closePrice, r.digits) + "," + fixedNumber(t.stopLoss, r.digits) + "," +
           fixedNumber(t.takeProfit, r.digits) + "," + fixedNumber(t.profit, 2) + "," +
           std::string(closeReasonName(t.reason)) + "," + fixedNumber(t.commission, 2) + "," + fixedNumber(t.swap, 2) +
           "\n";
  }
  return out;
}

std::string tradesCsvForGermanSpreadsheet(const BacktestResult& r) {
  constexpr ReportLanguage german = ReportLanguage::German;
  const auto number = [](double v, int decimals) {
    std::string text = fixedNumber(v, decimals);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
  };
  std::string out;
  for (const char* c : {"Ticket", "Type", "Lots", "Open time", "Open price", "Close time", "Close price", "SL", "TP",
                        "Profit", "Reason"})
    out += (out.empty() ? "" : ";") + shownWord(c, german);
  out += "\n";
  for (const Trade& t : r.trades) {
    out += std::to_string(t.ticket) + ";" + shownWord(tradeTypeName(t.type), german) + ";" + number(t.lots, 2) + ";" +
           shownTime(t.openTime, german) + ";" + number(t.openPrice, r.digits) + ";" + shownTime(t.closeTime, german) +
           ";" + number(t.closePrice, r.digits) + ";" + number(t.stopLoss, r.digits) + ";" +
           number(t.takeProfit, r.digits) + ";" + number(t.profit, 2) + ";" +
           shownWord(closeReasonName(t.reason), german) + "\n";
  }
  return out;
}

std::string statisticsJson(const BacktestStatistics& s) {
  const std::pair<const char*, std::string> fields[] = {
      {"net_profit", jsonNumber(s.netProfit)},
      {"gross_profit", jsonNumber(s.grossProfit)},
      {"gross_loss", jsonNumber(s.grossLoss)},
      {"profit_factor", jsonNumber(s.profitFactor)},
      {"trades", std::to_string(s.trades)},
      {"won_percent", jsonNumber(s.wonPercent)},
      {"average_win", jsonNumber(s.averageWin)},
      {"average_loss", jsonNumber(s.averageLoss)},
      {"largest_win", jsonNumber(s.largestWin)},
      {"largest_loss", jsonNumber(s.largestLoss)},
      {"max_drawdown", jsonNumber(s.maxDrawdown)},
      {"max_drawdown_percent", jsonNumber(s.maxDrawdownPercent)},
      {"recovery_factor", jsonNumber(s.recoveryFactor)},
      {"expectancy", jsonNumber(s.expectancy)},
      {"total_commission", jsonNumber(s.totalCommission)},
      {"total_swap", jsonNumber(s.totalSwap)},
      {"stop_outs", std::to_string(s.stopOuts)},
      {"refused_not_enough_money", std::to_string(s.refusedForMoney)},
  };
  std::string out = "{\n";
  bool first = true;
  for (const auto& [key, value] : fields) {
    if (!first) out += ",\n";
    first = false;
    out += "  \"" + std::string(key) + "\": " + value;
  }
  return out + "\n}\n";
}

std::string statisticsTable(const BacktestStatistics& s) {
  std::string out;
  for (const Row& row : statisticRows(s)) {
    std::string label = row.label;
    label.resize(std::max<std::size_t>(label.size(), 20), ' ');
    out += label + " " + row.value + "\n";
  }
  return out;
}

std::string reportHtml(const BacktestResult& r, const std::string& title, ReportLanguage language) {
  const auto w = [language](std::string_view english) { return htmlEscape(shownWord(english, language)); };
  const auto time = [language](std::int64_t t) { return htmlEscape(shownTime(t, language)); };
  std::string h = std::string("<!DOCTYPE html>\n<html lang=\"") + (language == ReportLanguage::German ? "de" : "en") +
                  "\"><head><meta charset=\"utf-8\"><title>Backtest " + htmlEscape(title) +
                  "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
                  "td,th{border:1px solid #ccc;padding:2px 8px;text-align:right}th{background:#eee}"
                  "td.l,th.l{text-align:left}tr.stopout td{background:#fde2e2}</style></head><body>\n";
  h += "<h1>Backtest: " + htmlEscape(title) + "</h1>\n";
  if (!r.barTime.empty())
    h += "<p>" + time(r.barTime.front()) + " &ndash; " + time(r.barTime.back()) + ", " +
         std::to_string(r.barTime.size()) + " " + w("bars") + ", " + w("deposit") + " " + fixedNumber(r.deposit, 2) +
         (r.cancelled ? ", " + w("cancelled") : std::string()) +
         (r.statistics.stopOuts > 0 ? ", <b>" + w("stopped out") + "</b> (" + std::to_string(r.statistics.stopOuts) +
                                          " " + w("positions closed") + ")"
                                    : std::string()) +
         "</p>\n";
  h += "<h2>" + w("Statistics") + "</h2>\n<table>\n";
  for (const Row& row : statisticRows(r.statistics))
    h += "<tr><td class=\"l\">" + w(row.label) + "</td><td>" + htmlEscape(row.value) + "</td></tr>\n";
  h += "</table>\n<h2>" + w("Equity (green) and balance (blue), stop outs (red)") + "</h2>\n" + equitySvg(r) +
       "\n<h2>" + w("Trades") + "</h2>\n<table>\n<tr>";
  for (const char* c : {"Ticket", "Type", "Lots", "Open time", "Open price", "Close time", "Close price", "SL", "TP",
                        "Profit", "Commission", "Swap", "Reason"})
    h += "<th>" + w(c) + "</th>";
  h += "</tr>\n";
  for (const Trade& t : r.trades) {
    const bool stoppedOut = t.reason == CloseReason::StopOut;
    h += stoppedOut ? "<tr class=\"stopout\"><td>" : "<tr><td>";
    h += std::to_string(t.ticket) + "</td><td class=\"l\">" + w(tradeTypeName(t.type)) + "</td><td>" +
         fixedNumber(t.lots, 2) + "</td><td>" + time(t.openTime) + "</td><td>" + fixedNumber(t.openPrice, r.digits) +
         "</td><td>" + time(t.closeTime) + "</td><td>" + fixedNumber(t.closePrice, r.digits) + "</td><td>" +
         fixedNumber(t.stopLoss, r.digits) + "</td><td>" + fixedNumber(t.takeProfit, r.digits) + "</td><td>" +
         fixedNumber(t.profit, 2) + "</td><td>" + fixedNumber(t.commission, 2) + "</td><td>" +
         fixedNumber(t.swap, 2) + "</td><td class=\"l\">" +
         (stoppedOut ? "<b>" + w("stop out") + "</b>" : w(closeReasonName(t.reason))) + "</td></tr>\n";
  }
  return h + "</table>\n</body></html>\n";
}

}  // namespace zorvik
