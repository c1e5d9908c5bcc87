// The program hooks over a fake registry and process table: which event starts or
// ends which program, how the start names exactly the stored file, and which names are
// never handed to taskkill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/hooks/program_hooks.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "settings/settings_table.h"

namespace {

using Journal = std::vector<std::string>;

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  Journal lines;
};

class JournalKiller : public app::IProcessTreeKiller {
 public:
  explicit JournalKiller(Journal& journal) : journal_(journal) {}
  int KillProcessTree(const std::string& imageName, const std::string& systemDir) override {
    journal_.push_back("taskkill [" + imageName + "] from " + systemDir);
    return result;
  }
  int result = 1;

 private:
  Journal& journal_;
};

class ProgramHooksTest : public ::testing::Test {
 protected:
  ProgramHooksTest() {
    record.settingsRoot = settings::kSettingsRoot;
    record.settingsKeyPath = settings::kSettingsKeyPath;
    record.windowsDir = "C:\\windows";
    system.moduleFileName = "C:\\Program Files\\TUNRA\\tunra.exe";
  }
  void Store(const char* name, const std::string& path) {
    registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, name, path);
  }
  // What the hooks did, in order: starts (command line and application name) and
  // kills.
  Journal Run(const std::string& event) {
    hooks.RunProgramHook(event);
    Journal all = journal;
    for (const auto& start : processes.starts)
      all.insert(all.begin(), "start " + start.commandLine + " app [" + start.options.applicationName + "]");
    return all;
  }

  Journal journal;
  session::SessionRecord record;
  fakes::FakeRegistry registry;
  settings::CRegCtrl reg{registry};
  fakes::FakeProcesses processes;
  fakes::FakeSystem system;
  JournalKiller killer{journal};
  RecordingLog log;
  app::CProgramHooks hooks{app::ProgramHooksParts{record, reg, processes, system, killer, log}};
};

TEST(ImageNameOf, TakesThePartAfterTheLastBackslash) {
  const struct {
    std::string path, image;
  } cases[] = {
      {"C:\\Tools\\launcher.exe", "launcher.exe"},
      {"C:\\Program Files\\My Tool\\My Tool.exe", "My Tool.exe"},
      {"launcher.exe", "launcher.exe"},
      {"C:\\게임\\런처.exe", "런처.exe"},
      {"C:\\Games\\", ""},
      // The one character rule: a lead byte takes the next byte, even a backslash.
      {"C:\\a\x81\\b.exe", "a\x81\\b.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::ImageNameOf(c.path), c.image) << c.path;
}

TEST(IsPlainImageName, RefusesWhatTaskkillWouldReadOtherwise) {
  const struct {
    std::string name;
    bool plain;
  } cases[] = {
      {"launcher.exe", true}, {"My Tool.exe", true}, {"런처.exe", true}, {"", false},
      {"*.exe", false},       {"game?.exe", false},  {"a\"b.exe", false}, {"a/b.exe", false},
      {"a:b.exe", false},     {"a|b.exe", false},    {"a\tb.exe", false},
      {"a\x92\"b.exe", false},  // a lead byte must not hide the quote after it
  };
  for (const auto& c : cases) EXPECT_EQ(app::IsPlainImageName(c.name), c.plain) << c.name;
}

TEST_F(ProgramHooksTest, NothingRegisteredDoesNothing) {
  for (const char* event : {"IN_START", "IN_STOP", "OUT_START", "OUT_STOP"}) EXPECT_TRUE(Run(event).empty()) << event;
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ProgramHooksTest, EachEventActsOnItsOwnValue) {
  Store("inStart", "C:\\A\\in_start.exe");
  Store("inStop", "C:\\A\\in_stop.exe");
  Store("OutStart", "C:\\A\\out_start.exe");
  Store("OutStop", "C:\\A\\out_stop.exe");
  const struct {
    const char* event;
    Journal journal;
  } cases[] = {
      {"IN_START", {"start \"C:\\A\\in_start.exe\" app [C:\\A\\in_start.exe]"}},
      {"IN_STOP", {"taskkill [in_stop.exe] from C:\\windows\\System32"}},
      {"OUT_START", {"start \"C:\\A\\out_start.exe\" app [C:\\A\\out_start.exe]"}},
      {"OUT_STOP", {"taskkill [out_stop.exe] from C:\\windows\\System32"}},
      {"in_start", {}},  // names compare exactly
      {"START", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    journal.clear();
    processes.starts.clear();
    EXPECT_EQ(Run(c.event), c.journal);
  }
}

TEST_F(ProgramHooksTest, StartNamesExactlyTheStoredFile) {
  // Unquoted, the system would try "C:\Program.exe" first.
  const std::string path = "C:\\Program Files\\Game\\game.exe";
  Store("inStart", path);
  hooks.RunProgramHook("IN_START");
  ASSERT_EQ(processes.starts.size(), 1u);
  const auto& start = processes.starts[0];
  EXPECT_EQ(start.commandLine, "\"" + path + "\"");
  EXPECT_EQ(start.options.applicationName, path);
  EXPECT_TRUE(start.options.inheritHandles);
  EXPECT_EQ(start.options.creationFlags, 0x30u);  // new console, normal priority
  EXPECT_EQ(start.options.startupFlags, 0x101u);  // show window, standard handles (none)
  EXPECT_EQ(start.options.showWindow, platform::kSwShow);
  EXPECT_TRUE(processes.waits.empty());  // never waited for
  EXPECT_EQ(processes.OpenHandles(), 0);
  EXPECT_EQ(log.lines, Journal{"hook IN_START start \"C:\\Program Files\\Game\\game.exe\" -> 0"});
  // The stored value stays as the user registered it.
  const platform::RegValue* v = registry.Find(settings::kSettingsRoot, settings::kSettingsKeyPath, "inStart");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->data.substr(0, v->data.find('\0')), path);
}

TEST_F(ProgramHooksTest, AProgramThatDoesNotStartIsOnlyLogged) {
  Store("OutStart", "C:\\Gone\\gone.exe");
  processes.startErrors["gone.exe"] = 2;
  hooks.RunProgramHook("OUT_START");
  EXPECT_EQ(processes.OpenHandles(), 0);
  EXPECT_EQ(log.lines, Journal{"hook OUT_START start \"C:\\Gone\\gone.exe\" -> not-started 2"});
}

TEST_F(ProgramHooksTest, EndingRefusesNamesTaskkillMustNotGet) {
  const struct {
    const char* name;
    std::string stored, windowsDir;
    Journal journal;
    std::string logLine;
  } cases[] = {
      {"blanks in the name", "C:\\Tools\\My Tool.exe", "C:\\windows",
       {"taskkill [My Tool.exe] from C:\\windows\\System32"}, "hook IN_STOP end \"My Tool.exe\" -> 1"},
      {"the client itself, any case", "D:\\copy\\TUNRA.EXE", "C:\\windows", {},
       "hook IN_STOP end \"TUNRA.EXE\" -> refused own-program"},
      {"a folder", "C:\\Games\\", "C:\\windows", {}, "hook IN_STOP end - -> refused bad-name"},
      {"a pattern", "C:\\Games\\*.exe", "C:\\windows", {}, "hook IN_STOP end \"*.exe\" -> refused bad-name"},
      {"no system folder", "C:\\Tools\\launcher.exe", "", {},
       "hook IN_STOP end \"launcher.exe\" -> refused no-system-folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    journal.clear();
    log.lines.clear();
    Store("inStop", c.stored);
    record.windowsDir = c.windowsDir;
    EXPECT_EQ(Run("IN_STOP"), c.journal);
    EXPECT_EQ(log.lines, Journal{c.logLine});
  }
}

TEST_F(ProgramHooksTest, TheSameProgramOnBothOutRowsStartsThenEnds) {
  Store("OutStart", "C:\\Tools\\tool.exe");
  Store("OutStop", "C:\\Tools\\tool.exe");
  hooks.RunProgramHook("OUT_START");
  journal.push_back("started " + std::to_string(processes.starts.size()));
  hooks.RunProgramHook("OUT_STOP");
  EXPECT_EQ(journal, (Journal{"started 1", "taskkill [tool.exe] from C:\\windows\\System32"}));
}

TEST_F(ProgramHooksTest, AValueTooLongToReadIsNoProgram) {
  Store("inStart", "C:\\" + std::string(1100, 'a') + ".exe");
  EXPECT_TRUE(Run("IN_START").empty());
}

}  // namespace
