// A synthetic OpenVPN log for the scan benchmarks: lines of a 2.1-era client at verb
// 3, time-stamped, CR LF, none holding a watched text (several hold pieces of them:
// "Received control message", "TAP-Win32", "Initialization"). Deterministic, so every
// run and the compare script's files are the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace bench {

inline const char* const kSampleLines[] = {
    "OpenVPN 2.1.1 i686-pc-mingw32 [SSL] [LZO2] [PKCS11] built on Dec 11 2009",
    "NOTE: OpenVPN 2.1 requires '--script-security 2' or higher to call user-defined scripts or executables",
    "LZO compression initialized",
    "Control Channel MTU parms [ L:1542 D:138 EF:38 EB:0 ET:0 EL:0 ]",
    "Data Channel MTU parms [ L:1542 D:1450 EF:42 EB:135 ET:0 EL:0 AF:3/1 ]",
    "Local Options hash (VER=V4): '41690919'",
    "UDPv4 link remote: 203.0.113.7:1194",
    "TLS: Initial packet from 203.0.113.7:1194, sid=8c4b1d1e 2b7a5c1f",
    "VERIFY OK: depth=1, /C=KR/ST=Seoul/O=Example/CN=Example CA",
    "Data Channel Encrypt: Cipher 'BF-CBC' initialized with 128 bit key",
    "Data Channel Encrypt: Using 160 bit message hash 'SHA1' for HMAC authentication",
    "Control Channel: TLSv1, cipher TLSv1/SSLv3 DHE-RSA-AES256-SHA, 1024 bit RSA",
    "[server] Peer Connection Initiated with 203.0.113.7:1194",
    "SENT CONTROL [server]: 'PUSH_REQUEST' (status=1)",
    "PUSH: Received control message: 'PUSH_REPLY,route-gateway 10.8.0.1,ping 10,ping-restart 120,"
    "ifconfig 10.8.0.6 255.255.255.0'",
    "OPTIONS IMPORT: timers and/or timeouts modified",
    "TAP-Win32 Driver Version 9.4",
    "Notified TAP-Win32 driver to set a DHCP IP/netmask of 10.8.0.6/255.255.255.0 on interface "
    "{4D36E972-E325-11CE-BFC1-08002BE10318}",
    "TEST ROUTES: 0/0 succeeded len=0 ret=1 a=0 u/d=up",
    "Initialization of the route table done",
    "Replay-window backtrack occurred [1]",
    "TLS: soft reset sec=0 bytes=120342/0 pkts=2011/0",
};

// A log of at least `bytes` bytes of sample lines; `first` and `last`, when not empty,
// are written as its first and last lines (time-stamped like the others).
inline std::string SampleLog(std::size_t bytes, const std::string& first = "", const std::string& last = "") {
  std::string log;
  log.reserve(bytes + 256);
  char stamp[32];
  std::uint32_t state = 12345;
  auto line = [&](const std::string& text) {
    state = state * 214013u + 2531011u;
    std::snprintf(stamp, sizeof stamp, "Mon Mar 04 10:%02u:%02u 2024 ", (state >> 16) % 60, (state >> 8) % 60);
    log += stamp;
    log += text;
    log += "\r\n";
  };
  if (!first.empty()) line(first);
  const std::size_t count = sizeof kSampleLines / sizeof kSampleLines[0];
  while (log.size() < bytes) {
    state = state * 214013u + 2531011u;
    line(kSampleLines[(state >> 16) % count]);
  }
  if (!last.empty()) line(last);
  return log;
}

}  // namespace bench
