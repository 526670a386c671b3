#include "app/qt_host.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTimer>

namespace zorvik {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
const QString kTitle = QStringLiteral("Zorvik");
}  // namespace

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

std::optional<int> QtHost::chooseItem(const std::string& title, const std::string& label,
                                      const std::vector<std::string>& items, int selected, bool cancellable) {
  if (items.empty()) return std::nullopt;
  QStringList list;
  for (const auto& item : items) list << q(item);
  if (selected < 0 || selected >= list.size()) selected = 0;
  // Closing a choice that cannot be cancelled gives no entry either; the caller then keeps
  // what it had (a symbol stays as it was) rather than taking a value the user never picked.
  (void)cancellable;
  bool ok = false;
  const QString answer =
      QInputDialog::getItem(window_, title.empty() ? kTitle : q(title), q(label), list, selected, false, &ok);
  if (!ok) return std::nullopt;
  const auto index = list.indexOf(answer);
  return index >= 0 ? static_cast<int>(index) : selected;
}

std::string QtHost::chooseSystemName(const std::string& caption) {
  QInputDialog dialog(window_);
  dialog.setWindowTitle(q(caption));
  dialog.setLabelText(q(caption));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setTextValue(QString());
  if (auto* edit = dialog.findChild<QLineEdit*>()) {
    QString refused;
    for (char c : kRefusedSystemNameCharacters) refused += QRegularExpression::escape(QString(QChar(c)));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[^" + refused + "]*"), edit));
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return withoutRefusedNameCharacters(dialog.textValue().toStdString());
}

void QtHost::status(const std::string& text) {
  if (window_) window_->statusBar()->showMessage(q(text));
}

void QtHost::deferredMessage(const std::string& text) {
  QTimer::singleShot(0, window_, [this, text] { message(text); });
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
