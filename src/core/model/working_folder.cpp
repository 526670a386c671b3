#include "model/working_folder.hpp"

namespace zorvik {

bool isWorkingFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / "res" / "DVDefTable2.dat", ec);
}

bool copyMissingFiles(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(from, ec)) return true;
  fs::create_directories(to, ec);
  if (ec) {
    if (error) *error = to.string() + ": " + ec.message();
    return false;
  }
  bool ok = true;
  for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const fs::path target = to / fs::relative(it->path(), from);
    std::error_code step;
    if (it->is_directory(step)) {
      fs::create_directories(target, step);
    } else if (!it->is_regular_file(step)) {
      continue;  // a FIFO or device among the shipped files would block the copy
    } else if (!fs::exists(target, step)) {
      fs::copy_file(it->path(), target, fs::copy_options::skip_existing, step);
    }
    if (step) {
      ok = false;
      if (error) *error = target.string() + ": " + step.message();
    }
  }
  if (ec) {
    if (error) *error = from.string() + ": " + ec.message();
    return false;
  }
  return ok;
}

fs::path chooseWorkingFolder(const fs::path& current, const fs::path& userDataFolder, const fs::path& shippedRes,
                             const fs::path& shippedDemo, std::string* error) {
  if (isWorkingFolder(current)) return current;
  std::error_code ec;
  const bool firstStart = !fs::exists(userDataFolder / "user", ec);
  copyMissingFiles(shippedRes, userDataFolder / "res", error);
  if (firstStart) copyMissingFiles(shippedDemo, userDataFolder / "user", error);
  fs::create_directories(userDataFolder / "user", ec);
  return userDataFolder;
}

}  // namespace zorvik
