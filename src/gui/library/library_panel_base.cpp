#include "library/library_panel_base.hpp"

#include <QTabBar>

namespace zorvik {

void LibraryPanelBase::setEditorTabs(QTabBar* selector, QWidget* pages) {
  selector_ = selector;
  pages_ = pages;
}

int LibraryPanelBase::selectedTab() const { return selector_ ? selector_->currentIndex() : -1; }

bool LibraryPanelBase::overEditorArea(const QPoint& globalPos) const {
  for (QWidget* w : {static_cast<QWidget*>(selector_.data()), pages_.data()}) {
    if (w && w->isVisible() && w->rect().contains(w->mapFromGlobal(globalPos))) return true;
  }
  return false;
}

}  // namespace zorvik
