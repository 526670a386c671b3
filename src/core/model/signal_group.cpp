#include "model/signal_group.hpp"

namespace zorvik {

void clsEntryexittyp::neudimIndikator(int newCount) {
  indicators_.resize(static_cast<std::size_t>(newCount < 0 ? 0 : newCount));
}

void clsEntryexittyp::removeIndikator(int position) {
  if (position < 1 || position > count()) return;
  indicators_.erase(indicators_.begin() + (position - 1));
}

}  // namespace zorvik
