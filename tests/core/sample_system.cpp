#include "sample_system.hpp"

#include "model/component_files.hpp"
#include "model/workspace.hpp"

namespace zorvik::testing {

clsIndikator sampleIndicator(const Workspace& ws, const std::string& type) {
  clsIndikator ind(type);
  applyIndicatorDefaults(ws, ind, kSampleEditTime);
  return ind;
}

void fillSampleSystem(clsHsystem& hs, const std::string& fileName) {
  const Workspace& ws = hs.workspace();
  hs.systemFileName = fileName;
  hs.resetAll();
  applySystemDefaults(hs);
  // A line ending in a quote and an empty line inside a multi-line value are the two ways
  // an unescaped value could end early.
  hs.paraChange("general_comment", "Trendfolger für EURUSD\r\n\"Der Trend ist dein Freund\"\r\n\r\nEnde");
  hs.paraChange("general_magic", "100042");
  hs.paraChange("mm_typ", "idFixed Fractional");
  hs.paraChange("mm_fraction", "200");

  clsIndikator ma = sampleIndicator(ws, "Moving Average");
  ma.sp(ws, "period", "20");
  ma.sp(ws, "comment", "MA 20");
  hs.group(1).addIndikator(ma);
  clsIndikator rsi = sampleIndicator(ws, "RSI");
  rsi.sp(ws, "timeframe", "#5");
  hs.group(1).addIndikator(rsi);
  hs.group(1).editok = 1;

  hs.group(2).threshold = "50";
  hs.group(2).sl = "30";
  hs.group(2).ts = "0";
  hs.group(2).tp = "60";
  hs.group(2).addIndikator(sampleIndicator(ws, "MACD"));
  hs.group(2).editok = 1;

  clsIndikator cross = sampleIndicator(ws, "2 Moving Averages Cross");
  cross.sp(ws, "actiontyp", "idReverse");
  hs.group(3).addIndikator(cross);
  hs.group(3).editok = 1;
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
