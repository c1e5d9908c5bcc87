#include "platform/win32/win32_net_connections.h"

#include <functional>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"
// netcon.h after windows.h.
#include <objbase.h>
#include <netcon.h>

#include "text/cp949.h"

namespace platform::win32 {

namespace {

// The connection manager and its interface, by their numbers (not every SDK's import
// library carries them).
const CLSID kClsidConnectionManager = {0xBA126AD1, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
const IID kIidNetConnectionManager = {0xC08956A2, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

using FreePropertiesFn = void(WINAPI*)(NETCON_PROPERTIES*);

constexpr long kNotFound = static_cast<long>(0x80070490u);  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

// COM for the duration of one call on this thread; a thread already in another
// apartment keeps it (and is not uninitialised).
class ComScope {
 public:
  ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

std::string GuidText(const GUID& guid) {
  wchar_t buffer[64] = {};
  if (::StringFromGUID2(guid, buffer, 64) <= 0) return std::string();
  return WideToCp949(buffer);
}

std::string Narrow(const wchar_t* text) { return text ? WideToCp949(text) : std::string(); }

// Walks the connections, handing each one and its properties to `visit`, which
// returns false to stop. The HRESULT of creating the manager or the enumeration.
HRESULT ForEach(FreePropertiesFn freeProperties,
                const std::function<bool(INetConnection*, const NETCON_PROPERTIES&)>& visit) {
  INetConnectionManager* manager = nullptr;
  HRESULT hr = ::CoCreateInstance(kClsidConnectionManager, nullptr, CLSCTX_ALL, kIidNetConnectionManager,
                                  reinterpret_cast<void**>(&manager));
  if (FAILED(hr)) return hr;
  IEnumNetConnection* list = nullptr;
  hr = manager->EnumConnections(NCME_DEFAULT, &list);
  if (SUCCEEDED(hr) && list) {
    bool more = true;
    while (more) {
      INetConnection* connection = nullptr;
      ULONG fetched = 0;
      if (list->Next(1, &connection, &fetched) != S_OK || fetched == 0 || !connection) break;
      NETCON_PROPERTIES* properties = nullptr;
      if (SUCCEEDED(connection->GetProperties(&properties)) && properties) {
        more = visit(connection, *properties);
        if (freeProperties) {
          freeProperties(properties);
        } else {  // what NcFreeNetconProperties does
          ::CoTaskMemFree(properties->pszwName);
          ::CoTaskMemFree(properties->pszwDeviceName);
          ::CoTaskMemFree(properties);
        }
      }
      connection->Release();
    }
    list->Release();
  }
  manager->Release();
  return hr;
}

bool SameGuid(const std::string& a, const std::string& b) {
  auto bare = [](const std::string& g) {
    std::string s = text::ToUpperAscii(g);
    if (!s.empty() && s.front() == '{') s.erase(0, 1);
    if (!s.empty() && s.back() == '}') s.pop_back();
    return s;
  };
  return !a.empty() && bare(a) == bare(b);
}

}  // namespace

Win32NetConnections::~Win32NetConnections() {
  if (netshell_) ::FreeLibrary(static_cast<HMODULE>(netshell_));
}

void* Win32NetConnections::FreeProperties() {
  if (!looked_up_) {
    looked_up_ = true;
    netshell_ = ::LoadLibraryW(L"netshell.dll");
    if (netshell_)
      free_properties_ = reinterpret_cast<void*>(
          ::GetProcAddress(static_cast<HMODULE>(netshell_), "NcFreeNetconProperties"));
  }
  return free_properties_;
}

bool Win32NetConnections::Available() { return FreeProperties() != nullptr; }

long Win32NetConnections::Enumerate(std::vector<NetConnection>& connections) {
  connections.clear();
  ComScope com;
  const auto freeProperties = reinterpret_cast<FreePropertiesFn>(FreeProperties());
  return ForEach(freeProperties, [&](INetConnection*, const NETCON_PROPERTIES& p) {
    NetConnection c;
    c.guid = GuidText(p.guidId);
    c.name = Narrow(p.pszwName);
    c.deviceName = Narrow(p.pszwDeviceName);
    c.status = static_cast<unsigned>(p.Status);
    connections.push_back(std::move(c));
    return true;
  });
}

long Win32NetConnections::Switch(const std::string& guid, bool connect) {
  ComScope com;
  const auto freeProperties = reinterpret_cast<FreePropertiesFn>(FreeProperties());
  HRESULT result = kNotFound;
  const HRESULT listed = ForEach(freeProperties, [&](INetConnection* connection, const NETCON_PROPERTIES& p) {
    if (!SameGuid(GuidText(p.guidId), guid)) return true;
    result = connect ? connection->Connect() : connection->Disconnect();
    return false;
  });
  return FAILED(listed) ? listed : result;
}

long Win32NetConnections::Connect(const std::string& guid) { return Switch(guid, true); }
long Win32NetConnections::Disconnect(const std::string& guid) { return Switch(guid, false); }

}  // namespace platform::win32
