// iMA, iRSI, iMACD, iOsMA, iBands, iStochastic, iSAR, iADX: the same indicator objects the
// backtest engine uses, on the simulated terminal's timeframes.
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "indicators/adx.hpp"
#include "indicators/bollinger_bands.hpp"
#include "indicators/indicator_basics.hpp"
#include "indicators/macd.hpp"
#include "indicators/moving_average.hpp"
#include "indicators/parabolic_sar.hpp"
#include "indicators/rsi.hpp"
#include "indicators/stochastic.hpp"
#include "market/bar_series.hpp"
#include "mql4/interpreter/builtin_calls.hpp"
#include "mql4/simulated_terminal.hpp"

namespace zorvik::mql4::interpreter {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One indicator object per call site, made again only when the call's parameters change: the
// generated EA calls each with constant parameters, so a tick costs no lookup.
struct IndicatorSlot {
  std::vector<double> params;
  int minutes = -1;
  const BarSeries* bars = nullptr;
  std::unique_ptr<MovingAverage> ma;
  std::unique_ptr<Rsi> rsi;
  std::unique_ptr<Macd> macd;
  std::unique_ptr<BollingerBands> bands;
  std::unique_ptr<Stochastic> stochastic;
  std::unique_ptr<ParabolicSar> sar;
  std::unique_ptr<Adx> adx;
};

struct IndicatorCall final : BuiltinCall {
  using BuiltinCall::BuiltinCall;
  IndicatorSlot slot;

  // The frame of the indicator's timeframe, with the indicator built for the call's
  // parameters when they differ from the last call's.
  const SimulatedTerminal::Frame& indicatorFrame(RunContext& c, int minutes, const std::vector<double>& params) {
    if (!term(c).isOurSymbol(symbolArg(c, 0))) throw CriticalError(pos, "an indicator of another symbol cannot be computed");
    const SimulatedTerminal::Frame* f;
    try {
      f = &term(c).frame(minutes);
    } catch (const std::runtime_error& e) {
      throw CriticalError(pos, e.what());
    }
    if (slot.bars != f->bars || slot.params != params) {
      const BarSeries& bars = *f->bars;
      slot = IndicatorSlot{};
      slot.bars = f->bars;
      slot.params = params;
      auto whole = [&](double v) {
        if (!(v >= -1e9 && v <= 1e9)) throw CriticalError(pos, "indicator parameter out of range: " + doubleText(v, 0));
        return static_cast<int>(v);
      };
      auto method = [&](double v) {
        auto m = maMethodFromNumber(whole(v));
        if (!m) throw CriticalError(pos, "unknown moving average method " + doubleText(v, 0));
        return *m;
      };
      auto price = [&](double v) {
        auto p = appliedPriceFromNumber(whole(v));
        if (!p) throw CriticalError(pos, "unknown applied price " + doubleText(v, 0));
        return *p;
      };
      try {
        switch (id) {
          case BuiltinId::IMA: slot.ma = std::make_unique<MovingAverage>(bars, whole(params[0]), method(params[1]), price(params[2])); break;
          case BuiltinId::IRSI: slot.rsi = std::make_unique<Rsi>(bars, whole(params[0]), price(params[1])); break;
          case BuiltinId::IMACD:
          case BuiltinId::IOsMA:
            slot.macd = std::make_unique<Macd>(bars, whole(params[0]), whole(params[1]), whole(params[2]), price(params[3]));
            break;
          case BuiltinId::IBands: slot.bands = std::make_unique<BollingerBands>(bars, whole(params[0]), params[1], price(params[2])); break;
          case BuiltinId::IStochastic:
            slot.stochastic = std::make_unique<Stochastic>(bars, whole(params[0]), whole(params[1]), whole(params[2]),
                                                           method(params[3]),
                                                           params[4] == 1 ? StochasticPriceField::CloseClose
                                                                          : StochasticPriceField::LowHigh);
            break;
          case BuiltinId::ISAR: slot.sar = std::make_unique<ParabolicSar>(bars, params[0], params[1]); break;
          case BuiltinId::IADX: slot.adx = std::make_unique<Adx>(bars, whole(params[0])); break;
          default: break;
        }
      } catch (const std::invalid_argument& e) {
        throw CriticalError(pos, e.what());
      }
    }
    return *f;
  }

  // The value at `shift` from a finished bar's series, or from the forming bar.
  template <typename Values, typename Forming>
  static double valueAt(const SimulatedTerminal::Frame& f, int shift, int lineShift, const Values& values,
                        Forming forming) {
    const auto bar = barAtShift(f.current, shift, lineShift);
    if (!bar) return kNaN;
    if (*bar == f.current) return forming();
    return values[*bar];
  }

  double indicator(RunContext& c) {
    switch (id) {
      case BuiltinId::IMA: {  // symbol, tf, period, ma_shift, method, price, shift
        const int maShift = argInt(c, 3);
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 4), argDouble(c, 5)});
        return valueAt(f, argInt(c, 6), maShift, slot.ma->values(), [&] { return slot.ma->forming(f.current, f.forming); });
      }
      case BuiltinId::IRSI: {  // symbol, tf, period, price, shift
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3)});
        return valueAt(f, argInt(c, 4), 0, slot.rsi->values(), [&] { return slot.rsi->forming(f.current, f.forming); });
      }
      case BuiltinId::IMACD: {  // symbol, tf, fast, slow, signal, price, mode, shift
        const int mode = argInt(c, 6);
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3), argDouble(c, 4), argDouble(c, 5)});
        const auto& line = mode == 1 ? slot.macd->signal() : slot.macd->main();
        return valueAt(f, argInt(c, 7), 0, line, [&] {
          const MacdValues v = slot.macd->forming(f.current, f.forming);
          return mode == 1 ? v.signal : v.main;
        });
      }
      case BuiltinId::IOsMA: {  // symbol, tf, fast, slow, signal, price, shift
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3), argDouble(c, 4), argDouble(c, 5)});
        return valueAt(f, argInt(c, 6), 0, slot.macd->osma(),
                       [&] { return slot.macd->forming(f.current, f.forming).osma; });
      }
      case BuiltinId::IBands: {  // symbol, tf, period, deviation, bands_shift, price, mode, shift
        const int mode = argInt(c, 6);
        const int bandsShift = argInt(c, 4);
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3), argDouble(c, 5)});
        const auto& line = mode == 1 ? slot.bands->upper() : mode == 2 ? slot.bands->lower() : slot.bands->middle();
        return valueAt(f, argInt(c, 7), bandsShift, line, [&] {
          const BandsValues v = slot.bands->forming(f.current, f.forming);
          return mode == 1 ? v.upper : mode == 2 ? v.lower : v.middle;
        });
      }
      case BuiltinId::IStochastic: {  // symbol, tf, K, D, slowing, method, price_field, mode, shift
        const int mode = argInt(c, 7);
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3), argDouble(c, 4), argDouble(c, 5), argDouble(c, 6)});
        const auto& line = mode == 1 ? slot.stochastic->signal() : slot.stochastic->main();
        return valueAt(f, argInt(c, 8), 0, line, [&] {
          const StochasticValues v = slot.stochastic->forming(f.current, f.forming);
          return mode == 1 ? v.signal : v.main;
        });
      }
      case BuiltinId::ISAR: {  // symbol, tf, step, maximum, shift
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2), argDouble(c, 3)});
        return valueAt(f, argInt(c, 4), 0, slot.sar->values(), [&] { return slot.sar->forming(f.current, f.forming); });
      }
      case BuiltinId::IADX: {  // symbol, tf, period, price, mode, shift
        const int mode = argInt(c, 4);
        const auto& f = indicatorFrame(c, argInt(c, 1), {argDouble(c, 2)});
        const auto& line = mode == 1 ? slot.adx->plusDi() : mode == 2 ? slot.adx->minusDi() : slot.adx->main();
        return valueAt(f, argInt(c, 5), 0, line, [&] {
          const AdxValues v = slot.adx->forming(f.current, f.forming);
          return mode == 1 ? v.plusDi : mode == 2 ? v.minusDi : v.main;
        });
      }
      default: return 0;
    }
  }

  double evalDouble(RunContext& c) override {
    if (kind != ValueKind::Double) return static_cast<double>(evalInt(c));
    return indicator(c);
  }
};

}  // namespace

std::unique_ptr<BuiltinCall> makeIndicatorCall(ValueKind kind, SourcePos pos, BuiltinId id) {
  return std::make_unique<IndicatorCall>(kind, pos, id);
}

}  // namespace zorvik::mql4::interpreter
