#include "editors/signal_group_editor.hpp"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

#include "analysis/group_copies.hpp"
#include "editors/accept_discard_buttons.hpp"
#include "editors/editor_icons.hpp"
#include "editors/indicator_editor.hpp"
#include "editors/parameter_row_builder.hpp"
#include "model/catalogue.hpp"
#include "model/signal_group.hpp"
#include "model/trading_system.hpp"
#include "qt_text.hpp"
#include "text/numbers.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

constexpr int kTagRole = Qt::UserRole;
// The list's parameter column: a long string without blanks, shortened rather than wrapped.
constexpr int kParameterColumn = 2;

// Rows as high as their wrapped entries (the view itself measures every entry on one line);
// one column keeps its entries on one line, shortened where they do not fit.
class WrappingRows : public QStyledItemDelegate {
 public:
  WrappingRows(QTreeView* view, int oneLineColumn) : QStyledItemDelegate(view), view_(view), oneLine_(oneLineColumn) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem inColumn = option;
    inColumn.rect = QRect(0, 0, view_->columnWidth(index.column()), 1 << 16);
    return QStyledItemDelegate::sizeHint(inColumn, index);
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == oneLine_) option->features &= ~QStyleOptionViewItem::WrapText;
  }

 private:
  QTreeView* view_;
  int oneLine_;
};

// The narrowest width of a text on at most two lines, broken at one of its blanks.
int twoLineWidth(const QFontMetrics& metrics, const QString& text) {
  int best = metrics.horizontalAdvance(text);
  for (qsizetype i = text.indexOf(QLatin1Char(' ')); i > 0; i = text.indexOf(QLatin1Char(' '), i + 1))
    best =
        std::min(best, std::max(metrics.horizontalAdvance(text.left(i)), metrics.horizontalAdvance(text.mid(i + 1))));
  return best;
}

// The text on two lines, broken at the blank that makes the wider line narrowest.
QString onTwoLines(const QFontMetrics& metrics, const QString& text) {
  const int width = twoLineWidth(metrics, text);
  if (width >= metrics.horizontalAdvance(text)) return text;
  for (qsizetype i = text.indexOf(QLatin1Char(' ')); i > 0; i = text.indexOf(QLatin1Char(' '), i + 1))
    if (std::max(metrics.horizontalAdvance(text.left(i)), metrics.horizontalAdvance(text.mid(i + 1))) == width)
      return text.left(i) + QLatin1Char('\n') + text.mid(i + 1);
  return text;
}

AcceptDiscardButtons* makeOkControl(QWidget* parent, const char* name) {
  auto* ok = new AcceptDiscardButtons(parent);
  ok->setObjectName(name);
  ok->setIcon(1, editOkIcon(2));
  ok->setIcon(2, editOkIcon(1));
  return ok;
}

}  // namespace

std::string SignalGroupEditor::copyStatus(const char* german, const TradingSystem& system, int from, int to) const {
  // The template is translated whole, so English keeps its own word order.
  QString text = q(ws_.tr(german)).arg(q(system.group(from).name), q(system.group(to).name));
  if (text.contains(QLatin1String("%3"))) text = text.arg(system.group(to).indicators().size());
  return text.toStdString();
}

SignalGroupEditor::SignalGroupEditor(Workspace& ws, IndicatorEditor& indicatorEditor, QWidget* parent) : QWidget(parent), ws_(ws), indicatorEditor_(indicatorEditor) {
  setObjectName("XIForm");
  setMinimumWidth(380);
  // The stop button sounds even when there was nothing to copy, as it always has. Both say in
  // the status bar what they copied where: the copy acts at once and changes another tab.
  cloneStops = [this](TradingSystem& system, int group) {
    if (copyStopsToPartner(system, group)) {
      const int partner = group == 2 ? 4 : 2;
      ws_.host().status(copyStatus("Stops von %1 nach %2 kopiert", system, group, partner));
    }
    ws_.host().playSound(Sound::Clone);
  };
  cloneSystem = [this](TradingSystem& system, int group) {
    if (!copyToCounterpart(system, group)) return;
    const int counterpart = kGroupCount + 1 - group;
    ws_.host().status(copyStatus("Einstellungen von %1 nach %2 kopiert: %3 Indikatoren", system, group, counterpart));
    ws_.host().playSound(Sound::Clone);
  };

  // Everything scrolls as one page when the window is too low for the panels and a useful
  // list; above that the list takes the height that is left.
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  outer->addWidget(scroll);
  auto* body = new QWidget;
  body_ = body;
  scroll->setWidget(body);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 4);
  layout->setSpacing(0);

  stopsPanel_ = new QWidget(body);
  stopsPanel_->setObjectName("Picture1");
  settingsPanel_ = new QWidget(body);
  settingsPanel_->setObjectName("Picture2");
  layout->addWidget(stopsPanel_);
  layout->addWidget(settingsPanel_);
  stopRows_ = new ParameterRowBuilder(ws_, stopsPanel_, "XIForm", this);
  settingRows_ = new ParameterRowBuilder(ws_, settingsPanel_, "XIForm", this);

  copyStops_ = new QPushButton(stopsPanel_);
  copyStops_->setObjectName("cCopy");
  stopsOk_ = makeOkControl(stopsPanel_, "cEditOk");
  copySettings_ = new QPushButton(settingsPanel_);
  copySettings_->setObjectName("cCopy2");
  settingsOk_ = makeOkControl(settingsPanel_, "cEditOk2");

  const int margin = ParameterRowBuilder::columns().margin;
  auto* addRow = new QHBoxLayout;
  addRow->setContentsMargins(margin, 4, margin, 4);
  typeChoice_ = new QComboBox(body);
  typeChoice_->setObjectName("Combo1");
  // Shown in the user's language; the catalogue's id travels as the item's data.
  for (const std::string& type : ws_.catalogue.indicatorTypes().ids) typeChoice_->addItem(q(ws_.tr(type)), q(type));
  typeChoice_->setCurrentIndex(typeChoice_->count() > 0 ? 0 : -1);
  addButton_ = new QPushButton(body);
  addButton_->setObjectName("Command1");
  addRow->addWidget(typeChoice_, 1);
  addRow->addWidget(addButton_);
  layout->addLayout(addRow);

  list_ = new QTreeWidget(body);
  list_->setObjectName("ListView1");
  list_->setColumnCount(kListColumns);
  QStringList headers;
  for (std::string_view caption : kListColumnCaptions) headers << q(ws_.tr(caption));
  list_->setHeaderLabels(headers);
  list_->setRootIsDecorated(false);
  // A narrow list wraps its entries and captions instead of shortening them.
  list_->setWordWrap(true);
  list_->setUniformRowHeights(false);
  list_->setItemDelegate(new WrappingRows(list_, kParameterColumn));
  list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->header()->setTextElideMode(Qt::ElideNone);
  list_->setAlternatingRowColors(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSortingEnabled(false);
  list_->header()->setSectionsClickable(true);
  list_->header()->setStretchLastSection(false);
  list_->setMinimumHeight(90);
  list_->setAcceptDrops(true);
  list_->viewport()->setAcceptDrops(true);
  list_->viewport()->installEventFilter(this);
  list_->viewport()->setMouseTracking(true);
  auto* listRow = new QHBoxLayout;
  listRow->setContentsMargins(margin, 0, margin, 0);
  listRow->addWidget(list_);
  layout->addLayout(listRow, 1);

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(margin, 4, margin, 0);
  removeButton_ = new QPushButton(body);
  removeButton_->setObjectName("Command2");
  toolboxButton_ = new QPushButton(q(ws_.tr("->Toolbox")), body);
  toolboxButton_->setObjectName("Command3");
  editButton_ = new QPushButton(body);
  editButton_->setObjectName("Command5");
  buttons->addWidget(editButton_);
  buttons->addWidget(removeButton_);
  buttons->addStretch(1);
  buttons->addWidget(toolboxButton_);
  layout->addLayout(buttons);

  doubleClickTimer_.setSingleShot(true);
  doubleClickTimer_.setInterval(100);

  connect(addButton_, &QPushButton::clicked, this, &SignalGroupEditor::addIndicator);
  connect(removeButton_, &QPushButton::clicked, this, &SignalGroupEditor::removeIndicator);
  connect(editButton_, &QPushButton::clicked, this, &SignalGroupEditor::finishEditAsked);
  connect(toolboxButton_, &QPushButton::clicked, this, [this] {
    emit toolboxRequested(q(toolboxKindOfSelection(selectedCount(), list_->topLevelItemCount())));
  });
  connect(list_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { editIndicator(item->data(0, kTagRole).toInt()); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { doubleClickTimer_.start(); });
  connect(&doubleClickTimer_, &QTimer::timeout, this, [this] {
    doubleClickTimer_.stop();
    finishEdit();
  });
  connect(list_->header(), &QHeaderView::sectionClicked, this, &SignalGroupEditor::sortByColumn);
  connect(copyStops_, &QPushButton::clicked, this, [this] {
    if (!group_) return;
    cloneStops(ws_.system(), role_);
    emit overviewChanged();
  });
  connect(copySettings_, &QPushButton::clicked, this, [this] {
    if (!group_) return;
    cloneSystem(ws_.system(), role_);
    emit overviewChanged();
  });
  for (AcceptDiscardButtons* ok : {stopsOk_, settingsOk_})
    connect(ok, &AcceptDiscardButtons::clicked, this, [this](int index) { setGroupOk(index == 1 ? 2 : 1); });
  connect(&indicatorEditor_, &IndicatorEditor::closed, this, &SignalGroupEditor::onIndicatorEditorClosed);

  for (ParameterRowBuilder* rows : {stopRows_, settingRows_}) {
    connect(rows, &ParameterRowBuilder::valueChanged, this,
            [this](int, const QString& key, const QString& value) { storeGroupRow(key, value); });
    connect(rows, &ParameterRowBuilder::captionClicked, this, &SignalGroupEditor::helpRequested);
    connect(rows, &ParameterRowBuilder::itemDropped, this, &SignalGroupEditor::itemDropped);
    connect(rows, &ParameterRowBuilder::sliderSettingChanged, this, &SignalGroupEditor::sliderSettingChanged);
    connect(rows, &ParameterRowBuilder::helpRegistration, this, &SignalGroupEditor::helpRegistration);
  }
  setButtonsForList(false);
  editButton_->hide();
}

void SignalGroupEditor::activateControls(SignalGroup& group, int role) {
  if (!groupRoleOf(role)) return;
  addButton_->setText(q(ws_.tr("Indikator hinzufügen")));
  editButton_->setText(q(ws_.tr("Indikator bearbeiten")));
  removeButton_->setText(q(ws_.tr("Indikator entfernen")));
  group_ = &group;
  role_ = role;
  edit_.start(group, 0);  // an edit of another group never carries over
  buildPanels();
}

void SignalGroupEditor::buildPanels() {
  const bool exitGroup = isExitGroup(role_);
  stopsPanel_->setVisible(exitGroup);
  if (exitGroup) {
    stopRows_->begin();
    for (const std::string& key : ws_.catalogue.parameterKeysOf("!STOP"))
      stopRows_->addSliderRow(key, groupValue(*group_, key));
    copyStops_->setText(q(stopCopyCaption(ws_.language, role_)));
    copyStops_->setToolTip(copyStops_->text());
    stopRows_->addLabelPairRow(copyStops_, stopsOk_);
    stopRows_->end();
    stopsPanel_->setFixedHeight(stopRows_->contentHeight());
  }

  settingRows_->begin();
  copySettings_->setText(q(settingsCopyCaption(ws_.language, role_)));
  copySettings_->setToolTip(copySettings_->text());
  if (exitGroup) {
    settingsOk_->hide();
    settingRows_->addNoteRow(copySettings_);
  } else {
    settingRows_->addLabelPairRow(copySettings_, settingsOk_);
  }
  settingRows_->addSliderRow("threshold", group_->threshold);
  settingRows_->end();
  settingsPanel_->setFixedHeight(settingRows_->contentHeight());
  fitColumnWidths();
}

void SignalGroupEditor::refresh() {
  if (!group_) return;
  activateControls(*group_, role_);
  showIndicators(1);
}

void SignalGroupEditor::fillList(int selectNumber) {
  list_->clear();
  if (!group_) return;
  for (const IndicatorListRow& row : sorting_.apply(listRows(ws_.language, *group_))) {
    auto* item = new QTreeWidgetItem(list_);
    for (int c = 0; c < kListColumns; ++c) {
      item->setText(c, q(row.columns[static_cast<std::size_t>(c)]));
      item->setToolTip(c, item->text(c));  // a narrow column shortens it
    }
    item->setData(0, kTagRole, row.number);
  }
  fitColumnWidths();
  list_->clearSelection();
  if (QTreeWidgetItem* item = findListItemByTag(selectNumber)) {
    item->setSelected(true);
    list_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
  }
}

void SignalGroupEditor::setButtonsForList(bool hasIndicators) {
  const bool changed = removeButton_->isVisibleTo(this) != hasIndicators;
  addButton_->show();
  removeButton_->setVisible(hasIndicators);
  toolboxButton_->setVisible(hasIndicators);
  editButton_->setVisible(hasIndicators);
  if (changed) emit neededHeightChanged();
}

void SignalGroupEditor::showIndicators(int number) {
  if (!group_) return;
  if (number < 1 || number > group_->count()) {
    fillList(0);
    edit_.start(*group_, 0);
    indicatorEditor_.clear();
    setButtonsForList(false);
    return;
  }
  fillList(number);
  editIndicator(number);
  setButtonsForList(true);
}

void SignalGroupEditor::editIndicator(int number) {
  if (!group_ || number < 1 || number > group_->count()) return;
  edit_.start(*group_, number);
  editButton_->show();
  indicatorEditor_.acceptButton()->show();
  indicatorEditor_.discardButton()->show();
  indicatorEditor_.activateControls(*group_, number, indicatorEditor_.height());
  if (QTreeWidgetItem* item = findListItemByTag(number); item && !item->isSelected()) {
    list_->clearSelection();
    item->setSelected(true);
  }
}

void SignalGroupEditor::onIndicatorEditorClosed(int editResult) {
  edit_.editResult = editResult;
  if (!edit_.finishing) finishEdit();
}

void SignalGroupEditor::finishEdit() {
  if (!group_ || edit_.number() == 0) return;
  edit_.finishing = true;
  indicatorEditor_.closeWindow();  // without a verdict of its buttons the edit counts as discarded
  const int number = edit_.number();
  if (!edit_.finish(*group_, toDaySerial(localNow())) && !edit_.copyValid()) ws_.message("?");
  edit_.finishing = false;
  showIndicators(number);
  emit overviewChanged();
}

void SignalGroupEditor::finishEditAsked() {
  // The button ends the edit under way; changes made in it are not dropped without asking.
  if (group_ && edit_.number() != 0 && edit_.changed(*group_) &&
      ws_.ask("Die Änderungen am Indikator übernehmen?")) {
    indicatorEditor_.acceptEdit();
    return;
  }
  finishEdit();
}

void SignalGroupEditor::addIndicator() {
  if (!group_) return;
  const QString type = typeChoice_->currentData().toString();
  if (type.isEmpty()) {
    ws_.message("Bitte einen Indikator anklicken!");
    return;
  }
  group_->addIndicator(newIndicatorWithDefaults(ws_, type.toStdString(), toDaySerial(localNow())));
  showIndicators(group_->count());
  emit overviewChanged();
  statusEvent("Neuer Indikator");
}

void SignalGroupEditor::removeIndicator() {
  if (!group_) return;
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  const int k = selected.front()->data(0, kTagRole).toInt();
  if (k < 1 || k > group_->count()) return;
  // The open edit may be of this indicator or of one that moves; it ends here either way.
  edit_.start(*group_, 0);
  group_->removeIndicator(k);
  group_->editok = 1;
  emit overviewChanged();
  statusEvent("Kill Indikator");
  if (group_->count() == 0) {
    showIndicators(0);
    return;
  }
  showIndicators(1);
}

void SignalGroupEditor::storeGroupRow(const QString& key, const QString& value) {
  if (!group_) return;
  storeGroupValue(*group_, key.toStdString(), value.toStdString());
  if (key == "threshold") fillList(edit_.number());
}

void SignalGroupEditor::setGroupOk(int flag) {
  if (!group_) return;
  group_->editok = flag;
  emit overviewChanged();
}

void SignalGroupEditor::statusEvent(const char* german) {
  ws_.host().status(ws_.tr(german));
  emit eventSound(german);
}

QTreeWidgetItem* SignalGroupEditor::findListItemByTag(int number) const {
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    if (list_->topLevelItem(i)->data(0, kTagRole).toInt() == number) return list_->topLevelItem(i);
  return nullptr;
}

int SignalGroupEditor::selectedCount() const { return static_cast<int>(list_->selectedItems().size()); }

std::vector<int> SignalGroupEditor::selectedNumbers() const {
  // selectedItems() comes in the order of selecting; an exported group keeps the list's order.
  std::vector<int> out;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list_->topLevelItem(i);
    if (item->isSelected()) out.push_back(item->data(0, kTagRole).toInt());
  }
  return out;
}

int SignalGroupEditor::currentNumber() const {
  const QTreeWidgetItem* item = list_->currentItem();
  return item && item->isSelected() ? item->data(0, kTagRole).toInt() : 0;
}

void SignalGroupEditor::sortByColumn(int column) {
  sorting_.click(column);
  list_->header()->setSortIndicatorShown(true);
  list_->header()->setSortIndicator(column, sorting_.ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
  QList<int> selected;
  for (QTreeWidgetItem* item : list_->selectedItems()) selected << item->data(0, kTagRole).toInt();
  fillList(edit_.number());
  for (int number : selected)
    if (QTreeWidgetItem* item = findListItemByTag(number)) item->setSelected(true);
}

void SignalGroupEditor::fitColumnWidths() {
  const int width = list_->viewport()->width();
  if (width <= 0) return;
  // Every column gets its whole caption and its widest entry on one line, the parameter column
  // what is left. Where that is too wide, the date, the name, the share and the number in this
  // order may take two lines (caption and entries); the parameters, a long string without
  // blanks, are shortened first (their tool tip holds them whole). Only a list too narrow for
  // that falls back to fixed shares. The columns always add up to the list's width: no
  // horizontal scroll bar.
  constexpr int kEntryMargin = 14;
  QHeaderView* header = list_->header();
  const QFontMetrics headerMetrics = header->fontMetrics();
  const QFontMetrics metrics = list_->fontMetrics();
  std::array<int, kListColumns> oneLine{}, twoLines{}, caption{};
  for (int c = 0; c < kListColumns; ++c) {
    const auto k = static_cast<std::size_t>(c);
    const QString text = q(ws_.tr(kListColumnCaptions[k]));
    // What the section adds to its caption: margins, and the sort mark where shown.
    const int margin = header->sectionSizeHint(c) - headerMetrics.size(0, list_->headerItem()->text(c)).width();
    caption[k] = headerMetrics.horizontalAdvance(text) + margin;
    oneLine[k] = caption[k];
    twoLines[k] = twoLineWidth(headerMetrics, text) + margin;
    // The parameters are never wrapped: the caption alone is their minimum.
    if (c == kParameterColumn) continue;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
      const QString entry = list_->topLevelItem(i)->text(c);
      oneLine[k] = std::max(oneLine[k], metrics.horizontalAdvance(entry) + kEntryMargin);
      twoLines[k] = std::max(twoLines[k], twoLineWidth(metrics, entry) + kEntryMargin);
    }
  }
  const auto apply = [&](const std::array<int, kListColumns>& widths) {
    for (int c = 0; c < kListColumns; ++c) {
      const auto k = static_cast<std::size_t>(c);
      list_->setColumnWidth(c, widths[k]);
      const QString text = q(ws_.tr(kListColumnCaptions[k]));
      const QString shown = widths[k] >= caption[k] ? text : onTwoLines(headerMetrics, text);
      if (list_->headerItem()->text(c) != shown) list_->headerItem()->setText(c, shown);
    }
    // Row heights follow the wrapped entries.
    list_->doItemsLayout();
  };
  const auto fitWith = [&](std::array<int, kListColumns> wanted) {
    int others = 0;
    for (int c = 0; c < kListColumns; ++c)
      if (c != kParameterColumn) others += wanted[static_cast<std::size_t>(c)];
    const int rest = width - others;
    if (rest < twoLines[kParameterColumn]) return false;
    wanted[kParameterColumn] = rest;
    apply(wanted);
    return true;
  };
  std::array<int, kListColumns> wanted = oneLine;
  if (fitWith(wanted)) return;
  for (int c : {1, 0, 3, 4}) {
    wanted[static_cast<std::size_t>(c)] = twoLines[static_cast<std::size_t>(c)];
    if (fitWith(wanted)) return;
  }
  // Not even that fits: each column keeps the same part of its caption.
  int total = 0;
  for (int w : caption) total += w;
  std::array<int, kListColumns> shares{};
  int used = 0;
  for (int c = 0; c < kListColumns - 1; ++c) {
    shares[static_cast<std::size_t>(c)] = width * caption[static_cast<std::size_t>(c)] / total;
    used += shares[static_cast<std::size_t>(c)];
  }
  shares[kListColumns - 1] = std::max(20, width - used);
  apply(shares);
}

int SignalGroupEditor::columnAt(int x) const {
  int right = 0;
  for (int c = 0; c < kListColumns; ++c) {
    right += list_->columnWidth(c);
    if (x < right) return c;
  }
  return -1;
}

int SignalGroupEditor::neededHeight() const { return body_->minimumSizeHint().height(); }

void SignalGroupEditor::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitColumnWidths();
}

bool SignalGroupEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport()) {
    switch (event->type()) {
      case QEvent::Resize:
        fitColumnWidths();
        break;
      case QEvent::MouseMove: {
        const int column = columnAt(static_cast<QMouseEvent*>(event)->position().toPoint().x() +
                                  list_->header()->offset());
        if (column >= 0 && column != hoverColumn_) {
          hoverColumn_ = column;
          emit helpRegistration(list_, "XIForm", "ListView1",
                                q(ws_.tr(kListColumnCaptions[static_cast<std::size_t>(column)])));
        }
        break;
      }
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop: {
        QString tag;
        if (!acceptLibraryDrag(event, tag)) break;
        if (event->type() == QEvent::Drop) emit itemDropped("XIForm;List;;" + tag);
        return true;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zorvik
