#include "editors/settings_page.hpp"

#include <cmath>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "model/settings.hpp"
#include "qt_text.hpp"
#include "terminal/compile_install.hpp"
#include "terminal/wine_terminals.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

QColor colourOf(std::int32_t number) {
  const RgbColour c = rgbOfColourNumber(number);
  return QColor(c.red, c.green, c.blue);
}

std::int32_t numberOf(const QColor& colour) { return colourNumber(colour.red(), colour.green(), colour.blue()); }

QString css(std::int32_t number) { return colourOf(number).name(); }

QString background(std::int32_t number, bool shaded) {
  if (!shaded) return css(number);
  return QStringLiteral("qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2)")
      .arg(colourOf(number).lighter(135).name(), css(number));
}

QIcon swatch(std::int32_t number) {
  QPixmap pixmap(16, 16);
  pixmap.fill(colourOf(number));
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, 15, 15);
  return QIcon(pixmap);
}

// The text colour as chosen when it can be read on the background, else black or white,
// whichever stands out more. The default active tab is dark red with black text, which can
// hardly be read; any colour setting must leave the tab captions readable.
double luminance(const QColor& c) {
  const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

QColor readableTextColour(const QColor& text, const QColor& background) {
  constexpr double kReadable = 4.5;
  if (contrast(text, background) >= kReadable) return text;
  const QColor black(Qt::black), white(Qt::white);
  return contrast(black, background) >= contrast(white, background) ? black : white;
}

void applyTabLook(QTabBar* bar, QTabWidget* tabs, const Settings& s) {
  const auto& c = s.tabColours;
  const TabStyleLook look = tabStyleLook(s.tabStyle);
  if (bar) {
    bar->setStyleSheet(QStringLiteral("QTabBar { background: %1; }"
                                      "QTabBar::tab { background: %2; color: %3; border: 1px solid %4;"
                                      " border-top-left-radius: %5px; border-top-right-radius: %5px;"
                                      " padding: 2px 3px; margin-right: 1px; }"
                                      "QTabBar::tab:selected { background: %6; color: %7; }")
                           .arg(css(c[3]), background(c[0], look.shaded),
                                readableTextColour(colourOf(c[6]), colourOf(c[0])).name(), css(c[4]))
                           .arg(look.cornerRadius)
                           .arg(background(c[1], look.shaded), readableTextColour(colourOf(c[7]), colourOf(c[1])).name()));
  }
  // By object name: the pages hold tab widgets of their own that keep their usual look.
  if (tabs) {
    const QString name = tabs->objectName().isEmpty() ? QStringLiteral("TC2") : tabs->objectName();
    if (tabs->objectName().isEmpty()) tabs->setObjectName(name);
    tabs->setStyleSheet(QStringLiteral("QTabWidget#%1::pane { background: %2; border: 1px solid %3; }")
                            .arg(name, css(c[2]), css(c[5])));
  }
}

SettingsPage::SettingsPage(Workspace& ws, Host& host, QWidget* parent)
    : QWidget(parent), ws_(ws), host_(host), home_(QDir::homePath()) {
  setObjectName("Einstellungen");
  setFocusPolicy(Qt::StrongFocus);
  Settings& s = ws_.settings;
  savedFolder_ = s.metatraderFolder;

  auto* layout = new QVBoxLayout(this);
  slidersWithButtons_ = new QCheckBox(q(ws_.tr("Alle Slider mit + und - Kästchen links und rechts")), this);
  slidersWithButtons_->setObjectName("Check1");
  slidersWithButtons_->setChecked(s.sliderWithButtons == 1);
  markStops_ = new QCheckBox(q(ws_.tr("Stoploss/Takeprofit im Chart markieren")), this);
  markStops_->setObjectName("Check2");
  markStops_->setChecked(s.stopLossInChart != 0);
  layout->addWidget(slidersWithButtons_);
  layout->addWidget(markStops_);

  // The MetaTrader folder: typed, chosen from the terminals found, or browsed for.
  auto* folderRow = new QHBoxLayout;
  folderLabel_ = new QLabel(q(ws_.tr("Pfad Metatrader")), this);
  folderLabel_->setObjectName("LabelPfad");
  folderLabel_->setCursor(Qt::WhatsThisCursor);
  folderLabel_->installEventFilter(this);
  folder_ = new QLineEdit(q(s.metatraderFolder), this);
  folder_->setObjectName("Text1");
  browse_ = new QPushButton(q(ws_.tr("Durchsuchen ...")), this);
  browse_->setObjectName("Browse");
  terminal_ = new QPushButton(q(ws_.tr("Terminal")), this);
  terminal_->setObjectName("Command5");
  metaEditor_ = new QPushButton(q(ws_.tr("MetaEditor")), this);
  metaEditor_->setObjectName("EditorButton");
  metaEditor_->setVisible(s.developerMode == 1);
  folderRow->addWidget(folderLabel_);
  folderRow->addWidget(folder_, 1);
  folderRow->addWidget(browse_);
  folderRow->addWidget(terminal_);
  folderRow->addWidget(metaEditor_);
  layout->addLayout(folderRow);
  found_ = new QComboBox(this);
  found_->setObjectName("FoundTerminals");
  found_->hide();
  layout->addWidget(found_);

  // The tab strips' colours and style.
  auto* heading = new QLabel(q(ws_.tr(kTabColourHeading)), this);
  heading->setObjectName("Label1");
  layout->addSpacing(8);
  layout->addWidget(heading);
  auto* grid = new QGridLayout;
  for (int i = 0; i < kTabColourCount; ++i) {
    auto* picker = new QPushButton(q(ws_.tr(kTabColours[static_cast<std::size_t>(i)].caption)), this);
    picker->setObjectName(QStringLiteral("ColorPicker1_%1").arg(i));
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label2_%1").arg(i));
    pickers_[static_cast<std::size_t>(i)] = picker;
    colourNumbers_[static_cast<std::size_t>(i)] = label;
    grid->addWidget(picker, i / 2, (i % 2) * 2);
    grid->addWidget(label, i / 2, (i % 2) * 2 + 1);
    showPickerColour(i);
    connect(picker, &QPushButton::clicked, this, [this, i] {
      const QColor chosen = QColorDialog::getColor(colourOf(ws_.settings.tabColours[static_cast<std::size_t>(i)]),
                                                   this, pickers_[static_cast<std::size_t>(i)]->text());
      if (chosen.isValid()) setPickerColour(i, numberOf(chosen));
    });
  }
  layout->addLayout(grid);
  auto* styleRow = new QHBoxLayout;
  tabStyle_ = new QComboBox(this);
  tabStyle_->setObjectName("Combo1");
  for (const std::string& entry : tabStyleEntries()) tabStyle_->addItem(q(ws_.tr(entry)));
  if (s.tabStyle >= 0 && s.tabStyle < kTabStyleCount) tabStyle_->setCurrentIndex(s.tabStyle);
  applyAll_ = new QPushButton(q(ws_.tr("alle übernehmen")), this);
  applyAll_->setObjectName("Command1");
  defaults_ = new QPushButton(q(ws_.tr("Default")), this);
  defaults_->setObjectName("Command3");
  styleRow->addWidget(tabStyle_);
  styleRow->addWidget(applyAll_);
  styleRow->addWidget(defaults_);
  styleRow->addStretch(1);
  layout->addLayout(styleRow);
  layout->addStretch(1);
  showColourNumbers();

  chooseFolder = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(this, q(ws_.tr("Pfad Metatrader")), start);
  };

  connect(slidersWithButtons_, &QCheckBox::clicked, this, [this](bool on) {
    ws_.settings.sliderWithButtons = on ? 1 : 0;
    save();
  });
  connect(markStops_, &QCheckBox::clicked, this, [this](bool on) {
    ws_.settings.stopLossInChart = on ? 1 : 0;
    save();
  });
  connect(folder_, &QLineEdit::textChanged, this, &SettingsPage::folderTyped);
  connect(folder_, &QLineEdit::editingFinished, this, &SettingsPage::saveFolderIfChanged);
  connect(found_, &QComboBox::activated, this, [this](int index) {
    if (index > 0) takeFolder(found_->itemData(index).toString());
  });
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString start = folder_->text().isEmpty() ? home_ : folder_->text();
    const QString folder = chooseFolder ? chooseFolder(start) : QString();
    if (!folder.isEmpty()) takeFolder(QDir::toNativeSeparators(folder));
  });
  connect(terminal_, &QPushButton::clicked, this, [this] { startTerminal(ws_); });
  connect(metaEditor_, &QPushButton::clicked, this, [this] { openEditor(ws_); });
  connect(tabStyle_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0) return;
    ws_.settings.tabStyle = index;
    applyAll();
  });
  connect(applyAll_, &QPushButton::clicked, this, &SettingsPage::applyAll);
  connect(defaults_, &QPushButton::clicked, this, &SettingsPage::applyDefaults);

  applyAll();
}

void SettingsPage::setTabStrips(QTabBar* bar, QTabWidget* tabs) {
  bar_ = bar;
  tabs_ = tabs;
  applyAll();
}

void SettingsPage::setHomeFolder(const QString& home) {
  home_ = home;
  searched_ = false;
  found_->clear();
  found_->hide();
}

void SettingsPage::applyAll() {
  applyTabLook(bar_, tabs_, ws_.settings);
  showColourNumbers();
}

void SettingsPage::applyDefaults() {
  applyTabDefaults(ws_.settings);
  for (int i = 0; i < kTabColourCount; ++i) showPickerColour(i);
  const QSignalBlocker block(tabStyle_);
  tabStyle_->setCurrentIndex(static_cast<int>(ws_.settings.tabStyle));
  applyAll();
}

void SettingsPage::setPickerColour(int index, std::int32_t colour) {
  if (index < 0 || index >= kTabColourCount) return;
  ws_.settings.tabColours[static_cast<std::size_t>(index)] = colour;
  showPickerColour(index);
  applyTabLook(bar_, tabs_, ws_.settings);
  showColourNumbers();
}

void SettingsPage::showPickerColour(int index) {
  pickers_[static_cast<std::size_t>(index)]->setIcon(swatch(ws_.settings.tabColours[static_cast<std::size_t>(index)]));
}

void SettingsPage::showColourNumbers() {
  for (int i = 0; i < kTabColourCount; ++i)
    colourNumbers_[static_cast<std::size_t>(i)]->setText(
        q(colourNumberText(ws_.settings.tabColours[static_cast<std::size_t>(i)])));
}

void SettingsPage::folderTyped(const QString& text) {
  ws_.settings.metatraderFolder = text.toStdString();
  if (text.isEmpty()) offerFoundTerminals();
  else found_->hide();
}

void SettingsPage::takeFolder(const QString& folder) {
  folder_->setText(folder);
  saveFolderIfChanged();
}

void SettingsPage::saveFolderIfChanged() {
  if (ws_.settings.metatraderFolder == savedFolder_) return;
  save();
}

void SettingsPage::save() {
  if (ws_.saveSettings()) savedFolder_ = ws_.settings.metatraderFolder;
}

void SettingsPage::offerFoundTerminals() {
  // The prefix is searched once per page (the first time the field is seen empty); a large
  // prefix takes a moment, which start-up should not pay.
  if (!searched_) {
    searched_ = true;
    found_->clear();
    const std::vector<std::filesystem::path> folders = findWineTerminalFolders(home_.toStdString());
    if (!folders.empty()) {
      found_->addItem(q(ws_.tr("Gefundene MetaTrader-Ordner ...")));
      for (const auto& folder : folders) found_->addItem(q(folder.string()), q(folder.string()));
    }
  }
  found_->setVisible(found_->count() > 1 && folder_->text().isEmpty());
}

void SettingsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (folder_->text().isEmpty()) offerFoundTerminals();
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == folderLabel_ && event->type() == QEvent::MouseButtonRelease) emit helpRequested("metatraderpfad");
  return QWidget::eventFilter(watched, event);
}

}  // namespace zorvik
