#pragma once
// What the general settings editor and the money-management editor share: rows of one
// parameter set of the open system, every change stored at once with setParameter, a title and
// a two-button OK control for the part's in-use flag. There is no copy and no discard.
#include <QString>

#include <string>

#include "editors/parameter_rows_editor.hpp"

class QLabel;

namespace zorvik {

class AcceptDiscardButtons;
class Workspace;
class TradingSystem;

class PartEditorBase : public ParameterRowsEditor {
  Q_OBJECT
 public:
  // Builds the rows for the system. With rebuild set every choice list is filled anew.
  void activateControls(TradingSystem& system, bool rebuild = false);
  // Builds the rows again for the open system.
  void refresh() { activateControls(system_ ? *system_ : defaultSystem()); }

  TradingSystem* system() const { return system_; }
  QLabel* title() const { return heading_; }
  AcceptDiscardButtons* okButtons() const { return okButtons_; }

 signals:
  // The part's OK flag changed: the main window refreshes the overview and the tab icons.
  void overviewChanged();

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

  TradingSystem* system_ = nullptr;

 private:
  TradingSystem& defaultSystem() const;

  std::string okKey_;
  AcceptDiscardButtons* okButtons_ = nullptr;
};

}  // namespace zorvik
