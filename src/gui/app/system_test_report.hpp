#pragma once
// The report of "System testen": one window with the six rows of the information strip, each
// with its marker and what it means, then the lint findings, and the list of differences below. It replaces a row
// of message boxes that the trader had to click through one by one.
#include <QDialog>

#include "analysis/consistency_check.hpp"

class QPlainTextEdit;
class QTreeWidget;

namespace zorvik {

class Workspace;

class SystemTestReport : public QDialog {
  Q_OBJECT
 public:
  SystemTestReport(const Workspace& ws, const CheckResult& result, QWidget* parent = nullptr);

  // The six rows first, then one row per lint finding.
  QTreeWidget* rowList() const { return rows_; }
  QPlainTextEdit* differenceView() const { return differences_; }

 private:
  QTreeWidget* rows_ = nullptr;
  QPlainTextEdit* differences_ = nullptr;
};

}  // namespace zorvik
