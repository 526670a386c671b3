#pragma once
// The system information strip of the editor area: six rows, each a green or red
// marker and a short text, filled by the consistency check of the open system. The strip only
// draws what it is given and reports clicks and the row under the mouse.
#include <QPixmap>
#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/consistency_check.hpp"

namespace zorvik {

// Rows 1 to 6 in order, as the consistency check gives them (text, green marker, help key).
using InfoRows = std::vector<InfoRow>;

class SystemInfoStrip : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRows = 6;

  explicit SystemInfoStrip(const std::filesystem::path& resFolder, QWidget* parent = nullptr);

  // Replaces the drawing by these rows (at most six are drawn).
  void setRows(InfoRows rows);
  const InfoRows& rows() const { return rows_; }

  // The row (1..6) under a y position of the strip: y x 6 / height + 1, truncated.
  int rowAt(int y) const;
  // The hover help key of a row: the row's own key, else the fixed key of that position.
  std::string helpKeyOf(int row) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {60, 60}; }

 signals:
  // A left click on row 1..6.
  void rowClicked(int row);
  // The mouse came onto a row; context is always "SysInfo".
  void helpKeyHovered(const QString& context, const QString& key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPixmap marker(bool ok, int size) const;

  InfoRows rows_;
  QPixmap green_;
  QPixmap red_;
  int hoveredRow_ = 0;
};

}  // namespace zorvik
