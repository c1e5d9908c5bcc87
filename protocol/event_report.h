// The event report: a failure diagnosis sent when an error ended the OpenVPN tunnel.
// It carries the reason, the client version, the system report and the whole current
// OpenVPN log; the reply is ignored.
#pragma once

#include "protocol/exchange_context.h"

namespace protocol {

// Reason texts (their trailing blanks belong to them).
inline constexpr const char* kReasonServiceTimeZero = "VPN USER STATIC SERVICE TIME ZERO ERROR";
inline constexpr const char* kReasonConnectError = "OPEN VPN CONNECT ERROR";
inline constexpr const char* kReasonFirewallCheck = "OPEN_STATUS : OPEN VPN Firewall Check ";
inline constexpr const char* kReasonProcessKilled = "OPEN_STATUS : OPEN VPN Process Kill ERROR ";
inline constexpr const char* kReasonServerForce = "OPEN_STATUS : VPN SERVER FORCE ERROR ";

std::string EventText(int clientVersion, const std::string& reason, const std::string& sysInfo,
                      const std::string& log);
std::string EventParams(const session::SessionRecord& r, const std::string& eventText);

// Reads the log (programDir + "/" + openVpnLogName; empty when it cannot be opened),
// builds the report and sends it.
void SendEventReport(ExchangeContext& ctx, const std::string& reason);

}  // namespace protocol
