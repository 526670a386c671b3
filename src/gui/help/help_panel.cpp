#include "help/help_panel.hpp"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTime>
#include <QToolTip>
#include <QVBoxLayout>

#include "help/help_topics.hpp"
#include "qt_text.hpp"
#include "update/http_fetch.hpp"
#include "platform/host.hpp"
#include "update/http_fetch.hpp"
#include "workspace/workspace.hpp"

namespace zorvik {
namespace {

constexpr qint64 kPageLimit = 4 * 1024 * 1024;  // bytes of a fetched help page
constexpr int kPageTimeoutMs = 15000;

bool isWebAddress(const QString& address) {
  return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

}  // namespace

HelpPanel::HelpPanel(Workspace& ws, Host& host, QWidget* parent) : HelpPanelBase(parent), ws_(ws), host_(host) {
  setObjectName(QStringLiteral("PictureHelp"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(6);

  titlePicture_ = new QLabel(this);
  titlePicture_->setObjectName(QStringLiteral("phtop"));
  titlePicture_->hide();  // shown with the web view once it has a picture
  layout->addWidget(titlePicture_);

  startPage_ = new QPushButton(q(ws_.tr("Browserfenster schliessen")), this);
  startPage_->setObjectName(QStringLiteral("c_Startseite"));
  startPage_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  startPage_->installEventFilter(this);
  layout->addWidget(startPage_, 0, Qt::AlignLeft);
  connect(startPage_, &QPushButton::clicked, this, &HelpPanel::startPagePressed);

  webView_ = new QTextBrowser(this);
  webView_->setObjectName(QStringLiteral("wb1"));
  webView_->setOpenLinks(false);
  webView_->setFrameShape(QFrame::StyledPanel);
  // The panel may be narrow: a word or a table column wider than it breaks inside rather than
  // make the page scroll sideways.
  webView_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout->addWidget(webView_, 1);
  connect(webView_, &QTextBrowser::anchorClicked, this, &HelpPanel::linkClicked);
  // Status texts of the web view: the link under the mouse, and the time a page was shown.
  connect(webView_, qOverload<const QUrl&>(&QTextBrowser::highlighted), this,
          [this](const QUrl& url) { host_.status(url.toString().toStdString()); });

  startAddress_ = manualAddress(ws_);
}

HelpPanel::~HelpPanel() = default;

QString HelpPanel::manualAddress(const Workspace& ws) {
  const auto folder = ws.resFolder() / "manual";
  const auto english = folder / "index_en.html";
  std::error_code ec;
  const auto file = ws.language.english() && std::filesystem::exists(english, ec) ? english : folder / "index.html";
  return QString::fromStdString(file.string());
}

QString HelpPanel::shownAddress() const {
  if (!remote_.isEmpty()) return remote_.toString();
  const QUrl source = webView_->source();
  return source.isEmpty() ? QStringLiteral("about:blank") : source.toString();
}

void HelpPanel::showStartPage() { navigate(startAddress_); }

void HelpPanel::showManualSection(const QString& anchor) {
  QUrl url = QUrl::fromLocalFile(manualAddress(ws_));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  if (!QFileInfo::exists(url.toLocalFile())) {
    navigate(url.toLocalFile());
    return;
  }
  remote_.clear();
  // The same file with another fragment only scrolls; a file shown before (or a fetched page)
  // is replaced.
  if (webView_->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment) && !anchor.isEmpty()) {
    webView_->scrollToAnchor(anchor);
  } else {
    webView_->setSource(url);
    if (!anchor.isEmpty()) webView_->scrollToAnchor(anchor);
  }
  loaded();
}

void HelpPanel::navigate(const QString& address) {
  const QString a = address.trimmed();
  if (a.isEmpty()) {
    remote_.clear();
    webView_->setSource(QUrl());
    webView_->clear();
    return;
  }
  if (isWebAddress(a)) {
    showFetched(QUrl(a));
    return;
  }
  remote_.clear();
  const QUrl url = a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ? QUrl(a) : QUrl::fromLocalFile(a);
  if (!QFileInfo::exists(url.toLocalFile())) {
    webView_->setSource(QUrl());
    webView_->setHtml(QStringLiteral("<p>%1</p><p><tt>%2</tt></p>")
                      .arg(q(ws_.tr("Die Seite konnte nicht geladen werden: ")).toHtmlEscaped(), a.toHtmlEscaped()));
    loaded();
    return;
  }
  webView_->setSource(url);
  loaded();
}

void HelpPanel::showFetched(const QUrl& url) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!web_) web_ = std::make_unique<WebClient>();
  const FetchedPage page = web_->fetchPage(url, kPageLimit, QByteArrayLiteral("Zorvik"), kPageTimeoutMs);
  QApplication::restoreOverrideCursor();
  remote_ = url;
  webView_->setSource(QUrl());
  if (!page.error.isEmpty() && page.body.isEmpty()) {
    webView_->setHtml(QStringLiteral("<p>%1</p><p><tt>%2</tt></p><p>%3</p>")
                      .arg(q(ws_.tr("Die Seite konnte nicht geladen werden: ")).toHtmlEscaped(),
                           url.toString().toHtmlEscaped(), page.error.toHtmlEscaped()));
  } else {
    webView_->setHtml(QString::fromUtf8(page.body));
  }
  loaded();
}

void HelpPanel::loaded() { host_.status(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString()); }

void HelpPanel::linkClicked(const QUrl& url) {
  if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
    webView_->scrollToAnchor(url.fragment());
    return;
  }
  // Links of a fetched page are relative to that page, links of the manual to its file.
  const QUrl target = !remote_.isEmpty() ? remote_.resolved(url) : webView_->source().resolved(url);
  if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https")) {
    showFetched(target);
  } else if (target.isLocalFile()) {
    remote_.clear();
    webView_->setSource(target);
    loaded();
  }
}

void HelpPanel::setViewVisible(bool visible) {
  webView_->setVisible(visible);
  titlePicture_->setVisible(visible && !titlePicture_->pixmap().isNull());
}

bool HelpPanel::viewVisible() const { return !webView_->isHidden(); }

void HelpPanel::startModeLeft() {
  startLeft_ = true;
  startPage_->setText(q(ws_.tr("Startseite")));
}

void HelpPanel::startPagePressed() {
  if (!startLeft_) {
    emit startPageCloseRequested();
    return;
  }
  startAddress_ = manualAddress(ws_);
  showStartPage();
}

void HelpPanel::askForAddress() {
  const auto answer = host_.inputBox(ws_.tr("Pfad:"), ws_.tr("Hilfepfad"), startAddress_.toStdString());
  if (!answer) return;  // cancelled: the address stays
  startAddress_ = q(*answer);
  showStartPage();
}

void HelpPanel::hoverHelp(const QString&, const QString& key) {
  const std::string text = ws_.helpTexts.text(key.toStdString());
  if (text.empty()) return;
  QToolTip::showText(QCursor::pos(), q(ws_.tr(text)), this);
}

void HelpPanel::registerHelpTopics(HelpTopics& topics) { topics.registerHelp(startPage_, QStringLiteral("Startseite")); }

bool HelpPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == startPage_ && event->type() == QEvent::MouseButtonPress) {
    const auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() == Qt::RightButton && (me->modifiers() & Qt::ShiftModifier)) {
      askForAddress();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zorvik
