// A test-only rasapi32.dll: the calls the client makes, played from a script (see
// standin_script.h) and journalled (see standin_journal.h). Wine's own rasapi32 is a
// stub that never dials; Wine loads this one instead from the program's folder when
// WINEDLLOVERRIDES holds rasapi32=n. Never installed or shipped.
//
// A dial hands out a handle and reports its states to the caller's type-0 notifier
// from a thread of its own, suspended while the notifier runs, as the real dialer
// does. After "connected" the thread watches for the scripted loss of the link. A
// hung-up connection is let go (its handle unknown, 6) once its notifier has returned
// and the scripted release time has passed.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standin_journal.h"
#include "standin_script.h"

namespace {

constexpr DWORD kConnected = 0x2000;
constexpr DWORD kDisconnected = 0x2001;
constexpr DWORD kDialEvent = 0xCCCD;  // WM_RASDIALEVENT
constexpr DWORD kInvalidHandle = 6;
constexpr DWORD kInvalidParameter = 87;
constexpr DWORD kBufferTooSmall = 603;
constexpr DWORD kPortDisconnected = 619;
constexpr DWORD kInvalidSize = 632;
constexpr DWORD kProtocolNotConfigured = 720;
constexpr DWORD kProjectionNotComplete = 730;
constexpr DWORD kPppIp = 0x8021;

// The structures' layouts, packed on 4 bytes as <ras.h> packs them. The dial
// parameters come in three sizes (Windows NT 4, 2000, 7); every one starts with the
// texts.
#pragma pack(push, 4)
template <typename Char>
struct DialTexts {
  DWORD dwSize;
  Char szEntryName[257];
  Char szPhoneNumber[129];
  Char szCallbackNumber[129];
  Char szUserName[257];
  Char szPassword[257];
  Char szDomain[16];
};
template <typename Char>
struct DialWithCallbackId {
  DialTexts<Char> texts;
  DWORD dwSubEntry;
  ULONG_PTR dwCallbackId;
};
template <typename Char>
struct DialWithInterface {
  DialWithCallbackId<Char> base;
  DWORD dwIfIndex;
};
struct ConnStatusA {
  DWORD dwSize;
  DWORD rasconnstate;
  DWORD dwError;
  CHAR szDeviceType[17];
  CHAR szDeviceName[129];
  CHAR szPhoneNumber[129];  // not in the 160-byte layout
};
struct PppIpA {
  DWORD dwSize;
  DWORD dwError;
  CHAR szIpAddress[16];
  CHAR szServerIpAddress[16];
  DWORD dwOptions;
  DWORD dwServerOptions;
};
#pragma pack(pop)
static_assert(sizeof(ConnStatusA) == 288, "RASCONNSTATUSA");
static_assert(sizeof(PppIpA) == 48, "RASPPPIPA");

template <typename Char>
bool KnownDialSize(DWORD size) {
  return size == sizeof(DialTexts<Char>) || size == sizeof(DialWithCallbackId<Char>) ||
         size == sizeof(DialWithInterface<Char>);
}

using Notifier = void(WINAPI*)(UINT message, DWORD state, DWORD error);

struct Conn {
  ULONG_PTR handle = 0;
  standin::Script script;
  Notifier notifier = nullptr;
  std::string phoneNumber;
  DWORD state = 0;
  DWORD error = 0;
  bool connected = false;
  bool lost = false;
  bool hungUp = false;
  bool inNotifier = false;
  ULONGLONG hangUpTick = 0;
  ULONGLONG connectedTick = 0;
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::map<ULONG_PTR, std::shared_ptr<Conn>> g_conns;
ULONG_PTR g_last_handle = 0x1000;

class Hold {
 public:
  Hold() { AcquireSRWLockExclusive(&g_lock); }
  ~Hold() { ReleaseSRWLockExclusive(&g_lock); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
};

bool Released(const Conn& c) {
  return c.hungUp && !c.inNotifier && GetTickCount64() - c.hangUpTick >= c.script.releaseAfterMs;
}

// The connection of a handle the dialer still knows; call with g_lock held.
std::shared_ptr<Conn> Known(HANDLE handle) {
  const auto it = g_conns.find(reinterpret_cast<ULONG_PTR>(handle));
  if (it == g_conns.end()) return nullptr;
  if (Released(*it->second)) {
    g_conns.erase(it);
    return nullptr;
  }
  return it->second;
}

std::wstring JournalPath() {
  std::vector<std::string> ignored;
  return standin::LoadScript(ignored).journal;
}

std::string Num(unsigned long long value) { return std::to_string(value); }

std::string HandleText(HANDLE handle) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle)));
  return buffer;
}

std::string ToCp949(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring FromCodePage(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

// A text field as the program's code page 949 text (an A field is in the system's
// ANSI code page, as the real dialer reads it).
std::wstring Wide(const char* field, std::size_t size) {
  return FromCodePage(std::string(field, strnlen(field, size)), CP_ACP);
}
std::wstring Wide(const wchar_t* field, std::size_t size) { return std::wstring(field, wcsnlen(field, size)); }
std::size_t Length(const char* field, std::size_t size) { return strnlen(field, size); }
std::size_t Length(const wchar_t* field, std::size_t size) { return wcsnlen(field, size); }

// How many keys the phonebook's section `entry` holds; -1 without the file or section.
int EntryKeys(const std::wstring& phonebook, const std::wstring& entry, bool& exists) {
  exists = false;
  HANDLE file = CreateFileW(phonebook.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  exists = true;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);

  const std::string header = "[" + ToCp949(entry) + "]";
  int keys = -1;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      if (keys >= 0) break;  // the next section
      if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, line.c_str(), -1, header.c_str(), -1) == CSTR_EQUAL)
        keys = 0;
    } else if (keys >= 0 && line.find('=') != std::string::npos && line[0] != '=') {
      ++keys;
    }
  }
  return keys;
}

// Sleeps `ms` in short steps; false as soon as the connection is hung up.
bool WaitUnlessHungUp(const std::shared_ptr<Conn>& c, unsigned ms) {
  ULONGLONG start = GetTickCount64();
  for (;;) {
    {
      Hold hold;
      if (c->hungUp) return false;
    }
    const ULONGLONG spent = GetTickCount64() - start;
    if (spent >= ms) return true;
    Sleep(static_cast<DWORD>(ms - spent < 10 ? ms - spent : 10));
  }
}

DWORD WINAPI DialThread(void* argument) {
  std::unique_ptr<std::shared_ptr<Conn>> owned(static_cast<std::shared_ptr<Conn>*>(argument));
  const std::shared_ptr<Conn> c = *owned;
  const std::wstring& journal = c->script.journal;
  bool connected = false;
  for (const unsigned long state : c->script.states) {
    if (!WaitUnlessHungUp(c, c->script.delayMs)) return 0;
    DWORD error = 0;
    {
      Hold hold;
      if (c->hungUp) return 0;
      error = c->script.errorCode != 0 && state == c->script.errorState ? c->script.errorCode : 0;
      c->state = state;
      c->error = error;
      c->inNotifier = true;
      // As with the real dialer, the connection is complete when "connected" is
      // reported: the notifier may already ask for the projection and the status.
      if (state == kConnected && error == 0) {
        c->connected = true;
        c->connectedTick = GetTickCount64();
      }
    }
    standin::Journal(journal, "notify\thandle=" + HandleText(reinterpret_cast<HANDLE>(c->handle)) +
                                  "\tstate=" + Num(state) + "\terror=" + Num(error) +
                                  "\tthread=" + Num(GetCurrentThreadId()));
    c->notifier(kDialEvent, state, error);
    {
      Hold hold;
      c->inNotifier = false;
      // A hang-up made inside the notifier takes effect from now on.
      if (c->hungUp) c->hangUpTick = GetTickCount64();
      if (error != 0 || c->hungUp) return 0;
      connected = state == kConnected;
    }
    if (connected) break;
  }
  if (!connected) return 0;

  for (;;) {
    Sleep(20);
    {
      Hold hold;
      if (c->hungUp) return 0;
      bool drop = c->script.dropAfterMs >= 0 &&
                  GetTickCount64() - c->connectedTick >= static_cast<ULONGLONG>(c->script.dropAfterMs);
      if (!drop && GetFileAttributesW(c->script.dropFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        DeleteFileW(c->script.dropFile.c_str());
        drop = true;
      }
      if (!drop) continue;
      c->lost = true;
      c->state = kDisconnected;
      c->error = kPortDisconnected;
    }
    standin::Journal(journal, "link-lost\thandle=" + HandleText(reinterpret_cast<HANDLE>(c->handle)));
    return 0;
  }
}

// The dial of either character width, with its texts read out of the parameters.
struct DialCall {
  const char* name;
  DWORD size;
  std::wstring phonebook, entry, phone, callback, user, domain;
  std::size_t passwordLength;
};

DWORD Dial(const DialCall& call, DWORD notifierType, void* notifier, HANDLE* conn) {
  std::vector<std::string> problems;
  standin::Script script = standin::LoadScript(problems);
  for (const std::string& problem : problems) standin::Journal(script.journal, "script-problem\t" + problem);

  bool exists = false;
  const int keys = call.phonebook.empty() ? -1 : EntryKeys(call.phonebook, call.entry, exists);
  std::string line = std::string(call.name) + "\tsize=" + Num(call.size) + "\tnotifier_type=" + Num(notifierType) +
                     "\tphonebook=" + ToCp949(call.phonebook) + "\tphonebook_exists=" + (exists ? "1" : "0") +
                     "\tentry_keys=" + std::to_string(keys) + "\tentry=" + ToCp949(call.entry) +
                     "\tphone=" + ToCp949(call.phone) + "\tcallback=" + ToCp949(call.callback) +
                     "\tuser=" + ToCp949(call.user) + "\tpassword_length=" + Num(call.passwordLength) +
                     "\tdomain=" + ToCp949(call.domain);

  DWORD result = 0;
  bool handOut = true;
  if (notifierType != 0 || notifier == nullptr) {
    result = kInvalidParameter;  // only the asynchronous type-0 dial is played
    handOut = false;
  } else if (script.refuseCode != 0) {
    result = script.refuseCode;
    handOut = script.refuseWithHandle;
  }
  std::shared_ptr<Conn> c;
  if (handOut) {
    c = std::make_shared<Conn>();
    c->script = script;
    c->notifier = reinterpret_cast<Notifier>(notifier);
    c->phoneNumber = ToCp949(call.phone);
    c->error = result;
    Hold hold;
    c->handle = ++g_last_handle;
    g_conns[c->handle] = c;
    *conn = reinterpret_cast<HANDLE>(c->handle);
  }
  line += "\tresult=" + Num(result) + "\thandle=" + HandleText(c ? reinterpret_cast<HANDLE>(c->handle) : nullptr);
  standin::Journal(script.journal, line);
  if (result == 0) {
    HANDLE thread = CreateThread(nullptr, 0, DialThread, new std::shared_ptr<Conn>(c), 0, nullptr);
    if (thread) CloseHandle(thread);
  }
  return result;
}

template <typename Char>
DWORD DialEither(const char* name, const std::wstring& phonebook, void* params, DWORD notifierType, void* notifier,
                 HANDLE* conn) {
  if (params == nullptr || conn == nullptr) return kInvalidParameter;
  const auto* p = static_cast<const DialTexts<Char>*>(params);
  if (!KnownDialSize<Char>(p->dwSize)) {
    standin::Journal(JournalPath(), std::string(name) + "\tsize=" + Num(p->dwSize) + "\tresult=" + Num(kInvalidSize));
    return kInvalidSize;
  }
  DialCall call{name,
                p->dwSize,
                phonebook,
                Wide(p->szEntryName, 257),
                Wide(p->szPhoneNumber, 129),
                Wide(p->szCallbackNumber, 129),
                Wide(p->szUserName, 257),
                Wide(p->szDomain, 16),
                Length(p->szPassword, 257)};
  *conn = nullptr;
  return Dial(call, notifierType, notifier, conn);
}

}  // namespace

extern "C" {

DWORD WINAPI RasDialA(void*, LPCSTR phonebook, void* params, DWORD notifierType, void* notifier, HANDLE* conn) {
  const std::wstring path = phonebook ? FromCodePage(phonebook, CP_ACP) : std::wstring();
  return DialEither<char>("RasDialA", path, params, notifierType, notifier, conn);
}

DWORD WINAPI RasDialW(void*, LPCWSTR phonebook, void* params, DWORD notifierType, void* notifier, HANDLE* conn) {
  const std::wstring path = phonebook ? std::wstring(phonebook) : std::wstring();
  return DialEither<wchar_t>("RasDialW", path, params, notifierType, notifier, conn);
}

DWORD WINAPI RasHangUpA(HANDLE handle) {
  DWORD result = 0;
  {
    Hold hold;
    const std::shared_ptr<Conn> c = Known(handle);
    if (!c) {
      result = kInvalidHandle;
    } else if (!c->hungUp) {
      c->hungUp = true;
      c->hangUpTick = GetTickCount64();
    }
  }
  standin::Journal(JournalPath(), "RasHangUpA\thandle=" + HandleText(handle) + "\tresult=" + Num(result));
  return result;
}

DWORD WINAPI RasGetConnectStatusA(HANDLE handle, void* out) {
  if (out == nullptr) return kInvalidParameter;
  auto* status = static_cast<ConnStatusA*>(out);
  const DWORD size = status->dwSize;
  DWORD result = 0;
  if (size != sizeof(ConnStatusA) && size != offsetof(ConnStatusA, szPhoneNumber) + 2) {
    result = kInvalidSize;
  } else {
    Hold hold;
    const std::shared_ptr<Conn> c = Known(handle);
    if (!c || (c->lost && !c->hungUp && !c->script.dropAsDisconnected)) {
      result = kInvalidHandle;
    } else {
      std::memset(reinterpret_cast<char*>(status) + sizeof(DWORD), 0, size - sizeof(DWORD));
      status->rasconnstate = c->hungUp ? kDisconnected : c->state;
      status->dwError = c->hungUp ? 0 : c->error;
      lstrcpynA(status->szDeviceType, "vpn", sizeof status->szDeviceType);
      lstrcpynA(status->szDeviceName, "WAN Miniport (simulated)", sizeof status->szDeviceName);
      if (size == sizeof(ConnStatusA)) lstrcpynA(status->szPhoneNumber, c->phoneNumber.c_str(), 129);
    }
  }
  std::string line = "RasGetConnectStatusA\thandle=" + HandleText(handle) + "\tsize=" + Num(size) +
                     "\tresult=" + Num(result);
  if (result == 0) line += "\tstate=" + Num(status->rasconnstate) + "\terror=" + Num(status->dwError);
  standin::Journal(JournalPath(), line);
  return result;
}

DWORD WINAPI RasGetProjectionInfoA(HANDLE handle, DWORD projection, void* out, DWORD* outSize) {
  if (out == nullptr || outSize == nullptr) return kInvalidParameter;
  auto* ip = static_cast<PppIpA*>(out);
  DWORD result = 0;
  std::string address;
  {
    Hold hold;
    const std::shared_ptr<Conn> c = Known(handle);
    if (!c) {
      result = kInvalidHandle;
    } else if (projection != kPppIp) {
      result = kProtocolNotConfigured;
    } else if (!c->connected || c->hungUp) {
      result = kProjectionNotComplete;
    } else if (*outSize < sizeof(PppIpA)) {
      *outSize = sizeof(PppIpA);
      result = kBufferTooSmall;
    } else if (ip->dwSize != sizeof(PppIpA)) {
      result = kInvalidSize;
    } else if (c->script.projectionError != 0) {
      result = c->script.projectionError;
    } else {
      address = c->script.address;
      std::memset(reinterpret_cast<char*>(ip) + sizeof(DWORD), 0, sizeof(PppIpA) - sizeof(DWORD));
      lstrcpynA(ip->szIpAddress, address.c_str(), sizeof ip->szIpAddress);
      lstrcpynA(ip->szServerIpAddress, c->script.serverAddress.c_str(), sizeof ip->szServerIpAddress);
    }
  }
  standin::Journal(JournalPath(), "RasGetProjectionInfoA\thandle=" + HandleText(handle) + "\tprojection=" +
                                      Num(projection) + "\tsize=" + Num(ip->dwSize) + "\tresult=" + Num(result) +
                                      "\taddress=" + address);
  return result;
}

DWORD WINAPI RasGetErrorStringA(UINT code, LPSTR buffer, DWORD size) {
  std::vector<std::string> ignored;
  const standin::Script script = standin::LoadScript(ignored);
  std::string text;
  DWORD result = 0;
  if (buffer == nullptr || size == 0 || !standin::ErrorText(script, code, text)) {
    result = kInvalidParameter;
  } else if (text.size() + 1 > size) {
    result = kBufferTooSmall;
  } else {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
  }
  standin::Journal(script.journal, "RasGetErrorStringA\tcode=" + Num(code) + "\tsize=" + Num(size) +
                                       "\tresult=" + Num(result));
  return result;
}

DWORD WINAPI RasGetErrorStringW(UINT code, LPWSTR buffer, DWORD size) {
  std::vector<std::string> ignored;
  const standin::Script script = standin::LoadScript(ignored);
  std::string text;
  DWORD result = 0;
  if (buffer == nullptr || size == 0 || !standin::ErrorText(script, code, text)) {
    result = kInvalidParameter;
  } else {
    const std::wstring wide = FromCodePage(text, 949);
    if (wide.size() + 1 > size) {
      result = kBufferTooSmall;
    } else {
      std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    }
  }
  standin::Journal(script.journal, "RasGetErrorStringW\tcode=" + Num(code) + "\tsize=" + Num(size) +
                                       "\tresult=" + Num(result));
  return result;
}

}  // extern "C"
