// Compiling the generated source and installing the Expert Advisor. Most cases run the
// project's substitute compiler for real; the timing cases simulate the compiler on the
// recording host's virtual clock, so ten seconds pass without anybody waiting.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <thread>

#include "model/settings.hpp"
#include "terminal/compile_install.hpp"
#include "terminal/compile_steps.hpp"
#include "test_support.hpp"
#include "workspace/workspace.hpp"

extern char** environ;

namespace zorvik {
namespace {

using namespace std::chrono_literals;
using testing::readBytes;
using testing::sourceDir;
using testing::TestWorkspace;
using testing::writeBytes;

const std::string kFailed = "Der EA konnte nicht erzeugt werden !";
const std::string kCreated = "Ok - der Expert Advisor >Trend< wurde erfolgreich erzeugt";

std::string completeSource() { return readBytes(sourceDir() / "tests/fixtures/compile/complete_expert.mq4"); }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Starts programs for real (the substitute compiler) and follows them with waitpid. Time is
// still the recording host's virtual clock; each "wait" really sleeps a share of it, so the
// compiler gets a few seconds of real time (a sanitizer build starts slowly on a busy
// machine) before its ten virtual seconds are up.
class SpawningHost : public RecordingHost {
 public:
  int startWatchedProgram(const fs::path& program, const std::vector<std::string>& args,
                          const fs::path& workingDir) override {
    started.push_back({program, args, workingDir, true});
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return 0;
    children.push_back(pid);
    if (afterStart) afterStart();
    return pid;
  }
  std::optional<int> programExitCode(int handle) override {
    if (auto it = exitCodes.find(handle); it != exitCodes.end()) return it->second;
    int status = 0;
    if (::waitpid(handle, &status, WNOHANG) != handle) return std::nullopt;
    return exitCodes[handle] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void processEvents(std::chrono::milliseconds d) override {
    RecordingHost::processEvents(d);
    std::this_thread::sleep_for(d / realShare);
  }
  int realShare = 2;  // 10 virtual seconds are 5 real ones
  std::function<void()> afterStart;  // runs once each program has been started
  // Waits for every started child, so none outlives its test folder.
  void reapAll() {
    for (pid_t pid : children)
      if (!exitCodes.count(pid)) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        exitCodes[pid] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
  }
  ~SpawningHost() override { reapAll(); }
  std::vector<pid_t> children;
};

// A working folder with res/ and user/ and a MetaTrader folder "MT4" holding "experts".
struct CompileFixture : ::testing::Test {
  CompileFixture() {
    mt = t.dir.path() / "MT4";
    fs::create_directories(mt / "experts");
    t.ws->settings.metatraderFolder = mt.string();
  }
  Workspace& ws() { return *t.ws; }
  fs::path user(const std::string& name) { return t.ws->userFile(name); }
  void writeSource(const std::string& text = completeSource()) { writeBytes(user("_Zorvik.mq4"), text); }

  TestWorkspace t;
  fs::path mt;
};

// Same, on a host that really runs the substitute compiler.
struct RealCompilerTest : ::testing::Test {
  RealCompilerTest() {
    ws = std::make_unique<Workspace>(t.dir.path(), host);
    ws->startUp();
    mt = t.dir.path() / "MT4";
    fs::create_directories(mt / "experts");
    ws->settings.metatraderFolder = mt.string();
  }
  fs::path user(const std::string& name) { return ws->userFile(name); }
  void writeSource(const std::string& text = completeSource()) { writeBytes(user("_Zorvik.mq4"), text); }
  // Puts the substitute compiler in place of a program of the terminal or of res/.
  void installCompiler(const fs::path& as, const std::string& config = "") {
    fs::create_symlink(ZORVIK_FAKE_METALANG, as);
    if (!config.empty()) writeBytes(fs::path(as.string() + ".cfg"), config);
  }

  TestWorkspace t{false, false};
  SpawningHost host;
  std::unique_ptr<Workspace> ws;
  fs::path mt;
};

TEST_F(RealCompilerTest, CompilesRenamesAndInstallsReplacingAnEarlierEa) {
  installCompiler(ws->resFile("metalang.exe"));
  fs::create_directories(mt / "MQL4" / "Experts");
  writeBytes(mt / "experts" / "Trend.ex4", "older build");
  writeSource();

  const CompileReport r = compileAndInstall(*ws, "Trend");

  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.outcome, CompileOutcome::Created);
  EXPECT_EQ(host.messages, std::vector<std::string>{kCreated});
  EXPECT_EQ(host.sounds, std::vector<Sound>{Sound::Generate});
  EXPECT_EQ(host.libraryRefreshes, 1);
  ASSERT_EQ(host.started.size(), 1u);
  // The compiler works on a copy in a fresh folder of this run, which goes once it ended.
  EXPECT_EQ(host.started[0].args, std::vector<std::string>{"_Zorvik.mq4"});
  EXPECT_EQ(host.started[0].workingDir.parent_path(), user("_Zorvik.runs"));
  EXPECT_FALSE(fs::exists(host.started[0].workingDir));

  const std::string ea = readBytes(user("Trend.ex4"));
  EXPECT_EQ(ea.rfind("FAKE-EX4 _Zorvik.mq4", 0), 0u);
  EXPECT_EQ(readBytes(mt / "experts" / "Trend.ex4"), ea);
  EXPECT_EQ(readBytes(mt / "MQL4" / "Experts" / "Trend.ex4"), ea);
  EXPECT_EQ(r.installed.size(), 2u);
  for (const char* gone : {"_Zorvik.mq4", "_Zorvik.ex4", "Trend.mq4"}) EXPECT_FALSE(fs::exists(user(gone))) << gone;
}

// Our own check stops a faulty source before any compiler sees it, lists the faults and keeps
// the source under the EA's name for the trader to look at.
TEST_F(RealCompilerTest, FaultySourceIsStoppedByTheCheckAndKept) {
  installCompiler(ws->resFile("metalang.exe"));
  const std::string good = completeSource();
  const struct {
    const char* fault;
    std::string source;
    const char* line;
  } cases[] = {
      {"unbalanced brace", replaced(good, "void exit_long() {\r\n}", "void exit_long() {\r\n"), "Trend.mq4(74,18): error: '{' - unbalanced parentheses"},
      {"unbalanced parenthesis", replaced(good, "return(0);\r\n}\r\ndouble", "return(0;\r\n}\r\ndouble"), "Trend.mq4(28,9): error: '(' - unbalanced parentheses"},
      {"empty value", replaced(good, "int thr2 = 0;", "int thr2 = ;"), "Trend.mq4(11,12): error: ';' - expression expected"},
      {"empty comparison", replaced(good, "if (lots >=0.1) {", "if (lots >=) {"), "Trend.mq4(68,16): error: ')' - expression expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    host.messages.clear();
    writeBytes(user("Trend.ex4"), "from an earlier run");
    writeSource(c.source);

    const CompileReport r = compileAndInstall(*ws, "Trend");

    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
    ASSERT_FALSE(r.checkMessages.empty());
    EXPECT_EQ(r.checkMessages[0].rfind(c.line, 0), 0u) << r.checkMessages[0];
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], kFailed + "\nDie Prüfung des Quelltexts hat Fehler gefunden:\n" + r.checkMessages[0] +
                                    "\nDer Quelltext wurde behalten:\n" + user("Trend.mq4").string());
    EXPECT_EQ(readBytes(user("Trend.mq4")), c.source);
    for (const char* gone : {"Trend.ex4", "_Zorvik.mq4", "_Zorvik.ex4"}) EXPECT_FALSE(fs::exists(user(gone))) << gone;
    EXPECT_FALSE(fs::exists(mt / "experts" / "Trend.ex4"));
  }
  EXPECT_TRUE(host.started.empty());
  EXPECT_TRUE(host.sounds.empty());
}

// What passes our check and still fails the compiler leaves no EA either.
TEST_F(RealCompilerTest, SourceTheCompilerRejectsLeavesNoEa) {
  installCompiler(ws->resFile("metalang.exe"));
  writeBytes(user("Trend.ex4"), "from an earlier run");
  // Well-formed MQL4, but the substitute compiler wants every function of a generated EA.
  writeSource(replaced(completeSource(), "void trail_sl() {", "void trail_stop() {"));

  const CompileReport r = compileAndInstall(*ws, "Trend");

  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  EXPECT_TRUE(r.checkMessages.empty());
  EXPECT_EQ(host.messages, std::vector<std::string>{kFailed + "\nDer Compiler hat sich ohne Ergebnis beendet, Rückgabewert 1"});
  for (const char* gone : {"Trend.ex4", "_Zorvik.mq4", "_Zorvik.ex4"}) EXPECT_FALSE(fs::exists(user(gone))) << gone;
  EXPECT_FALSE(fs::exists(mt / "experts" / "Trend.ex4"));
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(RealCompilerTest, SlowCompilerFailsAndItsLateOutputIsDeletedByTheNextRun) {
  const fs::path release = t.dir.path() / "release";
  installCompiler(ws->resFile("metalang.exe"), "wait_for=" + release.string() + "\n");
  host.realShare = 100;  // the compiler is held anyway: no need to give it real time
  writeSource();

  const CompileReport r = compileAndInstall(*ws, "Trend");

  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  EXPECT_EQ(host.messages, std::vector<std::string>{kFailed});
  EXPECT_GT(host.waited, 10s);
  EXPECT_LE(host.waited, 10s + kWaitStep);

  // The compiler finishes after all and writes its output into its run's folder.
  writeBytes(release, "");
  host.reapAll();
  const fs::path lateRun = host.started[0].workingDir;
  ASSERT_TRUE(fs::exists(lateRun / "_Zorvik.ex4"));

  // The next run must not mistake that file for its own result, and clears it away.
  writeBytes(ws->resFile("metalang.exe.cfg"), "fail=1\n");
  host.messages.clear();
  writeSource();
  EXPECT_EQ(compileAndInstall(*ws, "Trend").outcome, CompileOutcome::NotCreated);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].rfind(kFailed, 0), 0u);
  EXPECT_FALSE(fs::exists(lateRun));
  EXPECT_FALSE(fs::exists(user("Trend.ex4")));
}

// The worst case: the compiler of a timed-out run finishes while the next run's compiler is
// still at work and then fails. Compiling in one shared folder, the next run found the late
// output and installed it as its own.
TEST_F(RealCompilerTest, LateOutputArrivingDuringTheNextRunIsNotTakenForItsResult) {
  const fs::path release = t.dir.path() / "release";
  installCompiler(ws->resFile("metalang.exe"), "wait_for=" + release.string() + "\n");
  host.realShare = 100;
  writeSource();
  ASSERT_EQ(compileAndInstall(*ws, "Trend").outcome, CompileOutcome::NotCreated);

  writeBytes(ws->resFile("metalang.exe.cfg"), "delay_ms=1500\nfail=1\n");
  host.realShare = 2;
  host.afterStart = [&] { writeBytes(release, ""); };
  host.messages.clear();
  writeSource();

  const CompileReport r = compileAndInstall(*ws, "Trend");

  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  EXPECT_EQ(host.messages,
            std::vector<std::string>{kFailed + "\nDer Compiler hat sich ohne Ergebnis beendet, Rückgabewert 1"});
  EXPECT_FALSE(fs::exists(user("Trend.ex4")));
  EXPECT_FALSE(fs::exists(mt / "experts" / "Trend.ex4"));
}

TEST_F(RealCompilerTest, MetaEditorCompilesWhenMetalangIsMissingAndItsErrorsAreQuoted) {
  installCompiler(mt / "metaeditor.exe");
  writeSource();
  EXPECT_EQ(compileAndInstall(*ws, "Trend").outcome, CompileOutcome::Created);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0].program, mt / "metaeditor.exe");
  EXPECT_EQ(host.started[0].args,
            (std::vector<std::string>{"/compile:" + (host.started[0].workingDir / "_Zorvik.mq4").string(), "/log"}));
  EXPECT_TRUE(fs::exists(mt / "experts" / "Trend.ex4"));

  host.messages.clear();
  writeSource(replaced(completeSource(), "void exit_short() {", "void exit_shrt() {"));
  const CompileReport r = compileAndInstall(*ws, "Trend");
  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  ASSERT_EQ(r.compilerMessages.size(), 2u);
  EXPECT_EQ(r.compilerMessages[0], "_Zorvik.mq4(1,1) : error 1: function 'exit_short' is missing");
  EXPECT_EQ(host.messages,
            std::vector<std::string>{kFailed + "\nMeldungen des Compilers:\n" + r.compilerMessages[0] + "\n" +
                                     r.compilerMessages[1]});
  EXPECT_FALSE(fs::exists(user("_Zorvik.log")));
}

TEST_F(RealCompilerTest, DeveloperModeKeepsTheSourceUnderTheEaName) {
  installCompiler(ws->resFile("metalang.exe"));
  ws->settings.developerMode = 1;
  writeBytes(user("Trend.mq4"), "an earlier source");
  writeSource();

  EXPECT_EQ(compileAndInstall(*ws, "Trend").outcome, CompileOutcome::Created);

  EXPECT_EQ(readBytes(user("Trend.mq4")), completeSource());
  EXPECT_EQ(readBytes(mt / "experts" / "Trend.mq4"), completeSource());
  EXPECT_FALSE(fs::exists(user("_Zorvik.mq4")));
  EXPECT_TRUE(fs::exists(user("Trend.ex4")));
}

// ---- simulated compiler on the virtual clock ----

struct SimulatedCompilerTest : CompileFixture {
  // A compiler in res/ that, once started, writes its output into its working folder after
  // `after` and ends then; by default only when it succeeds.
  void compilerWritesAfter(std::chrono::milliseconds after, int exitCode = 0, bool writesOutput = true) {
    writeBytes(ws().resFile("metalang.exe"), "#!/bin/sh\n");
    t.host.onStart = [](const RecordingHost::Started&) { return true; };
    t.host.onWait = [this, after, exitCode, writesOutput](std::chrono::milliseconds waited) {
      if (waited >= after && !t.host.exitCodes.count(1)) {
        if (writesOutput) writeBytes(runFolder() / "_Zorvik.ex4", "EX4");
        t.host.exitCodes[1] = exitCode;
      }
    };
  }
  fs::path runFolder() const { return t.host.started.back().workingDir; }
};

// Without a compiler the check is the verdict: the trader learns that the EA is well-formed but
// not compiled, and finds its source under the EA's name.
TEST_F(SimulatedCompilerTest, MissingCompilerLeavesTheCheckedSourceAndStartsNothing) {
  writeSource();
  const CompileReport r = compileAndInstall(ws(), "Trend");
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.outcome, CompileOutcome::CheckedOnly);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{"Der Compiler kann nicht gefunden werden\n"
                                                      "Der Expert Advisor ist geprüft und fehlerfrei, aber nicht kompiliert.\n"
                                                      "Der Quelltext wurde behalten:\n" +
                                                      user("Trend.mq4").string()});
  EXPECT_TRUE(t.host.started.empty());
  EXPECT_FALSE(fs::exists(user("_Zorvik.mq4")));
  EXPECT_EQ(readBytes(user("Trend.mq4")), completeSource());
  EXPECT_FALSE(fs::exists(user("Trend.ex4")));

  // A faulty source without a compiler fails the same way as with one.
  t.host.messages.clear();
  writeSource(replaced(completeSource(), "int thr2 = 0;", "int thr2 = \"none\";"));
  EXPECT_EQ(compileAndInstall(ws(), "Trend").outcome, CompileOutcome::NotCreated);
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_NE(t.host.messages[0].find("Trend.mq4(11,12): error: '=' - cannot convert 'string' to 'int'"), std::string::npos)
      << t.host.messages[0];
}

TEST_F(SimulatedCompilerTest, CompilerThatNeverEndsIsGivenTenSeconds) {
  writeBytes(ws().resFile("metalang.exe"), "#!/bin/sh\n");
  t.host.onStart = [](const RecordingHost::Started&) { return true; };
  writeSource();

  const CompileReport r = compileAndInstall(ws(), "Trend");

  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(t.host.messages, std::vector<std::string>{kFailed});
  EXPECT_GT(t.host.waited, 10s);
  EXPECT_LE(t.host.waited, 10s + kWaitStep);
  ASSERT_EQ(t.host.started.size(), 1u);
  EXPECT_EQ(t.host.started[0].program, ws().resFile("metalang.exe"));
  EXPECT_EQ(t.host.started[0].workingDir.parent_path(), user("_Zorvik.runs"));
  EXPECT_FALSE(fs::exists(user("_Zorvik.mq4")));
  EXPECT_EQ(t.host.libraryRefreshes, 1);
}

TEST_F(SimulatedCompilerTest, OutputIsRenamedOnlyAfterTheCompilerEnded) {
  // The output shows up at once, but the compiler goes on writing it for another second.
  writeBytes(ws().resFile("metalang.exe"), "#!/bin/sh\n");
  t.host.onStart = [](const RecordingHost::Started& s) {
    writeBytes(s.workingDir / "_Zorvik.ex4", "EX4 part");
    return true;
  };
  t.host.onWait = [this](std::chrono::milliseconds waited) {
    if (waited >= 1s && !t.host.exitCodes.count(1)) {
      writeBytes(runFolder() / "_Zorvik.ex4", "EX4 part and the rest");
      t.host.exitCodes[1] = 0;
    }
  };
  writeSource();

  EXPECT_EQ(compileAndInstall(ws(), "Trend").outcome, CompileOutcome::Created);
  EXPECT_EQ(readBytes(mt / "experts" / "Trend.ex4"), "EX4 part and the rest");
}

TEST_F(SimulatedCompilerTest, RenameThatKeepsFailingIsReportedAfterFiveSeconds) {
  compilerWritesAfter(300ms);
  // A folder in the way of the named EA: it can be neither deleted nor replaced.
  fs::create_directories(user("Trend.ex4") / "inside");
  writeSource();

  const CompileReport r = compileAndInstall(ws(), "Trend");

  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  EXPECT_EQ(t.host.messages,
            std::vector<std::string>{kFailed + "\nDer kompilierte Expert Advisor konnte nicht umbenannt werden: " +
                                     (runFolder() / "_Zorvik.ex4").string() + " -> " + user("Trend.ex4").string()});
  EXPECT_TRUE(t.host.sounds.empty());
  EXPECT_FALSE(fs::exists(mt / "experts" / "Trend.ex4"));
  EXPECT_GT(t.host.waited, 5s);
  EXPECT_LT(t.host.waited, 6s);
}

TEST_F(SimulatedCompilerTest, WhereTheEaGoesDependsOnTheMetatraderFolder) {
  const struct {
    const char* name;
    std::string setting;
    bool createExperts;
    std::string message;
  } cases[] = {
      {"no MetaTrader folder", "", true, kCreated},
      {"experts folder present", "MT4", true, kCreated},
      {"trailing separator", "MT4/", true, kCreated},
      {"experts folder missing", "MT4", false,
       kCreated + "\nDer Expert Advisor konnte nicht in den MetaTrader-Ordner kopiert werden: " +
           (t.dir.path() / "MT4" / "experts").string()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(mt);
    if (c.createExperts) fs::create_directories(mt / "experts");
    ws().settings.metatraderFolder = c.setting;  // relative: counts from the working folder
    t.host.messages.clear();
    t.host.exitCodes.clear();
    t.host.started.clear();
    compilerWritesAfter(200ms);
    writeSource();

    EXPECT_EQ(compileAndInstall(ws(), "Trend").outcome, CompileOutcome::Created);
    EXPECT_EQ(t.host.messages, std::vector<std::string>{c.message});
    EXPECT_TRUE(fs::exists(user("Trend.ex4")));
    EXPECT_EQ(fs::exists(mt / "experts" / "Trend.ex4"), !c.setting.empty() && c.createExperts);
  }
}

TEST_F(SimulatedCompilerTest, WindowsCompilerRunsThroughWineOrIsReportedAtOnce) {
  writeBytes(ws().resFile("metalang.exe"), std::string("MZ\x90\0", 4));
  t.host.onStart = [](const RecordingHost::Started&) { return false; };
  writeSource();

  compileAndInstall(ws(), "Trend");
  EXPECT_TRUE(t.host.started.empty());
  EXPECT_EQ(t.host.waited, 0ms);
  EXPECT_EQ(t.host.messages,
            std::vector<std::string>{kFailed + "\nDas Programm ist ein Windows-Programm, und wine ist nicht installiert: " +
                                     ws().resFile("metalang.exe").string()});

  t.host.programsOnPath["wine"] = "/usr/bin/wine";
  t.host.messages.clear();
  writeSource();
  compileAndInstall(ws(), "Trend");
  ASSERT_EQ(t.host.started.size(), 1u);
  EXPECT_EQ(t.host.started[0].program, "/usr/bin/wine");
  EXPECT_EQ(t.host.started[0].args,
            (std::vector<std::string>{ws().resFile("metalang.exe").string(), "_Zorvik.mq4"}));
  EXPECT_EQ(t.host.messages, std::vector<std::string>{kFailed + "\nDas Programm konnte nicht gestartet werden: /usr/bin/wine"});
}

// An output file is no proof: a compiler that says it failed has failed, whatever it left.
TEST_F(SimulatedCompilerTest, CompilerThatReportsErrorsFailsEvenWithAnOutputFile) {
  compilerWritesAfter(200ms, 1, true);
  writeSource();
  CompileReport r = compileAndInstall(ws(), "Trend");
  EXPECT_EQ(r.outcome, CompileOutcome::NotCreated);
  EXPECT_EQ(t.host.messages,
            std::vector<std::string>{kFailed + "\nDer Compiler hat sich ohne Ergebnis beendet, Rückgabewert 1"});
  EXPECT_FALSE(fs::exists(user("Trend.ex4")));
  EXPECT_FALSE(fs::exists(mt / "experts" / "Trend.ex4"));
  EXPECT_TRUE(t.host.sounds.empty());

  // MetaEditor's exit code says nothing; its log does.
  fs::remove(ws().resFile("metalang.exe"));
  writeBytes(mt / "metaeditor.exe", "#!/bin/sh\n");
  const struct {
    const char* log;
    bool created;
  } cases[] = {
      {"_Zorvik.mq4(3,5) : error 2: ';' expected\r\nResult: 1 error(s), 0 warning(s)\r\n", false},
      {"Result: 10 errors, 0 warnings\r\n", false},
      {"Result: 0 error(s), 0 warning(s)\r\n", true},
      {"0 errors, 2 warnings\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    t.host.messages.clear();
    t.host.exitCodes.clear();
    t.host.started.clear();
    t.host.onWait = [this, &c](std::chrono::milliseconds waited) {
      if (waited >= 200ms && !t.host.exitCodes.count(1)) {
        writeBytes(runFolder() / "_Zorvik.ex4", "EX4");
        writeBytes(runFolder() / "_Zorvik.log", c.log);
        t.host.exitCodes[1] = 1;
      }
    };
    writeSource();
    r = compileAndInstall(ws(), "Trend");
    EXPECT_EQ(r.outcome, c.created ? CompileOutcome::Created : CompileOutcome::NotCreated);
    EXPECT_EQ(fs::exists(mt / "experts" / "Trend.ex4"), c.created);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0].starts_with(kFailed + "\nMeldungen des Compilers:\n"), !c.created) << t.host.messages[0];
    fs::remove(mt / "experts" / "Trend.ex4");
  }
}

TEST_F(SimulatedCompilerTest, EaNameThatIsNoPlainFileNameIsRefused) {
  compilerWritesAfter(100ms);
  for (const char* name : {"", "..", "../Trend", "a\\b"}) {
    SCOPED_TRACE(name);
    writeSource();
    t.host.messages.clear();
    EXPECT_EQ(compileAndInstall(ws(), name).result, 0);
    ASSERT_EQ(t.host.messages.size(), 1u);
    EXPECT_EQ(t.host.messages[0],
              std::string("Der Name des Expert Advisors ist als Dateiname nicht zulässig: ") + name);
    EXPECT_FALSE(fs::exists(user("_Zorvik.mq4")));
  }
  EXPECT_TRUE(t.host.started.empty());
}

TEST(ExpertName, DropsTheLastTwoExtensions) {
  const std::pair<const char*, const char*> cases[] = {
      {"Trend.hsy.txt", "Trend"}, {"My.Trend.hsy.txt", "My.Trend"}, {"Trend.txt", "Trend"},
      {"Trend", "Trend"},         {".hsy.txt", ""},                 {"EUR%2FUSD.hsy.txt", "EUR%2FUSD"},
  };
  for (const auto& [file, name] : cases) EXPECT_EQ(expertNameOf(file), name) << file;
}

// MetaEditor's own builds differ in how they write the log; every form must read as the same text.
TEST(CompilerLog, IsReadInEveryEncodingACompilerWrites) {
  // UTF-16 little endian: "é", U+1F600 as a surrogate pair, then a high surrogate without its pair.
  const std::string utf16("\xFF\xFE" "e\0\xE9\0" "=\0\x3D\xD8\x00\xDE" "=\0\x3D\xD8" "x\0", 18);
  const std::pair<std::string, std::string> cases[] = {
      {utf16, "e\xC3\xA9=\xF0\x9F\x98\x80=?x"},
      {"\xEF\xBB\xBF" "error \xC3\xA9", "error \xC3\xA9"},  // UTF-8 with byte order mark
      {"error \xE9", "error \xC3\xA9"},                        // single-byte Windows text
      {"", ""},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(compile::decodeCompilerLog(bytes), text) << text;
}

TEST(CompilerLog, GivesItsErrorLinesFromTheSourceNameOnAndAtMostTwelve) {
  testing::TempDir dir;
  const fs::path log = dir.path() / "_Zorvik.log";
  EXPECT_TRUE(compile::compilerErrorLines(log).empty());  // no log at all

  std::string text = "compiling '_Zorvik.mq4'\r\n   C:\\Users\\t\\_Zorvik.mq4(3,5) : ERROR 2: ';' expected  \r\n"
                     "1 warning(s)\r\n";
  writeBytes(log, text);
  EXPECT_EQ(compile::compilerErrorLines(log), std::vector<std::string>{"_Zorvik.mq4(3,5) : ERROR 2: ';' expected"});

  for (int i = 1; i <= 14; ++i) text += "error " + std::to_string(i) + "\r\n";
  writeBytes(log, text);
  const auto lines = compile::compilerErrorLines(log);
  ASSERT_EQ(lines.size(), compile::kMaxCompilerLines + 1);
  EXPECT_EQ(lines[compile::kMaxCompilerLines - 1], "error 11");
  EXPECT_EQ(lines.back(), "...");
}

TEST_F(SimulatedCompilerTest, TerminalIsStartedOrTheReasonIsShown) {
  t.host.onStart = [](const RecordingHost::Started&) { return true; };

  ws().settings.metatraderFolder = "";
  EXPECT_FALSE(startTerminal(ws()));
  ws().settings.metatraderFolder = mt.string();
  EXPECT_FALSE(startTerminal(ws()));
  writeBytes(mt / "terminal.exe", std::string("MZ\x90\0", 4));
  EXPECT_FALSE(startTerminal(ws()));
  EXPECT_EQ(t.host.messages,
            (std::vector<std::string>{
                "Der MetaTrader-Ordner ist nicht eingestellt.",
                "Das Terminal kann nicht gefunden werden: " + (mt / "terminal.exe").string(),
                "Das Programm ist ein Windows-Programm, und wine ist nicht installiert: " + (mt / "terminal.exe").string()}));
  EXPECT_TRUE(t.host.started.empty());

  t.host.programsOnPath["wine"] = "/usr/bin/wine";
  EXPECT_TRUE(startTerminal(ws()));
  ASSERT_EQ(t.host.started.size(), 1u);
  EXPECT_EQ(t.host.started[0].program, "/usr/bin/wine");
  EXPECT_EQ(t.host.started[0].args, std::vector<std::string>{(mt / "terminal.exe").string()});
  EXPECT_EQ(t.host.started[0].workingDir, mt);
}

TEST_F(SimulatedCompilerTest, EditorOpensTheSourceInDeveloperModeOnly) {
  t.host.onStart = [](const RecordingHost::Started&) { return true; };
  writeBytes(mt / "metaeditor.exe", "#!/bin/sh\n");
  EXPECT_FALSE(openEditor(ws()));
  ws().settings.developerMode = 1;
  EXPECT_TRUE(openEditor(ws()));
  ASSERT_EQ(t.host.started.size(), 1u);
  EXPECT_EQ(t.host.started[0].program, mt / "metaeditor.exe");
  EXPECT_EQ(t.host.started[0].args, std::vector<std::string>{user("_Zorvik.mq4").string()});
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(DeveloperModeSetting, IsReadAndWrittenOnlyWhenOn) {
  Settings s;
  LanguageTable language;
  parseSettings({"entwicklermodus=1"}, s, language, {});
  EXPECT_EQ(s.developerMode, 1);
  EXPECT_EQ(settingsLines(s, language).back(), "ENTWICKLERMODUS=1");
  Settings off;
  parseSettings({"ENTWICKLERMODUS=2"}, off, language, {});
  EXPECT_EQ(off.developerMode, 0);
  for (const auto& line : settingsLines(off, language)) EXPECT_EQ(line.find("ENTWICKLER"), std::string::npos);
}

}  // namespace
}  // namespace zorvik
