#pragma once
// What one run of the program keeps about magic numbers besides the settings' counter. Only
// magic_numbers.cpp and the opening of a system touch it; the workspace merely carries it, one
// per workspace, so that tests can run several programs side by side.
#include <memory>

#include "platform/file_lock.hpp"

namespace zorvik {

struct MagicNumberRun {
  // The lock on the magic numbers while this program holds it (MagicNumberLock), and how
  // deeply its holders are nested: a second lock through another handle would wait for itself.
  std::unique_ptr<FileLock> lock;
  int lockDepth = 0;
  // How often this run has considered the note about an automatically assigned magic number.
  int notesConsidered = 0;
};

}  // namespace zorvik
