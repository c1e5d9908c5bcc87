#include "app/main/diagnostics_report.h"

#include <algorithm>
#include <cstdio>

#include "app/texts.h"
#include "net/ipv4_text.h"
#include "text/cp949.h"

namespace app {

namespace {

constexpr const char* kCrLf = "\r\n";

void Section(std::string& out, const char* title) {
  out += kCrLf;
  out += "=== ";
  out += title;
  out += " ===";
  out += kCrLf;
}

// Logs come with CR LF, LF or CR alone: each line gets CR LF. A log longer than the
// limit keeps its end, from the first line start within it.
void AppendLog(std::string& out, const std::string& log) {
  if (log.empty()) {
    out += kReportNone;
    out += kCrLf;
    return;
  }
  std::size_t from = 0;
  if (log.size() > kReportLogLimitBytes) {
    from = log.size() - kReportLogLimitBytes;
    const std::size_t next = log.find('\n', from);
    from = next == std::string::npos ? log.size() : next + 1;
    out += kReportCut;
    out += kCrLf;
  }
  std::size_t start = from;
  for (std::size_t i = from; i < log.size(); ++i) {
    if (log[i] != '\r' && log[i] != '\n') continue;
    out.append(log, start, i - start);
    out += kCrLf;
    if (log[i] == '\r' && i + 1 < log.size() && log[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < log.size()) {
    out.append(log, start, std::string::npos);
    out += kCrLf;
  }
}

std::string HardwareAddress(const std::string& bytes) {
  std::string text;
  char part[4];
  for (unsigned char b : bytes) {
    std::snprintf(part, sizeof part, "%02X", b);
    if (!text.empty()) text += '-';
    text += part;
  }
  return text;
}

void ReadFailed(std::string& out, std::uint32_t code) {
  char line[96];
  std::snprintf(line, sizeof line, kReportReadFailed, static_cast<unsigned>(code));
  out += line;
  out += kCrLf;
}

// Says why a table shows no rows (its read failed, or it has none); true when it has rows.
bool HasRows(std::string& out, std::uint32_t result, bool empty) {
  if (result != 0) {
    ReadFailed(out, result);
    return false;
  }
  if (empty) {
    out += kReportNone;
    out += kCrLf;
    return false;
  }
  return true;
}

void Adapters(std::string& out, const ReportInputs& in) {
  if (!HasRows(out, in.adaptersResult, in.adapters.empty())) return;
  int number = 0;
  for (const platform::AdapterInfo& a : in.adapters) {
    std::string addresses;
    for (const std::string& ip : a.ipAddresses) addresses += (addresses.empty() ? "" : ", ") + ip;
    out += "#" + std::to_string(++number) + ". " + a.description + " | " + a.adapterName + " | index " +
           std::to_string(a.index) + " | type " + std::to_string(a.type) + " | MAC " + HardwareAddress(a.address) +
           " | IP " + (addresses.empty() ? "-" : addresses) + " | gateway " +
           (a.gateway.empty() ? "-" : a.gateway) + kCrLf;
  }
}

void Routes(std::string& out, const ReportInputs& in) {
  if (!HasRows(out, in.routesResult, in.routes.empty())) return;
  out += "destination / mask -> next hop | interface | metric | type | protocol";
  out += kCrLf;
  for (const platform::RouteRow& r : in.routes) {
    out += net::Ipv4ToText(r.dest) + " / " + net::Ipv4ToText(r.mask) + " -> " + net::Ipv4ToText(r.nextHop) +
           " | " + std::to_string(r.ifIndex) + " | " + std::to_string(r.metric1) + " | " +
           std::to_string(r.type) + " | " + std::to_string(r.proto) + kCrLf;
  }
}

}  // namespace

std::vector<std::string> ReportSecretTexts(const ReportSecrets& s) {
  std::vector<std::string> texts;
  auto add = [&](std::string t) {
    // A line of a file read on Windows may keep its CR; blanks around a value are
    // not part of it.
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ' || t.back() == '\t')) t.pop_back();
    std::size_t lead = 0;
    while (lead < t.size() && (t[lead] == ' ' || t[lead] == '\t')) ++lead;
    t.erase(0, lead);
    if (!t.empty() && std::find(texts.begin(), texts.end(), t) == texts.end()) texts.push_back(std::move(t));
  };
  add(s.password);
  add(s.storedId);
  add(s.storedPassword);
  add(s.rememberedId);
  add(s.rememberedPassword);
  for (const std::string& line : text::Split(s.credentialsFile, '\n')) add(line);
  // The longest first: a secret that holds another is masked whole, not around it.
  std::stable_sort(texts.begin(), texts.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return texts;
}

std::string DiagnosticsReport(const ReportInputs& in) {
  std::string out;
  out += kReportHeading;
  out += kCrLf;
  out += kReportSavedAt + in.savedAt + kCrLf;

  Section(out, kReportClientVersion);
  out += std::to_string(in.clientVersion) + kCrLf;
  Section(out, kReportWindowsVersion);
  out += (in.windowsVersion.empty() ? std::string(kReportNone) : in.windowsVersion) + kCrLf;
  Section(out, kReportSystem);
  AppendLog(out, in.systemReport);
  Section(out, kReportAdapters);
  Adapters(out, in);
  Section(out, kReportRoutes);
  Routes(out, in);
  Section(out, kReportRasErrors);
  if (in.rasErrors.empty()) {
    out += kReportNone;
    out += kCrLf;
  }
  for (const std::string& e : in.rasErrors) AppendLog(out, e);
  Section(out, kReportDiagLog);
  AppendLog(out, in.diagLog);
  Section(out, kReportOpenVpnLog);
  AppendLog(out, in.openVpnLog);

  // Masked over the whole text: a secret may sit in any section (a log line, an
  // adapter's name a user typed, an error text).
  for (const std::string& secret : ReportSecretTexts(in.secrets)) out = text::ReplaceAll(out, secret, "***");
  return out;
}

std::string ReportFileName(int year, int month, int day, int hour, int minute, int second) {
  char name[96];
  std::snprintf(name, sizeof name, "tunra_diag_%04d%02d%02d_%02d%02d%02d.txt", year, month, day, hour, minute,
                second);
  return name;
}

}  // namespace app
