// The update check: page markers, version numbers, the immediate-update marker, the
// last-offer bookkeeping, trusted download addresses and the updater started at shutdown.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "model/settings.hpp"
#include "test_support.hpp"
#include "text/strings.hpp"
#include "update/sha256.hpp"
#include "update/update_check.hpp"
#include "update/update_page.hpp"
#include "workspace/workspace.hpp"

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
  std::vector<std::string> fetched, downloaded, opened;
  std::vector<std::uint64_t> limits;

  std::string fetchPage(const std::string& address) override {
    fetched.push_back(address);
    return page;
  }
  DownloadOutcome download(const std::string& address, const std::filesystem::path& target,
                           std::uint64_t sizeLimit) override {
    downloaded.push_back(address);
    limits.push_back(sizeLimit);
    // As the window does: never more than the limit on the disk.
    const bool over = body.size() > sizeLimit;
    writeBytes(target, over ? body.substr(0, sizeLimit) : body);
    DownloadOutcome o = outcome;
    if (!o.cancelled) o.bytes = over ? sizeLimit : body.size();
    o.overLimit = over;
    return o;
  }
  bool openInBrowser(const std::string& address) override {
    opened.push_back(address);
    return true;
  }
};

// The digest and size lines a current page carries for the given updater.
std::string describing(const std::string& body) {
  return "\nSHA256:" + sha256Hex(body) + "\nSize:" + std::to_string(body.size()) + "\n";
}

struct UpdateFixture {
  UpdateFixture() {
    t.ws->settings.updateUrl = "https://zorvik.example/update.txt";
    t.ws->settings.updateHosts = "dl.example";
  }
  // A current page offering the version with the scripted body.
  void offer(const std::string& version, const std::string& link = "https://dl.example/u.exe") {
    net.page = "Version:" + version + "\r\nLink:" + link + describing(net.body);
  }
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

TEST(UpdatePage, DigestAndSizeMarkers) {
  const std::string hash(64, 'a');
  struct Case {
    std::string page;
    bool hasDigest;
    bool usable;
    std::uint64_t size;
  };
  const Case cases[] = {
      {"Version:1.0.0\nSHA256:" + hash + "\nSize:40000\n", true, true, 40000},
      {"Version:1.0.0 sha256:" + std::string(64, 'F') + " size:1", true, true, 1},  // any letter case
      {"Version:1.0.0\nLink:https://a.example/u.exe\nLengthmin:10", false, false, 0},  // an old page
      {"Version:1.0.0\nSHA256:" + hash + "\n", true, false, 0},                        // no size
      {"Version:1.0.0\nSHA256:" + hash.substr(1) + "\nSize:5", true, false, 0},        // 63 digits
      {"Version:1.0.0\nSHA256:" + hash + "0\nSize:5", true, false, 0},                 // 65 digits
      {"Version:1.0.0\nSHA256:" + hash.substr(1) + "g\nSize:5", true, false, 0},       // not hex
      {"Version:1.0.0\nSHA256: " + hash + "\nSize:5", true, false, 0},                 // blank first
      {"Version:1.0.0\nSHA256:" + hash + "\nSize:0", true, false, 0},
      {"Version:1.0.0\nSHA256:" + hash + "\nSize:-5", true, false, 0},
      {"Version:1.0.0\nSHA256:" + hash + "\nSize:12kB", true, false, 0},
      {"Version:1.0.0\nSHA256:" + hash + "\nSize:99999999999999999999", true, false, 0},
  };
  for (const Case& c : cases) {
    const UpdatePage p = parseUpdatePage(c.page);
    EXPECT_EQ(p.hasDigest, c.hasDigest) << c.page;
    const auto expected = expectedFileOf(p);
    ASSERT_EQ(expected.has_value(), c.usable) << c.page;
    if (expected) {
      EXPECT_EQ(expected->size, c.size);
      EXPECT_EQ(expected->sha256, toLower(p.sha256));
      EXPECT_EQ(expected->sha256.find_first_of("ABCDEF"), std::string::npos);
    }
  }
}

TEST(Sha256, KnownVectors) {
  // FIPS 180-4 examples, plus lengths around the padding boundary (55, 56, 64 bytes).
  struct Case {
    std::string input;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) EXPECT_EQ(sha256Hex(c.input), c.digest) << c.input.size() << " bytes";

  // Fed in pieces that straddle block boundaries, the digest is the same.
  const std::string& million = cases[6].input;
  Sha256 pieces;
  for (std::size_t at = 0, step = 1; at < million.size(); at += step, step = step % 131 + 7)
    pieces.add(std::string_view(million).substr(at, step));
  EXPECT_EQ(pieces.hexDigest(), cases[6].digest);

  TestWorkspace t;
  const auto file = t.ws->root() / "abc.bin";
  writeBytes(file, "abc");
  EXPECT_EQ(sha256HexOfFile(file), std::optional<std::string>(cases[1].digest));
  EXPECT_EQ(sha256HexOfFile(t.ws->root() / "missing.bin"), std::nullopt);
  EXPECT_EQ(sha256HexOfFile(t.ws->root()), std::nullopt);  // a folder is not a file
}

TEST(UpdatePage, AddressesAreParsedNotCut) {
  EXPECT_EQ(pageAddress("zorvik.example/u.txt"), "https://zorvik.example/u.txt");
  EXPECT_EQ(pageAddress("HTTPS://zorvik.example/u.txt"), "HTTPS://zorvik.example/u.txt");
  EXPECT_EQ(pageAddress("http://127.0.0.1:8080/u.txt"), "http://127.0.0.1:8080/u.txt");

  struct Case {
    const char* address;
    bool parses;
    const char* host;
    int port;
    bool loopback;
  };
  const Case cases[] = {
      {"https://Zorvik.Example/u.txt", true, "zorvik.example", 443, false},
      {"HTTP://localhost", true, "localhost", 80, true},
      {"http://127.0.0.1:8080/x?a=b@c", true, "127.0.0.1", 8080, true},  // "@" after the path is no user
      {"http://127.255.1.9", true, "127.255.1.9", 80, true},
      {"http://[::1]:99/page", true, "[::1]", 99, true},
      {"http://127.0.0.1\\@evil.example/x.exe", false, "", 0, false},
      {"http://127.0.0.1@evil.example/x.exe", false, "", 0, false},
      {"http://user:pw@127.0.0.1/x.exe", false, "", 0, false},
      {"http://127.evil.example/u.exe", true, "127.evil.example", 80, false},
      {"http://127.0.0.1.evil.example/", true, "127.0.0.1.evil.example", 80, false},
      {"http://127.0.0.300/", true, "127.0.0.300", 80, false},
      {"http://127.1/", true, "127.1", 80, false},
      {"http://127.0.0.1 @evil.example/", false, "", 0, false},
      {"http://127.0.0.1%2F@evil.example/", false, "", 0, false},
      {"http://127.0.0.1\t/", false, "", 0, false},
      {"http://127.0.0.1:0/", false, "", 0, false},
      {"http://127.0.0.1:65536/", false, "", 0, false},
      {"http://127.0.0.1:/", false, "", 0, false},
      {"http://127.0.0.1:80:81/", false, "", 0, false},
      {"http://[::1/", false, "", 0, false},
      {"http://[::1]x/", false, "", 0, false},
      {"http:///x", false, "", 0, false},
      {"ftp://dl.example/u.exe", false, "", 0, false},
      {"dl.example/u.exe", false, "", 0, false},
      {"https://dl.\xc3\xa9xample/u.exe", false, "", 0, false},
      {"", false, "", 0, false},
  };
  for (const Case& c : cases) {
    const auto parsed = parseWebAddress(c.address);
    ASSERT_EQ(parsed.has_value(), c.parses) << c.address;
    EXPECT_EQ(isLoopbackAddress(c.address), c.loopback) << c.address;
    if (!parsed) continue;
    EXPECT_EQ(parsed->host, c.host);
    EXPECT_EQ(parsed->port, c.port);
  }
}

TEST(UpdatePage, PageOverHttpsAndFileFromItsHost) {
  struct PageCase {
    const char* page;
    bool allowed;
  };
  const PageCase pages[] = {
      {"https://zorvik.example/u.txt", true},
      {"http://zorvik.example/u.txt", false},
      {"http://127.0.0.1:8080/page", true},
      {"http://localhost/page", true},
      {"http://127.0.0.1\\@evil.example/page", false},
      {"http://127.0.0.1@evil.example/page", false},
      {"ftp://zorvik.example/u.txt", false},
  };
  for (const PageCase& c : pages) EXPECT_EQ(pageAddressAllowed(c.page), c.allowed) << c.page;
  EXPECT_TRUE(pageAddressAllowed(pageAddress("zorvik.example/u.txt")));

  EXPECT_EQ(trustedUpdateHosts(" DL.example;cdn.example  ;; other.example "),
            (std::vector<std::string>{"dl.example", "cdn.example", "other.example"}));
  EXPECT_TRUE(trustedUpdateHosts("").empty());

  struct Case {
    const char* link;
    const char* page;
    std::vector<std::string> extra;
    bool allowed;
  };
  const Case cases[] = {
      {"https://zorvik.example/ZorvikUpdate.exe", "https://zorvik.example/u.txt", {}, true},
      {"HTTPS://ZORVIK.example:8443/u.exe", "https://zorvik.example/u.txt", {}, true},
      {"https://dl.example/u.exe", "https://zorvik.example/u.txt", {}, false},  // foreign host
      {"https://dl.example/u.exe", "https://zorvik.example/u.txt", {"dl.example"}, true},
      {"https://dl.example.evil/u.exe", "https://zorvik.example/u.txt", {"dl.example"}, false},
      {"https://zorvik.example/u.exe", "http://zorvik.example/u.txt", {}, false},  // page not https
      {"http://zorvik.example/u.exe", "https://zorvik.example/u.txt", {}, false},
      {"ftp://zorvik.example/u.exe", "https://zorvik.example/u.txt", {}, false},
      {"zorvik.example/u.exe", "https://zorvik.example/u.txt", {}, false},
      {"", "https://zorvik.example/u.txt", {}, false},
      {"https://", "https://zorvik.example/u.txt", {}, false},
      {"https://evil.example@zorvik.example/u.exe", "https://zorvik.example/u.txt", {}, false},
      {"https://zorvik.example\\@evil.example/u.exe", "https://zorvik.example/u.txt", {}, false},
      {"http://127.0.0.1:8080/u.exe", "http://127.0.0.1:8080/page", {}, true},
      {"http://localhost/u.exe", "http://[::1]:99/page", {}, true},
      {"http://127.0.0.1/u.exe", "http://zorvik.example/page", {}, false},  // page from outside
      {"http://dl.example/u.exe", "http://127.0.0.1/page", {"dl.example"}, false},  // file from outside
      {"https://evil.example/u.exe", "http://127.0.0.1/page", {}, false},
      {"http://127.0.0.1@evil.example/u.exe", "http://127.0.0.1/page", {}, false},
      {"http://127.0.0.1\\@evil.example/x.exe", "http://127.0.0.1/page", {}, false},
      {"http://127.evil.example/u.exe", "http://127.0.0.1/page", {}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(downloadAddressAllowed(c.link, c.page, c.extra), c.allowed) << c.link << " " << c.page;
}

TEST(UpdateCheck, FurtherHostsComeFromTheSettings) {
  TestWorkspace t;
  Settings read;
  parseSettings({"UPDATEURL=https://zorvik.example/u.txt", "UPDATEHOSTS=DL.example;cdn.example"}, read,
                t.ws->language, t.ws->resFolder());
  EXPECT_EQ(read.updateHosts, "DL.example;cdn.example");
  const auto lines = settingsLines(read, t.ws->language);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "UPDATEHOSTS=DL.example;cdn.example"), lines.end());
  const auto plain = settingsLines(Settings{}, t.ws->language);
  EXPECT_TRUE(std::none_of(plain.begin(), plain.end(), [](const std::string& l) { return l.starts_with("UPDATEHOSTS"); }));

  // Without the setting, a file on another host than the page's is refused.
  for (const bool trusted : {true, false}) {
    UpdateFixture f;
    f.t.ws->settings.updateHosts = trusted ? "cdn.example dl.example" : "";
    f.offer("1.1.147");
    EXPECT_EQ(f.check(), trusted);
    EXPECT_EQ(f.net.downloaded.size(), trusted ? 1u : 0u);
  }
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
    f.offer(c.version, "https://dl.example/ZorvikUpdate.exe");
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
                                  "Version:1.1.147\nLink:http://dl.example/u.exe" + describing("x"),
                                  "Version:1.1.147\nLink:https://evil.example/u.exe" + describing("x"),
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
  once.offer("1.1.147");
  EXPECT_TRUE(checkForUpdate(*once.t.ws, once.net, once.state, kRunning));
  EXPECT_FALSE(checkForUpdate(*once.t.ws, once.net, once.state, kRunning));
  EXPECT_EQ(once.net.fetched.size(), 1u);
}

TEST(UpdateCheck, FirstOfferIsANoticeTheSecondAQuestion) {
  UpdateFixture f;
  f.net.page = "Version:1.1.147 \nLink:https://dl.example/u.exe" + describing(f.net.body);
  ASSERT_TRUE(f.check());
  EXPECT_TRUE(f.t.host.questions.empty());
  EXPECT_EQ(readBytes(f.t.ws->userFile("lui.txt")), "1.1.147\r\n");
  EXPECT_EQ(readLastUpdateInfo(f.t.ws->userFolder()), "1.1.147");

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
  f.offer("1.1.148");
  EXPECT_TRUE(f.check());
  EXPECT_EQ(f.t.host.questions.size(), 2u);
  EXPECT_EQ(readLastUpdateInfo(f.t.ws->userFolder()), "1.1.148");
}

TEST(UpdateCheck, OnlyACompleteMatchingDownloadIsKeptAndStarted) {
  const std::string described(4096, 'x');
  std::string tampered = described;
  tampered[2000] = 'y';
  const std::string incomplete = "Das Update konnte nicht vollständig geladen werden.";
  const std::string wrongDigest =
      "Das Update wurde verworfen: seine Prüfsumme (SHA-256) stimmt nicht mit der Update-Seite überein.";
  const std::string tooLong =
      "Das Update wurde verworfen: es ist größer, als die Update-Seite angibt. Bytes laut Seite: 4096";
  struct Case {
    const char* what;
    DownloadOutcome outcome;
    std::string lengthMin;
    std::string served;  // what arrives; the page describes `described`
    bool kept;
    std::string why;     // the last message when not kept (a cancel was reported by the window)
  };
  const Case cases[] = {
      {"no content length", {}, "0", described, true, ""},
      {"announced length met", {false, "", 0, 4096}, "0", described, true, ""},
      {"cut short", {false, "", 0, 9000}, "0", described, false, incomplete},
      {"transfer error", {false, "Connection closed", 0, std::nullopt}, "0", described, false, incomplete},
      {"cancelled", {true, "", 0, std::nullopt}, "0", described, false, ""},
      {"shorter than Lengthmin", {}, "5000", described, false, incomplete},
      {"at Lengthmin", {}, "4096", described, true, ""},
      {"cut short without a length", {}, "0", described.substr(0, 1000), false, incomplete},
      {"cut short, length agrees", {false, "", 0, 1000}, "0", described.substr(0, 1000), false, incomplete},
      {"longer than the page says", {}, "0", described + "MZ", false, incomplete},
      // An endless body: cut off a margin past the page's size, never written in full.
      {"far longer than the page says", {}, "0", described + std::string(1 << 20, 'x'), false, tooLong},
      {"other content, same size", {}, "0", tampered, false, wrongDigest},
      {"other content, announced", {false, "", 0, 4096}, "0", tampered, false, wrongDigest},
  };
  for (const Case& c : cases) {
    UpdateFixture f;
    f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe\nLengthmin:" + c.lengthMin + describing(described);
    f.net.body = c.served;
    f.net.outcome = c.outcome;
    EXPECT_EQ(f.check(), c.kept) << c.what;
    EXPECT_EQ(f.net.limits, std::vector<std::uint64_t>{4096 + kDownloadMargin}) << c.what;
    EXPECT_EQ(f.state.updatePending, c.kept) << c.what;
    EXPECT_EQ(std::filesystem::exists(f.updater()), c.kept) << c.what;
    const std::size_t expected = c.kept ? 2 : c.outcome.cancelled ? 1 : 2;
    EXPECT_EQ(f.t.host.messages.size(), expected) << c.what;
    if (!c.kept && !c.why.empty()) {
      EXPECT_EQ(f.t.host.messages.back(), c.why) << c.what;
    }

    EXPECT_EQ(installUpdater(*f.t.ws, f.state), false) << c.what;  // the host starts nothing
    EXPECT_EQ(f.t.host.started.size(), c.kept ? 1u : 0u) << c.what;
  }
}

TEST(UpdateCheck, PageWithoutDigestOnlyOffersTheLink) {
  for (const bool open : {true, false}) {
    UpdateFixture f;
    f.net.page = "Version:1.1.147\nLink:https://dl.example/ZorvikUpdate.exe\nLengthmin:1000";
    writeBytes(f.updater(), "left from an earlier run");
    f.t.host.answers = {open};
    EXPECT_FALSE(f.check());
    EXPECT_FALSE(f.state.updatePending);
    EXPECT_TRUE(f.net.downloaded.empty());
    EXPECT_FALSE(std::filesystem::exists(f.updater()));
    ASSERT_EQ(f.t.host.questions.size(), 1u);
    EXPECT_EQ(f.t.host.questions[0],
              "Es ist eine neuere Version 1.1.147 von Zorvik verfügbar!\r\nDie Update-Seite nennt keine Prüfsumme, "
              "daher wird das Update nicht automatisch installiert. Download-Adresse im Browser öffnen?\r\n"
              "https://dl.example/ZorvikUpdate.exe");
    EXPECT_EQ(f.net.opened, open ? std::vector<std::string>{"https://dl.example/ZorvikUpdate.exe"}
                                 : std::vector<std::string>{});
    f.t.host.onStart = [](const RecordingHost::Started&) { return true; };
    EXPECT_FALSE(installUpdater(*f.t.ws, f.state));
    EXPECT_TRUE(f.t.host.started.empty());
  }
  // Not even the browser is sent to a link the page may not name.
  UpdateFixture foreign;
  foreign.net.page = "Version:1.1.147\nLink:https://evil.example/ZorvikUpdate.exe";
  foreign.t.host.answers = {true};
  EXPECT_FALSE(foreign.check());
  EXPECT_TRUE(foreign.t.host.questions.empty());
  EXPECT_TRUE(foreign.net.opened.empty());
}

TEST(UpdateCheck, BrokenDigestOrSizeOrPlainPageIsRefused) {
  const std::string body(4096, 'x');
  for (const std::string& tail :
       std::vector<std::string>{"\nSHA256:" + sha256Hex(body), "\nSHA256:" + sha256Hex(body) + "\nSize:4k",
                                "\nSHA256:abc\nSize:4096", "\nSHA256:\nSize:4096"}) {
    UpdateFixture f;
    f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe" + tail;
    f.t.host.answers = {true};
    EXPECT_FALSE(f.check()) << tail;
    EXPECT_TRUE(f.net.downloaded.empty()) << tail;
    EXPECT_TRUE(f.net.opened.empty()) << tail;
    EXPECT_TRUE(f.t.host.messages.empty()) << tail;
    ASSERT_FALSE(f.t.host.statuses.empty());
    EXPECT_EQ(f.t.host.statuses.back(), "Update-Seite fehlerhaft: Prüfsumme (SHA256:) oder Größe (Size:) ungültig");
  }

  // A page address anyone on the way could rewrite is never asked for.
  for (const char* address : {"http://zorvik.example/update.txt", "http://127.0.0.1\\@evil.example/u.txt",
                              "ftp://zorvik.example/update.txt"}) {
    UpdateFixture f;
    f.t.ws->settings.updateUrl = address;
    f.offer("1.1.147");
    EXPECT_FALSE(f.check());
    EXPECT_TRUE(f.net.fetched.empty()) << address;
    ASSERT_FALSE(f.t.host.statuses.empty());
    EXPECT_EQ(f.t.host.statuses.back(), std::string("Update-Seite abgelehnt (nur https): ") + address);
  }
  // A bare address is asked for over https.
  UpdateFixture bare;
  bare.t.ws->settings.updateUrl = " zorvik.example/update.txt ";
  bare.offer("1.1.147");
  EXPECT_TRUE(bare.check());
  EXPECT_EQ(bare.net.fetched, std::vector<std::string>{"https://zorvik.example/update.txt"});
}

TEST(UpdateCheck, InstallStartsOnlyTheFileThisRunDownloaded) {
  UpdateFixture f;
  f.offer("1.1.147");
  ASSERT_TRUE(f.check());
  f.t.host.messages.clear();
  f.t.host.onStart = [](const RecordingHost::Started&) { return true; };

  UpdateState replaced = f.state;
  writeBytes(f.updater(), "something else");
  EXPECT_FALSE(installUpdater(*f.t.ws, replaced));
  // Swapped for a file of the same size: only the digest tells.
  UpdateState swapped = f.state;
  std::string sameSize = f.net.body;
  sameSize.back() = 'Z';
  writeBytes(f.updater(), sameSize);
  EXPECT_FALSE(installUpdater(*f.t.ws, swapped));
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
  f.offer("1.1.147");
  ASSERT_TRUE(f.check());
  f.t.host.onStart = [](const RecordingHost::Started&) { return true; };
  installUpdater(*f.t.ws, f.state);
  f.net.outcome.error = "x";
  f.check();
  f.net.outcome.error.clear();
  f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe" + describing(std::string(f.net.body.size(), 'y'));
  f.check();
  f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe";
  f.check();
  f.net.page = "Version:1.1.147\nLink:https://dl.example/u.exe\nSHA256:x";
  f.check();
  f.net.page = "Version:1.1.147\nLink:https://evil.example/u.exe" + describing(f.net.body);
  f.check();
  f.t.ws->settings.updateUrl = "http://zorvik.example/u.txt";
  f.check();
  EXPECT_TRUE(f.t.ws->language.missingTexts().empty());
  const auto& said = f.t.host.messages;
  EXPECT_NE(std::find(said.begin(), said.end(), "The update was discarded: its checksum (SHA-256) does not match the update page."),
            said.end());
  ASSERT_FALSE(f.t.host.statuses.empty());
  EXPECT_EQ(f.t.host.statuses.back(), "Update page refused (https only): http://zorvik.example/u.txt");
}

TEST(UpdateCheck, AskedFromTheMenuItSaysWhatItFound) {
  struct Case {
    std::string url;
    std::string page;  // empty: nothing came back
    std::string said;  // the one message; empty when the offer spoke for itself
  };
  const std::string newer = "Version:1.1.147\r\nLink:https://dl.example/u.exe" + describing(std::string(4096, 'x'));
  const Case cases[] = {
      {"", "", "Es ist keine Update-Seite eingestellt (UPDATEURL in Zorvik.ini)."},
      {"http://zorvik.example/u.txt", "",
       "Die Update-Seite wurde abgelehnt: nur https auf dem Server der Update-Seite ist erlaubt."},
      {"https://zorvik.example/u.txt", "", "Die Update-Seite hat nicht geantwortet. Besteht eine Netzwerkverbindung?"},
      {"https://zorvik.example/u.txt", "<html>Not found</html>",
       "Die Update-Seite nennt keine Version; sie ist keine Update-Seite von Zorvik."},
      {"https://zorvik.example/u.txt", "Version:1.1.146", "Zorvik ist auf dem neuesten Stand. Version: 1.1.146"},
      {"https://zorvik.example/u.txt", newer, ""},
  };
  for (const Case& c : cases) {
    UpdateFixture f;
    f.t.ws->settings.updateUrl = c.url;
    f.net.page = c.page;
    // The check at start-up already ran: asking again still checks.
    f.state.checked = true;
    checkForUpdateAsked(*f.t.ws, f.net, f.state, kRunning, "1.1.146");
    auto said = f.t.host.messages;
    if (c.said.empty()) {
      EXPECT_EQ(f.state.finding, UpdateFinding::Offered) << c.page;
      EXPECT_TRUE(f.state.updatePending);
    } else {
      EXPECT_EQ(said, std::vector<std::string>{c.said}) << c.url << " " << c.page;
    }
  }
  // An update already waiting for the shutdown is not fetched again.
  UpdateFixture f;
  f.offer("1.1.147");
  ASSERT_TRUE(f.check());
  f.t.host.messages.clear();
  checkForUpdateAsked(*f.t.ws, f.net, f.state, kRunning, "1.1.146");
  EXPECT_EQ(f.net.downloaded.size(), 1u);
  EXPECT_EQ(f.t.host.messages,
            std::vector<std::string>{"Das Update ist bereits geladen und wird beim Beenden von Zorvik installiert."});
}

}  // namespace
}  // namespace zorvik
