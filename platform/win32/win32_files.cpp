#include "platform/win32/win32_files.h"

#include <vector>

#include "platform/win32/cp949_wide.h"
#include "platform/win32/windows_include.h"

namespace platform::win32 {

namespace {

class Win32File final : public IFile {
 public:
  explicit Win32File(HANDLE h) : h_(h) {}
  ~Win32File() override { ::CloseHandle(h_); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  bool ReadLine(std::string& line) override {
    line.clear();
    for (;;) {
      if (pos_ == buffer_.size() && !Fill()) break;
      const std::size_t nl = buffer_.find('\n', pos_);
      const std::size_t end = (nl == std::string::npos) ? buffer_.size() : nl + 1;
      line.append(buffer_, pos_, end - pos_);
      pos_ = end;
      if (nl != std::string::npos) break;
    }
    return !line.empty();
  }

  bool Write(const std::string& bytes) override {
    if (!DropReadAhead()) return false;
    DWORD written = 0;
    return ::WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

  bool SeekEnd() override {
    buffer_.clear();
    pos_ = 0;
    LARGE_INTEGER zero{};
    return ::SetFilePointerEx(h_, zero, nullptr, FILE_END) != FALSE;
  }

 private:
  bool Fill() {
    char chunk[4096];
    DWORD read = 0;
    if (!::ReadFile(h_, chunk, sizeof chunk, &read, nullptr) || read == 0) return false;
    buffer_.assign(chunk, read);
    pos_ = 0;
    return true;
  }

  // Bytes read ahead but not handed out are given back, so a write lands where the
  // caller's reading stopped.
  bool DropReadAhead() {
    const LONGLONG unread = static_cast<LONGLONG>(buffer_.size() - pos_);
    buffer_.clear();
    pos_ = 0;
    if (unread == 0) return true;
    LARGE_INTEGER back;
    back.QuadPart = -unread;
    return ::SetFilePointerEx(h_, back, nullptr, FILE_CURRENT) != FALSE;
  }

  HANDLE h_;
  std::string buffer_;
  std::size_t pos_ = 0;
};

// The token's user record (TokenUser) of the user the process runs as; the SID points
// into `info`. False when the token cannot be read.
bool ReadProcessUser(std::vector<BYTE>& info, PSID& sid) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  info.resize(size);
  const bool read = size != 0 && ::GetTokenInformation(token, TokenUser, info.data(), size, &size);
  ::CloseHandle(token);
  if (!read) return false;
  sid = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
  return ::IsValidSid(sid) != FALSE;
}

// Deletes what is at `path` and creates a new file there whose security descriptor
// holds a protected DACL (nothing inherited from the folder) with one entry: full
// access for the current user. The descriptor is given at creation, so the file is
// never readable by others, not even for a moment. No sharing while it is open.
HANDLE CreateOwnerOnly(const std::wstring& path) {
  std::vector<BYTE> user;
  PSID sid = nullptr;
  if (!ReadProcessUser(user, sid)) return INVALID_HANDLE_VALUE;
  const DWORD aclSize =
      static_cast<DWORD>(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid));
  std::vector<DWORD> aclBuffer((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD));  // DWORD-aligned
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  SECURITY_DESCRIPTOR sd;
  if (!::InitializeAcl(acl, aclSize, ACL_REVISION) ||
      !::AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid) ||
      !::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) ||
      !::SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    return INVALID_HANDLE_VALUE;
  }
  if (!::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
  return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &sa, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::unique_ptr<IFile> Win32Files::Open(const std::string& path, FileMode mode) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case FileMode::kRead:
      break;
    case FileMode::kReadWriteTruncate:
      access |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = CREATE_ALWAYS;
      break;
    case FileMode::kReadWrite:
      access |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
      break;
    case FileMode::kReplaceOwnerOnly: {
      HANDLE h = CreateOwnerOnly(Cp949ToWide(path));
      if (h == INVALID_HANDLE_VALUE) return nullptr;
      return std::make_unique<Win32File>(h);
    }
  }
  HANDLE h = ::CreateFileW(Cp949ToWide(path).c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(h);
}

bool Win32Files::ReadAllShared(const std::string& path, std::string& bytes) {
  HANDLE h = ::CreateFileW(Cp949ToWide(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char chunk[4096];
  DWORD read = 0;
  bool ok = true;
  for (;;) {
    if (!::ReadFile(h, chunk, sizeof chunk, &read, nullptr)) {
      ok = false;
      break;
    }
    if (read == 0) break;
    bytes.append(chunk, read);
  }
  ::CloseHandle(h);
  return ok;
}

bool Win32Files::Delete(const std::string& path) {
  return ::DeleteFileW(Cp949ToWide(path).c_str()) != FALSE;
}

bool Win32Files::Exists(const std::string& path) {
  return ::GetFileAttributesW(Cp949ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
  // FILE_APPEND_DATA alone: every write lands at the end, even when another process
  // appends to the same file.
  HANDLE h = ::CreateFileW(Cp949ToWide(path).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(h);
  return ok && written == bytes.size();
}

}  // namespace platform::win32
