#include "settings/reg_ctrl.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"

namespace {

using platform::kHkeyCurrentUser;
using platform::RegValue;

constexpr const char* kPath = "SOFTWARE\\Orvak";

class RegCtrlTest : public ::testing::Test {
 protected:
  fakes::FakeRegistry registry;
  settings::CRegCtrl reg{registry};
};

TEST_F(RegCtrlTest, ReadFailsAndKeepsBufferWhenKeyOrValueIsMissing) {
  struct Case {
    const char* what;
    bool keyExists;
  };
  for (const Case& c : {Case{"missing key", false}, Case{"missing value", true}}) {
    SCOPED_TRACE(c.what);
    if (c.keyExists) registry.SetText(kHkeyCurrentUser, kPath, "other", "x");
    std::string buffer;
    EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, kPath, "VCType", buffer), 0);
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(registry.OpenHandles(), 0);
  }
}

TEST_F(RegCtrlTest, NullRootFailsWithoutTouchingTheRegistry) {
  registry.SetText(kHkeyCurrentUser, kPath, "VCType", "1");
  std::string buffer = "kept";
  EXPECT_EQ(reg.ReadValue(0, kPath, "VCType", buffer), 0);
  EXPECT_EQ(reg.WriteValue(0, kPath, "VCType", platform::kRegSz, "4"), 0);
  EXPECT_EQ(reg.DeleteValue(0, kPath, "VCType"), 0);
  EXPECT_EQ(buffer, "kept");
  EXPECT_EQ(registry.Calls(), 0);
}

TEST_F(RegCtrlTest, TextWrittenAsOneReadsBackExactlyOne) {
  ASSERT_EQ(reg.WriteValue(kHkeyCurrentUser, kPath, "uipchk", platform::kRegSz, "1"), 1);
  const RegValue* stored = registry.Find(kHkeyCurrentUser, kPath, "uipchk");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->type, platform::kRegSz);
  EXPECT_EQ(stored->data, std::string("1\0", 2));

  std::string buffer;
  EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, kPath, "uipchk", buffer), 1);
  EXPECT_EQ(buffer, "1");
  EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(RegCtrlTest, WriteStoresEachTypeAsItsBytes) {
  struct Case {
    std::uint32_t type;
    std::string textIn;
    std::uint32_t storedType;
    std::string storedData;
  };
  const Case cases[] = {
      {1, "\xB0\xA1 abc", platform::kRegSz, std::string("\xB0\xA1 abc\0", 7)},
      {1, "", platform::kRegSz, std::string("\0", 1)},
      {4, "  42xyz", platform::kRegDword, std::string("\x2A\0\0\0", 4)},
      {4, "abc", platform::kRegDword, std::string("\0\0\0\0", 4)},
      {4, "-1", platform::kRegDword, std::string("\xFF\xFF\xFF\xFF", 4)},
      {7, "a", platform::kRegMultiSz, std::string("a\0\0", 3)},
      {7, std::string("a\0b\0", 4), platform::kRegMultiSz, std::string("a\0b\0\0", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " text '" << c.textIn << "'");
    EXPECT_EQ(reg.WriteValue(kHkeyCurrentUser, kPath, "v", c.type, c.textIn), 1);
    const RegValue* stored = registry.Find(kHkeyCurrentUser, kPath, "v");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, c.storedType);
    EXPECT_EQ(stored->data, c.storedData);
  }
}

TEST_F(RegCtrlTest, UnknownTypeCreatesTheKeyButWritesNothing) {
  EXPECT_EQ(reg.WriteValue(kHkeyCurrentUser, kPath, "v", 3, "x"), 1);
  EXPECT_TRUE(registry.HasKey(kHkeyCurrentUser, kPath));
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, kPath, "v"), nullptr);
  EXPECT_EQ(registry.OpenHandles(), 0);
}

TEST_F(RegCtrlTest, ValueMustFitTheBufferWithItsTerminatingZero) {
  struct Case {
    std::size_t length;
    int result;
  };
  for (const Case& c : {Case{1022, 1}, Case{1023, 1}, Case{1024, 0}, Case{5000, 0}}) {
    SCOPED_TRACE(c.length);
    const std::string text(c.length, 'a');
    registry.SetText(kHkeyCurrentUser, kPath, "IpList", text);
    std::string buffer;
    EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, kPath, "IpList", buffer), c.result);
    EXPECT_EQ(buffer, c.result ? text : "");
    EXPECT_EQ(registry.OpenHandles(), 0);
  }
}

TEST_F(RegCtrlTest, ReadTakesTheDataUpToTheFirstZeroWhateverTheType) {
  struct Case {
    std::uint32_t type;
    std::string data;
    std::string text;
  };
  const Case cases[] = {
      {platform::kRegSz, std::string("ab\0cd\0", 6), "ab"},
      {platform::kRegSz, "no terminator", "no terminator"},
      {platform::kRegDword, std::string("\x31\0\0\0", 4), "1"},
      {platform::kRegMultiSz, std::string("x\0y\0\0", 5), "x"},
  };
  for (const Case& c : cases) {
    registry.SetValue(kHkeyCurrentUser, kPath, "v", c.type, c.data);
    std::string buffer;
    EXPECT_EQ(reg.ReadValue(kHkeyCurrentUser, kPath, "v", buffer), 1);
    EXPECT_EQ(buffer, c.text);
  }
}

TEST_F(RegCtrlTest, DeleteReportsWhetherTheValueWasThere) {
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, kPath, "inStart"), 0);  // no key
  registry.SetText(kHkeyCurrentUser, kPath, "other", "x");
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, kPath, "inStart"), 0);  // no value
  EXPECT_EQ(registry.OpenHandles(), 0);

  registry.SetText(kHkeyCurrentUser, kPath, "inStart", "C:\\a.exe");
  EXPECT_EQ(reg.DeleteValue(kHkeyCurrentUser, kPath, "INSTART"), 1);
  EXPECT_EQ(registry.Find(kHkeyCurrentUser, kPath, "inStart"), nullptr);
  EXPECT_NE(registry.Find(kHkeyCurrentUser, kPath, "other"), nullptr);
  EXPECT_EQ(registry.OpenHandles(), 0);
}

}  // namespace
