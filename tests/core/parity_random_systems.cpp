#include "parity_random_systems.hpp"

#include <string>
#include <vector>

#include "model/component_files.hpp"
#include "sample_system.hpp"
#include "workspace/component_reading.hpp"
#include "workspace/system_parameters.hpp"

namespace zorvik::testing {
namespace {

class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(seed * 2654435761ULL + 0x9E3779B97F4A7C15ULL) {}
  int below(int n) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(n));
  }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  template <typename T>
  const T& pick(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))];
  }

 private:
  std::uint64_t state_;
};

const std::vector<std::string> kTypes = {
    "Moving Average", "Moving Average Cross", "2 Moving Averages", "2 Moving Averages Cross",
    "RSI",            "RSI Cross",            "Parabolic SAR",     "MACD",
    "Stochastik",     "Bollinger Bands",      "Donchian Channel",  "ADX"};

std::string decimal(int hundredths) {
  std::string s = std::to_string(hundredths / 100) + ".";
  const int rest = hundredths % 100;
  s += static_cast<char>('0' + rest / 10);
  s += static_cast<char>('0' + rest % 10);
  return s;
}

}  // namespace

TradingSystem randomSystem(Workspace& ws, std::uint64_t seed) {
  Dice dice(seed);
  TradingSystem system;
  system.systemFileName = "Random" + std::to_string(seed) + ".hsy.txt";
  system.resetAll(systemDefaults(ws));
  applySystemDefaults(ws, system);

  // Timeframes the H1 test histories can build; the chart's own most often.
  std::vector<std::string> timeframes;
  for (std::size_t i = 0; i < ws.catalogue.timeframes.size(); ++i) {
    const std::string& v = ws.catalogue.timeframes.values[i];
    if (v == "0" || v == "60" || v == "240" || v == "1440") timeframes.push_back(ws.catalogue.timeframes.ids[i]);
  }
  const std::string chart = timeframes.empty() ? "idChart" : timeframes.front();

  for (int g = 1; g <= 4; ++g) {
    SignalGroup& group = system.group(g);
    const int count = dice.below(4);
    for (int n = 0; n < count; ++n) {
      const std::string& type = dice.pick(kTypes);
      Indicator ind = sampleIndicator(ws, type);
      for (const std::string& key : ws.catalogue.parameterKeysOf(type)) {
        if (key == "symbol" || key == "comment") continue;
        if (key == "timeframe") {
          ind.setRaw(key, dice.below(3) == 0 && !timeframes.empty() ? dice.pick(timeframes) : chart);
        } else if (key == "ma_method") {
          ind.setRaw(key, dice.pick(ws.catalogue.maMethods.ids));
        } else if (key == "pricetype" || key == "apricefast" || key == "apriceslow") {
          ind.setRaw(key, dice.pick(ws.catalogue.pricetypes.ids));
        } else if (key == "pricefield") {
          ind.setRaw(key, dice.pick(ws.catalogue.pricefields.ids));
        } else if (key == "actiontyp") {
          ind.setRaw(key, dice.below(4) == 0 ? "idReverse" : "idStandard");
        } else if (key == "shift") {
          ind.setRaw(key, std::to_string(dice.between(1, 3)));
        } else if (key == "value") {
          ind.setRaw(key, std::to_string(dice.between(1, 3)));
        } else if (key == "ma_shift" || key == "ma_shiftfast" || key == "ma_shiftslow") {
          ind.setRaw(key, std::to_string(dice.below(3) == 0 ? dice.between(-3, 5) : 0));
        } else if (key == "pa_step") {
          ind.setRaw(key, decimal(dice.between(1, 5)));
        } else if (key == "pa_maximum") {
          ind.setRaw(key, decimal(5 * dice.between(2, 8)));
        } else if (key == "bo_stab") {
          ind.setRaw(key, std::to_string(dice.between(1, 3)));
        } else if (key == "bo_shift") {
          ind.setRaw(key, std::to_string(dice.between(0, 3)));
        } else if (key == "st_trigger" || key == "actionline") {
          ind.setRaw(key, std::to_string(dice.between(20, 80)));
        } else if (key == "st_pk" || key == "st_pd" || key == "st_slow" || key == "periodsignal") {
          ind.setRaw(key, std::to_string(dice.between(1, 12)));
        } else if (key == "period" || key == "periodfast") {
          ind.setRaw(key, std::to_string(dice.between(2, 30)));
        } else if (key == "periodslow") {
          ind.setRaw(key, std::to_string(dice.between(10, 60)));
        }
      }
      group.addIndicator(ind);
    }
    static const std::vector<std::string> thresholds = {"100", "100", "50", "30", "0"};
    group.threshold = dice.pick(thresholds);
    // 200000 points lie beyond a price of 1.1: the broker refuses such a stop loss of a buy or
    // target of a sell (and the other stop sent with it), and the EA asks for them again.
    static const std::vector<std::string> stops = {"0", "0", "15", "40", "120", "300", "200000"};
    if (g == 2 || g == 4) {
      group.sl = dice.pick(stops);
      group.tp = dice.pick(stops);
      group.ts = dice.below(3) == 0 ? dice.pick(stops) : "0";
    }
    group.editok = 1;
  }

  static const std::vector<std::string> methods = {"idFixed Lots", "idFixed Fractional", "idFixed Ratio"};
  system.mm.type = dice.pick(methods);
  static const std::vector<std::string> lots = {"0.1", "1", "0.2", "0.5", "2", ".3", "0.015"};
  system.mm.lots = dice.pick(lots);
  // A side stops adding positions at a few times the lots: without the limit a signal that
  // fires bar after bar piles up thousands of them, which proves nothing more and takes long.
  static const std::vector<std::string> maxlots = {"1", "2", "5"};
  system.mm.maxlots = dice.pick(maxlots);
  static const std::vector<std::string> fractions = {"1000", "5000", "10000"};
  system.mm.fraction = dice.pick(fractions);
  static const std::vector<std::string> bases = {"5000", "9000", "10000"};
  system.mm.base = dice.pick(bases);
  static const std::vector<std::string> deltas = {"500", "2000", "5000"};
  system.mm.delta = dice.pick(deltas);
  static const std::vector<std::string> maxtrades = {"0", "0", "1", "3"};
  system.mm.maxtrades = dice.pick(maxtrades);
  system.mm.hedging = dice.below(3) == 0 ? "idHedging" : "idno Hedging";
  return system;
}

BacktestSettings randomAccount(const TradingSystem& system, std::uint64_t seed) {
  // Mixed first (splitmix64), so that neighbouring seeds do not pick alike.
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  Dice dice(z ^ (z >> 31));
  BacktestSettings s;
  s.symbol.spreadPoints = dice.pick(std::vector<int>{0, 12, 20});
  s.symbol.stopLevelPoints = dice.pick(std::vector<int>{0, 10, 25});
  s.account.leverage = dice.pick(std::vector<double>{50, 100, 200, 500, 1000});
  // Fixed lots: a deposit of a little more than one order's margin (a lot at about 1.1 takes
  // 110000 / leverage), so that the first order opens, a second is refused and a run against
  // the position stops it out. The other methods size their lots from the equity and send
  // none from a small one.
  const double margins = dice.pick(std::vector<double>{1.1, 1.6, 3, 20});
  s.deposit = system.mm.type == "idFixed Lots"
                  ? std::stod("0" + system.mm.lots) * 110000 / s.account.leverage * margins
                  : 10000;
  s.account.stopOutPercent = dice.pick(std::vector<double>{0, 50, 80, 100});
  s.account.commissionPerLot = dice.pick(std::vector<double>{0, 3.5, 7, 12.25});
  s.account.swapLongPoints = dice.pick(std::vector<double>{-7.3, -1, 0, 2.5});
  s.account.swapShortPoints = dice.pick(std::vector<double>{-4.1, 0, 0.6, 3});
  return s;
}

}  // namespace zorvik::testing
