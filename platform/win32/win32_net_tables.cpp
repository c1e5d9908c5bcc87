#include "platform/win32/win32_net_tables.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

namespace platform::win32 {

namespace {

// The size-query pattern of the IP Helper table calls: ask with no buffer, allocate what
// the system says, ask again; a table that grew in between is asked for again. The
// buffer is kept as 64-bit words so the table's rows are aligned.
template <typename Call>
std::uint32_t ReadTable(std::vector<std::uint64_t>& buffer, std::uint32_t shortCode, Call call) {
  ULONG size = 0;
  DWORD rc = call(nullptr, &size);
  for (int attempt = 0; attempt < 4 && rc == shortCode; ++attempt) {
    buffer.assign(size / sizeof(std::uint64_t) + 1, 0);
    size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    rc = call(buffer.data(), &size);
  }
  return rc;
}

RouteRow FromRow(const MIB_IPFORWARDROW& r) {
  RouteRow row;
  row.dest = r.dwForwardDest;
  row.mask = r.dwForwardMask;
  row.policy = r.dwForwardPolicy;
  row.nextHop = r.dwForwardNextHop;
  row.ifIndex = r.dwForwardIfIndex;
  row.type = r.dwForwardType;
  row.proto = r.dwForwardProto;
  row.age = r.dwForwardAge;
  row.nextHopAs = r.dwForwardNextHopAS;
  row.metric1 = r.dwForwardMetric1;
  row.metric2 = r.dwForwardMetric2;
  row.metric3 = r.dwForwardMetric3;
  row.metric4 = r.dwForwardMetric4;
  row.metric5 = r.dwForwardMetric5;
  return row;
}

MIB_IPFORWARDROW ToRow(const RouteRow& row) {
  MIB_IPFORWARDROW r;
  std::memset(&r, 0, sizeof r);
  r.dwForwardDest = row.dest;
  r.dwForwardMask = row.mask;
  r.dwForwardPolicy = row.policy;
  r.dwForwardNextHop = row.nextHop;
  r.dwForwardIfIndex = row.ifIndex;
  r.dwForwardType = row.type;
  r.dwForwardProto = row.proto;
  r.dwForwardAge = row.age;
  r.dwForwardNextHopAS = row.nextHopAs;
  r.dwForwardMetric1 = row.metric1;
  r.dwForwardMetric2 = row.metric2;
  r.dwForwardMetric3 = row.metric3;
  r.dwForwardMetric4 = row.metric4;
  r.dwForwardMetric5 = row.metric5;
  return r;
}

// A fixed-size char array of the system's structures, up to its first zero byte.
template <std::size_t N>
std::string FixedText(const char (&text)[N]) {
  return std::string(text, strnlen(text, N));
}

using GetExtendedTcpTableFn = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG);
using GetIpInterfaceEntryFn = DWORD(WINAPI*)(PMIB_IPINTERFACE_ROW);

}  // namespace

Win32NetTables::~Win32NetTables() {
  if (iphlpapi_) ::FreeLibrary(static_cast<HMODULE>(iphlpapi_));
  if (winsock_started_) ::WSACleanup();
}

std::uint32_t Win32NetTables::GetIpForwardTable(bool sorted, std::vector<RouteRow>& rows) {
  rows.clear();
  std::vector<std::uint64_t> buffer;
  const std::uint32_t rc = ReadTable(buffer, ERROR_INSUFFICIENT_BUFFER, [&](void* data, ULONG* size) {
    return ::GetIpForwardTable(static_cast<PMIB_IPFORWARDTABLE>(data), size, sorted);
  });
  if (rc != NO_ERROR || buffer.empty()) return rc;
  const auto* table = reinterpret_cast<const MIB_IPFORWARDTABLE*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) rows.push_back(FromRow(table->table[i]));
  return rc;
}

std::uint32_t Win32NetTables::CreateIpForwardEntry(const RouteRow& row) {
  MIB_IPFORWARDROW r = ToRow(row);
  return ::CreateIpForwardEntry(&r);
}

std::uint32_t Win32NetTables::DeleteIpForwardEntry(const RouteRow& row) {
  MIB_IPFORWARDROW r = ToRow(row);
  return ::DeleteIpForwardEntry(&r);
}

std::uint32_t Win32NetTables::GetIpInterfaceMetric(std::uint32_t ifIndex, std::uint32_t& metric) {
  // Looked up at run time: the calls exist only since Vista, where the interface
  // metric starts to count in every route's metric.
  if (!interface_looked_up_) {
    interface_looked_up_ = true;
    interface_entry_ = LookUp("GetIpInterfaceEntry");
  }
  const auto get = reinterpret_cast<GetIpInterfaceEntryFn>(interface_entry_);
  if (!get) return ERROR_PROC_NOT_FOUND;
  // The call reads only the family and the interface (index, as the LUID is 0).
  MIB_IPINTERFACE_ROW row;
  std::memset(&row, 0, sizeof row);
  row.Family = AF_INET;
  row.InterfaceIndex = ifIndex;
  const DWORD rc = get(&row);
  if (rc == NO_ERROR) metric = row.Metric;
  return rc;
}

std::uint32_t Win32NetTables::GetBestRoute(std::uint32_t dest, std::uint32_t source, RouteRow& row) {
  MIB_IPFORWARDROW r;
  std::memset(&r, 0, sizeof r);
  const DWORD rc = ::GetBestRoute(dest, source, &r);
  if (rc == NO_ERROR) row = FromRow(r);
  return rc;
}

std::uint32_t Win32NetTables::GetIpAddrTable(bool sorted, std::vector<AddrRow>& rows) {
  rows.clear();
  std::vector<std::uint64_t> buffer;
  const std::uint32_t rc = ReadTable(buffer, ERROR_INSUFFICIENT_BUFFER, [&](void* data, ULONG* size) {
    return ::GetIpAddrTable(static_cast<PMIB_IPADDRTABLE>(data), size, sorted);
  });
  if (rc != NO_ERROR || buffer.empty()) return rc;
  const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_IPADDRROW& r = table->table[i];
    AddrRow row;
    row.addr = r.dwAddr;
    row.ifIndex = r.dwIndex;
    row.mask = r.dwMask;
    row.bcastAddr = r.dwBCastAddr;
    row.reasmSize = r.dwReasmSize;
    row.type = r.wType;
    rows.push_back(row);
  }
  return rc;
}

std::uint32_t Win32NetTables::GetAdaptersInfo(std::vector<AdapterInfo>& adapters) {
  adapters.clear();
  std::vector<std::uint64_t> buffer;
  const std::uint32_t rc = ReadTable(buffer, ERROR_BUFFER_OVERFLOW, [&](void* data, ULONG* size) {
    return ::GetAdaptersInfo(static_cast<PIP_ADAPTER_INFO>(data), size);
  });
  if (rc != NO_ERROR || buffer.empty()) return rc;
  for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
    AdapterInfo info;
    info.adapterName = FixedText(a->AdapterName);
    info.description = FixedText(a->Description);
    info.address.assign(reinterpret_cast<const char*>(a->Address),
                        std::min<UINT>(a->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH));
    info.index = a->Index;
    info.type = a->Type;
    for (const IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next)
      info.ipAddresses.push_back(FixedText(ip->IpAddress.String));
    info.gateway = FixedText(a->GatewayList.IpAddress.String);
    adapters.push_back(std::move(info));
  }
  return rc;
}

std::uint32_t Win32NetTables::GetInterfaceInfo(std::vector<InterfaceEntry>& entries) {
  entries.clear();
  std::vector<std::uint64_t> buffer;
  const std::uint32_t rc = ReadTable(buffer, ERROR_INSUFFICIENT_BUFFER, [&](void* data, ULONG* size) {
    return ::GetInterfaceInfo(static_cast<PIP_INTERFACE_INFO>(data), size);
  });
  if (rc != NO_ERROR || buffer.empty()) return rc;
  const auto* info = reinterpret_cast<const IP_INTERFACE_INFO*>(buffer.data());
  for (LONG i = 0; i < info->NumAdapters; ++i) {
    const IP_ADAPTER_INDEX_MAP& map = info->Adapter[i];
    InterfaceEntry entry;
    entry.index = map.Index;
    entry.name = WideToCp949(std::wstring(map.Name, wcsnlen(map.Name, MAX_ADAPTER_NAME)));
    entries.push_back(std::move(entry));
  }
  return rc;
}

void* Win32NetTables::LookUp(const char* name) {
  if (!iphlpapi_) iphlpapi_ = ::LoadLibraryA("Iphlpapi.dll");
  if (!iphlpapi_) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(iphlpapi_), name));
}

void* Win32NetTables::LookUpExtendedTcpTable() {
  if (!looked_up_) {
    looked_up_ = true;
    extended_tcp_table_ = LookUp("GetExtendedTcpTable");
  }
  return extended_tcp_table_;
}

bool Win32NetTables::HasExtendedTcpTable() { return LookUpExtendedTcpTable() != nullptr; }

std::uint32_t Win32NetTables::GetExtendedTcpTable(bool sorted, std::vector<TcpRow>& rows) {
  rows.clear();
  const auto fn = reinterpret_cast<GetExtendedTcpTableFn>(LookUpExtendedTcpTable());
  if (!fn) return ERROR_PROC_NOT_FOUND;
  std::vector<std::uint64_t> buffer;
  const std::uint32_t rc = ReadTable(buffer, ERROR_INSUFFICIENT_BUFFER, [&](void* data, ULONG* size) {
    DWORD dsize = *size;
    const DWORD r = fn(data, &dsize, sorted, AF_INET, TCP_TABLE_OWNER_PID_ALL, 0);
    *size = dsize;
    return r;
  });
  if (rc != NO_ERROR || buffer.empty()) return rc;
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& r = table->table[i];
    TcpRow row;
    row.state = r.dwState;
    row.localAddr = r.dwLocalAddr;
    row.localPort = ::ntohs(static_cast<u_short>(r.dwLocalPort));
    row.remoteAddr = r.dwRemoteAddr;
    row.remotePort = ::ntohs(static_cast<u_short>(r.dwRemotePort));
    row.owningPid = r.dwOwningPid;
    rows.push_back(row);
  }
  return rc;
}

bool Win32NetTables::GetHostByName(const std::string& name, std::vector<std::uint32_t>& addresses) {
  addresses.clear();
  if (!winsock_started_) {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    winsock_started_ = true;
  }
  const hostent* host = ::gethostbyname(name.c_str());
  if (!host || host->h_addrtype != AF_INET || host->h_length != 4) return false;
  for (char** p = host->h_addr_list; *p; ++p) {
    std::uint32_t addr = 0;
    std::memcpy(&addr, *p, sizeof addr);
    addresses.push_back(addr);
  }
  return !addresses.empty();
}

}  // namespace platform::win32
