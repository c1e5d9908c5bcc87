// The options dialog's pure pieces: the program rows' shortened path and the server
// list the back end sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options/path_label.h"
#include "app/options/server_list.h"

namespace {

TEST(ProgramPathLabel, ShortensOnWholeCharacters) {
  // "게임" etc. are two bytes each in the program's code page.
  const struct {
    const char* name;
    std::string path, label;
  } cases[] = {
      {"empty", "", ""},
      {"short path whole (was shown twice over)", "C:\\Games\\Tool\\start.exe", "C:\\Games\\Tool\\start.exe"},
      {"33 bytes, no longer than its cut form", "C:\\Games\\Toolbox\\Start\\launch.exe",
       "C:\\Games\\Toolbox\\Start\\launch.exe"},
      {"34 bytes: 10, dots, 20", "C:\\Games\\Toolbox\\Starts\\launch.exe", "C:\\Games\\T...ox\\Starts\\launch.exe"},
      {"long path", "C:\\Program Files\\Some Game\\Launcher\\bin\\game.exe",
       "C:\\Program...auncher\\bin\\game.exe"},
      // Byte 10 would be the middle of "임" (bytes 9-10): the head keeps 9 bytes.
      {"head ends before a character it would cut", "C:\\abc\\게임\\folder\\tools\\launcher.exe",
       "C:\\abc\\게...r\\tools\\launcher.exe"},
      // The last 20 bytes would begin with the second half of "게": the tail is 19.
      {"tail starts after a character it would cut", "C:\\Program Files\\게런처\\tools\\game.exe",
       "C:\\Program...런처\\tools\\game.exe"},
      {"Korean throughout", "C:\\게임폴더\\런처모음\\실행파일들\\게임런처.exe",
       "C:\\게임폴...파일들\\게임런처.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(app::ProgramPathLabel(c.path), c.label);
  }
}

TEST(ParseServerList, OffersEntriesWithACode) {
  using Servers = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char* list;
    Servers servers;
  } cases[] = {
      {"A/a1^B/b1^", {{"A", "a1"}, {"B", "b1"}}},
      {"A/a1^C/^B/b1^", {{"A", "a1"}, {"B", "b1"}}},  // C has no code
      {"A/a1^B/b1", {{"A", "a1"}, {"B", "b1"}}},      // no trailing "^": b1 stays whole
      {"서울/s01^부산/b02^", {{"서울", "s01"}, {"부산", "b02"}}},
      {"A/a1/extra^/x^", {{"A", "a1"}, {"", "x"}}},
      {"", {}},
      {"^^", {}},
      {"nocode^", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    Servers got;
    for (const app::VpnServer& s : app::ParseServerList(c.list)) got.emplace_back(s.name, s.code);
    EXPECT_EQ(got, c.servers);
  }
}

}  // namespace
