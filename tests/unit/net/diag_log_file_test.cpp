#include "net/diag_log_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"

namespace {

const char* const kPath = "C:/Program Files/TUNRA/tunra-diag.log";

// 1700000000 is 2023-11-14 22:13:20 UTC; the fake clock's local time is UTC+9.
constexpr const char* kStamp = "2023-11-15 07:13:20 ";

TEST(DiagLogFile, OneStampedLineEachEndedByCrLf) {
  fakes::FakeFiles files;
  fakes::FakeClock clock;
  net::CDiagLogFile log(files, clock, net::DiagLogPath("C:/Program Files/TUNRA"));
  EXPECT_EQ(log.path(), kPath);
  files.Put(kPath, "earlier\r\n");  // lines of an earlier run stay

  log.Write("route add 10.1.2.3/255.255.255.255 via 192.168.0.1 if 3 metric 50 as 75 -> 0");
  clock.Advance(61000);
  log.Write("dial \"Vexo_Conn\"\nuser\tname\r -> 0");  // a line stays one line
  EXPECT_EQ(files.Get(kPath), std::string("earlier\r\n") + kStamp +
                                  "route add 10.1.2.3/255.255.255.255 via 192.168.0.1 if 3 metric 50 as 75 -> 0\r\n"
                                  "2023-11-15 07:14:21 dial \"Vexo_Conn\" user name  -> 0\r\n");
  EXPECT_EQ(files.OpenFiles(), 0);  // nothing kept open between lines
}

TEST(DiagLogFile, NoRegisteredSecretReachesTheFile) {
  fakes::FakeFiles files;
  fakes::FakeClock clock;
  net::CDiagLogFile log(files, clock, kPath);
  log.AddSecret("demo1234");
  log.AddSecret("\xBA\xF1\xB9\xD0\xB9\xF8\xC8\xA3");  // a Korean password (CP949)
  log.AddSecret("abc");                               // too short to tell from other text
  log.Write("dial user demo password demo1234 -> 691");
  log.Write("text \xBA\xF1\xB9\xD0\xB9\xF8\xC8\xA3!");
  log.Write("route abc");
  const std::string bytes = files.Get(kPath);
  EXPECT_EQ(bytes.find("demo1234"), std::string::npos);
  EXPECT_NE(bytes.find("dial user demo password *** -> 691"), std::string::npos);
  EXPECT_NE(bytes.find("text ***!"), std::string::npos);
  EXPECT_NE(bytes.find("route abc"), std::string::npos);
}

TEST(DiagLogFile, AFullFileBecomesTheOldOneAndANewOneStarts) {
  fakes::FakeFiles files;
  fakes::FakeClock clock;
  const std::string line(30, 'x');  // 20 + 30 + 2 = 52 bytes with stamp and line end
  const std::string record = kStamp + line + "\r\n";
  net::CDiagLogFile log(files, clock, kPath, 120);
  files.Put(kPath, std::string(60, 'e'));  // an earlier run's lines count

  log.Write(line);  // 112 bytes: fits
  EXPECT_FALSE(files.Exists(std::string(kPath) + ".old"));
  log.Write(line);  // would make 164: the file moves aside
  EXPECT_EQ(files.Get(std::string(kPath) + ".old"), std::string(60, 'e') + record);
  EXPECT_EQ(files.Get(kPath), record);
  log.Write(line);
  log.Write(line);  // the next move replaces the old file: one old file at most
  EXPECT_EQ(files.Get(std::string(kPath) + ".old"), record + record);
  EXPECT_EQ(files.Get(kPath), record);
  EXPECT_EQ(log.OldPath(), std::string(kPath) + ".old");
}

TEST(DiagLogFile, ALogThatCannotBeWrittenDropsItsLines) {
  fakes::FakeFiles files;
  fakes::FakeClock clock;
  files.Deny(kPath);
  net::CDiagLogFile log(files, clock, kPath);
  log.Write("route undo -> 0");
  EXPECT_FALSE(files.Exists(kPath));
}

}  // namespace
