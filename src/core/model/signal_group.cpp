#include "model/signal_group.hpp"

namespace zorvik {

void SignalGroup::resizeIndicators(int newCount) {
  indicators_.resize(static_cast<std::size_t>(newCount < 0 ? 0 : newCount));
}

void SignalGroup::removeIndicator(int position) {
  if (position < 1 || position > count()) return;
  indicators_.erase(indicators_.begin() + (position - 1));
}

}  // namespace zorvik
