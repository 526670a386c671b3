#pragma once
// What the general settings editor and the money-management editor share: rows of one
// parameter set of the open system, every change stored at once with setParameter, a title and
// a two-button OK control for the part's in-use flag. There is no copy and no discard.
#include <QString>
#include <QWidget>

#include <string>

class QLabel;
class QScrollArea;

namespace zorvik {

class AcceptDiscardButtons;
class ParameterRowBuilder;
class Workspace;
class TradingSystem;

class PartEditorBase : public QWidget {
  Q_OBJECT
 public:
  // Builds the rows for the system. With rebuild set every choice list is filled anew.
  void activateControls(TradingSystem& system, bool rebuild = false);
  // Builds the rows again for the open system.
  void refresh() { activateControls(system_ ? *system_ : defaultSystem()); }

  TradingSystem* system() const { return system_; }
  ParameterRowBuilder& rows() { return *rows_; }
  QLabel* title() const { return title_; }
  AcceptDiscardButtons* okButtons() const { return okButtons_; }
  QWidget* rowsPanel() const { return rowsPanel_; }

 signals:
  // The part's OK flag changed: the main window refreshes the overview and the tab icons.
  void overviewChanged();
  void helpRequested(const QString& key);
  void itemDropped(const QString& dropText);
  void sliderSettingChanged();
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic);

 protected:
  // formName goes into drop texts; okKey is "general_editok" or "mm_editok".
  PartEditorBase(Workspace& ws, const QString& formName, std::string okKey, QWidget* parent);

  // The catalogue row whose keys are shown.
  virtual std::string parameterSet() const = 0;
  // Called after each parameter row was built.
  virtual void rowBuilt(int /*row*/, const std::string& /*key*/) {}
  // Called after the last parameter row.
  virtual void rowsBuilt() {}
  virtual void textChanged(int row, const QString& key, const QString& value);
  virtual void comboChanged(int row, const QString& key, const QString& caption);

  Workspace& ws_;
  TradingSystem* system_ = nullptr;
  ParameterRowBuilder* rows_ = nullptr;

 private:
  TradingSystem& defaultSystem() const;

  std::string okKey_;
  QScrollArea* scroll_ = nullptr;
  QWidget* rowsPanel_ = nullptr;
  QLabel* title_ = nullptr;
  AcceptDiscardButtons* okButtons_ = nullptr;
};

}  // namespace zorvik
