#include "sample_system.hpp"

#include "model/component_files.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

Indicator sampleIndicator(const Workspace& ws, const std::string& type) {
  Indicator ind(type);
  applyIndicatorDefaults(ws, ind, kSampleEditTime);
  return ind;
}

void fillSampleSystem(Workspace& ws, TradingSystem& system, const std::string& fileName) {
  system.systemFileName = fileName;
  system.resetAll(systemDefaults(ws));
  applySystemDefaults(ws, system);
  // A line ending in a quote and an empty line inside a multi-line value are the two ways
  // an unescaped value could end early.
  system.setParameter("general_comment", "Trendfolger für EURUSD\r\n\"Der Trend ist dein Freund\"\r\n\r\nEnde");
  system.setParameter("general_magic", "100042");
  system.setParameter("mm_typ", "idFixed Fractional");
  system.setParameter("mm_fraction", "200");

  Indicator ma = sampleIndicator(ws, "Moving Average");
  ma.setParameter(ws.definitions, ws.language, "period", "20");
  ma.setParameter(ws.definitions, ws.language, "comment", "MA 20");
  system.group(1).addIndicator(ma);
  Indicator rsi = sampleIndicator(ws, "RSI");
  rsi.setParameter(ws.definitions, ws.language, "timeframe", "#5");
  system.group(1).addIndicator(rsi);
  system.group(1).editok = 1;

  system.group(2).threshold = "50";
  system.group(2).sl = "30";
  system.group(2).ts = "0";
  system.group(2).tp = "60";
  system.group(2).addIndicator(sampleIndicator(ws, "MACD"));
  system.group(2).editok = 1;

  Indicator cross = sampleIndicator(ws, "2 Moving Averages Cross");
  cross.setParameter(ws.definitions, ws.language, "actiontyp", "idReverse");
  system.group(3).addIndicator(cross);
  system.group(3).editok = 1;
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace zorvik::testing
