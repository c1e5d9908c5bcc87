// The OpenVPN log's status: which watched text the last deciding line holds.
//
// The log is split into lines at every "\n" byte (a "\r" just before it is part of the
// line end); a line shorter than 20 bytes is never examined. A line decides when it
// holds one of the watched error texts (the first of them in table order gives the
// code) or, while the program runs, "Initialization Sequence Completed" without the
// "With Errors" form. The LAST deciding line of the log gives the status: a restart or
// a closed socket written after the tunnel came up must end the tunnel, so an earlier
// success line may not hide it. With no deciding line, the status says whether the log
// has 15 lines and whether the program runs.
//
// A text counts only where it starts a character of code page 949 (never on the trail
// byte of a Korean character), as text::Find matches.
//
// Speed: the log is read again every second and may be large, so the scan walks it
// once from its end with a multi-text skip search (below) and stops at the first line
// from the end that decides. Nothing is copied.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/cp949.h"
#include "tunnel/openvpn_mgmt.h"

namespace tunnel {

namespace {

struct WatchedText {
  const char* text;
  int code;
};

// The error texts in table order: within one line, the first of them found decides.
// Each older OpenVPN's text is followed by the form OpenVPN 2.6 (with OpenSSL 3) prints
// for the same failure, so a current program is reported as precisely:
//   a key's pass phrase that cannot be asked for (no console): "... can't ask for
//   'Enter Private Key Password:'"; a wrong one: "OpenSSL: error:1C800064:Provider
//   routines::bad decrypt:"; a wrong PKCS#12 one: "OpenSSL: error:11800071:PKCS12
//   routines::mac verify failure:" (both then say "private key password verification
//   failed", which is not watched: it does not tell the two apart and comes last);
//   a refused login: "AUTH: Received control message: AUTH_FAILED"; an empty user name
//   in the credentials file: "ERROR: username from Auth authfile 'vrs.inf' is empty";
//   no adapter: "There are no TAP-Windows adapters on this system" (2.4/2.5) and
//   "There are no TAP-Windows, Wintun or ovpn-dco adapters on this system" (2.6).
// The other texts are printed by 2.6 as they were.
constexpr WatchedText kErrorTexts[] = {
    {"TCP/UDP: Closing socket", -1},
    {"error=certificate is not yet valid", -2},
    {"error=certificate has expired", -3},
    {"TLS Error: Need PEM pass phrase for private key", -4},
    {"can't ask for 'Enter Private Key Password:'", -4},
    {"EVP_DecryptFinal:bad decrypt", -5},
    {"Provider routines::bad decrypt", -5},
    {"PKCS12_parse:mac verify failure", -6},
    {"PKCS12 routines::mac verify failure", -6},
    {"Received AUTH_FAILED control message", -7},
    {"AUTH: Received control message: AUTH_FAILED", -7},
    {"Auth username is empty", -8},
    {"username from Auth authfile", -8},
    {"netsh command failed", -9},
    {"No Route to Host", -12},
    {"There are no TAP-Win32 adapters on this system", -13},
    {"There are no TAP-Windows", -13},
    {"SIGUSR1[soft,ping-restart] received, process restarting", -13},
};
constexpr int kErrorCount = static_cast<int>(sizeof kErrorTexts / sizeof kErrorTexts[0]);
constexpr const char* kCompleted = "Initialization Sequence Completed";
constexpr const char* kCompletedWithErrors = "Initialization Sequence Completed With Errors";

// Every text searched for: the error texts by their index, then the two success forms.
constexpr int kCompletedBit = kErrorCount;
constexpr int kWithErrorsBit = kErrorCount + 1;
constexpr int kPatternCount = kErrorCount + 2;
static_assert(kPatternCount <= 32, "the pattern set is a 32-bit mask");

constexpr std::size_t kMinExaminedLength = 20;
constexpr int kFullLogLines = 15;

// Finds, going backwards, the last place where one of the texts starts: a Wu-Manber
// search mirrored to run from the end. A window is as long as the shortest text and
// the two bytes at its start choose how far it may move back without passing over
// the start of an occurrence; only a window whose first two bytes begin some text is
// compared. On log text it looks at one window in every ten or so bytes.
class BackwardSearch {
 public:
  BackwardSearch() {
    window_ = SIZE_MAX;
    for (int i = 0; i < kPatternCount; ++i) {
      texts_[i] = Text(i);
      lengths_[i] = std::strlen(texts_[i]);
      if (lengths_[i] < window_) window_ = lengths_[i];
    }
    const std::size_t longest = window_ - kBlock + 1;
    std::memset(shift_, static_cast<int>(longest), sizeof shift_);
    std::memset(starts_, 0, sizeof starts_);
    for (int i = 0; i < kPatternCount; ++i) {
      const auto* text = reinterpret_cast<const unsigned char*>(texts_[i]);
      for (std::size_t j = 0; j + kBlock <= window_; ++j) {
        std::uint8_t& shift = shift_[Block(text + j)];
        if (j < shift) shift = static_cast<std::uint8_t>(j);
      }
      starts_[Block(text)] |= 1u << i;
    }
  }

  // The start of the last occurrence of any text that starts in [lo, from] and ends at
  // or before `hi`; SIZE_MAX when there is none. `found` gets the texts starting there.
  std::size_t Previous(const unsigned char* s, std::size_t lo, std::size_t hi, std::size_t from,
                       std::uint32_t& found) const {
    if (hi < lo + window_ || from < lo) return SIZE_MAX;
    std::size_t pos = from < hi - window_ ? from : hi - window_;
    for (;;) {
      const std::uint32_t block = Block(s + pos);
      std::size_t shift = shift_[block];
      if (shift == 0) {
        std::uint32_t mask = 0;
        for (std::uint32_t candidates = starts_[block]; candidates != 0; candidates &= candidates - 1) {
          const int i = LowestBit(candidates);
          if (pos + lengths_[i] <= hi && std::memcmp(s + pos, texts_[i], lengths_[i]) == 0) mask |= 1u << i;
        }
        if (mask != 0) {
          found = mask;
          return pos;
        }
        shift = 1;
      }
      if (pos < lo + shift) return SIZE_MAX;
      pos -= shift;
    }
  }

 private:
  static constexpr std::size_t kBlock = 2;

  static const char* Text(int i) {
    if (i < kErrorCount) return kErrorTexts[i].text;
    return i == kCompletedBit ? kCompleted : kCompletedWithErrors;
  }
  static std::uint32_t Block(const unsigned char* p) { return p[0] | (static_cast<std::uint32_t>(p[1]) << 8); }
  static int LowestBit(std::uint32_t mask) {
    int i = 0;
    while ((mask & 1u) == 0) {
      mask >>= 1;
      ++i;
    }
    return i;
  }

  const char* texts_[kPatternCount];
  std::size_t lengths_[kPatternCount];
  std::size_t window_;
  std::uint8_t shift_[1u << (8 * kBlock)];
  std::uint32_t starts_[1u << (8 * kBlock)];  // texts that begin with each block
};

const BackwardSearch& Search() {
  static const BackwardSearch search;
  return search;
}

// Whether the byte at `pos` starts a character, `lineStart` being a boundary. The
// bytes before `pos` that can only be lead bytes pair up from their first one.
bool StartsCharacter(const unsigned char* s, std::size_t lineStart, std::size_t pos) {
  std::size_t run = 0;
  while (pos - run > lineStart && text::IsLeadByte(s[pos - run - 1])) ++run;
  return run % 2 == 0;
}

// The status a line with these texts gives; 0 when it does not decide.
int Decide(std::uint32_t texts, bool running) {
  for (int i = 0; i < kErrorCount; ++i)
    if (texts & (1u << i)) return kErrorTexts[i].code;
  if (running && (texts & (1u << kCompletedBit)) && !(texts & (1u << kWithErrorsBit))) return kOvpnUp;
  return 0;
}

// Whether the log has at least `wanted` lines (a last line without "\n" counts).
bool HasLines(std::string_view log, int wanted) {
  int lines = 0;
  std::size_t pos = 0;
  while (lines < wanted) {
    const void* nl = pos < log.size() ? std::memchr(log.data() + pos, '\n', log.size() - pos) : nullptr;
    if (nl == nullptr) return lines + (pos < log.size() ? 1 : 0) >= wanted;
    pos = static_cast<std::size_t>(static_cast<const char*>(nl) - log.data()) + 1;
    ++lines;
  }
  return true;
}

}  // namespace

int ScanOpenVpnLog(std::string_view log, bool running) {
  const auto* s = reinterpret_cast<const unsigned char*>(log.data());
  const std::size_t n = log.size();
  const BackwardSearch& search = Search();
  std::size_t hi = n;  // lines from `hi` on are done
  std::uint32_t found = 0;
  for (std::size_t pos = search.Previous(s, 0, hi, hi, found); pos != SIZE_MAX;
       pos = search.Previous(s, 0, hi, hi, found)) {
    std::size_t start = pos;
    while (start > 0 && s[start - 1] != '\n') --start;
    const void* nl = std::memchr(s + pos, '\n', n - pos);
    const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const unsigned char*>(nl) - s) : n;
    const std::size_t contentEnd = (nl && end > start && s[end - 1] == '\r') ? end - 1 : end;
    if (contentEnd - start >= kMinExaminedLength) {
      // Every text of the line, from its last occurrence back to the line's start.
      std::uint32_t texts = 0;
      for (std::size_t at = pos; at != SIZE_MAX;) {
        if (StartsCharacter(s, start, at)) texts |= found;
        at = at == start ? SIZE_MAX : search.Previous(s, start, contentEnd, at - 1, found);
      }
      if (const int status = Decide(texts, running)) return status;
    }
    if (start == 0) break;
    hi = start;
  }
  if (!HasLines(log, kFullLogLines)) return kOvpnFewLines;
  return running ? kOvpnEndRunning : kOvpnEndNotRunning;
}

}  // namespace tunnel
