#include "library/library_panel.hpp"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "library/expert_source_view.hpp"
#include "model/trading_system.hpp"
#include "platform/host.hpp"
#include "qt_text.hpp"
#include "window/command_table.hpp"
#include "workspace/current_system.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;
// The floating label is this much wider than its text, so it reads as a dragged card.
constexpr int kDragLabelExtraWidth = 165;

QFont panelFont(const QFont& base) {
  QFont f = base;
  f.setFamily(QStringLiteral("Tahoma"));
  return f;
}

}  // namespace

LibraryPanel::LibraryPanel(Workspace& ws, Host& host, QWidget* parent)
    : LibraryPanelBase(parent), ws_(ws), host_(host), library_(ws) {
  setObjectName(QStringLiteral("PictureTP"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("TP"));
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setFont(panelFont(tree_->font()));
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setExpandsOnDoubleClick(false);
  tree_->setAnimated(true);
  tree_->setIndentation(14);
  // Drags are the panel's own (a floating label and the drop rules); the view must not start one.
  tree_->setDragEnabled(false);
  tree_->viewport()->installEventFilter(this);
  layout->addWidget(tree_);
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* e) { expanded_[groupIdOf(e)] = true; });
  connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* e) { expanded_[groupIdOf(e)] = false; });

  dragLabel_ = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  dragLabel_->setObjectName(QStringLiteral("LibraryDragLabel"));
  dragLabel_->setFont(tree_->font());
  dragLabel_->setFrameShape(QFrame::Box);
  dragLabel_->setMargin(3);
  dragLabel_->setAutoFillBackground(true);
  dragLabel_->hide();
  // Not listed here: the window lists its library once all parts are in place.
}

LibraryPanel::~LibraryPanel() { delete dragLabel_; }

// ---------------------------------------------------------------------------------------------
// Drawing

void LibraryPanel::relistLibrary() {
  library_.relistLibrary();
  redraw();
}

void LibraryPanel::redraw() {
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  QFont headerFont = tree_->font();
  headerFont.setBold(true);
  QFont boldFont = tree_->font();
  boldFont.setBold(true);
  for (const LibraryGroup& g : library_.groups()) {
    auto* header = new QTreeWidgetItem(tree_, QStringList{q(g.caption)});
    header->setData(0, kIdRole, 0);
    header->setData(0, kGroupRole, g.id);
    header->setFont(0, headerFont);
    header->setFlags(Qt::ItemIsEnabled);
    header->setForeground(0, palette().brush(QPalette::Highlight));
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(g.items.size()));
    const QString tip = q(g.toolTip);
    for (const LibraryItem& item : g.items) {
      auto* child = new QTreeWidgetItem(QStringList{q(item.display)});
      child->setData(0, kIdRole, item.id);
      child->setData(0, kGroupRole, g.id);
      if (!tip.isEmpty()) child->setToolTip(0, tip);
      if (item.id == library_.boldId()) child->setFont(0, boldFont);
      children.append(child);
    }
    header->addChildren(children);
    auto it = expanded_.find(g.id);
    header->setExpanded(it == expanded_.end() || it->second);
  }
  selectCurrent();
  tree_->setUpdatesEnabled(true);
}

void LibraryPanel::selectCurrent() {
  QTreeWidgetItem* entry = treeItem(library_.currentItem().id);
  if (!entry) entry = treeItem(library_.previousItem().id);
  QSignalBlocker block(tree_);
  if (entry) {
    tree_->setCurrentItem(entry);
  } else {
    tree_->setCurrentItem(nullptr);
    tree_->clearSelection();
  }
}

QTreeWidgetItem* LibraryPanel::treeItem(std::int32_t id) const {
  if (id <= 0) return nullptr;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* header = tree_->topLevelItem(i);
    for (int k = 0; k < header->childCount(); ++k)
      if (header->child(k)->data(0, kIdRole).toInt() == id) return header->child(k);
  }
  return nullptr;
}

int LibraryPanel::groupIdOf(const QTreeWidgetItem* entry) const {
  return entry ? entry->data(0, kGroupRole).toInt() : 0;
}

LibraryItem LibraryPanel::recordOf(const QTreeWidgetItem* entry) const {
  if (!entry) return {};
  if (const LibraryItem* item = library_.findItem(entry->data(0, kIdRole).toInt())) return *item;
  // A group header: no group of its own, so that the context menu offers every entry.
  LibraryItem header;
  header.display = entry->text(0).toStdString();
  return header;
}

void LibraryPanel::refreshItem(std::int32_t id) {
  library_.refreshItem(id);
  redraw();
}

bool LibraryPanel::markOpenSystem(const QString& name) {
  const bool found = library_.markOpenSystem(name.toStdString());
  redraw();
  return found;
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool LibraryPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != tree_->viewport()) return LibraryPanelBase::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      const QPoint pos = me->position().toPoint();
      QTreeWidgetItem* entry = tree_->itemAt(pos);
      pressed_ = false;
      if (!entry) break;
      const LibraryItem record = recordOf(entry);
      library_.press(record);
      pressPos_ = pos;
      pressed_ = me->button() == Qt::LeftButton;
      if (me->button() == Qt::RightButton) {
        if (record.id > 0) tree_->setCurrentItem(entry);  // the menu acts on what is marked
        emit contextMenuRequested(q(record.group), me->globalPosition().toPoint());
        return true;
      }
      break;
    }
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (dragging_) {
        moveDrag(me->globalPosition().toPoint());
        return true;
      }
      if (!pressed_ || !(me->buttons() & Qt::LeftButton) || (me->modifiers() & Qt::ShiftModifier)) break;
      const QPoint d = me->position().toPoint() - pressPos_;
      const LibraryItem& current = library_.currentItem();
      if (current.id > 0 && dragDistancePassed(d.x(), d.y())) {
        // Refused or not, this press is no click any more.
        pressed_ = false;
        if (library_.mayDrag(current)) startDrag(me->globalPosition().toPoint());
        return true;
      }
      // Keeps the view from starting a selection sweep while the threshold is not reached.
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (dragging_) {
        finishDrag(me->globalPosition().toPoint());
        return true;
      }
      const bool click = pressed_ && me->button() == Qt::LeftButton && me->position().toPoint() == pressPos_;
      pressed_ = false;
      if (click) {
        // The view selected the entry on the press already.
        if (QTreeWidgetItem* entry = tree_->itemAt(pressPos_)) onRelease(entry);
      }
      break;
    }
    case QEvent::MouseButtonDblClick:
      return true;  // a double click is two clicks, not a second kind of action
    default:
      break;
  }
  return LibraryPanelBase::eventFilter(watched, event);
}

void LibraryPanel::onRelease(QTreeWidgetItem* entry) {
  // Any click into the library leaves the start mode.
  emit clicked();
  if (entry->data(0, kIdRole).toInt() == 0) {
    clickHeader(entry);
  } else {
    clickItem(recordOf(entry));
  }
}

void LibraryPanel::clickHeader(QTreeWidgetItem* header) {
  const int groupId = groupIdOf(header);
  if (groupId == libgroup::NewSystem) {
    emit commandRequested(cmd::NewSystem);
    relistLibrary();
    apply(ws_.system().systemFileName.empty() ? LibraryOutcome::Nothing : LibraryOutcome::SystemOpened);
  } else if (const std::string message = library_.emptyGroupMessage(groupId); !message.empty()) {
    host_.message(message);
  } else {
    header->setExpanded(!header->isExpanded());
  }
  // A group header never stays the focused entry.
  selectCurrent();
}

void LibraryPanel::clickItem(const LibraryItem& record) {
  const LibraryGroup* g = library_.groupOfItem(record.id);
  apply(library_.click(record, selectedTab()));
  // An Expert Advisor is not opened into the editors; its source is shown to be read.
  if (const std::filesystem::path source = library_.expertSource(record); !source.empty()) {
    auto* view = new ExpertSourceView(ws_, source, window());
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
    emit expertSourceShown(view);
  }
  emit helpRegistration(tree_, QStringLiteral("ZorvikForm"), QStringLiteral("TP"), g ? q(g->caption) : QString(),
                        q(record.display));
}

void LibraryPanel::openLastSystem() {
  const LibraryItem* last = library_.lastSystemItem();
  if (!last) return;
  const LibraryItem record = *last;
  library_.press(record);
  selectCurrent();
  apply(library_.click(record, selectedTab()));
}

// ---------------------------------------------------------------------------------------------
// Outcomes and commands

void LibraryPanel::apply(LibraryOutcome outcome) {
  switch (outcome) {
    case LibraryOutcome::Nothing:
      return;
    case LibraryOutcome::Changed:
      redraw();
      emit titleChanged();
      return;
    case LibraryOutcome::SystemOpened:
      redraw();
      emit titleChanged();
      emit pageRefreshRequested();
      return;
    case LibraryOutcome::SystemClosed:
      // The window puts its hint in place of the pages that need a system.
      redraw();
      emit titleChanged();
      emit pageRefreshRequested();
      return;
    case LibraryOutcome::PageChanged:
      emit pageRefreshRequested();
      return;
  }
}

void LibraryPanel::contextCommand(std::int32_t id) {
  switch (id) {
    case cmd::MoveToTrash:
      apply(library_.moveToTrash());
      break;
    case cmd::Delete:
      apply(library_.remove());
      break;
    case cmd::GenerateExpert:
      // The open system, whatever item was pressed.
      if (!ws_.system().systemFileName.empty() && !saveCurrentSystem(ws_)) break;
      emit commandRequested(cmd::GenerateNow);
      relistLibrary();  // the new Expert Advisor
      break;
    case cmd::Rename:
      apply(library_.rename());
      break;
    case cmd::Restore:
      apply(library_.restore());
      break;
    case cmd::SaveAs:
      apply(library_.saveAs());
      break;
    case cmd::Cancel:
    case cmd::ApplyExpert:
    default:
      break;
  }
}

void LibraryPanel::dropItem(const LibraryItem& record) { apply(library_.drop(record, selectedTab())); }

// ---------------------------------------------------------------------------------------------
// Drag

void LibraryPanel::startDrag(const QPoint& globalPos) {
  dragging_ = true;
  dragged_ = library_.currentItem();
  const QString text = q(dragged_.display);
  dragLabel_->setText(text);
  dragLabel_->setFixedSize(dragLabel_->fontMetrics().horizontalAdvance(text) + kDragLabelExtraWidth,
                           dragLabel_->sizeHint().height());
  moveDrag(globalPos);
  dragLabel_->show();
  dragLabel_->raise();
}

void LibraryPanel::moveDrag(const QPoint& globalPos) { dragLabel_->move(globalPos + QPoint(12, 8)); }

void LibraryPanel::finishDrag(const QPoint& globalPos) {
  dragging_ = false;
  dragLabel_->hide();
  if (overEditorArea(globalPos)) dropItem(dragged_);
}

}  // namespace zorvik
