#pragma once

// The lowest or highest of the last `period` values of a series, a value at a time. Not part of
// the indicators' interface.

#include <bit>
#include <cstddef>
#include <vector>

namespace zorvik {

// Before = std::less for the lowest, std::greater for the highest; of equal values the newest
// counts. Short windows are rescanned without a branch (unless `rescan` is false: a rescan
// assumes values that compare, not NaN); longer ones keep a monotonic queue of candidates, each
// value entering once. Both live in a ring of a power-of-two size.
template <class T, class Before>
class WindowExtreme {
 public:
  static constexpr std::size_t kRescanned = 16;
  explicit WindowExtreme(std::size_t period, bool rescan = true)
      : period_(period), rescan_(rescan && period <= kRescanned), ring_(std::bit_ceil(period + 1)), mask_(ring_.size() - 1) {}
  // Adds the value of step i (0, 1, 2, ...) and returns the extreme of steps i-period+1 .. i
  // (0 .. i at the start).
  T push(std::size_t i, T value) {
    if (rescan_) {
      ring_[i & mask_].value = value;
      T extreme = value;
      for (std::size_t j = i >= period_ ? i + 1 - period_ : 0; j < i; ++j) {
        const T v = ring_[j & mask_].value;
        extreme = Before()(v, extreme) ? v : extreme;
      }
      return extreme;
    }
    // A candidate leaves when the new value is as extreme (a NaN neither leaves nor makes leave).
    auto asExtreme = [](T v, T than) { return Before()(v, than) || v == than; };
    while (tail_ != head_ && asExtreme(value, ring_[(tail_ - 1) & mask_].value)) --tail_;
    ring_[tail_++ & mask_] = {i, value};
    if (ring_[head_ & mask_].step + period_ <= i) ++head_;
    return ring_[head_ & mask_].value;
  }

 private:
  struct Entry {
    std::size_t step;
    T value;
  };
  std::size_t period_;
  bool rescan_;
  std::vector<Entry> ring_;
  std::size_t mask_;
  std::size_t head_ = 0;
  std::size_t tail_ = 0;
};

}  // namespace zorvik
