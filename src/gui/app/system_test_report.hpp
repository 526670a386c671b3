#pragma once
// The report of "System testen": one window with the six rows of the information strip, each
// with its marker and what it means, then the lint findings, and the list of differences below. It replaces a row
// of message boxes that the trader had to click through one by one.
#include <QDialog>
#include <QStringList>

#include "analysis/consistency_check.hpp"

class QPlainTextEdit;

namespace zorvik {

class Workspace;

class SystemTestReport : public QDialog {
  Q_OBJECT
 public:
  SystemTestReport(const Workspace& ws, const CheckResult& result, QWidget* parent = nullptr);

  // The marks and meanings of the rows as shown: the six rows first, then one row per lint
  // finding ("Warnung" / "Hinweis" and its sentence).
  const QStringList& rowMarks() const { return marks_; }
  const QStringList& rowMeanings() const { return meanings_; }
  QPlainTextEdit* differenceView() const { return differences_; }

 private:
  QStringList marks_, meanings_;
  QPlainTextEdit* differences_ = nullptr;
};

}  // namespace zorvik
