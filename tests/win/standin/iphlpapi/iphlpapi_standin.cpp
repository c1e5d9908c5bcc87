// iphlpapi.dll for tests only (never shipped): the system's IP Helper with the
// adapters of a script added (grammar in adapter_script.h). Wine loads it from the
// program's folder for WINEDLLOVERRIDES=iphlpapi=n,b. Every export it does not answer
// itself is forwarded (iphlpapi.def, made from Wine's own list at configure time) to
// iphlpwine.dll, a copy of Wine's own iphlpapi.dll under another name beside it: a DLL
// cannot reach the system's module of its own name once it has taken that name.
//
// Answered here, with the script's adapters added: GetAdaptersInfo, GetIpAddrTable,
// GetInterfaceInfo and GetIpInterfaceEntry (which Wine 8 does not have: for other
// interfaces it answers 127, as a system before Vista would). Every other call sees
// the system's adapters only.
//
// IcmpSendEcho is answered here too: echoes stay on loopback (another address fails at
// once, unsent), and the script's no-echo addresses get no answer.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#include <netioapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "adapter_script.h"

#include "../common/standin_support.h"

namespace {

using standin_support::Environment;
using standin_support::FromCodePage;
using standin_support::ReadBytes;
using standin_support::ToCodePage;
using standin_support::WindowsPath;

HMODULE self_module = nullptr;
CRITICAL_SECTION journal_lock;
std::string* last_problems = nullptr;  // the problems journalled last, not repeated

std::wstring OwnFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(self_module, buffer, MAX_PATH * 4);
  const std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

void Journal(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// The script in force now. Its problems are journalled once, when they change.
standin::AdapterScript LoadScript() {
  std::wstring path = Environment(L"TUNRA_ADAPTERS_SCRIPT");
  if (path.empty()) path = OwnFolder() + L"iphlpapi-script.txt";
  std::string text;
  std::vector<std::string> problems;
  ReadBytes(path, text);  // a missing file adds nothing, like an empty one
  const standin::AdapterScript script = standin::ParseAdapterScript(text, problems);
  std::string lines;
  for (const std::string& problem : problems) lines += "problem\t" + problem + "\r\n";
  EnterCriticalSection(&journal_lock);
  if (lines != *last_problems) {
    *last_problems = lines;
    std::wstring journal = Environment(L"TUNRA_ADAPTERS_JOURNAL");
    if (journal.empty())
      journal = script.journal.empty() ? OwnFolder() + L"iphlpapi-journal.txt"
                                       : WindowsPath(FromCodePage(script.journal, 949));
    if (!lines.empty()) Journal(journal, lines);
  }
  LeaveCriticalSection(&journal_lock);
  return script;
}

// The system's function of that name, from Wine's own DLL beside this one.
template <typename F>
F System(const char* name) {
  static HMODULE system = LoadLibraryW((OwnFolder() + L"iphlpwine.dll").c_str());
  return system ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(system, name))) : nullptr;
}

std::string Dotted(std::uint32_t address) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

void CopyText(char* to, std::size_t capacity, const std::string& text) {
  const std::size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

// A pointer into `from` (a buffer of `size` bytes) moved to the same place in `to`.
template <typename T>
T* Moved(T* pointer, const unsigned char* from, std::size_t size, unsigned char* to) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pointer);
  if (p < from || p >= from + size) return pointer;
  return reinterpret_cast<T*>(to + (p - from));
}

void MoveList(IP_ADDR_STRING& head, const unsigned char* from, std::size_t size, unsigned char* to) {
  for (IP_ADDR_STRING* node = &head; node != nullptr; node = node->Next)
    node->Next = Moved(node->Next, from, size, to);
}

// The system's table of a call that answers `overflow` with the size it needs. The
// first call has room for a few dozen rows: Wine's calls take milliseconds each.
template <typename Call>
DWORD SystemTable(std::vector<unsigned char>& buffer, DWORD overflow, Call call) {
  buffer.assign(16384, 0);
  ULONG size = static_cast<ULONG>(buffer.size());
  DWORD rc = call(buffer.data(), &size);
  for (int tries = 0; rc == overflow && tries < 5; ++tries) {
    buffer.assign(size, 0);
    rc = call(buffer.data(), &size);
  }
  if (rc != NO_ERROR) buffer.clear();
  return rc;
}

constexpr std::size_t Aligned(std::size_t n) { return (n + 15) & ~static_cast<std::size_t>(15); }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    self_module = instance;
    DisableThreadLibraryCalls(instance);
    InitializeCriticalSection(&journal_lock);
    last_problems = new std::string();
  }
  return TRUE;
}

extern "C" DWORD WINAPI GetAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) {
  using Fn = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
  const Fn system = System<Fn>("GetAdaptersInfo");
  if (!system) return ERROR_NOT_SUPPORTED;
  const standin::AdapterScript script = LoadScript();
  if (script.adapters.empty()) return system(info, size);
  if (size == nullptr) return ERROR_INVALID_PARAMETER;

  std::vector<unsigned char> own;
  const DWORD rc = SystemTable(own, ERROR_BUFFER_OVERFLOW,
                               [&](void* data, ULONG* n) { return system(static_cast<PIP_ADAPTER_INFO>(data), n); });
  if (rc != NO_ERROR && rc != ERROR_NO_DATA) return rc;
  const std::size_t ownBytes = Aligned(own.size());
  const std::size_t total = ownBytes + script.adapters.size() * sizeof(IP_ADAPTER_INFO);
  if (info == nullptr || *size < total) {
    *size = static_cast<ULONG>(total);
    return ERROR_BUFFER_OVERFLOW;
  }
  unsigned char* to = reinterpret_cast<unsigned char*>(info);
  std::memset(to, 0, total);
  IP_ADAPTER_INFO* last = nullptr;
  if (!own.empty()) {
    // The system's list, its pointers moved into the caller's buffer.
    std::memcpy(to, own.data(), own.size());
    for (IP_ADAPTER_INFO* a = info; a != nullptr; a = a->Next) {
      a->Next = Moved(a->Next, own.data(), own.size(), to);
      a->CurrentIpAddress = Moved(a->CurrentIpAddress, own.data(), own.size(), to);
      for (IP_ADDR_STRING* head : {&a->IpAddressList, &a->GatewayList, &a->DhcpServer, &a->PrimaryWinsServer,
                                   &a->SecondaryWinsServer})
        MoveList(*head, own.data(), own.size(), to);
      last = a;
    }
  }
  for (std::size_t i = 0; i < script.adapters.size(); ++i) {
    const standin::ScriptAdapter& s = script.adapters[i];
    auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(to + ownBytes + i * sizeof(IP_ADAPTER_INFO));
    if (last) last->Next = a;
    last = a;
    a->ComboIndex = s.index;
    CopyText(a->AdapterName, sizeof a->AdapterName, s.guid);
    CopyText(a->Description, sizeof a->Description, s.description);
    a->AddressLength = static_cast<UINT>(s.mac.size());
    std::memcpy(a->Address, s.mac.data(), s.mac.size());
    a->Index = s.index;
    a->Type = s.type;
    CopyText(a->IpAddressList.IpAddress.String, sizeof a->IpAddressList.IpAddress.String, Dotted(s.address));
    CopyText(a->IpAddressList.IpMask.String, sizeof a->IpAddressList.IpMask.String, Dotted(s.mask));
    CopyText(a->GatewayList.IpAddress.String, sizeof a->GatewayList.IpAddress.String, Dotted(s.gateway));
    CopyText(a->GatewayList.IpMask.String, sizeof a->GatewayList.IpMask.String, Dotted(s.gateway ? 0xFFFFFFFFu : 0));
  }
  return NO_ERROR;
}

extern "C" DWORD WINAPI GetIpAddrTable(PMIB_IPADDRTABLE table, PULONG size, BOOL order) {
  using Fn = DWORD(WINAPI*)(PMIB_IPADDRTABLE, PULONG, BOOL);
  const Fn system = System<Fn>("GetIpAddrTable");
  if (!system) return ERROR_NOT_SUPPORTED;
  const standin::AdapterScript script = LoadScript();
  std::vector<MIB_IPADDRROW> added;
  for (const standin::ScriptAdapter& s : script.adapters) {
    if (s.address == 0) continue;
    MIB_IPADDRROW row{};
    row.dwAddr = s.address;
    row.dwIndex = s.index;
    row.dwMask = s.mask;
    row.dwBCastAddr = 1;
    row.dwReasmSize = 65535;
    row.wType = MIB_IPADDR_PRIMARY;
    added.push_back(row);
  }
  if (added.empty()) return system(table, size, order);
  if (size == nullptr) return ERROR_INVALID_PARAMETER;

  std::vector<unsigned char> own;
  const DWORD rc = SystemTable(own, ERROR_INSUFFICIENT_BUFFER, [&](void* data, ULONG* n) {
    return system(static_cast<PMIB_IPADDRTABLE>(data), n, FALSE);
  });
  if (rc != NO_ERROR && rc != ERROR_NO_DATA) return rc;
  std::vector<MIB_IPADDRROW> rows;
  if (!own.empty()) {
    const auto* t = reinterpret_cast<const MIB_IPADDRTABLE*>(own.data());
    rows.assign(t->table, t->table + t->dwNumEntries);
  }
  rows.insert(rows.end(), added.begin(), added.end());
  if (order)
    std::sort(rows.begin(), rows.end(), [](const MIB_IPADDRROW& a, const MIB_IPADDRROW& b) {
      return ntohl(a.dwAddr) < ntohl(b.dwAddr);
    });
  const std::size_t need = offsetof(MIB_IPADDRTABLE, table) + rows.size() * sizeof(MIB_IPADDRROW);
  if (table == nullptr || *size < need) {
    *size = static_cast<ULONG>(need);
    return ERROR_INSUFFICIENT_BUFFER;
  }
  table->dwNumEntries = static_cast<DWORD>(rows.size());
  std::memcpy(table->table, rows.data(), rows.size() * sizeof(MIB_IPADDRROW));
  return NO_ERROR;
}

extern "C" DWORD WINAPI GetInterfaceInfo(PIP_INTERFACE_INFO info, PULONG size) {
  using Fn = DWORD(WINAPI*)(PIP_INTERFACE_INFO, PULONG);
  const Fn system = System<Fn>("GetInterfaceInfo");
  if (!system) return ERROR_NOT_SUPPORTED;
  const standin::AdapterScript script = LoadScript();
  if (script.adapters.empty()) return system(info, size);
  if (size == nullptr) return ERROR_INVALID_PARAMETER;

  std::vector<unsigned char> own;
  const DWORD rc = SystemTable(own, ERROR_INSUFFICIENT_BUFFER,
                               [&](void* data, ULONG* n) { return system(static_cast<PIP_INTERFACE_INFO>(data), n); });
  if (rc != NO_ERROR && rc != ERROR_NO_DATA) return rc;
  std::vector<IP_ADAPTER_INDEX_MAP> maps;
  if (!own.empty()) {
    const auto* t = reinterpret_cast<const IP_INTERFACE_INFO*>(own.data());
    maps.assign(t->Adapter, t->Adapter + t->NumAdapters);
  }
  for (const standin::ScriptAdapter& s : script.adapters) {
    IP_ADAPTER_INDEX_MAP map{};
    map.Index = s.index;
    const std::wstring name = L"\\DEVICE\\TCPIP_" + FromCodePage(s.guid, CP_ACP);
    std::wcsncpy(map.Name, name.c_str(), MAX_ADAPTER_NAME - 1);
    maps.push_back(map);
  }
  const std::size_t need = offsetof(IP_INTERFACE_INFO, Adapter) + maps.size() * sizeof(IP_ADAPTER_INDEX_MAP);
  if (info == nullptr || *size < need) {
    *size = static_cast<ULONG>(need);
    return ERROR_INSUFFICIENT_BUFFER;
  }
  info->NumAdapters = static_cast<LONG>(maps.size());
  std::memcpy(info->Adapter, maps.data(), maps.size() * sizeof(IP_ADAPTER_INDEX_MAP));
  return NO_ERROR;
}

extern "C" DWORD WINAPI GetIpInterfaceEntry(PMIB_IPINTERFACE_ROW row) {
  using Fn = DWORD(WINAPI*)(PMIB_IPINTERFACE_ROW);
  const Fn system = System<Fn>("GetIpInterfaceEntry");
  if (row != nullptr && row->Family == AF_INET) {
    for (const standin::ScriptAdapter& s : LoadScript().adapters) {
      if (!s.hasMetric || s.index != row->InterfaceIndex) continue;
      const ULONG index = row->InterfaceIndex;
      std::memset(row, 0, sizeof *row);
      row->Family = AF_INET;
      row->InterfaceIndex = index;
      row->Metric = s.metric;
      row->NlMtu = 1500;
      row->Connected = TRUE;
      return NO_ERROR;
    }
  }
  // Wine 8 has no such function: the answer of a system before Vista.
  return system ? system(row) : ERROR_PROC_NOT_FOUND;
}

extern "C" DWORD WINAPI IcmpSendEcho(HANDLE icmp, IPAddr destination, LPVOID data, WORD size, PIP_OPTION_INFORMATION options,
                                    LPVOID reply, DWORD replySize, DWORD timeout) {
  using Fn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);
  const Fn system = System<Fn>("IcmpSendEcho");
  const std::vector<std::uint32_t> silent = LoadScript().noEcho;
  const bool loopback = (destination & 0xFFu) == 127;
  if (!loopback || std::find(silent.begin(), silent.end(), destination) != silent.end() || system == nullptr) {
    if (loopback) Sleep(timeout);
    SetLastError(IP_REQ_TIMED_OUT);
    return 0;
  }
  return system(icmp, destination, data, size, options, reply, replySize, timeout);
}
