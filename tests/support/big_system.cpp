#include "big_system.hpp"

#include <string>

#include "workspace/system_parameters.hpp"
#include "model/trading_system.hpp"

namespace zorvik::testing {

namespace {

constexpr const char* kTypes[] = {"Moving Average", "Moving Average Cross", "2 Moving Averages",
                                  "2 Moving Averages Cross", "RSI", "RSI Cross", "Parabolic SAR", "MACD",
                                  "Stochastik", "Bollinger Bands", "Donchian Channel", "ADX"};

}  // namespace

BigSystem::BigSystem() : folder(dir.path()), ws(folder, host) {
  fs::create_directories(ws.userFolder());
  ws.definitions.read(sourceDir() / "res" / "DVDefTable2.dat");
  ws.catalogue.readParameterCoding(ws.language, {"EURUSD", "GBPUSD", "USDJPY"});
  ws.catalogue.readIndicatorCoding();
  TradingSystem& system = ws.system();
  system.resetAll(systemDefaults(ws));
  system.mm.type = "idFixed Ratio";
  system.general.title = "Gross";
  for (int g = 1; g <= 4; ++g) {
    system.group(g).threshold = "60";
    system.group(g).sl = "40";
    system.group(g).tp = "80";
    system.group(g).ts = "20";
    for (int i = 0; i < 50; ++i) {
      const std::string type = kTypes[(g * 50 + i) % 12];
      Indicator ind(type);
      for (const std::string& key : ws.catalogue.parameterKeysOf(type)) {
        const ParameterCoding* p = ws.catalogue.parameter(key);
        ind.setParameter(ws.definitions, ws.language, key, p ? p->defaultValue : "");
      }
      ind.setRaw("symbol", i % 3 == 0 ? "EURUSD" : "Symbol()");
      ind.setRaw("value", std::to_string(1 + i % 7));
      ind.setRaw("actiontyp", i % 4 == 0 ? "idReverse" : "idStandard");
      system.group(g).addIndicator(std::move(ind));
    }
  }
}

}  // namespace zorvik::testing
