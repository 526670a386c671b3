#pragma once
// The update check: once per run the program reads the update page (https only), and when it
// announces a newer version it downloads the updater "ZorvikUpdate.exe" into the working
// folder; the updater is started when the program closes, and only when it is exactly the
// file the page describes (SHA-256 and size). A page that names no digest is only offered as
// a link for the browser: nothing unverified is ever started.
//
// The network is reached through UpdateTransport so that the rules here run without one: the
// window program fetches with Qt and shows its download window, tests answer from a script.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zorvik {

class Workspace;

inline constexpr const char* kUpdaterFile = "ZorvikUpdate.exe";
inline constexpr const char* kImmediateUpdateMarker = "SofortUpdate.dat";
inline constexpr const char* kLastUpdateInfoFile = "lui.txt";

// How one download ended.
struct DownloadOutcome {
  bool cancelled = false;
  std::string error;                        // empty when the transfer itself went well
  std::uint64_t bytes = 0;                  // bytes written to the target file
  std::optional<std::uint64_t> announced;   // the content length the server sent, if any
  bool overLimit = false;                   // stopped at the size limit: the body was longer
};

// A download may run this far beyond the page's "Size:" before it is cut off: enough to tell a
// longer file from the right one, too little to fill a disk with an endless body.
inline constexpr std::uint64_t kDownloadMargin = 4096;

// A download counts only when it ran to its end: not cancelled, no error, at least one byte,
// as many bytes as the server announced (if it did) and no fewer than the page's "Lengthmin:".
bool downloadComplete(const DownloadOutcome& outcome, std::uint64_t lengthMin);

class UpdateTransport {
 public:
  virtual ~UpdateTransport() = default;
  // Reads the page at the address in one request: at most kUpdatePageLimit bytes, a fresh
  // copy; empty when it cannot be read.
  virtual std::string fetchPage(const std::string& address) = 0;
  // Downloads the address into the target file with the download window (modal). On cancel
  // the window has already said "Download abgebrochen" and removed the file. No more than
  // sizeLimit bytes are written: a longer body stops the download with overLimit set.
  virtual DownloadOutcome download(const std::string& address, const std::filesystem::path& target,
                                   std::uint64_t sizeLimit) = 0;
  // Opens the address in the user's web browser; false when that is not possible.
  virtual bool openInBrowser(const std::string& address) = 0;
};

// How a completely downloaded file compares with what the page describes.
enum class DownloadCheck { Matches, Unreadable, SizeDiffers, DigestDiffers };
DownloadCheck checkDownloadedFile(const std::filesystem::path& file, std::uint64_t size, const std::string& sha256);

// What the last check found, so that a check the trader asked for can say it.
enum class UpdateFinding {
  NotChecked,
  NoUpdatePage,  // the settings name no update page
  Refused,       // the page's or the download's address is not https on a trusted host
  NoAnswer,      // nothing came back: no network, or the server is down
  PageInvalid,   // an answer, but no update page
  UpToDate,      // the page offers this version or an older one
  Offered,       // a newer version was offered (and the trader was asked or told)
};

// State of the update for one run.
struct UpdateState {
  bool checked = false;         // the check runs at most once per run
  UpdateFinding finding = UpdateFinding::NotChecked;
  std::string offeredVersion;   // the version text the page named, once one was read
  bool updatePending = false;   // an updater was completely downloaded in this run
  std::uint64_t pendingBytes = 0;
  std::string pendingSha256;    // lower-case hex digest of the pending updater
};

// "lui.txt" in the user folder: the version text offered last.
std::string readLastUpdateInfo(const std::filesystem::path& userFolder);
bool writeLastUpdateInfo(const std::filesystem::path& userFolder, const std::string& versionText);

// The update check. `runningVersion` is versionNumber(major, minor, revision) of this program.
// Does nothing but remove an old updater when the settings name no update page. Returns true
// when an updater was downloaded (state.updatePending).
bool checkForUpdate(Workspace& ws, UpdateTransport& transport, UpdateState& state, std::int64_t runningVersion);

// The check asked for from the Help menu: runs even when the start-up check already ran, and
// then says what it found, in a message box (an offer speaks for itself).
void checkForUpdateAsked(Workspace& ws, UpdateTransport& transport, UpdateState& state, std::int64_t runningVersion,
                         const std::string& runningVersionText);

// At shutdown: when this run downloaded the updater and the file is still the one it wrote
// (same size and SHA-256), says "Das Update wird nun installiert!", waits a second and
// starts it in the working folder. Returns true when it was started.
bool installUpdater(Workspace& ws, UpdateState& state);

}  // namespace zorvik
