// The update check: page markers, version numbers, the immediate-update marker, the
// last-offer bookkeeping, trusted download addresses and the updater started at shutdown.
#include <gtest/gtest.h>

#include <deque>

#include "test_support.hpp"
#include "update/update_check.hpp"
#include "update/update_page.hpp"

namespace zorvik {
namespace {

using testing::readBytes;
using testing::TestWorkspace;
using testing::writeBytes;

constexpr std::int64_t kRunning = 1001146;  // 1.1.146

// Answers the page from a text and "downloads" by writing the given bytes.
struct ScriptedTransport : UpdateTransport {
  std::string page;
  std::string body = std::string(4096, 'x');
  DownloadOutcome outcome;  // bytes are filled in from the body unless cancelled
  std::vector<std::string> fetched, downloaded;

  std::string fetchPage(const std::string& address) override {
    fetched.push_back(address);
    return page;
  }
  DownloadOutcome download(const std::string& address, const std::filesystem::path& target) override {
    downloaded.push_back(address);
    writeBytes(target, body);
    DownloadOutcome o = outcome;
    if (!o.cancelled) o.bytes = body.size();
    return o;
  }
};

struct UpdateFixture {
  UpdateFixture() { t.ws->settings.updateUrl = "https://zorvik.example/update.txt"; }
  std::filesystem::path updater() const { return t.ws->root() / "ZorvikUpdate.exe"; }
  bool check() {
    UpdateState fresh;
    state = fresh;
    return checkForUpdate(*t.ws, net, state, kRunning);
  }
  TestWorkspace t;
  ScriptedTransport net;
  UpdateState state;
};

TEST(UpdatePage, MarkersAndVersionNumbers) {
  struct Case {
    std::string page;
    bool valid;
    std::string version, link, lengthMin;
  };
  // Padding that puts "Version:" at the given distance before the cut.
  auto padded = [](std::size_t beforeCut, const std::string& tail) {
    return std::string(kUpdatePageLimit - beforeCut, ' ') + tail;
  };
  const Case cases[] = {
      {"<p>VERSION:1.1.147 neu</p>\r\nlink:https://a.example/u.exe\r\nLengthMin:5000", true, "1.1.147", "https://a.example/u.exe", "5000"},
      {"Version:1.1.147\nLink:https://a.example/u.exe", true, "1.1.147", "https://a.example/u.exe", "0"},
      {"Version: 1.1.147", true, "", "", "0"},  // a blank after the marker: no version
      {"Version:1.2.3\r\n", true, "1.2.3", "", "0"},
      {"Seite nicht gefunden Version:9.9.9", false, "", "", ""},
      {"nothing here", false, "", "", ""},
      {"", false, "", "", ""},
      {padded(7, "Version:9.9.9"), false, "", "", ""},      // the marker reaches past the cut
      {padded(8, "Version:9.9.9"), true, "", "", "0"},      // the marker fits, its value not
      {padded(11, "Version:1.0.0"), true, "1.0", "", "0"},  // cut inside the version
  };
  for (const Case& c : cases) {
    const UpdatePage p = parseUpdatePage(c.page);
    EXPECT_EQ(p.valid, c.valid) << c.page.substr(0, 40);
    if (!c.valid) continue;
    EXPECT_EQ(p.version, c.version);
    EXPECT_EQ(p.link, c.link);
    EXPECT_EQ(p.lengthMin, c.lengthMin);
  }

  EXPECT_EQ(versionNumber("1.1.147"), 1001147);
  EXPECT_EQ(versionNumber(1, 1, 146), kRunning);
  EXPECT_EQ(versionNumber("2"), 2000000);
  EXPECT_EQ(versionNumber("1.x.5"), 1000005);
  EXPECT_EQ(versionNumber("abc"), 0);
  EXPECT_EQ(versionNumber(""), 0);
  EXPECT_EQ(versionNumber("1.1.147.9"), 1001147);
  EXPECT_EQ(versionNumber("99999999999999999999.1.1"), (1000000LL * 1000 + 1) * 1000 + 1);
}

TEST(UpdatePage, OnlyHttpsOrLoopbackDownloads) {
  EXPECT_EQ(pageAddress("zorvik.example/u.txt"), "http://zorvik.example/u.txt");
  EXPECT_EQ(pageAddress("HTTPS://zorvik.example/u.txt"), "HTTPS://zorvik.example/u.txt");

  struct Case {
    const char* link;
    const char* page;
    bool allowed;
  };
  const Case cases[] = {
      {"https://dl.example/ZorvikUpdate.exe", "http://zorvik.example/u.txt", true},
      {"HTTPS://dl.example/u.exe", "https://zorvik.example/u.txt", true},
      {"http://dl.example/u.exe", "https://zorvik.example/u.txt", false},
      {"ftp://dl.example/u.exe", "https://zorvik.example/u.txt", false},
      {"dl.example/u.exe", "https://zorvik.example/u.txt", false},
      {"", "https://zorvik.example/u.txt", false},
      {"https://", "https://zorvik.example/u.txt", false},
      {"http://127.0.0.1:8080/u.exe", "http://127.0.0.1:8080/page", true},
      {"http://localhost/u.exe", "http://[::1]:99/page", true},
      {"http://127.0.0.1/u.exe", "http://zorvik.example/page", false},        // page from outside
      {"http://dl.example/u.exe", "http://127.0.0.1/page", false},            // file from outside
      {"http://127.0.0.1@evil.example/u.exe", "http://127.0.0.1/page", false},
      {"http://127.evil.example/u.exe", "http://127.0.0.1/page", false},
  };
  for (const Case& c : cases) EXPECT_EQ(downloadAddressAllowed(c.link, c.page), c.allowed) << c.link << " " << c.page;
}

TEST(UpdateCheck, OffersOnlyANewerVersion) {
  struct Case {
    std::string version;
    bool marker;
    bool offered;
  };
  const Case cases[] = {
      {"1.1.147", false, true},
      {"1.1.146", false, false},
      {"1.1.146", true, true},  // the marker forces the update and is used up
      {"1.0.999", false, false},
      {"abc", false, false},
  };
  for (const Case& c : cases) {
    UpdateFixture f;
    f.net.page = "Version:" + c.version + "\r\nLink:https://dl.example/ZorvikUpdate.exe\r\n";
    if (c.marker) writeBytes(f.t.ws->root() / "SofortUpdate.dat", "");
    writeBytes(f.updater(), "left from an earlier run");
    EXPECT_EQ(f.check(), c.offered) << c.version;
    EXPECT_EQ(f.state.updatePending, c.offered);
    EXPECT_EQ(f.net.fetched, std::vector<std::string>{"https://zorvik.example/update.txt"});
    EXPECT_FALSE(std::filesystem::exists(f.t.ws->root() / "SofortUpdate.dat"));
    if (c.offered) {
      EXPECT_EQ(readBytes(f.updater()), f.net.body);
      ASSERT_EQ(f.t.host.messages.size(), 2u);
      EXPECT_EQ(f.t.host.messages[0], "Es ist eine neuere Version " + c.version +
                                          " von Zorvik verfügbar!\r\nDiese wird nun automatisch geladen...");
      EXPECT_EQ(f.t.host.messages[1], "Das Zorvik-Update " + c.version +
                                          " wurde soeben geladen und wird beim Beenden von Zorvik installiert!");
    } else {
      EXPECT_FALSE(std::filesystem::exists(f.updater())) << "an old updater must be removed";
      EXPECT_TRUE(f.t.host.messages.empty());
      EXPECT_TRUE(f.net.downloaded.empty());
    }
  }
}

TEST(UpdateCheck, SilentWithoutAddressPageOrTrustedLink) {
  for (const std::string& page : {std::string(), std::string("Seite nicht gefunden"), std::string("Version: 1.1.147"),
                                  std::string("Version:1.1.147\nLink:http://dl.example/u.exe"),
                                  std::string("Version:1.1.147")}) {
    UpdateFixture f;
    f.net.page = page;
    EXPECT_FALSE(f.check());
    EXPECT_TRUE(f.t.host.messages.empty()) << page;
    EXPECT_TRUE(f.net.downloaded.empty());
    EXPECT_FALSE(std::filesystem::exists(f.t.ws->userFile("lui.txt")));
  }
  UpdateFixture offline;
  offline.t.ws->settings.updateUrl = "";
  EXPECT_FALSE(offline.check());
  EXPECT_TRUE(offline.net.fetched.empty());  // no address: the network is never asked

  // The check runs once per run.
  UpdateFixture once;
  once.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe";
  EXPECT_TRUE(checkForUpdate(*once.t.ws, once.net, once.state, kRunning));
  EXPECT_FALSE(checkForUpdate(*once.t.ws, once.net, once.state, kRunning));
  EXPECT_EQ(once.net.fetched.size(), 1u);
}

TEST(UpdateCheck, FirstOfferIsANoticeTheSecondAQuestion) {
  UpdateFixture f;
  f.net.page = "Version:1.1.147 \nLink:https://dl.example/u.exe";
  ASSERT_TRUE(f.check());
  EXPECT_TRUE(f.t.host.questions.empty());
  EXPECT_EQ(readBytes(f.t.ws->userFile("lui.txt")), "1.1.147\r\n");
  EXPECT_EQ(readLastUpdateInfo(*f.t.ws), "1.1.147");

  // The next run offers the same version again: now the user may decline.
  f.t.host.messages.clear();
  f.t.host.answers = {false};
  EXPECT_FALSE(f.check());
  EXPECT_EQ(f.t.host.questions.size(), 1u);
  EXPECT_TRUE(f.t.host.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(f.updater()));

  f.t.host.answers = {true};
  EXPECT_TRUE(f.check());
  EXPECT_EQ(f.t.host.questions.size(), 2u);

  // A newer version than the one offered last is a first offer again.
  f.net.page = "Version:1.1.148\r\nLink:https://dl.example/u.exe";
  EXPECT_TRUE(f.check());
  EXPECT_EQ(f.t.host.questions.size(), 2u);
  EXPECT_EQ(readLastUpdateInfo(*f.t.ws), "1.1.148");
}

TEST(UpdateCheck, OnlyACompleteDownloadIsKeptAndStarted) {
  struct Case {
    const char* what;
    DownloadOutcome outcome;
    std::string lengthMin;
    bool kept;
  };
  const Case cases[] = {
      {"no content length", {}, "0", true},
      {"announced length met", {false, "", 0, 4096}, "0", true},
      {"cut short", {false, "", 0, 9000}, "0", false},
      {"transfer error", {false, "Connection closed", 0, std::nullopt}, "0", false},
      {"cancelled", {true, "", 0, std::nullopt}, "0", false},
      {"shorter than Lengthmin", {}, "5000", false},
      {"at Lengthmin", {}, "4096", true},
  };
  for (const Case& c : cases) {
    UpdateFixture f;
    f.net.page = std::string("Version:1.1.147\nLink:https://dl.example/u.exe\nLengthmin:") + c.lengthMin;
    f.net.outcome = c.outcome;
    EXPECT_EQ(f.check(), c.kept) << c.what;
    EXPECT_EQ(f.state.updatePending, c.kept) << c.what;
    EXPECT_EQ(std::filesystem::exists(f.updater()), c.kept) << c.what;
    // A cancel has been reported by the download window; other failures are reported here.
    const std::size_t expected = c.kept ? 2 : c.outcome.cancelled ? 1 : 2;
    EXPECT_EQ(f.t.host.messages.size(), expected) << c.what;
    if (!c.kept && !c.outcome.cancelled) {
      EXPECT_EQ(f.t.host.messages.back(), "Das Update konnte nicht vollständig geladen werden.");
    }

    EXPECT_EQ(installUpdater(*f.t.ws, f.state), false) << c.what;  // the host starts nothing
    EXPECT_EQ(f.t.host.started.size(), c.kept ? 1u : 0u) << c.what;
  }
}

TEST(UpdateCheck, InstallStartsOnlyTheFileThisRunDownloaded) {
  UpdateFixture f;
  f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe";
  ASSERT_TRUE(f.check());
  f.t.host.messages.clear();
  f.t.host.onStart = [](const RecordingHost::Started&) { return true; };

  UpdateState replaced = f.state;
  writeBytes(f.updater(), "something else");
  EXPECT_FALSE(installUpdater(*f.t.ws, replaced));
  UpdateState gone = f.state;
  std::filesystem::remove(f.updater());
  EXPECT_FALSE(installUpdater(*f.t.ws, gone));
  EXPECT_TRUE(f.t.host.messages.empty());
  EXPECT_TRUE(f.t.host.started.empty());

  UpdateState notPending;
  writeBytes(f.updater(), f.net.body);
  EXPECT_FALSE(installUpdater(*f.t.ws, notPending));

  ASSERT_TRUE(installUpdater(*f.t.ws, f.state));
  EXPECT_EQ(f.t.host.messages, std::vector<std::string>{"Das Update wird nun installiert!"});
  EXPECT_EQ(f.t.host.waited, std::chrono::milliseconds(1000));
  ASSERT_EQ(f.t.host.started.size(), 1u);
  EXPECT_EQ(f.t.host.started[0].program, f.updater());
  EXPECT_EQ(f.t.host.started[0].workingDir, f.t.ws->root());
  EXPECT_FALSE(installUpdater(*f.t.ws, f.state));  // once
}

TEST(UpdateCheck, EnglishTexts) {
  UpdateFixture f;
  f.t.ws->language.switchLanguage("ENGLISCH", f.t.ws->resFolder());
  f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe";
  ASSERT_TRUE(f.check());
  f.t.host.onStart = [](const RecordingHost::Started&) { return true; };
  installUpdater(*f.t.ws, f.state);
  f.net.outcome.error = "x";
  f.check();
  EXPECT_TRUE(f.t.ws->language.missingTexts().empty());
}

}  // namespace
}  // namespace zorvik
