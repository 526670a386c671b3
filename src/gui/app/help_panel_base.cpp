#include "app/help_panel_base.hpp"

#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/display_modes.hpp"
#include "model/workspace.hpp"

namespace zorvik {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

HelpPanelPlaceholder::HelpPanelPlaceholder(Workspace& ws, QWidget* parent) : HelpPanelBase(parent), ws_(ws) {
  setObjectName(QStringLiteral("PictureHelp"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(6);

  phtop_ = new QLabel(this);
  phtop_->setObjectName(QStringLiteral("phtop"));
  phtop_->hide();  // the title picture has no image yet
  layout->addWidget(phtop_);

  startPage_ = new QPushButton(q(ws_.tr("Browserfenster schliessen")), this);
  startPage_->setObjectName(QStringLiteral("c_Startseite"));
  startPage_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  layout->addWidget(startPage_, 0, Qt::AlignLeft);
  connect(startPage_, &QPushButton::clicked, this, [this] {
    if (!startLeft_) {
      emit startPageCloseRequested();
    } else {
      initExplorer();
    }
  });

  wb1_ = new QTextBrowser(this);
  wb1_->setObjectName(QStringLiteral("wb1"));
  wb1_->setOpenExternalLinks(true);
  wb1_->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(wb1_, 1);
  wb1_->hide();
}

QString HelpPanelPlaceholder::shownAddress() const {
  const QUrl source = wb1_->source();
  return source.isEmpty() ? QStringLiteral("about:blank") : source.toString();
}

void HelpPanelPlaceholder::initExplorer() {
  auto manual = ws_.resFolder() / "manual" / "index.html";
  const auto english = ws_.resFolder() / "manual" / "index_en.html";
  if (ws_.language.english() && std::filesystem::exists(english)) manual = english;
  if (std::filesystem::exists(manual)) {
    wb1_->setSource(QUrl::fromLocalFile(q(manual.string())));
    return;
  }
  // No manual installed: a quiet title page instead of an empty white area.
  const ProgramVersion v = programVersion();
  wb1_->setHtml(QStringLiteral("<div style='margin-top:120px' align='center'>"
                               "<p style='font-size:34pt; color:#2b4f7a; font-weight:600'>Zorvik</p>"
                               "<p style='font-size:11pt; color:#7a8794'>%1.%2.%3</p></div>")
                    .arg(v.major)
                    .arg(v.minor)
                    .arg(v.revision));
}

void HelpPanelPlaceholder::setViewVisible(bool visible) {
  wb1_->setVisible(visible);
  phtop_->setVisible(visible && !phtop_->pixmap().isNull());
}

bool HelpPanelPlaceholder::viewVisible() const { return !wb1_->isHidden(); }

void HelpPanelPlaceholder::startModeLeft() {
  startLeft_ = true;
  startPage_->setText(q(ws_.tr("Startseite")));
}

void HelpPanelPlaceholder::hoverHelp(const QString&, const QString& key) { QToolTip::showText(QCursor::pos(), key); }

}  // namespace zorvik
