// The settings store on the real registry, INI writer and files.
#include <gtest/gtest.h>

#include "settings/file_mgmt.h"
#include "settings/ini_mgmt.h"
#include "settings/reg_ctrl.h"
#include "fakes/fake_profile.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "tunnel/ras_config_file.h"
#include "win_temp.h"

namespace {

using platform::kHkeyCurrentUser;

class WinRegCtrlTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER,
                     std::wstring(path.begin(), path.end()).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\TunraTest");  // only when empty
  }

  platform::win32::Win32Registry registry;
  settings::CRegCtrl reg{registry};
  const std::string path = "SOFTWARE\\TunraTest\\" + wintest::UniqueSuffix();
};

TEST_F(WinRegCtrlTest, OneWrittenReadsBackAsExactlyOne) {
  ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, path, "uipchk", platform::kRegSz, "1"), 1);
  std::string buffer;
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "uipchk", buffer), 1);
  EXPECT_EQ(buffer, "1");

  // As the A functions see it: REG_SZ, the text and one zero byte.
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  char data[16] = {};
  DWORD size = sizeof data, type = 0;
  EXPECT_EQ(::RegQueryValueExA(key, "uipchk", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  ::RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(data, size), std::string("1\0", 2));
}

TEST_F(WinRegCtrlTest, MissingKeyOrValueFailsAndDeletingAMissingValueGivesZero) {
  std::string buffer;
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "VCType", buffer), 0);
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, path, "VCType"), 0);
  ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, path, "other", platform::kRegSz, "x"), 1);
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "VCType", buffer), 0);
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, path, "VCType"), 0);
  EXPECT_EQ(buffer, "");
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, path, "other"), 1);
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "other", buffer), 0);
}

TEST_F(WinRegCtrlTest, KoreanTextAndTheBufferLimitAreCountedInCp949Bytes) {
  const std::string korean = "\xC1\xA2\xBC\xD3\xBF\xC0\xB7\xF9 \xA1\xDA";  // 11 bytes, 6 chars
  ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, path, "VSvrCode", platform::kRegSz, korean), 1);
  std::string buffer;
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "VSvrCode", buffer), 1);
  EXPECT_EQ(buffer, korean);
  buffer.clear();
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "VSvrCode", buffer, 11), 0);
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "VSvrCode", buffer, 12), 1);

  for (std::size_t length : {1023u, 1024u}) {
    SCOPED_TRACE(length);
    ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, path, "IpList", platform::kRegSz,
                             std::string(length, '7')),
              1);
    buffer.clear();
    EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, path, "IpList", buffer), length < 1024 ? 1 : 0);
  }
}

TEST_F(WinRegCtrlTest, DwordIsStoredAsANumber) {
  ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, path, "n", platform::kRegDword, " 1185x"), 1);
  DWORD value = 0, size = sizeof value, type = 0;
  EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, std::wstring(path.begin(), path.end()).c_str(),
                           L"n", RRF_RT_ANY, &type, &value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 1185u);
}

class WinFileMgmtTest : public ::testing::Test {
 protected:
  wintest::TempFolder folder;
  platform::win32::Win32Files files;
  settings::CFileMgmt file{files};
};

TEST_F(WinFileMgmtTest, LinesAreWrittenWithCrLfAndReadBack) {
  ASSERT_EQ(file.OpenForWrite(folder.path(), "vrs.inf"), 0);
  EXPECT_EQ(file.AppendLine("user"), 0);
  EXPECT_EQ(file.AppendLine("\xBA\xF1\xB9\xD0"), 0);
  file.Close();

  std::string bytes;
  ASSERT_TRUE(files.ReadAllShared(folder.path() + "\\vrs.inf", bytes));
  EXPECT_EQ(bytes, "user\r\n\xBA\xF1\xB9\xD0\r\n");

  ASSERT_EQ(file.OpenForRead(folder.path(), "vrs.inf"), 0);  // backslashes become '/'
  EXPECT_EQ(file.ReadLine(), "user");
  EXPECT_EQ(file.ReadLine(), "\xBA\xF1\xB9\xD0");
  EXPECT_EQ(file.ReadLine(), "-1");
  file.Close();

  std::string out = "held\r\n";
  EXPECT_EQ(file.ReadAll(folder.path() + "\\vrs.inf", out), 1);
  EXPECT_EQ(out, "held\r\nuser\r\n\xBA\xF1\xB9\xD0\r\n");
  out = "kept";
  EXPECT_EQ(file.ReadAll(folder.path() + "\\missing.log", out), -11);
  EXPECT_EQ(out, "kept");
}

TEST_F(WinFileMgmtTest, ReadAllReadsALogAnotherProgramHoldsOpenForWriting) {
  const std::string path = folder.path() + "\\event.log";
  HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const char log[] = "Initialization Sequence Completed\r\npartial";
  DWORD written = 0;
  ::WriteFile(writer, log, sizeof log - 1, &written, nullptr);

  std::string out;
  EXPECT_EQ(file.ReadAll(path, out), 1);
  EXPECT_EQ(out, "Initialization Sequence Completed\r\npartial\r\n");
  ::CloseHandle(writer);
}

TEST(WinIniTest, WriterBytesMatchTheFakesRendering) {
  wintest::TempFolder folder;
  const std::string path = folder.path() + "\\sobrel.ini";
  platform::win32::Win32Profile real;
  fakes::FakeProfile fake;
  for (platform::IPrivateProfile* profile :
       {static_cast<platform::IPrivateProfile*>(&real), static_cast<platform::IPrivateProfile*>(&fake)}) {
    settings::CIniMgmt ini(*profile);
    ini.path = path;
    ini.WriteKey("Vexo_Conn", "PhoneNumber", "10.0.0.1");
    ini.WriteKey("Vexo_Conn", "Device", "");
    ini.WriteKey("Vexo_Conn", "Description", "\xC1\xA2\xBC\xD3");
    ini.WriteKey("Vexo_Conn", "PhoneNumber", "10.0.0.2");
  }
  std::string bytes;
  platform::win32::Win32Files files;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  EXPECT_EQ(bytes, fake.Render(path));
}

// A phonebook in a folder with a Korean name lands in that folder whatever the
// system's ANSI code page (the tests run with a non-Korean one), with its bytes.
TEST(WinIniTest, AKoreanFolderPathNamesTheRightFile) {
  wintest::TempFolder folder;
  const std::wstring base(folder.path().begin(), folder.path().end());
  const std::wstring korean = base + L"\\\uC811\uC18D";  // "접속"
  ASSERT_TRUE(::CreateDirectoryW(korean.c_str(), nullptr));
  const std::string path = folder.path() + "\\\xC1\xA2\xBC\xD3\\sobrel.ini";
  platform::win32::Win32Profile profile;
  EXPECT_TRUE(profile.WriteString("Vexo_Conn", "PhoneNumber", "10.0.0.1", path));
  const std::wstring file = korean + L"\\sobrel.ini";
  EXPECT_NE(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  std::string bytes;
  platform::win32::Win32Files files;
  ASSERT_TRUE(files.ReadAllShared(path, bytes));
  EXPECT_EQ(bytes, "[Vexo_Conn]\r\nPhoneNumber=10.0.0.1\r\n");
  ::DeleteFileW(file.c_str());
  ::RemoveDirectoryW(korean.c_str());
}

// The dialer's phonebook through the real INI writer, byte for byte against a fixture
// written by hand from the entry's definition (95 keys, the L2TP device's 21 bytes, CR
// LF); a second write over it gives the same file, not a second copy of the entry.
TEST(WinPhonebookTest, RealWriterGivesTheDefinedFile) {
  wintest::TempFolder folder;
  const std::string path = folder.path() + "\\sobrel.ini";
  platform::win32::Win32Files files;
  platform::win32::Win32Profile profile;
  std::string expected;
  ASSERT_TRUE(files.ReadAllShared(TUNRA_WIN_FIXTURES "\\sobrel_l2tp_zero_ip.ini", expected));
  ASSERT_EQ(expected.size(), 1868u);
  for (int round = 0; round < 2; ++round) {
    tunnel::CRasConfigFile phonebook(files, profile);
    EXPECT_EQ(phonebook.PrepareEntry(3, 1, path), 1);
    phonebook.WriteEntry();
    std::string bytes;
    ASSERT_TRUE(files.ReadAllShared(path, bytes));
    EXPECT_EQ(bytes, expected) << "write " << round;
  }
}

}  // namespace
