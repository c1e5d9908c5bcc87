#include "tunnel/openvpn_directives.h"

#include <cstring>

namespace tunnel {

namespace {

// Which uses of a directive are dropped.
enum class Form {
  kEvery,       // on a line of its own and as an inline block
  kFileOnly,    // naming a file; an inline block carries the data in the file itself
  kAuthFileArg, // a proxy whose fourth parameter names a credentials file
};

struct Rule {
  const char* name;
  Form form;
  const char* reason;
};

constexpr const char* kRunsProgram = "runs a program";
constexpr const char* kLoadsCode = "loads a library";
constexpr const char* kWritesFile = "writes a file";
constexpr const char* kReadsFile = "reads a file";
constexpr const char* kCredentials = "replaces the account's credentials";
constexpr const char* kProxyAuthFile = "sends a file's first lines to a proxy";
constexpr const char* kTrustAnchor = "replaces the certificate authority";
constexpr const char* kControlPort = "opens a control interface";
constexpr const char* kMovesLog = "takes the log away from the watcher";
constexpr const char* kLogText = "writes text into the watched log";
constexpr const char* kScriptEnv = "sets the environment of programs (and 'setenv opt' applies any directive)";
constexpr const char* kMachineInfo = "sends the machine's details to the server";
constexpr const char* kSystemChange = "changes the system and exits";

// Directives of OpenVPN 2.6 (and the older programs shipped as vexoop.exe) that a
// forged reply could use against the user's machine. Compared without regard to case
// (OpenVPN itself is case-sensitive, so other spellings are errors there anyway).
constexpr Rule kRules[] = {
    // Commands run on events, and the settings that let them run.
    {"up", Form::kEvery, kRunsProgram},
    {"down", Form::kEvery, kRunsProgram},
    {"route-up", Form::kEvery, kRunsProgram},
    {"route-pre-down", Form::kEvery, kRunsProgram},
    {"ipchange", Form::kEvery, kRunsProgram},
    {"tls-verify", Form::kEvery, kRunsProgram},
    {"auth-user-pass-verify", Form::kEvery, kRunsProgram},
    {"client-connect", Form::kEvery, kRunsProgram},
    {"client-disconnect", Form::kEvery, kRunsProgram},
    {"client-crresponse", Form::kEvery, kRunsProgram},
    {"learn-address", Form::kEvery, kRunsProgram},
    {"tls-crypt-v2-verify", Form::kEvery, kRunsProgram},
    {"dns-updown", Form::kEvery, kRunsProgram},  // 2.7
    {"iproute", Form::kEvery, kRunsProgram},     // the command run in place of ip
    {"win-sys", Form::kEvery, kRunsProgram},     // the folder route.exe and netsh.exe run from
    {"script-security", Form::kEvery, kRunsProgram},
    // Libraries loaded into the program.
    {"plugin", Form::kEvery, kLoadsCode},
    {"engine", Form::kEvery, kLoadsCode},
    {"providers", Form::kEvery, kLoadsCode},
    {"pkcs11-providers", Form::kEvery, kLoadsCode},
    // Files written (or truncated) at a path of the reply's choosing.
    {"log", Form::kEvery, kWritesFile},
    {"log-append", Form::kEvery, kWritesFile},
    {"status", Form::kEvery, kWritesFile},
    {"writepid", Form::kEvery, kWritesFile},
    {"replay-persist", Form::kEvery, kWritesFile},
    {"ifconfig-pool-persist", Form::kEvery, kWritesFile},
    {"tls-export-cert", Form::kEvery, kWritesFile},
    {"tmp-dir", Form::kEvery, kWritesFile},
    {"genkey", Form::kEvery, kWritesFile},
    // Files read, or the folder files are looked for in.
    {"config", Form::kEvery, kReadsFile},  // a whole configuration, past this check
    {"cd", Form::kEvery, kReadsFile},
    {"chroot", Form::kEvery, kReadsFile},
    {"client-config-dir", Form::kEvery, kReadsFile},
    {"dev-node", Form::kEvery, kReadsFile},  // a device path, or another adapter than the one prepared
    {"askpass", Form::kEvery, kReadsFile},
    {"auth-gen-token-secret", Form::kEvery, kReadsFile},
    {"cert", Form::kFileOnly, kReadsFile},
    {"key", Form::kFileOnly, kReadsFile},
    {"pkcs12", Form::kFileOnly, kReadsFile},
    {"extra-certs", Form::kFileOnly, kReadsFile},
    {"dh", Form::kFileOnly, kReadsFile},
    {"secret", Form::kFileOnly, kReadsFile},
    {"tls-auth", Form::kFileOnly, kReadsFile},
    {"tls-crypt", Form::kFileOnly, kReadsFile},
    {"tls-crypt-v2", Form::kFileOnly, kReadsFile},
    {"crl-verify", Form::kFileOnly, kReadsFile},
    {"http-proxy", Form::kAuthFileArg, kProxyAuthFile},
    {"socks-proxy", Form::kAuthFileArg, kProxyAuthFile},
    {"http-proxy-user-pass", Form::kEvery, kProxyAuthFile},
    // The credentials and the trust anchor are the client's own lines; a later
    // directive would replace them.
    {"auth-user-pass", Form::kEvery, kCredentials},
    {"ca", Form::kEvery, kTrustAnchor},
    {"capath", Form::kEvery, kTrustAnchor},
    // The log the client reads.
    {"daemon", Form::kEvery, kMovesLog},
    {"syslog", Form::kEvery, kMovesLog},
    {"echo", Form::kEvery, kLogText},
    {"parameter", Form::kEvery, kLogText},
    // The rest.
    {"setenv", Form::kEvery, kScriptEnv},
    {"setenv-safe", Form::kEvery, kScriptEnv},
    {"push-peer-info", Form::kEvery, kMachineInfo},
    {"allow-nonadmin", Form::kEvery, kSystemChange},
    {"mktun", Form::kEvery, kSystemChange},
    {"rmtun", Form::kEvery, kSystemChange},
};

// Every directive whose name starts with this (management, management-hold,
// management-query-passwords, ...) opens or configures the management interface.
constexpr const char kManagementPrefix[] = "management";

bool IsBlank(char c) {
  return c == '\0' || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The parameters of a line as OpenVPN's configuration reader splits them: blanks
// separate; "..." and '...' quote; outside single quotes a backslash escapes a
// backslash, a double quote or a blank; ';' or '#' where a parameter would start ends
// the line. False where OpenVPN refuses the line (another escaped character, an
// unclosed quote, a backslash at the end).
bool SplitParameters(std::string_view line, std::vector<std::string>& out) {
  enum State { kInitial, kUnquoted, kQuoted, kSingleQuoted };
  State state = kInitial;
  bool backslash = false;
  std::string parm;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    const char in = i < line.size() ? line[i] : '\0';  // the end reads as a blank
    char put = 0;
    if (!backslash && in == '\\' && state != kSingleQuoted) {
      backslash = true;
      continue;
    }
    bool done = false;
    switch (state) {
      case kInitial:
        if (!IsBlank(in)) {
          if (in == ';' || in == '#') return true;  // a comment
          if (!backslash && in == '"') {
            state = kQuoted;
          } else if (!backslash && in == '\'') {
            state = kSingleQuoted;
          } else {
            put = in;
            state = kUnquoted;
          }
        }
        break;
      case kUnquoted:
        if (!backslash && IsBlank(in)) done = true;
        else put = in;
        break;
      case kQuoted:
        if (!backslash && in == '"') done = true;
        else put = in;
        break;
      case kSingleQuoted:
        if (in == '\'') done = true;
        else put = in;
        break;
    }
    if (done) {
      out.push_back(parm);
      parm.clear();
      state = kInitial;
    }
    if (backslash && put != 0 && !(put == '\\' || put == '"' || IsBlank(put))) return false;
    backslash = false;
    if (put != 0) parm += put;
  }
  return state == kInitial;
}

// "--name" is read as "name" (three bytes or more, as OpenVPN does).
std::string_view WithoutDoubleDash(std::string_view name) {
  if (name.size() >= 3 && name.compare(0, 2, "--") == 0) name.remove_prefix(2);
  return name;
}

const Rule* FindRule(const std::string& lowerName) {
  for (const Rule& rule : kRules)
    if (lowerName == rule.name) return &rule;
  return nullptr;
}

// Why the item must be dropped (null: keep). `blockTag` is set to the tag's name
// when the item opens an inline block that is dropped with all its lines.
const char* DropReason(std::string_view item, std::string& blockTag) {
  blockTag.clear();
  for (char c : item)
    if (c == '\r' || c == '\n' || c == '\0') return "holds a line break or a zero byte";
  if (item.size() > kMaxDirectiveBytes) return "longer than a configuration line";
  std::vector<std::string> parms;
  if (!SplitParameters(item, parms)) return "unreadable (quote or backslash)";
  if (parms.empty()) return nullptr;  // blank or a comment

  std::string_view name = WithoutDoubleDash(parms[0]);
  bool inlineBlock = false;
  if (parms.size() == 1 && name.size() >= 2 && name.front() == '<' && name.back() == '>') {
    inlineBlock = true;
    name = name.substr(1, name.size() - 2);
  }
  const std::string original(name);
  const std::string lower = Lower(WithoutDoubleDash(name));

  const char* reason = nullptr;
  if (lower.compare(0, std::strlen(kManagementPrefix), kManagementPrefix) == 0) {
    reason = kControlPort;
  } else if (const Rule* rule = FindRule(lower)) {
    switch (rule->form) {
      case Form::kEvery:
        reason = rule->reason;
        break;
      case Form::kFileOnly:
        if (!inlineBlock) reason = rule->reason;
        break;
      case Form::kAuthFileArg:
        // http-proxy server port [authfile|auto|auto-nct] [method]; socks-proxy server
        // [port] [authfile].
        if (parms.size() > 3) {
          const std::string third = Lower(parms[3]);
          if (lower == "socks-proxy" || (third != "auto" && third != "auto-nct")) reason = rule->reason;
        }
        break;
    }
  }
  if (reason != nullptr && inlineBlock) blockTag = original;
  return reason;
}

// OpenVPN ends an inline block at the first line that starts, after blanks, with the
// closing tag.
bool ClosesBlock(std::string_view item, const std::string& tag) {
  std::size_t i = 0;
  while (i < item.size() && IsBlank(item[i]) && item[i] != '\0') ++i;
  const std::string close = "</" + tag + ">";
  return item.compare(i, close.size(), close) == 0;
}

}  // namespace

OpenConfigItems FilterOpenConfig(std::string_view openConfig) {
  OpenConfigItems result;
  std::string droppedBlock;  // the tag of the inline block being dropped, if any
  std::size_t start = 0;
  while (start <= openConfig.size()) {
    std::size_t end = openConfig.find('^', start);
    if (end == std::string_view::npos) end = openConfig.size();
    const std::string_view item = openConfig.substr(start, end - start);
    start = end + 1;
    if (item.empty()) continue;

    if (!droppedBlock.empty()) {
      // Its lines are data of the dropped directive (perhaps a password): never shown.
      if (ClosesBlock(item, droppedBlock)) {
        result.dropped.push_back({"</" + droppedBlock + ">", "closes a dropped block"});
        droppedBlock.clear();
      } else {
        result.dropped.push_back({"<" + droppedBlock + "> content", "inside a dropped block"});
      }
      continue;
    }
    std::string tag;
    if (const char* reason = DropReason(item, tag)) {
      result.dropped.push_back({std::string(item), reason});
      droppedBlock = tag;
    } else {
      result.kept.emplace_back(item);
    }
  }
  return result;
}

}  // namespace tunnel
