// The script of the test-only adapter list (iphlpapi.dll beside the program, loaded by
// Wine for WINEDLLOVERRIDES=iphlpapi=n,b): adapters added to the system's own, so the
// client under Wine can see a tunnel adapter (Wine lists only the Linux interfaces,
// whose names cannot be the description the client looks for).
//
// Read from the file TUNRA_ADAPTERS_SCRIPT names, else iphlpapi-script.txt beside the
// DLL, again on every call: a test, or a stand-in driver tool, changes the adapters
// by replacing the file. Without a file (or a missing one) the system's lists come
// back unchanged. One directive a line; '#' starts a comment:
//
//   adapter INDEX            a new adapter with that interface index (take one above
//                            the system's own, e.g. 100); the lines below describe it
//   description TEXT         its description, the rest of the line (code page 949
//                            bytes); default "Corvane PCI Fast Controller", the name
//                            the client looks for on Wine's default Windows version
//                            (6.1; "TAP-Win32 Adapter V9" on 64-bit 6.2 and 6.3)
//   address A.B.C.D [MASK]   its IPv4 address (mask default 255.255.255.0): in the
//                            adapter list and a row of the address table; without one
//                            the adapter shows 0.0.0.0 and has no row
//   gateway A.B.C.D          its gateway (default none: 0.0.0.0)
//   mac XX-XX-XX-XX-XX-XX    its hardware address (default 00-FF-00-00 and the index's
//                            two bytes)
//   guid {GUID}              its name (default {7A3E0000-0000-0000-0000-0000000000II},
//                            II the index in hexadecimal); its interface entry is
//                            "\DEVICE\TCPIP_{GUID}"
//   type N                   IP_ADAPTER_INFO's type (default 6, Ethernet; 23 PPP)
//   metric N                 the interface metric GetIpInterfaceEntry answers for it
//                            (without one, the system's answer; Wine 8 has no such
//                            function, and the stand-in answers 127 for it)
//   journal PATH             where problems are written (TUNRA_ADAPTERS_JOURNAL wins;
//                            default iphlpapi-journal.txt beside the DLL)
//   no-echo A.B.C.D          an ICMP echo to this loopback address gets no answer: the
//                            call waits its time-out and fails with IP_REQ_TIMED_OUT
//                            (Linux answers every 127/8 address). Echoes to loopback
//                            go to Wine's own call; no echo ever leaves loopback: one
//                            to any other address fails at once with IP_REQ_TIMED_OUT
//
// Paths are Windows paths; one starting with '/' is a Linux path under Wine. The added
// adapters follow the system's in the adapter list and the interface list; their
// address rows join the address table (sorted with it when the caller asks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct ScriptAdapter {
  std::uint32_t index = 0;
  std::string description = "Corvane PCI Fast Controller";
  std::uint32_t address = 0;  // network byte order, as the IP Helper rows hold it
  std::uint32_t mask = 0;
  std::uint32_t gateway = 0;
  std::vector<unsigned char> mac;
  std::string guid;
  std::uint32_t type = 6;
  bool hasMetric = false;
  std::uint32_t metric = 0;
};

struct AdapterScript {
  std::vector<ScriptAdapter> adapters;
  std::vector<std::uint32_t> noEcho;  // network byte order
  std::string journal;  // empty: the default
};

// `text` as a script; each line not understood is noted in `problems` as
// "<line number>\t<line>".
AdapterScript ParseAdapterScript(const std::string& text, std::vector<std::string>& problems);

// "a.b.c.d" as a network-order address; false for anything else.
bool ParseIpv4(const std::string& text, std::uint32_t& address);

}  // namespace standin
