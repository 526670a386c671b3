#pragma once
// The program settings page `Einstellungen` on the last tab of the editor area: the slider
// buttons and chart-marking flags, the colours and style of the main window's tab strips and
// the MetaTrader folder with the terminal start. There is no OK or Cancel: every change is
// applied at once, and the flags and the folder are written to the settings file right away.
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "editors/program_settings.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTabWidget;

namespace zorvik {

class Host;
struct Settings;
class Workspace;

// Draws the tab strips with the eight colours and the style of the settings. tabs may be null.
void applyTabLook(QTabBar* bar, QTabWidget* tabs, const Settings& settings);

class SettingsPage : public QWidget {
  Q_OBJECT
 public:
  SettingsPage(Workspace& ws, Host& host, QWidget* parent = nullptr);

  // The strips the colours and the style are drawn on (the main window's tc1 and TC2); they
  // take the stored look at once.
  void setTabStrips(QTabBar* bar, QTabWidget* tabs);

  // "alle übernehmen": all colours and the style to the tab strips.
  void applyAll();
  // "Default": the default colours and style 3, then as "alle übernehmen".
  void applyDefaults();
  // A colour picker took a new colour (colour number, red in the low byte).
  void setPickerColour(int index, std::int32_t colour);
  // Each Label2 shows its picker's colour number.
  void fshow();

  // Asks for a folder when "Durchsuchen ..." is clicked; empty for cancel. Starts as a
  // QFileDialog; tests put their own answer here.
  std::function<QString(const QString& startFolder)> chooseFolder;

  QCheckBox* Check1() const { return check1_; }
  QCheckBox* Check2() const { return check2_; }
  QPushButton* ColorPicker1(int i) const { return pickers_.at(static_cast<std::size_t>(i)); }
  QLabel* Label2(int i) const { return labels_.at(static_cast<std::size_t>(i)); }
  QComboBox* Combo1() const { return combo1_; }
  QLineEdit* Text1() const { return text1_; }
  QLabel* PathLabel() const { return pathLabel_; }
  // Terminals found in the wine prefix, offered while no folder is set.
  QComboBox* FoundTerminals() const { return found_; }
  QPushButton* Browse() const { return browse_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command3() const { return command3_; }
  QPushButton* Command5() const { return command5_; }
  // Shown in developer mode only: opens the generated source in MetaEditor.
  QPushButton* EditorButton() const { return editor_; }

  // Looks for terminals below this home folder instead of the user's (tests).
  void setHomeFolder(const QString& home);

 signals:
  void helpRequested(const QString& key);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showPickerColour(int index);
  void folderTyped(const QString& text);
  void takeFolder(const QString& folder);
  void saveFolderIfChanged();
  void offerFoundTerminals();
  void save();

  Workspace& ws_;
  Host& host_;
  QTabBar* bar_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QString home_;
  bool searched_ = false;
  std::string savedFolder_;

  QCheckBox* check1_ = nullptr;
  QCheckBox* check2_ = nullptr;
  std::array<QPushButton*, kTabColourCount> pickers_{};
  std::array<QLabel*, kTabColourCount> labels_{};
  QComboBox* combo1_ = nullptr;
  QLineEdit* text1_ = nullptr;
  QLabel* pathLabel_ = nullptr;
  QComboBox* found_ = nullptr;
  QPushButton* browse_ = nullptr;
  QPushButton* command1_ = nullptr;
  QPushButton* command3_ = nullptr;
  QPushButton* command5_ = nullptr;
  QPushButton* editor_ = nullptr;
};

}  // namespace zorvik
