// The report for support that the tray menu saves: one text of sections (client and
// Windows versions, the system report, the adapters and routes as the client sees
// them, the last dialer errors, the diagnostics log and the last OpenVPN log) with
// every secret the inputs could carry masked. Pure: the main window gathers the
// inputs and writes the text (app/main/diagnostics.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/iphelper.h"

namespace app {

// Each embedded log keeps at most its last this many bytes (from a line start).
inline constexpr std::size_t kReportLogLimitBytes = 512 * 1024;
// The dialer errors kept for the report, the newest last.
inline constexpr std::size_t kKeptRasErrors = 10;

// What must never appear in the report, as the program holds or stores it.
struct ReportSecrets {
  std::string password;         // the session's password (typed, remembered or given)
  std::string credentialsFile;  // the OpenVPN credentials file (vrs.inf) as read: every line
  std::string storedId;         // the remembered account: the identifier and the
  std::string storedPassword;   // password as the settings hold them (encoded) ...
  std::string rememberedId;     // ... and decoded
  std::string rememberedPassword;
};

struct ReportInputs {
  int clientVersion = 0;
  std::string savedAt;          // "YYYY-MM-DD HH:MM:SS", local time
  std::string windowsVersion;   // "6.1.7601 Service Pack 1"
  std::string systemReport;     // protocol::SystemReport
  std::uint32_t adaptersResult = 0;  // GetAdaptersInfo's result; the list only when 0
  std::vector<platform::AdapterInfo> adapters;
  std::uint32_t routesResult = 0;    // GetIpForwardTable's result; the rows only when 0
  std::vector<platform::RouteRow> routes;
  std::vector<std::string> rasErrors;  // "stamp code text", oldest first
  std::string diagLog;          // tunra-diag.log as read (empty when missing)
  std::string openVpnLog;       // the last OpenVPN log (empty when none)
  ReportSecrets secrets;
};

// The report text, CP949 with CR LF line ends.
std::string DiagnosticsReport(const ReportInputs& in);

// The texts DiagnosticsReport masks: every non-empty secret and every non-blank line
// of the credentials file, the longest first (so one holding another is masked whole).
std::vector<std::string> ReportSecretTexts(const ReportSecrets& secrets);

// The report's file name for a local time: "tunra_diag_YYYYMMDD_HHMMSS.txt".
std::string ReportFileName(int year, int month, int day, int hour, int minute, int second);

}  // namespace app
