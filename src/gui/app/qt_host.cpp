#include "app/qt_host.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QSoundEffect>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include "app/event_sounds.hpp"

namespace zorvik {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
const QString kTitle = QStringLiteral("Zorvik");
}  // namespace

QtHost::QtHost() = default;
QtHost::~QtHost() = default;

void QtHost::message(const std::string& text) { QMessageBox::information(window_, kTitle, q(text)); }

bool QtHost::askYesNo(const std::string& text) {
  return QMessageBox::question(window_, kTitle, q(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtHost::inputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText) {
  bool ok = false;
  QString answer = QInputDialog::getText(window_, title.empty() ? kTitle : q(title), q(prompt), QLineEdit::Normal,
                                         q(defaultText), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

void QtHost::status(const std::string& text) {
  if (window_) window_->statusBar()->showMessage(q(text));
}

QTimer* QtHost::timerHelp() {
  if (!timerHelp_) {
    timerHelp_ = std::make_unique<QTimer>();
    timerHelp_->setSingleShot(true);
    timerHelp_->setInterval(1);
    QObject::connect(timerHelp_.get(), &QTimer::timeout, [this] { showDeferred(); });
  }
  return timerHelp_.get();
}

void QtHost::deferredMessage(const std::string& text) {
  deferred_.push_back(text);
  timerHelp()->start();
}

void QtHost::showDeferred() {
  if (deferred_.empty()) return;
  const std::string text = deferred_.front();
  deferred_.pop_front();
  message(text);
  // Texts deferred while the box was open follow one after the other, never stacked.
  if (!deferred_.empty()) timerHelp()->start();
}

void QtHost::playSound(Sound sound) { eventSound(std::string(eventNameOf(sound))); }

void QtHost::eventSound(const std::string& eventName) {
  const std::string_view file = soundFileForEvent(eventName);
  if (file.empty()) return;
  const auto path = resFolder_ / std::string(file);
  // A missing wave file means silence, never a message.
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  auto& effect = sounds_[path.string()];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(q(path.string())));
  }
  effect->play();
}

bool QtHost::startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                          const std::filesystem::path& workingDir) {
  QStringList qargs;
  for (const auto& a : args) qargs << q(a);
  return QProcess::startDetached(q(program.string()), qargs, q(workingDir.string()));
}

void QtHost::processEvents(std::chrono::milliseconds forAtMost) {
  QElapsedTimer t;
  t.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(forAtMost.count()));
  const auto left = forAtMost.count() - t.elapsed();
  if (left > 0) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(left), &loop, &QEventLoop::quit);
    loop.exec();
  }
}

}  // namespace zorvik
