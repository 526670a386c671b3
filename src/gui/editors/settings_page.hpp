#pragma once
// The program settings page on the last tab of the editor area: the slider
// buttons and chart-marking flags, the colours and style of the main window's tab strips and
// the MetaTrader folder with the terminal start. There is no OK or Cancel: every change is
// applied at once, and the flags and the folder are written to the settings file right away.
#include <QString>
#include <QColor>
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
// The chosen text colour where it reads well on the background (contrast of at least 4.5),
// else black or white.
QColor readableTextColour(const QColor& text, const QColor& background);

class SettingsPage : public QWidget {
  Q_OBJECT
 public:
  SettingsPage(Workspace& ws, Host& host, QWidget* parent = nullptr);

  // The strips the colours and the style are drawn on (the main window's tab selector and its
  // page widget); they take the stored look at once.
  void setTabStrips(QTabBar* bar, QTabWidget* tabs);

  // "alle übernehmen": all colours and the style to the tab strips.
  void applyAll();
  // "Default": the default colours and style 3, then as "alle übernehmen".
  void applyDefaults();
  // A colour picker took a new colour (colour number, red in the low byte).
  void setPickerColour(int index, std::int32_t colour);
  // The label beside each picker shows its colour number.
  void showColourNumbers();

  // Asks for a folder when "Durchsuchen ..." is clicked; empty for cancel. Starts as a
  // QFileDialog; tests put their own answer here.
  std::function<QString(const QString& startFolder)> chooseFolder;

  QCheckBox* slidersWithButtonsCheck() const { return slidersWithButtons_; }
  QCheckBox* markStopsCheck() const { return markStops_; }
  QPushButton* colourPicker(int i) const { return pickers_.at(static_cast<std::size_t>(i)); }
  QLabel* colourNumberLabel(int i) const { return colourNumbers_.at(static_cast<std::size_t>(i)); }
  QComboBox* tabStyleChoice() const { return tabStyle_; }
  QLineEdit* folderEdit() const { return folder_; }
  QLabel* folderLabel() const { return folderLabel_; }
  // Terminals found in the wine prefix, offered while no folder is set.
  QComboBox* foundTerminals() const { return found_; }
  QPushButton* browseButton() const { return browse_; }
  QPushButton* applyAllButton() const { return applyAll_; }
  QPushButton* defaultsButton() const { return defaults_; }
  QPushButton* terminalButton() const { return terminal_; }
  // Shown in developer mode only: opens the generated source in MetaEditor.
  QPushButton* metaEditorButton() const { return metaEditor_; }

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

  QCheckBox* slidersWithButtons_ = nullptr;
  QCheckBox* markStops_ = nullptr;
  std::array<QPushButton*, kTabColourCount> pickers_{};
  std::array<QLabel*, kTabColourCount> colourNumbers_{};
  QComboBox* tabStyle_ = nullptr;
  QLineEdit* folder_ = nullptr;
  QLabel* folderLabel_ = nullptr;
  QComboBox* found_ = nullptr;
  QPushButton* browse_ = nullptr;
  QPushButton* applyAll_ = nullptr;
  QPushButton* defaults_ = nullptr;
  QPushButton* terminal_ = nullptr;
  QPushButton* metaEditor_ = nullptr;
};

}  // namespace zorvik
