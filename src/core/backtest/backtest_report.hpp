#pragma once
// A backtest's result as text: the trade list as CSV, the statistics as JSON and as a table
// for the terminal, and the whole report as one HTML page with the equity curve drawn inline.
// Numbers are written without the locale (a German desktop must not turn 1.5 into 1,5).
#include <string>

#include "backtest/backtest_result.hpp"

namespace zorvik {

// ticket,type,lots,open_time,open_price,close_time,close_price,sl,tp,profit,reason,commission,swap;
// times "YYYY.MM.DD HH:MM", prices with the symbol's digits, lots and money with 2 decimals. The
// profit is the price move's; the trade's result adds the commission and swap to it.
std::string tradesCsv(const BacktestResult& result);

// The trade list for a spreadsheet set to German: ";" between fields, a decimal comma, German
// column names and words, dates "31.12.2024 23:00". tradesCsv stays the machine-readable form.
std::string tradesCsvForGermanSpreadsheet(const BacktestResult& result);

// The statistics as one JSON object with snake_case keys; undefined ratios are null.
std::string statisticsJson(const BacktestStatistics& statistics);

// Label and value per line, for a terminal.
std::string statisticsTable(const BacktestStatistics& statistics);

// The language of a page a trader reads; the machine-readable CSV and JSON have one form.
enum class ReportLanguage { English, German };

// A page that stands alone: title, statistics, the equity and balance curve as SVG, the trades,
// its words and dates in the given language.
std::string reportHtml(const BacktestResult& result, const std::string& title,
                       ReportLanguage language = ReportLanguage::English);

// The number with `decimals` places, "." as the point.
std::string fixedNumber(double value, int decimals);

}  // namespace zorvik
