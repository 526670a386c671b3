#include "app/qt_host.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

#include <cstdio>

#include "app/optional_modules.hpp"
#include "app/sound_module.hpp"
#include "app/system_error_text.hpp"
#include "editors/new_system_dialog.hpp"
#include "qt_text.hpp"
#include "window/event_sounds.hpp"

namespace zorvik {
namespace {
const QString kTitle = QStringLiteral("Zorvik");
// Room the window system's title bar takes beside the title (icon, close and other buttons),
// in pixels.
constexpr int kTitleBarButtonsWidth = 160;
}  // namespace

QString QtHost::buttonText(const char* german) const {
  return q(translate_ ? translate_(german) : std::string(german));
}

QString QtHost::shownText(const std::string& text) const { return q(localizeSystemErrors(text, translate_)); }

bool QtHost::skipBox(const std::string& text) const {
  if (!unattended_) return false;
  std::fprintf(stderr, "%s\n", shownText(text).toLocal8Bit().constData());
  return true;
}

void QtHost::message(const std::string& text) {
  if (skipBox(text)) return;
  QMessageBox box(QMessageBox::Information, kTitle, shownText(text), QMessageBox::Ok, window_);
  box.button(QMessageBox::Ok)->setText(buttonText("OK"));
  box.exec();
}

bool QtHost::askYesNo(const std::string& text) {
  if (skipBox(text)) return false;
  QMessageBox box(QMessageBox::Question, kTitle, shownText(text), QMessageBox::Yes | QMessageBox::No, window_);
  box.button(QMessageBox::Yes)->setText(buttonText("Ja"));
  box.button(QMessageBox::No)->setText(buttonText("Nein"));
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtHost::inputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText) {
  if (skipBox(prompt)) return std::nullopt;
  QInputDialog dialog(window_);
  dialog.setWindowTitle(title.empty() ? kTitle : q(title));
  dialog.setLabelText(q(prompt));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(q(defaultText));
  dialog.setOkButtonText(buttonText("OK"));
  dialog.setCancelButtonText(buttonText("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

std::optional<int> QtHost::chooseItem(const std::string& title, const std::string& label,
                                      const std::vector<std::string>& items, int selected, bool cancellable) {
  if (items.empty() || skipBox(label)) return std::nullopt;
  QStringList list;
  for (const auto& item : items) list << q(item);
  if (selected < 0 || selected >= list.size()) selected = 0;
  // Closing a choice that cannot be cancelled gives no entry either; the caller then keeps
  // what it had (a symbol stays as it was) rather than taking a value the user never picked.
  (void)cancellable;
  QInputDialog dialog(window_);
  dialog.setWindowTitle(title.empty() ? kTitle : q(title));
  dialog.setLabelText(q(label));
  dialog.setComboBoxItems(list);
  dialog.setComboBoxEditable(false);
  dialog.setTextValue(list.at(selected));
  dialog.setOkButtonText(buttonText("OK"));
  dialog.setCancelButtonText(buttonText("Abbrechen"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const auto index = list.indexOf(dialog.textValue());
  return index >= 0 ? static_cast<int>(index) : selected;
}

std::string QtHost::chooseSystemName(const std::string& caption) {
  if (skipBox(caption)) return {};
  QInputDialog dialog(window_);
  dialog.setWindowTitle(q(caption));
  // The characters a name cannot hold are said up front, so that a key that does nothing
  // does not puzzle.
  QString refusedList;
  for (char c : kRefusedSystemNameCharacters) {
    refusedList += QLatin1Char(' ');
    refusedList += QLatin1Char(c);
  }
  dialog.setLabelText(q(caption) + QLatin1Char('\n') + buttonText("Nicht erlaubt:") + refusedList);
  // A dialog no wider than its field would cut its own title.
  dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(q(caption)) + kTitleBarButtonsWidth);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(QString());
  dialog.setOkButtonText(buttonText("OK"));
  dialog.setCancelButtonText(buttonText("Abbrechen"));
  if (auto* edit = dialog.findChild<QLineEdit*>()) {
    QString refused;
    for (char c : kRefusedSystemNameCharacters) refused += QRegularExpression::escape(QString(QChar(c)));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[^" + refused + "]*"), edit));
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return withoutRefusedNameCharacters(dialog.textValue().toStdString());
}

std::optional<NewSystemChoice> QtHost::chooseNewSystem(const std::string& caption, const NewSystemChoice& offered) {
  if (skipBox(caption)) return std::nullopt;
  NewSystemDialog dialog(caption, offered, translate_, window_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  NewSystemChoice choice = dialog.choice();
  if (choice.name.empty()) return std::nullopt;
  return choice;
}

void QtHost::refreshLibrary() {
  if (!relist_ || relistQueued_) return;
  relistQueued_ = true;
  // The host may be gone by the time the event loop comes round (a test ending): the token
  // says whether it still lives.
  QTimer::singleShot(0, QCoreApplication::instance(), [this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired()) return;
    relistQueued_ = false;
    if (relist_) relist_();
  });
}

void QtHost::status(const std::string& text) {
  if (window_) window_->statusBar()->showMessage(shownText(text));
}

QTimer* QtHost::deferredMessageTimer() {
  if (!deferredTimer_) {
    deferredTimer_ = std::make_unique<QTimer>();
    deferredTimer_->setSingleShot(true);
    deferredTimer_->setInterval(1);
    QObject::connect(deferredTimer_.get(), &QTimer::timeout, [this] { showDeferred(); });
  }
  return deferredTimer_.get();
}

void QtHost::deferredMessage(const std::string& text) {
  deferred_.push_back(text);
  deferredMessageTimer()->start();
}

void QtHost::showDeferred() {
  if (deferred_.empty()) return;
  const std::string text = deferred_.front();
  deferred_.pop_front();
  message(text);
  // Texts deferred while the box was open follow one after the other, never stacked.
  if (!deferred_.empty()) deferredMessageTimer()->start();
}

void QtHost::playSound(Sound sound) { eventSound(std::string(eventNameOf(sound))); }

void QtHost::eventSound(const std::string& eventName) {
  const std::string_view file = soundFileForEvent(eventName);
  if (file.empty()) return;
  const auto path = resFolder_ / std::string(file);
  // A missing wave file means silence, never a message.
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  if (!playerTried_) {
    playerTried_ = true;
    if (auto* module = loadModule<SoundModule>(Module::Sound)) {
      player_.reset(module->newPlayer());
    } else {
      const std::string lead = "Die Klänge können nicht abgespielt werden:";
      status((translate_ ? translate_(lead) : lead) + " " + moduleProblem(Module::Sound).toStdString());
    }
  }
  if (player_) player_->play(q(path.string()));
}

bool QtHost::startProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                          const std::filesystem::path& workingDir) {
  QStringList qargs;
  for (const auto& a : args) qargs << q(a);
  return QProcess::startDetached(q(program.string()), qargs, q(workingDir.string()));
}

std::filesystem::path QtHost::findProgram(const std::string& name) {
  const QString found = QStandardPaths::findExecutable(q(name));
  return found.isEmpty() ? std::filesystem::path() : std::filesystem::path(found.toStdString());
}

int QtHost::startWatchedProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const std::filesystem::path& workingDir) {
  QStringList qargs;
  for (const auto& a : args) qargs << q(a);
  auto* process = new QProcess;
  process->setProgram(q(program.string()));
  process->setArguments(qargs);
  if (!workingDir.empty()) process->setWorkingDirectory(q(workingDir.string()));
  // Nobody reads what the program prints; do not let it pile up in memory.
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  process->start();
  if (!process->waitForStarted(5000)) {
    delete process;
    return 0;
  }
  const int handle = nextHandle_++;
  running_[handle] = process;
  return handle;
}

std::optional<int> QtHost::programExitCode(int handle) {
  if (auto e = ended_.find(handle); e != ended_.end()) return e->second;
  auto it = running_.find(handle);
  if (it == running_.end()) return std::nullopt;
  QProcess* process = it->second;
  // Polls without blocking; the state may not have caught up yet when no event ran since.
  if (process->state() != QProcess::NotRunning) process->waitForFinished(0);
  if (process->state() != QProcess::NotRunning) return std::nullopt;
  const int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  ended_[handle] = code;
  running_.erase(it);
  delete process;
  return code;
}

QtHost::QtHost() = default;

QtHost::~QtHost() {
  // A compiler that outlived its wait is ended with the program instead of being orphaned
  // half-way through writing into the user folder.
  for (auto& [handle, process] : running_) {
    process->kill();
    process->waitForFinished(1000);
    delete process;
  }
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
