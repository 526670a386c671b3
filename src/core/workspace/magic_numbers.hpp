#pragma once
// Handing out magic numbers. Expert Advisors with the same magic number that run at the same
// time take each other's orders for their own, so a number is never handed out twice: not by
// two programs working on one library at once, not to a copy of a system, not after the
// counter has reached its end.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zorvik {

class Workspace;
class FileLock;
struct Settings;

// The lock file in the user folder. It also keeps the highest number handed out by any
// program, which covers numbers handed out but not yet saved in a file.
inline constexpr std::string_view kMagicLockFile = ".magic.lock";

// Held while a number is chosen and the file that receives it is written (and while a new
// system's name is checked and its file created). Nested holders in one program share the
// outermost lock. When the user folder cannot hold the lock file nothing can be saved there
// either, and the numbers are chosen without it.
class MagicNumberLock {
 public:
  explicit MagicNumberLock(Workspace& ws);
  ~MagicNumberLock();
  MagicNumberLock(const MagicNumberLock&) = delete;
  MagicNumberLock& operator=(const MagicNumberLock&) = delete;

 private:
  Workspace& ws_;
};

// The next magic number: above the running counter, above the highest number any program
// handed out, and used by no system file of the library (trashed ones included, they may come
// back). Raises the counter to it. At 2147483647 nothing is handed out: the user is told and
// the result is nullopt.
std::optional<std::string> handOutMagicNumber(Workspace& ws);

// False, with the message, when no further number can be handed out.
bool magicNumberAvailable(Workspace& ws);

// Tells the trader that a copy of a system got its own magic number.
void tellCopyGotMagicNumber(Workspace& ws, std::string_view magic);

// Library magic numbers from 100001 to 109999 that lie above the running counter raise it,
// so that the next number handed out is above all of them.
void raiseMagicCounter(Settings& settings, std::string_view magic);
// The same for every system file in the user folder (what listing the library does).
void raiseMagicCounterFromLibrary(Workspace& ws);

}  // namespace zorvik
