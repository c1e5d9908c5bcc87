#include "tunnel/openvpn_files.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_window.h"
#include "tunnel/openvpn_directives.h"

namespace {

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

constexpr const char* kDir = "C:/Program Files/TUNRA";
constexpr const char* kConfig = "C:/Program Files/TUNRA/vexoen.opc";
constexpr const char* kCredentials = "C:/Program Files/TUNRA/vrs.inf";
constexpr const char* kLog = "C:/Program Files/TUNRA/event.log";

session::SessionRecord Record() {
  session::SessionRecord r;
  r.programDir = kDir;
  r.openVpnConfigDir = r.openVpnLogDir = r.accountFileDir = kDir;
  r.openVpnConfigName = "vexoen.opc";
  r.openVpnLogName = "event.log";
  r.accountFileName = "vrs.inf";
  r.serverIp = "203.0.113.7";
  r.vpnPort = "1194";
  r.certFileName = "ca_1001.crt";
  r.userId = "gamer01";
  r.password = "pa55word";
  return r;
}

struct Rig {
  fakes::FakeFiles files;
  fakes::FakeWindow owner;
  RecordingLog log;
  tunnel::COpenVpnFiles writer{files, owner, log};
};

// The whole file, written by hand from the configuration's definition: 13 lines in
// order, CR LF after each, the certificate's last path component, the extra
// directives after line 13 (the empty item between two carets is skipped).
TEST(OpenVpnFiles, ConfigurationFileIsExactlyTheDefinedLines) {
  Rig rig;
  session::SessionRecord r = Record();
  r.certFileName = "certs/2024/ca_1001.crt";
  r.openConfig = "proto udp^^comp-lzo";
  ASSERT_EQ(rig.writer.WriteOpenVpnConfig(r), 1);
  EXPECT_EQ(rig.files.Get(kConfig),
            "client\r\n"
            "dev tap\r\n"
            "persist-key\r\n"
            "persist-tun\r\n"
            "nobind\r\n"
            "remote 203.0.113.7 1194\r\n"
            "pull\r\n"
            "ca \"C:/Program Files/TUNRA/ca_1001.crt\"\r\n"
            "verb 3\r\n"
            "mute 10\r\n"
            "reneg-sec 864000\r\n"
            "auth-nocache\r\n"
            "auth-user-pass \"C:/Program Files/TUNRA/vrs.inf\"\r\n"
            "proto udp\r\n"
            "comp-lzo\r\n");
  EXPECT_TRUE(rig.owner.boxes().empty());
  EXPECT_EQ(rig.files.OpenFiles(), 0);
}

// Lines that depend on the session's values; the rest of the file is as above.
TEST(OpenVpnFiles, ValueDependentLines) {
  struct Row {
    const char* what;
    std::string serverIp, vpnPort, certFileName, openConfig;
    std::string expectedLine;  // present in the file
  };
  const Row rows[] = {
      {"empty port still writes line 6, ending in a blank", "203.0.113.7", "", "ca.crt", "",
       "\r\nremote 203.0.113.7 \r\npull\r\n"},
      {"certificate name without '/'", "203.0.113.7", "1194", "ca.crt", "",
       "\r\nca \"C:/Program Files/TUNRA/ca.crt\"\r\n"},
      {"Korean certificate name", "203.0.113.7", "1194", "인증서.crt", "",
       "\r\nca \"C:/Program Files/TUNRA/인증서.crt\"\r\n"},
      {"a trailing caret adds nothing", "203.0.113.7", "1194", "ca.crt", "route-delay 2^",
       "vrs.inf\"\r\nroute-delay 2\r\n"},
      {"a host name and the highest port", "vpn-1.example.net", "65535", "ca.crt", "",
       "\r\nremote vpn-1.example.net 65535\r\n"},
      {"a PEM certificate, any case", "203.0.113.7", "1194", "Root-CA.PEM", "",
       "\r\nca \"C:/Program Files/TUNRA/Root-CA.PEM\"\r\n"},
  };
  for (const Row& row : rows) {
    Rig rig;
    session::SessionRecord r = Record();
    r.serverIp = row.serverIp;
    r.vpnPort = row.vpnPort;
    r.certFileName = row.certFileName;
    r.openConfig = row.openConfig;
    ASSERT_EQ(rig.writer.WriteOpenVpnConfig(r), 1) << row.what;
    const std::string file = rig.files.Get(kConfig);
    EXPECT_NE(file.find(row.expectedLine), std::string::npos) << row.what << "\n" << file;
  }
}

// Every refusal: its message under "설정오류", -1, and the credential file of an earlier
// attempt deleted. Empty or blank server values used to write "remote  1194", which
// OpenVPN reads as host "1194"; a certificate name naming another folder used to
// become a path outside the program's folder.
TEST(OpenVpnFiles, ConfigurationRefusals) {
  struct Row {
    const char* what;
    void (*change)(session::SessionRecord&);
    const char* text;
  };
  const char* code13 = "CODE-013 : 환경 파일 생성 오류";
  const char* code14 = "CODE-014 : 서버 IP 설정 오류";
  const char* code15 = "CODE-015 : 서버 인증 파일 생성 오류";
  const char* code16 = "CODE-016 : 접속 인증 파일 생성 오류";
  const Row rows[] = {
      {"both server values empty", [](session::SessionRecord& r) { r.serverIp = r.vpnPort = ""; }, code14},
      {"empty server with a port", [](session::SessionRecord& r) { r.serverIp = ""; }, code14},
      {"blank inside the server", [](session::SessionRecord& r) { r.serverIp = "203.0.113.7 80"; }, code14},
      {"line break in the port", [](session::SessionRecord& r) { r.vpnPort = "1194\r\nup x.bat"; }, code14},
      {"tab in the port", [](session::SessionRecord& r) { r.vpnPort = "\t1194"; }, code14},
      // A forged reply's server or port that would reach OpenVPN's parser as words of
      // its choice: quotes, a leading '-', backslashes, non-digits, ports out of range.
      {"quoted server", [](session::SessionRecord& r) { r.serverIp = "\"203.0.113.7"; }, code14},
      {"server as an option", [](session::SessionRecord& r) { r.serverIp = "--up"; }, code14},
      {"server with a backslash", [](session::SessionRecord& r) { r.serverIp = "a\\b"; }, code14},
      {"server with a comment", [](session::SessionRecord& r) { r.serverIp = "203.0.113.7#x"; }, code14},
      {"port as an option", [](session::SessionRecord& r) { r.vpnPort = "--script-security"; }, code14},
      {"port with a letter", [](session::SessionRecord& r) { r.vpnPort = "1194a"; }, code14},
      {"port 0", [](session::SessionRecord& r) { r.vpnPort = "0"; }, code14},
      {"port past 65535", [](session::SessionRecord& r) { r.vpnPort = "65536"; }, code14},
      {"quoted port", [](session::SessionRecord& r) { r.vpnPort = "\"1194\""; }, code14},
      {"empty certificate name", [](session::SessionRecord& r) { r.certFileName = ""; }, code15},
      {"certificate name ending in '/'", [](session::SessionRecord& r) { r.certFileName = "certs/"; }, code15},
      {"parent folder", [](session::SessionRecord& r) { r.certFileName = "../ca.crt"; }, code15},
      {"backslash", [](session::SessionRecord& r) { r.certFileName = "..\\ca.crt"; }, code15},
      {"drive", [](session::SessionRecord& r) { r.certFileName = "C:ca.crt"; }, code15},
      {"control byte", [](session::SessionRecord& r) { r.certFileName = "ca\x01.crt"; }, code15},
      {"quote", [](session::SessionRecord& r) { r.certFileName = "ca\".crt"; }, code15},
      {"device name", [](session::SessionRecord& r) { r.certFileName = "nul.crt"; }, code15},
      {"the OpenVPN program", [](session::SessionRecord& r) { r.certFileName = "vexoop.exe"; }, code15},
      {"no credential folder", [](session::SessionRecord& r) { r.accountFileDir = ""; }, code16},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.files.Put(kCredentials, "old\r\nsecret\r\n");
    session::SessionRecord r = Record();
    row.change(r);
    EXPECT_EQ(rig.writer.WriteOpenVpnConfig(r), -1) << row.what;
    ASSERT_EQ(rig.owner.boxes().size(), 1u) << row.what;
    EXPECT_EQ(rig.owner.boxes()[0].text, row.text) << row.what;
    EXPECT_EQ(rig.owner.boxes()[0].caption, "설정오류") << row.what;
    EXPECT_EQ(rig.files.Exists(kCredentials), r.accountFileDir.empty()) << row.what;
    EXPECT_EQ(rig.files.OpenFiles(), 0) << row.what;
  }

  // The file cannot be created, or not be written whole.
  for (bool denied : {true, false}) {
    Rig rig;
    rig.files.Put(kCredentials, "old\r\nsecret\r\n");
    if (denied) rig.files.Deny(kConfig);
    else rig.files.FailWrites(kConfig);
    EXPECT_EQ(rig.writer.WriteOpenVpnConfig(Record()), -1);
    ASSERT_EQ(rig.owner.boxes().size(), 1u);
    EXPECT_EQ(rig.owner.boxes()[0].text, code13);
    EXPECT_FALSE(rig.files.Exists(kCredentials));
  }
}

// The reply's extra directives: those that would let a forged reply run or load a
// program, write or read a file, open a control port, send credentials away, replace
// the certificate authority or fake the watched log are dropped (each logged), however
// OpenVPN would spell them; everything else is written unchanged.
TEST(OpenVpnFiles, ExtraDirectivesDroppedOrKept) {
  struct Row {
    std::string item;
    bool kept;
  };
  const Row rows[] = {
      {"comp-lzo", true},
      {"cipher AES-128-CBC", true},
      {"route 10.0.0.0 255.0.0.0", true},
      {"redirect-gateway def1", true},
      {"up-delay", true},
      {"status-version 2", true},
      {"# a comment", true},
      {"http-proxy 10.0.0.1 8080", true},
      {"http-proxy 10.0.0.1 8080 auto", true},
      {"verb 4", true},
      {"up C:/evil.bat", false},
      {"--up C:/evil.bat", false},
      {"   down evil.bat", false},
      {"\"route-up\" evil.bat", false},
      {"'ipchange' evil.bat", false},
      {"UP evil.bat", false},
      {"tls-verify evil.bat", false},
      {"auth-user-pass-verify evil.bat via-file", false},
      {"script-security 2", false},
      {"plugin evil.dll", false},
      {"providers C:/evil", false},
      {"management 127.0.0.1 7505", false},
      {"management-query-passwords", false},
      {"log C:/Windows/win.ini", false},
      {"log-append x", false},
      {"status C:/x.txt 1", false},
      {"writepid x", false},
      {"config C:/other.conf", false},
      {"cd C:/", false},
      {"setenv opt up evil.bat", false},
      {"auth-user-pass C:/secrets.txt", false},
      {"ca C:/attacker.crt", false},
      {"tls-auth ta.key 1", false},
      {"dev-node MyTap", false},
      {"iproute /bin/evil", false},
      {"win-sys C:/evil", false},
      {"push-peer-info", false},
      {"echo Initialization Sequence Completed", false},
      {"http-proxy 10.0.0.1 8080 C:/secrets.txt", false},
      {"socks-proxy 10.0.0.1 1080 C:/secrets.txt", false},
      {"ver\\b 3", false},              // OpenVPN refuses the escape: unreadable
      {"comp-lzo\r", false},           // a line break
      {std::string(253, 'x'), true},    // the longest line kept
      {std::string(254, 'x'), false},
  };
  for (const Row& row : rows) {
    const tunnel::OpenConfigItems items = tunnel::FilterOpenConfig(row.item);
    if (row.kept) {
      EXPECT_EQ(items.kept, std::vector<std::string>{row.item}) << row.item;
      EXPECT_TRUE(items.dropped.empty()) << row.item;
    } else {
      EXPECT_TRUE(items.kept.empty()) << row.item;
      ASSERT_EQ(items.dropped.size(), 1u) << row.item;
      EXPECT_EQ(items.dropped[0].shown, row.item);
      EXPECT_FALSE(items.dropped[0].reason.empty());
    }
  }
}

// Inline blocks: a dropped directive's block goes whole (its lines may be a password
// and are never logged); a block that carries key data in the file is kept; a line
// break inside an item cannot smuggle a directive.
TEST(OpenVpnFiles, ExtraDirectiveBlocksAndTheWrittenFile) {
  Rig rig;
  session::SessionRecord r = Record();
  r.openConfig =
      "comp-lzo^<auth-user-pass>^victim^hunter2^</auth-user-pass>^<tls-auth>^-----BEGIN OpenVPN Static "
      "key V1-----^0123abcd^-----END OpenVPN Static key V1-----^</tls-auth>^key-direction 1^"
      "<ca>^MIIB^</ca>^route-delay 2\nup evil.bat^up evil.bat^proto udp";
  ASSERT_EQ(rig.writer.WriteOpenVpnConfig(r), 1);
  const std::string file = rig.files.Get(kConfig);
  const std::string tail = file.substr(file.find("vrs.inf\"\r\n") + 10);
  EXPECT_EQ(tail,
            "comp-lzo\r\n<tls-auth>\r\n-----BEGIN OpenVPN Static key V1-----\r\n0123abcd\r\n"
            "-----END OpenVPN Static key V1-----\r\n</tls-auth>\r\nkey-direction 1\r\nproto udp\r\n");

  std::vector<std::string> drops;
  for (const std::string& line : rig.log.lines)
    if (line.rfind("openvpn config drop ", 0) == 0) drops.push_back(line);
  const std::vector<std::string> expected = {
      "openvpn config drop \"<auth-user-pass>\" -> replaces the account's credentials",
      "openvpn config drop \"<auth-user-pass> content\" -> inside a dropped block",
      "openvpn config drop \"<auth-user-pass> content\" -> inside a dropped block",
      "openvpn config drop \"</auth-user-pass>\" -> closes a dropped block",
      "openvpn config drop \"<ca>\" -> replaces the certificate authority",
      "openvpn config drop \"<ca> content\" -> inside a dropped block",
      "openvpn config drop \"</ca>\" -> closes a dropped block",
      "openvpn config drop \"route-delay 2\nup evil.bat\" -> holds a line break or a zero byte",
      "openvpn config drop \"up evil.bat\" -> runs a program",
  };
  EXPECT_EQ(drops, expected);
  for (const std::string& line : rig.log.lines) EXPECT_EQ(line.find("hunter2"), std::string::npos);
}

TEST(OpenVpnFiles, SafeFileNames) {
  struct Row {
    std::string name;
    bool safe;
  };
  const Row rows[] = {
      {"ca_1001.crt", true},     {"certs/ca.crt", true},  {"인증서.crt", true},
      {"", false},               {"..", false},           {"a/../ca.crt", false},
      {"a..crt", false},         {"C:ca.crt", false},     {"certs\\ca.crt", false},
      {"ca\t.crt", false},       {"ca\x7F.crt", false},   {std::string("ca\0.crt", 7), false},
      {"ca?.crt", false},        {"ca*.crt", false},      {"<ca>.crt", false},
      // Devices, whatever the extension: the download would write to a port or nowhere.
      {"nul.crt", false},        {"Com1.crt", false},     {"lpt9.pem", false},
      {"con .crt", false},       {"com10.crt", true},     {"console.crt", true},
      // Only a certificate's extension: the download writes the name into the program's
      // folder, where a program, a library Windows loads from there or a working file
      // of the client would be replaced.
      {"Root-CA.PEM", true},     {"ca.cer", true},        {"vexoop.exe", false},
      {"version.dll", false},    {"vrs.inf", false},      {"ca.crt.exe", false},
      {"ca", false},
  };
  for (const Row& row : rows) EXPECT_EQ(tunnel::COpenVpnFiles::IsSafeFileName(row.name), row.safe) << row.name;
}

// The credential file: two CR LF lines, made readable by its owner only; on every
// failure it is gone (it used to stay, empty, after CODE-019).
TEST(OpenVpnFiles, CredentialFile) {
  {
    Rig rig;
    ASSERT_EQ(rig.writer.WriteCredentials(Record()), 0);
    EXPECT_EQ(rig.files.Get(kCredentials), "gamer01\r\npa55word\r\n");
    EXPECT_TRUE(rig.files.IsOwnerOnly(kCredentials));
    EXPECT_TRUE(rig.owner.boxes().empty());
    for (const std::string& line : rig.log.lines) EXPECT_EQ(line.find("pa55word"), std::string::npos);
  }
  struct Row {
    const char* what;
    void (*arrange)(fakes::FakeFiles&, session::SessionRecord&);
    bool code19;
  };
  const Row rows[] = {
      {"no user", [](fakes::FakeFiles&, session::SessionRecord& r) { r.userId = ""; }, true},
      {"no password", [](fakes::FakeFiles&, session::SessionRecord& r) { r.password = ""; }, true},
      {"line break in the password",
       [](fakes::FakeFiles&, session::SessionRecord& r) { r.password = "pa55\nword"; }, false},
      {"cannot be created", [](fakes::FakeFiles& f, session::SessionRecord&) { f.Deny(kCredentials); }, false},
      {"write fails", [](fakes::FakeFiles& f, session::SessionRecord&) { f.FailWrites(kCredentials); }, false},
  };
  for (const Row& row : rows) {
    Rig rig;
    session::SessionRecord r = Record();
    row.arrange(rig.files, r);
    EXPECT_EQ(rig.writer.WriteCredentials(r), -1) << row.what;
    EXPECT_FALSE(rig.files.Exists(kCredentials)) << row.what;
    EXPECT_EQ(rig.files.OpenFiles(), 0) << row.what;
    if (row.code19) {
      ASSERT_EQ(rig.owner.boxes().size(), 1u) << row.what;
      EXPECT_EQ(rig.owner.boxes()[0].text, "CODE-019 : 계정에 대한 정보가 없습니다");
      EXPECT_EQ(rig.owner.boxes()[0].caption, "환경 설정 오류");
    } else {
      EXPECT_TRUE(rig.owner.boxes().empty()) << row.what;
    }
  }
}

// Credentials, configuration and log go, in that order; the certificate and its
// version file stay; missing files are passed over.
TEST(OpenVpnFiles, RemoveOpenVpnFiles) {
  Rig rig;
  for (const char* path : {kLog, kConfig, kCredentials, "C:/Program Files/TUNRA/ca_1001.crt",
                           "C:/Program Files/TUNRA/crtver.ini"})
    rig.files.Put(path, "x");
  rig.writer.RemoveOpenVpnFiles(Record());
  EXPECT_EQ(rig.files.deleted(), (std::vector<std::string>{kCredentials, kConfig, kLog}));
  EXPECT_TRUE(rig.files.Exists("C:/Program Files/TUNRA/ca_1001.crt"));
  EXPECT_TRUE(rig.files.Exists("C:/Program Files/TUNRA/crtver.ini"));

  rig.writer.RemoveOpenVpnFiles(Record());  // nothing left: nothing happens
  EXPECT_EQ(rig.files.deleted().size(), 3u);
  EXPECT_TRUE(rig.log.lines.empty());
}

}  // namespace
