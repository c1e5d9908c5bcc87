// The report for support: its sections, the secrets it must never hold, and the tray
// command that writes it to the documents folder and opens that folder.
#include "app/main/diagnostics_report.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/ipv4_text.h"
#include "protocol/payload_codec.h"
#include "text/cp949.h"
#include "unit/app/main_window_rig.h"

namespace {

using maintest::MainWindow;

app::ReportInputs SampleInputs() {
  app::ReportInputs in;
  in.clientVersion = 1185;
  in.savedAt = "2023-11-15 07:13:20";
  in.windowsVersion = "6.1.7601 Service Pack 1";
  in.systemReport = "Windows 7 , Ultimate Edition, x64, Service Pack 1\r\n#1. eth0 (192.168.1.20)\r\n";
  platform::AdapterInfo a;
  a.adapterName = "{A1}";
  a.description = "eth0";
  a.address = std::string("\x00\x1A\x2B\x3C\x4D\x5E", 6);
  a.index = 3;
  a.type = 6;
  a.ipAddresses = {"192.168.1.20"};
  a.gateway = "192.168.1.1";
  in.adapters = {a};
  platform::RouteRow r;
  r.dest = 0;
  r.mask = 0;
  r.nextHop = net::Ipv4FromText("192.168.1.1");
  r.ifIndex = 3;
  r.metric1 = 25;
  r.type = 4;
  r.proto = 3;
  in.routes = {r};
  in.rasErrors = {"2023-11-15 07:10:00 691 error 691"};
  in.diagLog = "2023-11-15 07:00:00 login\r\n2023-11-15 07:00:01 route add\r\n";
  in.openVpnLog = "Wed Nov 15 07:05:00 2023 OpenVPN 2.6\nInitialization Sequence Completed\n";
  return in;
}

// Each section in its order, with what it holds; every line ends in CR LF whatever
// the log used.
TEST(DiagnosticsReport, SectionsInOrderWithTheirContent) {
  const std::string report = app::DiagnosticsReport(SampleInputs());
  const std::vector<std::string> inOrder = {
      "TUNRA 진단 정보\r\n저장 시각: 2023-11-15 07:13:20\r\n",
      "=== 클라이언트 버전 ===\r\n1185\r\n",
      "=== Windows 버전 ===\r\n6.1.7601 Service Pack 1\r\n",
      "=== 시스템 정보 ===\r\nWindows 7 , Ultimate Edition, x64, Service Pack 1\r\n#1. eth0 (192.168.1.20)\r\n",
      "=== 네트워크 어댑터 ===\r\n#1. eth0 | {A1} | index 3 | type 6 | MAC 00-1A-2B-3C-4D-5E | IP 192.168.1.20 | "
      "gateway 192.168.1.1\r\n",
      "=== 라우팅 표 ===\r\n",
      "0.0.0.0 / 0.0.0.0 -> 192.168.1.1 | 3 | 25 | 4 | 3\r\n",
      "=== 최근 RAS 오류 ===\r\n2023-11-15 07:10:00 691 error 691\r\n",
      "=== 진단 기록 (tunra-diag.log) ===\r\n2023-11-15 07:00:00 login\r\n2023-11-15 07:00:01 route add\r\n",
      "=== 마지막 OpenVPN 기록 ===\r\nWed Nov 15 07:05:00 2023 OpenVPN 2.6\r\nInitialization Sequence Completed\r\n",
  };
  std::size_t at = 0;
  for (const std::string& part : inOrder) {
    const std::size_t found = report.find(part, at);
    ASSERT_NE(found, std::string::npos) << part;
    at = found + part.size();
  }
  for (std::size_t i = 0; i < report.size(); ++i)
    ASSERT_TRUE(report[i] != '\n' || (i > 0 && report[i - 1] == '\r')) << "bare LF at " << i;
}

// Missing data is said, not left as an empty section: no adapters or routes (or the
// system refused the table), no dialer error, no logs.
TEST(DiagnosticsReport, EmptyAndUnreadableSections) {
  app::ReportInputs in;
  in.adaptersResult = 232;  // ERROR_NO_DATA
  const std::string report = app::DiagnosticsReport(in);
  EXPECT_NE(report.find("=== 네트워크 어댑터 ===\r\n(읽을 수 없음: 오류 232)\r\n"), std::string::npos);
  EXPECT_NE(report.find("=== 라우팅 표 ===\r\n(없음)\r\n"), std::string::npos);
  EXPECT_NE(report.find("=== 최근 RAS 오류 ===\r\n(없음)\r\n"), std::string::npos);
  EXPECT_NE(report.find("=== 진단 기록 (tunra-diag.log) ===\r\n(없음)\r\n"), std::string::npos);
  EXPECT_NE(report.find("=== 마지막 OpenVPN 기록 ===\r\n(없음)\r\n"), std::string::npos);
}

// A secret is masked in whichever section it shows up; the rest of the line stays.
TEST(DiagnosticsReport, SecretsAreMaskedWhereverTheyAppear) {
  struct Row {
    const char* what;
    void (*place)(app::ReportInputs&, const std::string&);  // puts the text somewhere
    void (*keep)(app::ReportSecrets&, const std::string&);  // where the program holds it
    std::string secret;
  };
  auto inDiagLog = [](app::ReportInputs& in, const std::string& t) { in.diagLog += "auth " + t + " end\r\n"; };
  auto inOpenVpnLog = [](app::ReportInputs& in, const std::string& t) { in.openVpnLog += "user " + t + "\n"; };
  auto inRasError = [](app::ReportInputs& in, const std::string& t) { in.rasErrors.push_back("691 " + t); };
  auto inAdapter = [](app::ReportInputs& in, const std::string& t) { in.adapters[0].description = t; };
  auto inSystem = [](app::ReportInputs& in, const std::string& t) { in.systemReport += t + "\r\n"; };
  const std::string encodedId = protocol::EncodePayload("kimgamer");
  const std::string encodedPassword = protocol::EncodePayload("s3cret!pw");
  const Row rows[] = {
      {"password in the diagnostics log", inDiagLog,
       [](app::ReportSecrets& s, const std::string& t) { s.password = t; }, "s3cret!pw"},
      {"Korean password in the OpenVPN log", inOpenVpnLog,
       [](app::ReportSecrets& s, const std::string& t) { s.password = t; }, "비밀번호12"},
      {"credentials file's first line (CR LF file)", inOpenVpnLog,
       [](app::ReportSecrets& s, const std::string& t) { s.credentialsFile = t + "\r\nother\r\n"; }, "kimgamer"},
      {"credentials file's second line", inRasError,
       [](app::ReportSecrets& s, const std::string& t) { s.credentialsFile = "kimgamer\r\n" + t + "\r\n"; },
       "pw-in-vrs"},
      {"stored identifier as stored", inDiagLog,
       [](app::ReportSecrets& s, const std::string& t) { s.storedId = t; }, encodedId},
      {"stored password as stored", inSystem,
       [](app::ReportSecrets& s, const std::string& t) { s.storedPassword = t; }, encodedPassword},
      {"remembered identifier decoded", inAdapter,
       [](app::ReportSecrets& s, const std::string& t) { s.rememberedId = t; }, "kimgamer"},
      {"remembered password decoded", inDiagLog,
       [](app::ReportSecrets& s, const std::string& t) { s.rememberedPassword = t; }, "s3cret!pw"},
  };
  for (const Row& row : rows) {
    app::ReportInputs in = SampleInputs();
    row.place(in, row.secret);
    row.keep(in.secrets, row.secret);
    const std::string report = app::DiagnosticsReport(in);
    EXPECT_FALSE(text::Contains(report, row.secret)) << row.what;
    EXPECT_TRUE(text::Contains(report, "***")) << row.what;
  }
}

// A secret that holds another is masked whole: masking the shorter first would leave
// the rest of the longer one ("abcd" masked inside "abcd9876" leaves "9876").
TEST(DiagnosticsReport, ALongerSecretIsMaskedWhole) {
  app::ReportInputs in = SampleInputs();
  in.secrets.password = "abcd";
  in.secrets.rememberedId = "abcd9876";
  in.diagLog = "user abcd9876 pass abcd\r\n";
  const std::string report = app::DiagnosticsReport(in);
  EXPECT_NE(report.find("user *** pass ***\r\n"), std::string::npos);
  EXPECT_EQ(report.find("9876"), std::string::npos);
  EXPECT_EQ(app::ReportSecretTexts(in.secrets), (std::vector<std::string>{"abcd9876", "abcd"}));
}

// A log beyond the limit keeps its end from a line start, and says so.
TEST(DiagnosticsReport, AnOversizedLogKeepsItsEnd) {
  app::ReportInputs in;
  std::string log;
  for (int i = 0; log.size() <= app::kReportLogLimitBytes + 100; ++i) log += "line " + std::to_string(i) + "\r\n";
  in.diagLog = log + "LAST\r\n";
  const std::string report = app::DiagnosticsReport(in);
  const std::size_t section = report.find("=== 진단 기록 (tunra-diag.log) ===\r\n(앞부분 생략)\r\nline ");
  ASSERT_NE(section, std::string::npos);
  EXPECT_EQ(report.find("line 0\r\n"), std::string::npos);
  EXPECT_NE(report.find("LAST\r\n"), std::string::npos);
  EXPECT_LE(report.size(), app::kReportLogLimitBytes + 2048);
}

// The tray command gathers what the client holds: the RAS error of a failed dial, the
// OpenVPN log a teardown removed, the diagnostics log; writes the report to the
// documents folder under the local time, with no password or remembered account, and
// opens the folder.
TEST(TunraDlgDiagnostics, TheTrayCommandWritesTheReportAndOpensItsFolder) {
  MainWindow m;
  m.Store("ui1", protocol::EncodePayload("kimgamer").c_str());
  m.Store("up2", protocol::EncodePayload("s3cret!pw").c_str());
  m.Store("uipchk", "1");
  app::CTunraDlg& dlg = m.Init();
  // A dial that fails with 691.
  m.StartDial();
  m.window.AnswerNextBoxes({platform::kIdOk});
  m.ras.Report(0, 691);
  // An OpenVPN tunnel whose log the teardown deletes (the fake peer leaves the file:
  // it is deleted here as the real one does).
  const std::string log = m.record.programDir + "/event.log";
  m.files.Put(log, "AUTH: user s3cret!pw\nInitialization Sequence Completed\n");
  m.record.password = "s3cret!pw";
  m.record.userId = "kimgamer";
  dlg.TeardownOpenVpn(app::kTeardownOrderly, "");
  m.files.Delete(log);
  m.files.Put(m.record.programDir + "/tunra-diag.log", "2023-11-15 07:00:00 login kimgamer\r\n");

  dlg.OnCommand(ID_TRAY_DIAGNOSTICS);
  // 1700000000 is 2023-11-14 22:13:20 UTC; the fake clock's local time is UTC + 9.
  const std::string path = "C:\\Users\\kim\\Documents\\tunra_diag_20231115_071320.txt";
  ASSERT_TRUE(m.files.Exists(path));
  const std::string report = m.files.Get(path);
  for (const char* part : {"=== 클라이언트 버전 ===\r\n1185\r\n", "691 error 691\r\n", "Initialization Sequence Completed\r\n",
                           "=== 진단 기록 (tunra-diag.log) ===\r\n2023-11-15 07:00:00 login ***\r\n",
                           "AUTH: user ***\r\n"})
    EXPECT_NE(report.find(part), std::string::npos) << part;
  for (const std::string& secret : {std::string("s3cret!pw"), std::string("kimgamer"),
                                    protocol::EncodePayload("kimgamer"), protocol::EncodePayload("s3cret!pw")})
    EXPECT_EQ(report.find(secret), std::string::npos) << secret;
  ASSERT_EQ(m.shell.executed.size(), 1u);
  EXPECT_EQ(m.shell.executed[0].verb, "open");
  EXPECT_EQ(m.shell.executed[0].file, "C:\\Users\\kim\\Documents");
  EXPECT_EQ(m.window.boxes().size(), 1u);  // the dial's error only
}

// No documents folder, or a file that cannot be written: the user is told, no half
// report stays and no folder opens.
TEST(TunraDlgDiagnostics, AReportThatCannotBeWrittenIsSaid) {
  for (const bool noFolder : {true, false}) {
    MainWindow m;
    app::CTunraDlg& dlg = m.Init();
    const std::string path = "C:\\Users\\kim\\Documents\\tunra_diag_20231115_071320.txt";
    if (noFolder) m.shell.documentsFolder = "";
    else m.files.FailWrites(path);
    dlg.OnCommand(ID_TRAY_DIAGNOSTICS);
    EXPECT_FALSE(m.files.Exists(path)) << noFolder;
    EXPECT_TRUE(m.shell.executed.empty()) << noFolder;
    ASSERT_EQ(m.window.boxes().size(), 1u) << noFolder;
    EXPECT_EQ(m.window.boxes()[0].caption, "진단 정보 저장");
  }
}

}  // namespace
