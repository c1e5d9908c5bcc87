// A file only its owner may read (the OpenVPN credential file), on the real file
// system, its DACL read back with GetSecurityInfo.
//
// Windows keeps the security descriptor given at creation: a protected DACL with one
// entry, full access for the user the process runs as. Wine 8 keeps no descriptor: it
// turns the DACL into Unix mode bits when it creates the file (here rwxr-x---, none
// for others) and answers GetSecurityInfo with a DACL made from those bits (full
// access for SYSTEM and the owner, read for Everyone when others may read), never
// protected. So under Wine the test checks what that answer can show: no entry for
// anyone but the user and SYSTEM, where an ordinary file has one.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "platform/win32/win32_files.h"
#include "win_temp.h"

namespace {

bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The process's TokenUser record; its SID points into the buffer.
std::vector<BYTE> ProcessUser() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> info(size);
  const bool read = size != 0 && ::GetTokenInformation(token, TokenUser, info.data(), size, &size);
  ::CloseHandle(token);
  if (!read) info.clear();
  return info;
}

PSID SidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!::ConvertSidToStringSidA(sid, &text)) return "?";
  std::string out = text;
  ::LocalFree(text);
  return out;
}

struct Ace {
  BYTE type;
  ACCESS_MASK mask;
  std::string sid;  // S-1-...
};

struct Dacl {
  bool read = false;
  bool isProtected = false;
  bool present = false;
  std::vector<Ace> aces;
  std::string sddl;  // the whole DACL as text, for the failure messages
};

Dacl ReadDacl(const std::wstring& path) {
  Dacl out;
  HANDLE h = ::CreateFileW(path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const DWORD result = ::GetSecurityInfo(h, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                         &dacl, nullptr, &sd);
  ::CloseHandle(h);
  if (result != ERROR_SUCCESS) return out;
  out.read = true;
  char* text = nullptr;
  if (::ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
    out.sddl = text;
    ::LocalFree(text);
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (::GetSecurityDescriptorControl(sd, &control, &revision))
    out.isProtected = (control & SE_DACL_PROTECTED) != 0;
  out.present = dacl != nullptr;
  ACL_SIZE_INFORMATION info{};
  if (dacl && ::GetAclInformation(dacl, &info, sizeof info, AclSizeInformation)) {
    for (DWORD i = 0; i < info.AceCount; ++i) {
      void* ace = nullptr;
      if (!::GetAce(dacl, i, &ace)) continue;
      const BYTE type = static_cast<ACE_HEADER*>(ace)->AceType;
      // Allowed and denied entries share the layout of mask and SID.
      auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      out.aces.push_back({type, entry->Mask, SidText(&entry->SidStart)});
    }
  }
  ::LocalFree(sd);
  return out;
}

// Allowed entries for anyone but the user and SYSTEM.
int OthersAllowed(const Dacl& dacl, const std::string& user) {
  int n = 0;
  for (const Ace& ace : dacl.aces)
    if (ace.type == ACCESS_ALLOWED_ACE_TYPE && ace.sid != user && ace.sid != "S-1-5-18") ++n;
  return n;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Replacing a file the folder's default security made: the new file carries only the
// user's entry, and reads back with its bytes.
TEST(WinOwnerOnlyFile, OnlyTheCurrentUserMayOpenIt) {
  wintest::TempFolder dir;
  const std::string path = dir.path() + "\\vrs.inf";
  const std::string ordinary = dir.path() + "\\ordinary.txt";
  platform::win32::Win32Files files;
  for (const std::string& p : {path, ordinary}) {
    auto f = files.Open(p, platform::FileMode::kReadWriteTruncate);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->Write("old"));
  }

  std::vector<BYTE> userRecord = ProcessUser();
  ASSERT_FALSE(userRecord.empty());
  const std::string user = SidText(SidOf(userRecord));

  auto file = files.Open(path, platform::FileMode::kReplaceOwnerOnly);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("gamer01\r\npa55word\r\n"));
  // Nobody opens it while it is being written.
  HANDLE other = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
  file.reset();

  const Dacl dacl = ReadDacl(Wide(path));
  const Dacl control = ReadDacl(Wide(ordinary));
  ASSERT_TRUE(dacl.read);
  ASSERT_TRUE(control.read);
  SCOPED_TRACE("owner-only DACL " + dacl.sddl + ", ordinary DACL " + control.sddl + ", user " + user);
  ASSERT_TRUE(dacl.present);
  EXPECT_EQ(OthersAllowed(dacl, user), 0);
  // The check can tell the two apart: an ordinary file has entries for others (under
  // Wine only when the umask lets others read, as the usual 022 does).
  if (!UnderWine()) {
    EXPECT_GT(OthersAllowed(control, user), 0);
  }
  bool userAllowed = false;
  for (const Ace& ace : dacl.aces)
    userAllowed = userAllowed || (ace.type == ACCESS_ALLOWED_ACE_TYPE && ace.sid == user);
  EXPECT_TRUE(userAllowed);
  if (!UnderWine()) {
    EXPECT_TRUE(dacl.isProtected);
    ASSERT_EQ(dacl.aces.size(), 1u);
    EXPECT_EQ(dacl.aces[0].type, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(dacl.aces[0].mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
    EXPECT_EQ(dacl.aces[0].sid, user);
  }

  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  EXPECT_EQ(bytes, "gamer01\r\npa55word\r\n");
}

// A file held open by someone else is not written into: the open fails.
TEST(WinOwnerOnlyFile, AFileHeldOpenIsNotReplaced) {
  wintest::TempFolder dir;
  const std::string path = dir.path() + "\\vrs.inf";
  HANDLE holder = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  platform::win32::Win32Files files;
  EXPECT_EQ(files.Open(path, platform::FileMode::kReplaceOwnerOnly), nullptr);
  ::CloseHandle(holder);
}

}  // namespace
