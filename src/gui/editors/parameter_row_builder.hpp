#pragma once
// The shared row builder of the component editors. It owns the row controls of one panel
// (caption label, slider, text box, choice list, multi-line box, indexed by row), places them
// in three columns at the current row top and keeps slider and text in step. The editor that
// owns it stores the values: the builder only reports what the user did.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <string>

#include "editors/parameter_rows.hpp"

class QComboBox;
class QEvent;
class QLabel;
class QAction;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace zorvik {

class Workspace;
class ValueSlider;

// The drag data a library item carries: its tag as UTF-8 text.
inline constexpr const char* kLibraryItemMimeType = "application/x-zorvik-library-item";

// A library item dragged over or dropped on a control of an editor. Drag enter and move are
// accepted; a drop is accepted and gives the item's tag in droppedTag. False for any other
// event or data, which is then left alone.
bool acceptLibraryDrag(QEvent* event, QString& droppedTag);

class ParameterRowBuilder : public QObject {
  Q_OBJECT
 public:
  // formName is the editor's name in drop texts and help registrations ("IFORM", "XIForm", ...).
  ParameterRowBuilder(Workspace& ws, QWidget* container, QString formName, QObject* parent = nullptr);

  // The column set of every builder (the wide one; narrow containers narrow it per row).
  static ColumnSet columns() { return kWideColumns; }

  // Hides every row and starts a build at the given row top; value changes are not reported
  // until end().
  void begin(int rowTop = kFirstRowTop);
  void end();
  bool filling() const { return filling_; }
  int rowTop() const { return rowTop_; }
  void setRowTop(int top) { rowTop_ = top; }
  // The height the rows built so far need, with a bottom margin.
  int contentHeight() const;

  // A row by the kind of the key's catalogue entry. -1 (no row) for a key the catalogue does
  // not know. Rows are numbered from 0 in build order.
  int addParameterRow(const std::string& key, const std::string& value);
  int addComboRow(const std::string& key, const std::string& value);
  int addSliderRow(const std::string& key, const std::string& value);
  int addTextRow(const std::string& key, const std::string& value, bool multiLine = false);
  // One control in the middle column (a note label or a button).
  void addNoteRow(QWidget* control);
  // The first control across the middle column, the second in the value column.
  void addLabelPairRow(QWidget* first, QWidget* second);
  // Two controls sharing the width right of the caption column in two halves.
  void addSplitRow(QWidget* left, QWidget* right);
  // A heading across the caption and middle columns, with an optional control in the value
  // column.
  void addHeadingRow(QWidget* heading, QWidget* right = nullptr);
  // Hides a row's controls; the rows after it keep their places.
  void hideRow(int row);

  int rowCount() const { return used_; }
  QString key(int row) const;
  int rowOfKey(const QString& key) const;
  QLabel* captionLabel(int row) const;
  ValueSlider* slider(int row) const;
  QLineEdit* textBox(int row) const;
  // The translated reason shown beside a row whose text is refused, empty while it is valid.
  QString valueProblemText(int row) const;
  // The first shown row whose text is refused (typed so, or read so from a file), -1 for none.
  // Its value is not in the model: "übernehmen" must not pretend it was taken.
  int firstRefusedRow() const;
  QComboBox* comboBox(int row) const;
  QPlainTextEdit* multiText(int row) const;
  // Clears the remembered list keys so the next build refills every choice list.
  void clearComboTags();
  void clearComboTag(int row);

  // Right mouse button on a slider toggles its buttons; with Shift the slider's state becomes
  // the program-wide setting. With switchBack the slider first switches back, so the setting
  // takes the state from before the click.
  void setShiftSwitchesBack(bool switchBack) { shiftSwitchesBack_ = switchBack; }

  // Places every built row again after the container changed its width.
  void relayout();

 signals:
  // The text of a row changed (typed, or following its slider) to a valid value; value is what
  // is to be stored. A refused text is never reported: it stands beside its reason until mended.
  void valueChanged(int row, const QString& key, const QString& value);
  // A choice row's selection changed; caption is the chosen display text.
  void comboChosen(int row, const QString& key, const QString& caption);
  void captionClicked(const QString& key);
  // The program-wide slider setting changed (right button with Shift on a slider).
  void sliderSettingChanged();
  // A library item was dropped on a row control or the background.
  void itemDropped(const QString& dropText);
  // Controls shown, for hover help: the form, the control's name and the topic.
  void helpRegistration(QWidget* control, const QString& form, const QString& controlName, const QString& topic);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Pixels of a control's height; the multi-line box is this many row steps high.
  static constexpr int kControlHeight = 24;
  static constexpr int kMultiTextRows = 3;

  struct Row {
    QLabel* caption = nullptr;
    ValueSlider* slider = nullptr;
    QLineEdit* text = nullptr;
    QComboBox* combo = nullptr;
    QPlainTextEdit* multi = nullptr;
    QAction* problem = nullptr;  // the warning mark in the text box, shown while its value is refused
    QLabel* reason = nullptr;    // the reason, beside the text box while its value is refused
    bool refused = false;
    QString captionText;  // the whole caption; the label may show it shortened
    QString captionTip;   // the caption's own tool tip (the parameter's description)
    QString key;       // the hidden VLabel: the row's parameter key
    QString comboTag;  // the key whose list the combo holds
    RowKind kind = RowKind::Text;
    int top = 0;
    int scale = 1;
    QString zeroText;
  };
  struct Extra {
    enum Kind { Note, Pair, Split, Heading } kind;
    QPointer<QWidget> first, second;
    int top = 0;
  };

  Row& nextRow(const std::string& key, RowKind kind);
  // Judges a row's value as the consistency check does and shows the reason beside the field;
  // false when the value is refused.
  bool showValueProblem(int index, const std::string& storedValue);
  // The value a typed text stands for: the zero text as "0", in German a decimal comma as the
  // point the files hold.
  std::string storedValueOf(const Row& row, const QString& text) const;
  QLabel* ensureCaption(int index);
  ValueSlider* ensureSlider(int index);
  QLineEdit* ensureText(int index);
  QComboBox* ensureCombo(int index);
  QPlainTextEdit* ensureMulti(int index);
  // The columns at the container's present width, the caption column widened for the widest
  // caption of this build.
  RowColumns currentColumns() const;
  void placeRow(const Row& row);
  // The reason of a refused row: over the slider's column (the slider gives way until the text
  // is mended), or in the value column a text row leaves free.
  void placeReason(const Row& row);
  void placeExtra(const Extra& e);
  void showCaption(Row& row, const std::string& key);
  void registerHelp(QWidget* control, const QString& name, const QString& topic);
  void watchDrops(QWidget* w);
  QString dropTextFor(QObject* watched, const QString& tag) const;
  void onTextChanged(int index);
  void onTextFinished(int index);
  void onSliderChanged(int index, int value);
  void onSliderPressed(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

  Workspace& ws_;
  QWidget* container_;
  QString form_;
  QVector<Row> rows_;
  QVector<Extra> extras_;
  int used_ = 0;
  int rowTop_ = kFirstRowTop;
  int bottom_ = kFirstRowTop;
  int widestCaption_ = 0;  // pixels of the widest caption text built since begin()
  bool filling_ = false;
  bool syncing_ = false;  // a text is moving its slider: the slider must not rewrite the text
  bool shiftSwitchesBack_ = false;
};

}  // namespace zorvik
