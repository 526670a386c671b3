#pragma once
// What every editor of parameter rows is built on: a scroll area holding the rows panel, the
// row builder on it, a bold heading for the first row, and the row builder's help, drop and
// slider signals passed on as the editor's own. The indicator editor and the editors of the
// system's general settings and money management differ only in what they put around it.
#include <QString>
#include <QWidget>

#include "editors/parameter_row_builder.hpp"

class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace zorvik {

class Workspace;

class ParameterRowsEditor : public QWidget {
  Q_OBJECT
 public:
  ParameterRowBuilder& rows() { return *rows_; }
  QWidget* rowsPanel() const { return rowsPanel_; }

 signals:
  void helpRequested(const QString& key);
  void itemDropped(const QString& dropText);
  void sliderSettingChanged();
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic);

 protected:
  // formName goes into drop texts; headingName is the heading label's object name.
  ParameterRowsEditor(Workspace& ws, const QString& formName, const QString& headingName, QWidget* parent);

  // The editor's own layout, the scroll area in it: what an editor adds goes below the rows.
  QVBoxLayout* outerLayout() const { return outerLayout_; }
  // After the rows were built: the panel grows to them, so the scroll area knows their height.
  void fitRowsPanel();

  Workspace& ws_;
  ParameterRowBuilder* rows_ = nullptr;
  QWidget* rowsPanel_ = nullptr;
  QLabel* heading_ = nullptr;

 private:
  QVBoxLayout* outerLayout_ = nullptr;
  QScrollArea* scroll_ = nullptr;
};

}  // namespace zorvik
