// The network connections through netshell's connection manager. Wine has no such
// manager (the class is not registered); there the calls must fail cleanly, with the
// manager's error, and never report a switched connection.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/win32_net_connections.h"
#include "platform/win32/windows_include.h"

namespace {

constexpr long kClassNotRegistered = static_cast<long>(0x80040154u);

bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(WinNetConnections, ConnectionsAreListedOrTheManagerIsMissing) {
  platform::win32::Win32NetConnections connections;
  std::vector<platform::NetConnection> list;
  const long listed = connections.Enumerate(list);
  // A GUID no connection has.
  const std::string nobody = "{00000000-1111-2222-3333-444444444444}";
  if (UnderWine()) {
    EXPECT_FALSE(connections.Available());
    EXPECT_EQ(listed, kClassNotRegistered);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(connections.Connect(nobody), kClassNotRegistered);
    EXPECT_EQ(connections.Disconnect(nobody), kClassNotRegistered);
    return;
  }
  ASSERT_EQ(listed, 0);
  EXPECT_TRUE(connections.Available());
  for (const platform::NetConnection& c : list) {
    EXPECT_EQ(c.guid.size(), 38u) << c.name;
    EXPECT_EQ(c.guid.front(), '{');
  }
  EXPECT_EQ(connections.Connect(nobody), static_cast<long>(0x80070490u));  // not found
}

}  // namespace
