// IP Helper and Winsock on Windows: routing table, addresses, adapters, TCP table and
// name lookup, each result copied whole out of the system's buffer.
#pragma once

#include "platform/iphelper.h"

namespace platform::win32 {

class Win32NetTables final : public INetTables {
 public:
  Win32NetTables() = default;
  ~Win32NetTables() override;
  Win32NetTables(const Win32NetTables&) = delete;
  Win32NetTables& operator=(const Win32NetTables&) = delete;

  std::uint32_t GetIpForwardTable(bool sorted, std::vector<RouteRow>& rows) override;
  std::uint32_t CreateIpForwardEntry(const RouteRow& row) override;
  std::uint32_t DeleteIpForwardEntry(const RouteRow& row) override;
  std::uint32_t GetIpInterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) override;
  std::uint32_t GetBestRoute(std::uint32_t dest, std::uint32_t source, RouteRow& row) override;
  std::uint32_t GetIpAddrTable(bool sorted, std::vector<AddrRow>& rows) override;
  std::uint32_t GetAdaptersInfo(std::vector<AdapterInfo>& adapters) override;
  std::uint32_t GetInterfaceInfo(std::vector<InterfaceEntry>& entries) override;
  bool HasExtendedTcpTable() override;
  std::uint32_t GetExtendedTcpTable(bool sorted, std::vector<TcpRow>& rows) override;
  bool GetHostByName(const std::string& name, std::vector<std::uint32_t>& addresses) override;

 private:
  void* LookUpExtendedTcpTable();
  void* LookUp(const char* name);

  void* iphlpapi_ = nullptr;              // HMODULE of Iphlpapi.dll, loaded on first use
  void* extended_tcp_table_ = nullptr;    // its GetExtendedTcpTable
  bool looked_up_ = false;
  void* interface_entry_ = nullptr;       // GetIpInterfaceEntry (Vista and later)
  bool interface_looked_up_ = false;
  bool winsock_started_ = false;
};

}  // namespace platform::win32
