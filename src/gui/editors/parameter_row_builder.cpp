#include "editors/parameter_row_builder.hpp"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStyle>
#include <QWidget>

#include <algorithm>

#include "editors/value_slider.hpp"
#include "rules/value_checks.hpp"
#include "model/catalogue.hpp"
#include "qt_text.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

// The model keeps line breaks of a multi-line text as CR LF, the way the files hold them.
std::string toModelLines(const QString& text) {
  QString t = text;
  t.replace("\r\n", "\n");
  t.replace('\n', "\r\n");
  return t.toStdString();
}

QString fromModelLines(const std::string& text) {
  QString t = q(text);
  t.replace("\r\n", "\n");
  return t;
}

}  // namespace

ParameterRowBuilder::ParameterRowBuilder(Workspace& ws, QWidget* container, QString formName, QObject* parent)
    : QObject(parent), ws_(ws), container_(container), form_(std::move(formName)) {
  container_->installEventFilter(this);
  watchDrops(container_);
}


void ParameterRowBuilder::begin(int rowTop) {
  filling_ = true;
  for (Row& r : rows_) {
    for (QWidget* w : std::initializer_list<QWidget*>{r.caption, r.slider, r.text, r.combo, r.multi, r.reason})
      if (w) w->hide();
    r.refused = false;
  }
  for (const Extra& e : extras_) {
    if (e.first) e.first->hide();
    if (e.second) e.second->hide();
  }
  extras_.clear();
  used_ = 0;
  rowTop_ = rowTop;
  bottom_ = rowTop;
  widestCaption_ = 0;
}

void ParameterRowBuilder::end() {
  filling_ = false;
  // A caption found wider late in the build widens the caption column of the rows before it.
  relayout();
}

int ParameterRowBuilder::contentHeight() const { return std::max(bottom_, rowTop_) + 8; }

int ParameterRowBuilder::addParameterRow(const std::string& key, const std::string& value) {
  const ParameterCoding* p = ws_.catalogue.parameter(key);
  if (!p) return -1;
  switch (rowKindOf(p->kind)) {
    case RowKind::Combo: return addComboRow(key, value);
    case RowKind::Text: return addTextRow(key, value);
    case RowKind::MultiText: return addTextRow(key, value, true);
    case RowKind::Slider: return addSliderRow(key, value);
  }
  return -1;
}

ParameterRowBuilder::Row& ParameterRowBuilder::nextRow(const std::string& key, RowKind kind) {
  if (used_ == rows_.size()) rows_.push_back(Row{});
  Row& r = rows_[used_++];
  r.refused = false;
  r.key = q(key);
  r.kind = kind;
  r.top = rowTop_;
  return r;
}

void ParameterRowBuilder::showCaption(Row& row, const std::string& key) {
  const int index = static_cast<int>(&row - rows_.data());
  QLabel* label = ensureCaption(index);
  const ParameterCoding* p = ws_.catalogue.parameter(key);
  const QString caption = q(ws_.tr(p ? p->caption : key));
  row.captionText = caption;
  row.captionTip = p ? q(ws_.tr(p->description)) : QString();
  label->setText(caption);
  label->setToolTip(row.captionTip);
  widestCaption_ = std::max(widestCaption_, label->fontMetrics().horizontalAdvance(caption));
  label->show();
  registerHelp(label, QString("CLabel(%1)").arg(index), caption);
}

int ParameterRowBuilder::addComboRow(const std::string& key, const std::string& value) {
  Row& row = nextRow(key, RowKind::Combo);
  const int index = static_cast<int>(&row - rows_.data());
  showCaption(row, key);
  QComboBox* combo = ensureCombo(index);
  if (row.comboTag != row.key) {
    if (auto entries = comboEntries(ws_, key)) {
      combo->clear();
      for (const std::string& e : *entries) combo->addItem(q(e));
    } else {
      ws_.message("!");
    }
    row.comboTag = row.key;
  }
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  std::vector<std::string> entries;
  for (const QString& s : items) entries.push_back(s.toStdString());
  combo->setCurrentIndex(comboSelection(entries, comboDisplayText(ws_, key, value), value));
  combo->show();
  registerHelp(combo, QString("ComboBox1(%1)").arg(index), row.captionText);
  placeRow(row);
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
  return index;
}

int ParameterRowBuilder::addSliderRow(const std::string& key, const std::string& value) {
  Row& row = nextRow(key, RowKind::Slider);
  const int index = static_cast<int>(&row - rows_.data());
  showCaption(row, key);
  const ParameterCoding* p = ws_.catalogue.parameter(key);
  ParameterCoding none;
  const ParameterCoding& def = p ? *p : none;
  row.scale = effectiveScale(def.scale);
  // The word shown for 0 ("n.V", not used) follows the language; it is read back the same way.
  row.zeroText = def.zeroText.empty() ? QString() : q(ws_.tr(def.zeroText));

  QLineEdit* text = ensureText(index);
  text->setText(q(displayedValue(value, row.zeroText.toStdString())));
  showValueProblem(index, value);
  ValueSlider* slider = ensureSlider(index);
  slider->setHideButtons(ws_.settings.sliderWithButtons != 1);
  const SliderRange range = sliderRangeFor(def, value);
  // Widen first so that neither bound is refused by the other, then narrow.
  slider->setMin(std::min(range.min, slider->min()));
  slider->setMax(std::max(range.max, slider->max()));
  slider->setMin(range.min);
  slider->setMax(range.max);
  slider->setSmallChange(std::max(1, range.smallChange));
  slider->setValue(range.value);
  slider->show();
  text->show();
  const QString caption = row.captionText;
  registerHelp(slider, QString("Slider1(%1)").arg(index), caption);
  registerHelp(text, QString("Text1(%1)").arg(index), caption);
  placeRow(row);
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
  return index;
}

int ParameterRowBuilder::addTextRow(const std::string& key, const std::string& value, bool multiLine) {
  Row& row = nextRow(key, multiLine ? RowKind::MultiText : RowKind::Text);
  const int index = static_cast<int>(&row - rows_.data());
  showCaption(row, key);
  const ParameterCoding* p = ws_.catalogue.parameter(key);
  row.scale = 1;
  row.zeroText = p && !p->zeroText.empty() ? q(ws_.tr(p->zeroText)) : QString();
  const QString caption = row.captionText;
  if (multiLine) {
    QPlainTextEdit* m = ensureMulti(index);
    m->setPlainText(fromModelLines(value));
    m->show();
    registerHelp(m, QString("Multitext(%1)").arg(index), caption);
  } else {
    QLineEdit* text = ensureText(index);
    text->setText(q(displayedValue(value, row.zeroText.toStdString())));
    showValueProblem(index, value);
    text->show();
    registerHelp(text, QString("Text1(%1)").arg(index), caption);
  }
  placeRow(row);
  rowTop_ += kRowStep * (multiLine ? kMultiTextRows : 1);
  bottom_ = rowTop_;
  return index;
}

void ParameterRowBuilder::addNoteRow(QWidget* control) {
  extras_.push_back({Extra::Note, control, nullptr, rowTop_});
  placeExtra(extras_.back());
  control->show();
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
}

void ParameterRowBuilder::addLabelPairRow(QWidget* first, QWidget* second) {
  extras_.push_back({Extra::Pair, first, second, rowTop_});
  placeExtra(extras_.back());
  first->show();
  second->show();
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
}

void ParameterRowBuilder::addSplitRow(QWidget* left, QWidget* right) {
  extras_.push_back({Extra::Split, left, right, rowTop_});
  placeExtra(extras_.back());
  left->show();
  right->show();
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
}

void ParameterRowBuilder::addHeadingRow(QWidget* heading, QWidget* right) {
  extras_.push_back({Extra::Heading, heading, right, rowTop_});
  placeExtra(extras_.back());
  heading->show();
  if (right) right->show();
  rowTop_ += kRowStep;
  bottom_ = rowTop_;
}

void ParameterRowBuilder::hideRow(int row) {
  if (row < 0 || row >= used_) return;
  Row& r = rows_[row];
  for (QWidget* w : std::initializer_list<QWidget*>{r.caption, r.slider, r.text, r.combo, r.multi, r.reason})
    if (w) w->hide();
}

QString ParameterRowBuilder::key(int row) const { return row >= 0 && row < used_ ? rows_[row].key : QString(); }

int ParameterRowBuilder::rowOfKey(const QString& key) const {
  for (int i = 0; i < used_; ++i)
    if (rows_[i].key == key) return i;
  return -1;
}

QLabel* ParameterRowBuilder::captionLabel(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].caption : nullptr; }
ValueSlider* ParameterRowBuilder::slider(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].slider : nullptr; }
QLineEdit* ParameterRowBuilder::textBox(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].text : nullptr; }
QComboBox* ParameterRowBuilder::comboBox(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].combo : nullptr; }
QPlainTextEdit* ParameterRowBuilder::multiText(int row) const {
  return row >= 0 && row < rows_.size() ? rows_[row].multi : nullptr;
}

void ParameterRowBuilder::clearComboTags() {
  for (Row& r : rows_) r.comboTag.clear();
}

void ParameterRowBuilder::clearComboTag(int row) {
  if (row >= 0 && row < rows_.size()) rows_[row].comboTag.clear();
}

QLabel* ParameterRowBuilder::ensureCaption(int index) {
  Row& r = rows_[index];
  if (!r.caption) {
    r.caption = new QLabel(container_);
    r.caption->setObjectName(QString("CLabel_%1").arg(index));
    r.caption->setCursor(Qt::WhatsThisCursor);
    r.caption->installEventFilter(this);
    watchDrops(r.caption);
  }
  return r.caption;
}

ValueSlider* ParameterRowBuilder::ensureSlider(int index) {
  Row& r = rows_[index];
  if (!r.slider) {
    r.slider = new ValueSlider(container_);
    r.slider->setObjectName(QString("Slider1_%1").arg(index));
    connect(r.slider, &ValueSlider::changed, this, [this, index](int v) { onSliderChanged(index, v); });
    connect(r.slider, &ValueSlider::mousePressed, this,
            [this, index](Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint) { onSliderPressed(index, b, m); });
    watchDrops(r.slider);
  }
  return r.slider;
}

QLineEdit* ParameterRowBuilder::ensureText(int index) {
  Row& r = rows_[index];
  if (!r.text) {
    r.text = new QLineEdit(container_);
    r.text->setObjectName(QString("Text1_%1").arg(index));
    connect(r.text, &QLineEdit::textChanged, this, [this, index] { onTextChanged(index); });
    connect(r.text, &QLineEdit::editingFinished, this, [this, index] { onTextFinished(index); });
    watchDrops(r.text);
  }
  return r.text;
}

QComboBox* ParameterRowBuilder::ensureCombo(int index) {
  Row& r = rows_[index];
  if (!r.combo) {
    r.combo = new QComboBox(container_);
    r.combo->setObjectName(QString("ComboBox1_%1").arg(index));
    r.combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    r.combo->setMinimumContentsLength(4);
    connect(r.combo, &QComboBox::currentIndexChanged, this, [this, index](int) {
      if (filling_ || index >= used_) return;
      emit comboChosen(index, rows_[index].key, rows_[index].combo->currentText());
    });
    watchDrops(r.combo);
  }
  return r.combo;
}

QPlainTextEdit* ParameterRowBuilder::ensureMulti(int index) {
  Row& r = rows_[index];
  if (!r.multi) {
    r.multi = new QPlainTextEdit(container_);
    r.multi->setObjectName(QString("Multitext_%1").arg(index));
    connect(r.multi, &QPlainTextEdit::textChanged, this, [this, index] {
      if (filling_ || index >= used_) return;
      emit valueChanged(index, rows_[index].key, q(toModelLines(rows_[index].multi->toPlainText())));
    });
    watchDrops(r.multi);
    watchDrops(r.multi->viewport());
  }
  return r.multi;
}

void ParameterRowBuilder::onTextChanged(int index) {
  if (filling_ || index >= used_) return;
  Row& r = rows_[index];
  const QString text = r.text->text();
  const std::string stored = storedValueOf(r, text);
  if (r.kind == RowKind::Slider && r.key != "comment" && r.slider) {
    const int position = positionOfText(stored, r.scale, r.zeroText.toStdString());
    if (position != r.slider->value()) {
      // The slider follows the text; its change must not write its own (perhaps clamped or
      // rounded) text back while the user is still typing.
      syncing_ = true;
      r.slider->setValue(position);
      syncing_ = false;
    }
  }
  if (showValueProblem(index, stored)) emit valueChanged(index, r.key, q(stored));
}

std::string ParameterRowBuilder::storedValueOf(const Row& row, const QString& text) const {
  std::string stored = storedValueOfText(text.toStdString(), row.zeroText.toStdString());
  if (row.kind == RowKind::Slider && row.key != "comment" && !ws_.language.english()) stored = withDecimalPoint(stored);
  return stored;
}

int ParameterRowBuilder::firstRefusedRow() const {
  for (int i = 0; i < used_; ++i)
    if (rows_[i].refused && rows_[i].text && !rows_[i].text->isHidden()) return i;
  return -1;
}

QString ParameterRowBuilder::valueProblemText(int row) const {
  if (row < 0 || row >= used_) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  return r.refused && r.problem ? r.problem->toolTip() : QString();
}

bool ParameterRowBuilder::showValueProblem(int index, const std::string& storedValue) {
  Row& r = rows_[index];
  if (!r.text) return true;
  // The judgement the consistency check names as an error: a value that could be neither
  // generated nor tested is never stored, and the reason stands where it was typed.
  const std::string key = r.key.toStdString();
  std::optional<std::string> problem;
  if (key == "general_magic") {
    problem = magicProblem(storedValue);
    if (problem) *problem = ws_.tr(*problem);
  } else if (const ParameterCoding* coding = ws_.catalogue.parameter(key)) {
    if (auto refusal = valueRefusal(*coding, storedValue)) problem = zorvik::valueProblemText(*refusal, &ws_.language);
  }
  r.refused = problem.has_value();
  if (!problem) {
    if (r.problem) r.problem->setVisible(false);
    if (r.reason) r.reason->hide();
    if (r.slider && r.kind == RowKind::Slider && !r.text->isHidden()) r.slider->show();
    r.text->setToolTip(QString());
    return true;
  }
  if (!r.problem) {
    r.problem = r.text->addAction(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                  QLineEdit::TrailingPosition);
    r.problem->setObjectName(QString("ValueProblem_%1").arg(index));
  }
  const QString message = q(*problem);
  r.problem->setToolTip(message);
  r.problem->setVisible(true);
  r.text->setToolTip(message);
  if (!r.reason) {
    r.reason = new QLabel(container_);
    r.reason->setObjectName(QString("ValueReason_%1").arg(index));
    QPalette palette = r.reason->palette();
    palette.setColor(QPalette::WindowText, QColor(170, 0, 0));
    r.reason->setPalette(palette);
  }
  r.reason->setToolTip(message);
  r.reason->setProperty("reason", message);
  placeReason(r);
  return false;
}

void ParameterRowBuilder::onTextFinished(int index) {
  if (filling_ || index >= used_) return;
  Row& r = rows_[index];
  // A typed "0" turns into the zero text once the user is done: replacing it at the first
  // keystroke would make "0.5" impossible to type.
  if (!r.zeroText.isEmpty() && r.text->text() == "0") r.text->setText(r.zeroText);
}

void ParameterRowBuilder::onSliderChanged(int index, int value) {
  if (filling_ || syncing_ || index >= used_) return;
  Row& r = rows_[index];
  if (!r.text) return;
  QString text = q(sliderText(value, r.scale));
  if (!r.zeroText.isEmpty() && text == "0") text = r.zeroText;
  if (r.text->text() != text) r.text->setText(text);
}

void ParameterRowBuilder::onSliderPressed(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::RightButton) return;
  ValueSlider* s = rows_[index].slider;
  s->setHideButtons(!s->hideButtons());
  if (!(modifiers & Qt::ShiftModifier)) return;
  if (shiftSwitchesBack_) s->setHideButtons(!s->hideButtons());
  ws_.settings.sliderWithButtons = s->hideButtons() ? 0 : 1;
  emit sliderSettingChanged();
}
}  // namespace zorvik
