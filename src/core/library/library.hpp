#pragma once
// The component library: every system and part of a system the user has stored, as files of
// the folder "user", shown as groups of items. This is the panel's model and its operations;
// the window only draws the groups and turns mouse events into calls of these.
//
// Records hold decoded names ("a/b.ind.txt"); every file operation escapes them again.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik {

class Workspace;

// Group ids of the panel.
namespace libgroup {
inline constexpr int TradingSystems = 1001;
inline constexpr int SignalGroups = 1002;
inline constexpr int IndicatorGroups = 1003;
inline constexpr int Indicators = 1004;
inline constexpr int MoneyManagement = 1005;
inline constexpr int Stops = 1006;
inline constexpr int ExpertAdvisors = 1007;
inline constexpr int Trash = 1008;
inline constexpr int Powerswitch = 1009;
inline constexpr int NewSystem = 1010;
}  // namespace libgroup

struct LibraryGroupDefinition {
  int id;
  std::string_view caption;  // German, with its tag
  std::string_view ending;   // the ending of the files listed in it; empty for none
  std::string_view toolTip;  // of its items, German; empty for none
};

// The groups in panel order: 1010, 1001 to 1008, 1009.
const std::array<LibraryGroupDefinition, 10>& libraryGroupDefinitions();

// The record every item of the panel carries.
struct LibraryItem {
  std::string group;     // the translated caption of its group
  std::string fileName;  // decoded file name; empty for the fixed entries and group headers
  std::string nameHead;  // the name without its kind ending
  std::string display;   // the text shown
  std::string extra;     // unused, kept empty
  std::int32_t id = 0;   // from the item counter; 0 for group headers
  // The name as the folder holds it, when it is not the escaped fileName (a file written by
  // another program, "EUR+USD.hsy.txt"). Such a file is renamed to its escaped name before
  // anything touches it, so that the name shown and the file stay one.
  std::string diskName;
};

struct LibraryGroup {
  int id = 0;
  std::string caption;  // translated
  std::string toolTip;  // translated; tool tip of its items
  std::vector<LibraryItem> items;
};

// The kind extension of a file name: its last two dot-separated parts ("hsy.txt"), "ex4" for
// a compiled Expert Advisor.
std::string kindExtension(std::string_view fileName);

// Whether the library lists the file as the MQL4 source of an Expert Advisor: ".mq4", and not
// one of the generator's working copies.
bool isExpertSourceName(std::string_view fileName);

// A drag needs a movement of more than 10 (horizontal plus vertical distance).
inline bool dragDistancePassed(int dx, int dy) { return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) > 10; }

// What a library action asks of the window afterwards.
enum class LibraryOutcome {
  Nothing,         // nothing changed
  Changed,         // the groups changed: draw them again
  SystemOpened,    // a system was opened: draw, show the editors, caption
  SystemClosed,    // the open system's file went away: draw, hide the editor tabs, caption
  PageChanged,     // the open system changed: show the selected tab's page again
};

class Library {
 public:
  explicit Library(Workspace& ws);

  // Clears the groups and lists the folder anew; item ids go on counting.
  void relistLibrary();
  const std::vector<LibraryGroup>& groups() const { return groups_; }
  const LibraryGroup* group(int id) const;
  const LibraryItem* findItem(std::int32_t id) const;
  // The group an item belongs to; nullptr when it is in none.
  const LibraryGroup* groupOfItem(std::int32_t id) const;

  // Increments the item counter and returns it.
  std::int32_t nextId();
  // True when a group has this caption (as shown, in the current language).
  bool hasGroupCaption(std::string_view caption) const;

  // The item of the open system, drawn in bold; 0 for none.
  std::int32_t boldId() const { return boldId_; }
  // Adds an item for a system to the systems group and makes it the bold item.
  void addSystemItem(std::string_view fileName);
  // Makes the system whose display equals the name, or begins with it and a blank, the bold
  // item. False when there is none.
  bool markOpenSystem(std::string_view name);
  // Reads the title of the item's file again and recomputes its display.
  void refreshItem(std::int32_t id);

  // The number a fresh listing of the same folder would give an item: what the settings keep
  // as the last opened system, so that the number still means that system after a restart.
  std::int32_t listingNumber(std::int32_t id) const;
  // The item of the system opened last (settings "LASTHSID"), if the systems group holds it.
  const LibraryItem* lastSystemItem() const;

  // A mouse press on an item or a group header (whose record has no id).
  void press(const LibraryItem& record);
  const LibraryItem& currentItem() const { return current_; }
  const LibraryItem& previousItem() const { return previous_; }

  // A click on an item (not a header): opens a system or runs a Powerswitch entry for the
  // selected editor tab.
  LibraryOutcome click(const LibraryItem& record, int selectedTab);
  // The message for a click on the header of a group without items; empty for other groups.
  std::string emptyGroupMessage(int groupId) const;
  // The MQL4 source of an Expert Advisors item ("<name>.mq4" in the user folder); empty when
  // the item is of another group or its source is not there.
  std::filesystem::path expertSource(const LibraryItem& record) const;
  // Whether the item may be dragged; a drag without an open system is refused with a message.
  bool mayDrag(const LibraryItem& record) const;
  // A dragged item released over the editor area with the given tab selected.
  LibraryOutcome drop(const LibraryItem& record, int selectedTab);

  // Context-menu commands on the current item.
  LibraryOutcome moveToTrash();
  LibraryOutcome remove();
  LibraryOutcome rename();
  LibraryOutcome restore();
  // Saves the open system under a new name, whatever the current item is.
  LibraryOutcome saveAs();
  // The name "Speichern unter" offers: the pressed item's name head, else the open system's.
  std::string saveAsProposal() const;

 private:
  LibraryGroup* groupById(int id);
  LibraryItem* itemById(std::int32_t id);
  bool isGroup(std::string_view caption, int groupId) const;
  void listFolder();
  LibraryItem makeItem(int groupId, const std::string& fileName, std::string diskName);
  std::string systemDisplay(const std::string& nameHead, const std::string& fileName) const;
  void insertSorted(LibraryGroup& g, LibraryItem item);
  bool makeCanonical(LibraryItem& record);
  void setBold(std::int32_t id);
  std::optional<std::string> askNewName(std::string_view prompt, const std::string& oldHead,
                                        std::string_view extension);
  void syncCurrent(const LibraryItem& item);

  Workspace& ws_;
  std::vector<LibraryGroup> groups_;
  std::int32_t counter_ = 0;
  std::int32_t firstIdOfListing_ = 1;
  std::int32_t boldId_ = 0;
  LibraryItem current_;
  LibraryItem previous_;
};

}  // namespace zorvik
