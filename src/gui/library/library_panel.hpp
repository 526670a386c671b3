#pragma once
// The library panel in the left dock: the groups of the component library as a tree of
// collapsible groups. Clicks open systems and run the Powerswitch entries, the right button
// asks for the window's library context menu, and items are dragged onto the editor area.
// The rules live in Library (core); this widget draws its groups and turns mouse events into
// its calls. It reaches the window only through the signals of LibraryPanelBase.
#include <QPoint>
#include <QString>

#include <map>

#include "library/library_panel_base.hpp"
#include "library/library.hpp"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace zorvik {

class Host;
class Workspace;

class LibraryPanel : public LibraryPanelBase {
  Q_OBJECT
 public:
  // Empty until relistLibrary (the window lists it once every part is in place).
  LibraryPanel(Workspace& ws, Host& host, QWidget* parent = nullptr);
  ~LibraryPanel() override;

  void relistLibrary() override;
  void openLastSystem() override;
  void contextCommand(std::int32_t id) override;

  Library& library() { return library_; }
  QTreeWidget* tree() const { return tree_; }
  // The floating label of a running drag; nullptr while none runs.
  QLabel* dragLabel() const { return dragging_ ? dragLabel_ : nullptr; }

  // The tree entry of an item id; nullptr for none.
  QTreeWidgetItem* treeItem(std::int32_t id) const;
  // Draws the groups of the model again, keeping which groups are open.
  void redraw();
  // After the open system was saved elsewhere: its title may have changed.
  void refreshItem(std::int32_t id);
  bool markOpenSystem(const QString& name);
  // The drop handler: carries a dragged item into the open system for the selected tab.
  void dropItem(const LibraryItem& record);

 signals:
  // A click registers the panel for help with the group as topic and the entry as subtopic.
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic,
                        const QString& subtopic);
  // A click on an Expert Advisor opened the window with its source (it deletes itself when
  // closed).
  void expertSourceShown(QWidget* view);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  LibraryItem recordOf(const QTreeWidgetItem* entry) const;
  int groupIdOf(const QTreeWidgetItem* entry) const;
  void onRelease(QTreeWidgetItem* entry);
  void clickItem(const LibraryItem& record);
  void clickHeader(QTreeWidgetItem* header);
  void apply(LibraryOutcome outcome);
  void startDrag(const QPoint& globalPos);
  void moveDrag(const QPoint& globalPos);
  void finishDrag(const QPoint& globalPos);
  void selectCurrent();

  Workspace& ws_;
  Host& host_;
  Library library_;
  QTreeWidget* tree_ = nullptr;
  std::map<int, bool> expanded_;  // by group id; open unless the user closed it

  QPoint pressPos_;
  QLabel* dragLabel_ = nullptr;  // a window of its own, deleted with the panel
  bool pressed_ = false;
  bool dragging_ = false;
  LibraryItem dragged_;
};

}  // namespace zorvik
