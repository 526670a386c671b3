// The synthetic demo history. Only + - * / and sqrt touch the prices: those are exactly rounded
// on every IEEE machine, so every machine writes the same bytes (exp, log or sin from the C
// library would not guarantee that).
#include "market/demo_history.hpp"

#include <algorithm>
#include <cmath>

#include "market/civil_time.hpp"

// A fused multiply-add rounds once instead of twice and would change the bytes on machines
// where the compiler chooses to fuse; GCC never fuses in standard mode.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

namespace zorvik {

namespace {

// splitmix64: small, fast, and the same sequence everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
  // Roughly normal (sum of twelve uniforms): mean 0, variance 1, never beyond +-6.
  double normal() {
    double s = -6;
    for (int i = 0; i < 12; ++i) s += uniform();
    return s;
  }

 private:
  std::uint64_t state_;
};

// How lively each hour of the day is (broker time, GMT+2 like most MetaTrader servers): quiet
// in the Asian night, busiest when London and New York overlap.
constexpr double kHourActivity[24] = {0.55, 0.5,  0.5,  0.55, 0.6,  0.65, 0.7, 0.75, 0.8,  1.1,  1.35, 1.3,
                                      1.2,  1.25, 1.5,  1.7,  1.6,  1.45, 1.2, 1.0,  0.85, 0.7,  0.6,  0.55};

}  // namespace

BarSeries makeDemoHistory(std::uint64_t seed) {
  using market_detail::daysFromCivil;
  constexpr int kDigits = 5;
  constexpr double kPoint = 0.00001;
  constexpr double kBaseSigma = 0.0009;  // relative move of an average hour
  // GARCH(1,1): a large move raises the next hours' variance, which decays slowly: clusters.
  constexpr double kAlpha = 0.06, kBeta = 0.92, kOmega = kBaseSigma * kBaseSigma * (1 - kAlpha - kBeta);
  constexpr int kWeeks = 104;  // two years

  BarSeries s;
  s.symbol = "DEMO";
  s.timeframeMinutes = 60;
  s.digits = kDigits;
  s.reserve(kWeeks * 5 * 24);

  Random rnd(seed);
  const std::int64_t firstMonday = daysFromCivil(2023, 1, 2) * 86400;
  double variance = kBaseSigma * kBaseSigma;
  double lastMove = 0;
  std::int64_t closePoints = 110000;  // 1.10000
  for (int week = 0; week < kWeeks; ++week) {
    for (int day = 0; day < 5; ++day) {  // Monday to Friday; no bars at the weekend
      for (int hour = 0; hour < 24; ++hour) {
        const std::int64_t time = firstMonday + (std::int64_t{week} * 7 + day) * 86400 + hour * 3600;
        variance = kOmega + kAlpha * lastMove * lastMove + kBeta * variance;
        const double sigma = std::sqrt(variance) * kHourActivity[hour];
        const double price = static_cast<double>(closePoints) * kPoint;
        const auto toPoints = [price](double relative) { return static_cast<std::int64_t>(std::round(price * relative / kPoint)); };
        std::int64_t openPoints = closePoints;
        if (day == 0 && hour == 0 && week > 0)  // the weekend's news lands in Monday's first price
          openPoints = std::max<std::int64_t>(1000, openPoints + toPoints(sigma * 2.5 * rnd.normal()));
        // A faint pull towards 1.10 keeps two years of walking within sensible quotes.
        const double drift = (1.10 - price) * 0.0005;
        const double move = sigma * rnd.normal() + drift;
        lastMove = move;
        closePoints = std::max<std::int64_t>(1000, openPoints + toPoints(move));
        const std::int64_t top = std::max(openPoints, closePoints), bottom = std::min(openPoints, closePoints);
        const std::int64_t highPoints = top + toPoints(sigma * 0.6 * std::abs(rnd.normal()));
        const std::int64_t lowPoints = std::max<std::int64_t>(1, bottom - toPoints(sigma * 0.6 * std::abs(rnd.normal())));
        const double range = static_cast<double>(highPoints - lowPoints);
        const double volume = std::round(40 + range * 0.8 + 60 * kHourActivity[hour] * rnd.uniform());
        // Points divided by 10^5 read back exactly as the 5-decimal text of the same price.
        s.push_back({time, static_cast<double>(openPoints) / 100000.0, static_cast<double>(highPoints) / 100000.0,
                     static_cast<double>(lowPoints) / 100000.0, static_cast<double>(closePoints) / 100000.0, volume});
      }
    }
  }
  return s;
}

}  // namespace zorvik
