// The OpenVPN log's status: every code of the table, the line rules, the last deciding
// line winning, and the backward skip search checked against a plain line-by-line
// reading of the same rules on generated logs.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "text/cp949.h"
#include "tunnel/openvpn_mgmt.h"

namespace {

using tunnel::ScanOpenVpnLog;

const char* const kStamp = "Mon Mar 04 10:22:31 2024 ";

// `count` ordinary lines, each ending in `eol`.
std::string Noise(int count, const std::string& eol = "\r\n") {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += std::string(kStamp) + "Data Channel Encrypt: Cipher 'BF-CBC' initialized with 128 bit key" + eol;
  return out;
}
std::string Line(const std::string& text, const std::string& eol = "\r\n") { return kStamp + text + eol; }

struct Row {
  const char* name;
  std::string log;
  bool running;
  int expected;
};

void Check(const std::vector<Row>& rows) {
  for (const Row& row : rows) EXPECT_EQ(ScanOpenVpnLog(row.log, row.running), row.expected) << row.name;
}

TEST(OpenVpnLogScan, EveryTextGivesItsCodeWhetherOrNotTheProgramRuns) {
  struct Text {
    const char* text;
    int code;
  };
  const Text texts[] = {
      {"TCP/UDP: Closing socket", -1},
      {"VERIFY ERROR: depth=0, error=certificate is not yet valid: /CN=server", -2},
      {"VERIFY ERROR: depth=0, error=certificate has expired: /CN=server", -3},
      {"TLS Error: Need PEM pass phrase for private key", -4},
      {"Cannot load private key: error:06065064:digital envelope routines:EVP_DecryptFinal:bad decrypt", -5},
      {"error:23076071:PKCS12 routines:PKCS12_parse:mac verify failure", -6},
      {"AUTH: Received AUTH_FAILED control message", -7},
      {"ERROR: Auth username is empty", -8},
      {"ERROR: netsh command failed: returned error code 1", -9},
      {"write UDPv4: No Route to Host (WSAEHOSTUNREACH) (code=10065)", -12},
      {"There are no TAP-Win32 adapters on this system.  You should be able to create one", -13},
      {"SIGUSR1[soft,ping-restart] received, process restarting", -13},
      // OpenVPN 2.6.14 with OpenSSL 3.0, as measured.
      {"neither stdin nor stderr are a tty device and you have neither a controlling tty nor systemd - "
       "can't ask for 'Enter Private Key Password:'.  If you used --daemon, you need to use --askpass",
       -4},
      {"OpenSSL: error:1C800064:Provider routines::bad decrypt:", -5},
      {"OpenSSL: error:11800071:PKCS12 routines::mac verify failure:", -6},
      {"AUTH: Received control message: AUTH_FAILED", -7},
      {"ERROR: username from Auth authfile 'vrs.inf' is empty", -8},
      {"There are no TAP-Windows adapters on this system.  You should be able to create", -13},
      {"There are no TAP-Windows, Wintun or ovpn-dco adapters on this system.", -13},
  };
  for (const Text& t : texts)
    for (bool running : {true, false}) {
      EXPECT_EQ(ScanOpenVpnLog(Noise(3) + Line(t.text) + Noise(3), running), t.code) << t.text << " " << running;
      EXPECT_EQ(ScanOpenVpnLog(Line(t.text), running), t.code) << t.text << " alone";
    }
}

TEST(OpenVpnLogScan, SuccessAndTheEndOfTheLog) {
  const std::string completed = Line("Initialization Sequence Completed");
  Check({
      {"success while running", Noise(20) + completed, true, 1},
      {"success in a short log", Noise(2) + completed, true, 1},
      {"success while not running: scanned to the end", Noise(20) + completed, false, -10},
      {"with errors never succeeds", Noise(20) + Line("Initialization Sequence Completed With Errors"), true,
       -100},
      {"with errors, then success", Noise(20) + Line("Initialization Sequence Completed With Errors") + completed,
       true, 1},
      {"both forms on one line", Noise(20) + Line("Initialization Sequence Completed With Errors; "
                                                 "Initialization Sequence Completed"),
       true, -100},
      {"empty log", "", true, -14},
      {"14 lines", Noise(14), true, -14},
      {"15 lines, running", Noise(15), true, -100},
      {"15 lines, not running", Noise(15), false, -10},
      {"14 lines and a last one without a line end", Noise(14) + "last words", false, -10},
      {"15 line ends with LF only", Noise(15, "\n"), false, -10},
      {"empty lines count", std::string(15, '\n'), true, -100},
  });
}

// Lines under 20 bytes are not examined; the line end does not count towards them.
TEST(OpenVpnLogScan, OnlyLinesOfTwentyBytesOrMoreAreExamined) {
  const std::string at19 = "No Route to Host123";   // 19 bytes
  const std::string at20 = "No Route to Host1234";  // 20 bytes
  Check({
      {"19 bytes, CR LF", Noise(20) + at19 + "\r\n", true, -100},
      {"19 bytes, LF", Noise(20) + at19 + "\n", true, -100},
      {"19 bytes, last line", Noise(20) + at19, false, -10},
      {"19 bytes, only line", at19, false, -14},
      {"20 bytes, CR LF", Noise(20) + at20 + "\r\n", true, -12},
      {"20 bytes, LF", Noise(20) + at20 + "\n", true, -12},
      {"20 bytes, last line", Noise(20) + at20, false, -12},
      {"20 bytes with the CR at the end of the file", Noise(20) + at19 + "\r", false, -12},
      {"a success line without a time stamp", "Initialization Sequence Completed\n", true, 1},
  });
}

// Within a line, the table's order decides, not the place in the line.
TEST(OpenVpnLogScan, TableOrderDecidesWithinALine) {
  Check({
      {"closing socket before a route error", Line("No Route to Host; TCP/UDP: Closing socket"), true, -1},
      {"auth before restart", Line("SIGUSR1[soft,ping-restart] received, process restarting "
                                   "Received AUTH_FAILED control message"),
       true, -7},
      {"an error beats success", Line("Initialization Sequence Completed, No Route to Host"), true, -12},
  });
}

// The last deciding line wins: the tunnel that came up and then went down is down.
TEST(OpenVpnLogScan, TheLastDecidingLineWins) {
  const std::string completed = Line("Initialization Sequence Completed");
  const std::string restart = Line("SIGUSR1[soft,ping-restart] received, process restarting");
  const std::string closing = Line("TCP/UDP: Closing socket");
  Check({
      {"restart after success", Noise(5) + completed + Noise(5) + restart + Noise(5), true, -13},
      {"closed socket after success", Noise(5) + completed + closing + Noise(20), true, -1},
      {"success after a restart", Noise(5) + restart + Noise(5) + completed + Noise(5), true, 1},
      {"an error, then success while not running", restart + Noise(20) + completed, false, -13},
      {"a later short line does not decide", completed + Noise(20) + "No Route to Host\r\n", true, 1},
      {"a later with-errors line does not decide", restart + Line("Initialization Sequence Completed With Errors"),
       true, -13},
      {"certificate errors on every retry", Line("error=certificate has expired") + Noise(3) +
                                                Line("error=certificate is not yet valid"),
       true, -2},
  });
}

TEST(OpenVpnLogScan, LinesOfAnyLength) {
  const std::string filler(3u << 20, 'x');
  Check({
      {"text at the end of a 3 MiB line", Noise(20) + filler + "No Route to Host\r\n", true, -12},
      {"text at the start of a 3 MiB line", Noise(20) + "No Route to Host" + filler + "\r\n", false, -12},
      {"3 MiB line without a text", Noise(20) + filler + "\r\n", true, -100},
      {"success at the start, a 3 MiB line after it", Line("Initialization Sequence Completed") + filler, true, 1},
  });
}

// A text counts where it starts a character: after a lead byte, its first letter is
// the trail byte of a Korean character.
TEST(OpenVpnLogScan, ATextInsideAKoreanCharacterDoesNotCount) {
  Check({
      {"after a lone lead byte", Noise(20) + "\xB0No Route to Host, and more\r\n", true, -100},
      {"after a whole Korean character", Noise(20) + "\xB0\xA1No Route to Host, and more\r\n", true, -12},
      {"after three lead-range bytes", Noise(20) + "\xB0\xA1\xB0No Route to Host, and more\r\n", true, -100},
      {"the same text again on a boundary", Noise(20) + "\xB0No Route to Host No Route to Host\r\n", true, -12},
  });
}

// ---- The same rules read plainly, line by line from the start.

const char* const kReferenceTexts[] = {
    "TCP/UDP: Closing socket", "error=certificate is not yet valid", "error=certificate has expired",
    "TLS Error: Need PEM pass phrase for private key", "EVP_DecryptFinal:bad decrypt",
    "PKCS12_parse:mac verify failure", "Received AUTH_FAILED control message", "Auth username is empty",
    "netsh command failed", "No Route to Host", "There are no TAP-Win32 adapters on this system",
    "SIGUSR1[soft,ping-restart] received, process restarting",
    // The forms of OpenVPN 2.6, in the order of the codes they share.
    "can't ask for 'Enter Private Key Password:'", "Provider routines::bad decrypt",
    "PKCS12 routines::mac verify failure", "AUTH: Received control message: AUTH_FAILED",
    "username from Auth authfile", "There are no TAP-Windows"};
const int kReferenceCodes[] = {-1, -2, -3, -4, -5, -6, -7, -8, -9, -12, -13, -13, -4, -5, -6, -7, -8, -13};

// The code of the first watched text in table order: the table lists each 2.6 form
// right after the older text of its code, so the lowest code position wins here.
int FirstCodeIn(std::string_view line) {
  static const int kTableOrder[] = {0, 1, 2, 3, 12, 4, 13, 5, 14, 6, 15, 7, 16, 8, 9, 10, 17, 11};
  static_assert(sizeof kTableOrder == sizeof kReferenceCodes, "every text once");
  for (int i : kTableOrder)
    if (text::Contains(line, kReferenceTexts[i])) return kReferenceCodes[i];
  return 0;
}

int ReadPlainly(std::string_view log, bool running) {
  int lines = 0, last = 0;
  std::size_t start = 0;
  while (start < log.size()) {
    std::size_t end = log.find('\n', start);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = log.size();
    std::string_view line = log.substr(start, end - start);
    if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lines;
    if (line.size() >= 20) {
      int code = FirstCodeIn(line);
      if (code == 0 && running && text::Contains(line, "Initialization Sequence Completed") &&
          !text::Contains(line, "Initialization Sequence Completed With Errors"))
        code = 1;
      if (code != 0) last = code;
    }
    start = end + 1;
  }
  if (last != 0) return last;
  return lines >= 15 ? (running ? -100 : -10) : -14;
}

// Logs made of watched texts, their pieces, Korean characters (some with letters as
// trail bytes), lone lead bytes and both line ends, in random order and length.
TEST(OpenVpnLogScan, AgreesWithAPlainReadingOnGeneratedLogs) {
  const std::vector<std::string> pieces = {
      "TCP/UDP: Closing socket", "error=certificate is not yet valid", "error=certificate has expired",
      "TLS Error: Need PEM pass phrase for private key", "EVP_DecryptFinal:bad decrypt",
      "PKCS12_parse:mac verify failure", "Received AUTH_FAILED control message", "Auth username is empty",
      "netsh command failed", "No Route to Host", "There are no TAP-Win32 adapters on this system",
      "SIGUSR1[soft,ping-restart] received, process restarting", "Initialization Sequence Completed",
      "can't ask for 'Enter Private Key Password:'", "Provider routines::bad decrypt",
      "PKCS12 routines::mac verify failure", "AUTH: Received control message: AUTH_FAILED",
      "username from Auth authfile", "There are no TAP-Windows",
      "Initialization Sequence Completed With Errors", "Initialization Sequence", "No Route to Hos",
      "TCP/UDP: Closing", "Received control message", "error=certificate", " With Errors", "Host",
      "\xB0\xA1", "\x81N", "\xB0", "\xC7\xD1\xB1\xDB", " ", "x", "1234567890", "\r\n", "\n", "\r"};
  std::mt19937 random(20240304);
  int decided = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string log;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) {
      // Line ends and filler more often than texts, so lines of every length occur.
      const std::size_t pick = random() % (pieces.size() + 12);
      log += pick < pieces.size() ? pieces[pick] : (pick % 3 == 0 ? std::string("\r\n") : std::string("abcde"));
    }
    for (bool running : {true, false}) {
      const int expected = ReadPlainly(log, running);
      if (expected != -14 && expected != -10 && expected != -100) ++decided;
      ASSERT_EQ(ScanOpenVpnLog(log, running), expected) << "round " << round << " running " << running << "\n"
                                                        << log;
    }
  }
  EXPECT_GT(decided, 1000);  // the generated logs exercise the deciding lines
}

}  // namespace
