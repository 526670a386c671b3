#include "editors/parameter_rows_editor.hpp"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "editors/eliding_label.hpp"
#include "editors/parameter_row_builder.hpp"

namespace zorvik {

ParameterRowsEditor::ParameterRowsEditor(Workspace& ws, const QString& formName, const QString& headingName,
                                         QWidget* parent)
    : QWidget(parent), ws_(ws) {
  outerLayout_ = new QVBoxLayout(this);
  outerLayout_->setContentsMargins(0, 0, 0, 0);
  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  rowsPanel_ = new QWidget;
  rowsPanel_->setObjectName("Picture1");
  scroll_->setWidget(rowsPanel_);
  outerLayout_->addWidget(scroll_);

  rows_ = new ParameterRowBuilder(ws_, rowsPanel_, formName, this);
  heading_ = new ElidingLabel(rowsPanel_);
  heading_->setObjectName(headingName);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);

  connect(rows_, &ParameterRowBuilder::captionClicked, this, &ParameterRowsEditor::helpRequested);
  connect(rows_, &ParameterRowBuilder::itemDropped, this, &ParameterRowsEditor::itemDropped);
  connect(rows_, &ParameterRowBuilder::sliderSettingChanged, this, &ParameterRowsEditor::sliderSettingChanged);
  connect(rows_, &ParameterRowBuilder::helpRegistration, this, &ParameterRowsEditor::helpRegistration);
}

void ParameterRowsEditor::fitRowsPanel() { rowsPanel_->setMinimumHeight(rows_->contentHeight()); }

}  // namespace zorvik
