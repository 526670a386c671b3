#pragma once

// The lowest or highest of the last `period` values of a series, a value at a time. Not part of
// the indicators' interface.

#include <bit>
#include <cstddef>
#include <vector>

namespace zorvik {

// Before = std::less for the lowest, std::greater for the highest; of equal values the newest
// counts. For values that compare (not NaN) the stream is cut into blocks of `period`: the
// extreme of a window is that of the older block's tail (kept from a backward pass once that
// block is complete) and the newer block's head (kept as values arrive), without a branch on the
// data. With `comparable` false, a monotonic queue of candidates in a ring, each value entering
// once, as NaN needs.
template <class T, class Before>
class WindowExtreme {
 public:
  explicit WindowExtreme(std::size_t period, bool comparable = true) : period_(period), comparable_(comparable) {
    if (comparable) {
      block_.resize(period);
      tail_.resize(period);
    } else {
      ring_.resize(std::bit_ceil(period + 1));
      mask_ = ring_.size() - 1;
    }
  }
  // Adds the value of step i (0, 1, 2, ... in order) and returns the extreme of steps
  // i-period+1 .. i (0 .. i at the start).
  T push(std::size_t i, T value) { return comparable_ ? pushBlocked(i, value) : pushQueued(i, value); }

 private:
  static T better(T newer, T older) { return Before()(older, newer) ? older : newer; }

  T pushBlocked(std::size_t i, T value) {
    const std::size_t at = i - blockStart_;
    block_[at] = value;
    head_ = at == 0 ? value : better(value, head_);
    T extreme = head_;
    if (blockStart_ > 0 && at + 1 < period_) extreme = better(head_, tail_[at + 1]);
    if (at + 1 == period_) {
      // The block is complete: the extremes of its tails, for the windows that reach into it.
      T t = block_[period_ - 1];
      tail_[period_ - 1] = t;
      for (std::size_t j = period_ - 1; j-- > 0;) tail_[j] = t = better(t, block_[j]);
      blockStart_ += period_;
    }
    return extreme;
  }

  T pushQueued(std::size_t i, T value) {
    // A candidate leaves when the new value is as extreme (a NaN neither leaves nor makes leave).
    auto asExtreme = [](T v, T than) { return Before()(v, than) || v == than; };
    while (back_ != front_ && asExtreme(value, ring_[(back_ - 1) & mask_].value)) --back_;
    ring_[back_++ & mask_] = {i, value};
    if (ring_[front_ & mask_].step + period_ <= i) ++front_;
    return ring_[front_ & mask_].value;
  }

  struct Entry {
    std::size_t step;
    T value;
  };
  std::size_t period_;
  bool comparable_;
  std::vector<T> block_;  // the newer block's values
  std::vector<T> tail_;   // tail_[j]: the extreme of the older block's values j .. period-1
  std::size_t blockStart_ = 0;
  T head_{};              // the extreme of the newer block's values so far
  std::vector<Entry> ring_;
  std::size_t mask_ = 0;
  std::size_t front_ = 0;
  std::size_t back_ = 0;
};

}  // namespace zorvik
