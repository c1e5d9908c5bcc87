#include "tunnel/ras_mgmt.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes/fake_ras.h"
#include "fakes/fake_window.h"

namespace {

using Calls = std::vector<std::string>;

class RecordingLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

struct Note {
  std::uint32_t message, state, error;
  bool operator==(const Note& o) const { return message == o.message && state == o.state && error == o.error; }
};

struct Rig {
  fakes::FakeRas ras;
  fakes::FakeWindow owner;
  RecordingLog log;
  tunnel::CRasMgmt mgmt{ras, owner, log};
  std::vector<Note> notes;

  int Dial(const std::string& phone = "203.0.113.9", const std::string& user = "gamer01",
           const std::string& password = "pa55word") {
    return mgmt.Dial("C:\\TUNRA\\sobrel.ini", phone, user, password,
                     [this](std::uint32_t m, std::uint32_t s, std::uint32_t e) { notes.push_back({m, s, e}); });
  }
  // A started dial that the platform reported as connected.
  void Connect() {
    ASSERT_EQ(Dial(), 0);
    ras.Report(platform::kRasConnected);
    ras.calls.clear();
  }
  bool LogHolds(const std::string& text) const {
    for (const std::string& line : log.lines)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
};

// Missing or over-long texts are never dialled (a cut server address would dial
// another host); the longest texts the dial structure holds are dialled unchanged.
TEST(RasMgmt, DialChecksItsTexts) {
  const std::string phone128(128, '1'), user256(256, 'u'), password256(256, 'p');
  struct Row { std::string phone, user, password; int result; const char* logged; };
  const Row rows[] = {
      {"", "gamer01", "pw", -1, "no phone number"},
      {"1.2.3.4", "", "pw", -1, "no user name"},
      {"1.2.3.4", "gamer01", "", -1, "no password"},
      {phone128 + "1", "gamer01", "pw", -1, "phone number longer than 128 bytes"},
      {"1.2.3.4", user256 + "u", "pw", -1, "user name longer than 256 bytes"},
      {"1.2.3.4", "gamer01", password256 + "p", -1, "password longer than 256 bytes"},
      {phone128, user256, password256, 0, ": started"},
  };
  for (const Row& r : rows) {
    Rig rig;
    EXPECT_EQ(rig.Dial(r.phone, r.user, r.password), r.result) << r.logged;
    EXPECT_TRUE(rig.LogHolds(r.logged)) << r.logged;
    ASSERT_EQ(rig.log.lines.size(), 1u) << r.logged;
    if (r.result == 0) {
      ASSERT_EQ(rig.ras.dials.size(), 1u);
      const fakes::FakeRas::DialCall& d = rig.ras.dials[0];
      EXPECT_EQ(d.phonebook, "C:\\TUNRA\\sobrel.ini");
      EXPECT_EQ(d.params.entryName, "Vexo_Conn");
      EXPECT_EQ(d.params.phoneNumber, r.phone);
      EXPECT_EQ(d.params.userName, r.user);
      EXPECT_EQ(d.params.password, r.password);
      EXPECT_EQ(d.params.callbackNumber, "");
      EXPECT_EQ(d.params.domain, "");
      EXPECT_TRUE(rig.mgmt.HasHandle());
    } else {
      EXPECT_TRUE(rig.ras.calls.empty()) << r.logged;
      EXPECT_TRUE(rig.owner.boxes().empty());
    }
  }
}

// The dial line names entry, server, user and phonebook, never the password.
TEST(RasMgmt, DialLogNamesTheDialButNeverThePassword) {
  Rig rig;
  rig.ras.dialResult = 691;
  ASSERT_EQ(rig.Dial("203.0.113.9", "gamer01", "pa55word"), -1);
  for (const std::string& line : rig.log.lines) EXPECT_EQ(line.find("pa55word"), std::string::npos) << line;
  EXPECT_EQ(rig.log.lines[0],
            "ras dial entry=Vexo_Conn phone=203.0.113.9 user=gamer01 phonebook=C:\\TUNRA\\sobrel.ini: "
            "refused 691 access denied");
}

// A held handle answers for a new dial only when its link is connected; any other
// answer hangs it up and dials again, so Dial's 1 always means a live link.
TEST(RasMgmt, DialWithAHeldHandle) {
  struct Row { const char* name; std::uint32_t statusError, state; int result; Calls calls; };
  const Row rows[] = {
      {"connected", 0, platform::kRasConnected, 1, {"status 0x101"}},
      {"still authenticating", 0, 5, 0, {"status 0x101", "hang-up 0x101", "status 0x101", "dial"}},
      {"disconnected", 0, platform::kRasDisconnected, 0,
       {"status 0x101", "hang-up 0x101", "status 0x101", "dial"}},
      {"lost (handle unknown)", 6, platform::kRasConnected, 0, {"status 0x101", "hang-up 0x101", "dial"}},
  };
  for (const Row& r : rows) {
    Rig rig;
    rig.Connect();
    rig.ras.state = r.state;
    rig.ras.statusError = r.statusError;
    if (r.statusError == 6) rig.ras.live = 0;  // the platform forgot the connection
    EXPECT_EQ(rig.Dial(), r.result) << r.name;
    EXPECT_EQ(rig.ras.calls, r.calls) << r.name;
    EXPECT_EQ(rig.ras.dials.size(), r.result == 1 ? 1u : 2u) << r.name;
  }
}

// RasDialA's own refusal: its code and text in the owner's box, the handle it may
// have handed out hung up and let go.
TEST(RasMgmt, RefusedDial) {
  struct Row { bool handle; Calls calls; };
  const Row rows[] = {
      {true, {"dial", "error-text 623 1024", "hang-up 0x101", "status 0x101"}},
      {false, {"dial", "error-text 623 1024"}},
  };
  for (const Row& r : rows) {
    Rig rig;
    rig.ras.dialResult = platform::kRasErrorCannotFindPhonebookEntry;
    rig.ras.handleOnRefusal = r.handle;
    EXPECT_EQ(rig.Dial(), -1);
    EXPECT_EQ(rig.ras.calls, r.calls);
    EXPECT_FALSE(rig.mgmt.HasHandle());
    ASSERT_EQ(rig.owner.boxes().size(), 1u);
    EXPECT_EQ(rig.owner.boxes()[0].text, "<<623>> : phonebook entry not found");
    EXPECT_EQ(rig.owner.boxes()[0].caption, "tunra");
    EXPECT_TRUE(rig.notes.empty());
  }
}

TEST(RasMgmt, IsConnectedOnlyForAConnectedLink) {
  struct Row { const char* name; bool dial; std::uint32_t statusError, state; int result; };
  const Row rows[] = {
      {"no handle", false, 0, 0, 0},
      {"connected", true, 0, platform::kRasConnected, 1},
      {"authenticating", true, 0, 5, 0},
      {"disconnected (done bit, not connected)", true, 0, platform::kRasDisconnected, 0},
      {"handle unknown", true, 6, platform::kRasConnected, 0},
  };
  for (const Row& r : rows) {
    Rig rig;
    if (r.dial) {
      ASSERT_EQ(rig.Dial(), 0);
    }
    rig.ras.state = r.state;
    rig.ras.statusError = r.statusError;
    rig.log.lines.clear();
    EXPECT_EQ(rig.mgmt.IsConnected(), r.result) << r.name;
    // An answer of 0 for a held handle is what ends a session: it is logged.
    EXPECT_EQ(rig.log.lines.size(), r.dial && r.result == 0 ? 1u : 0u) << r.name;
  }
}

// The handle goes once the platform lets go of it, waited for in bounded steps; a
// connection that never ends keeps the handle after the bound.
TEST(RasMgmt, HangUpWaitsForTheRelease) {
  struct Row { const char* name; std::uint32_t hangUpResult; int releaseAfterPolls; int result;
               bool handleKept; unsigned paused; };
  const Row rows[] = {
      {"released at once", 0, 0, 0, false, 0},
      {"released after three polls", 0, 3, 0, false, 3 * tunnel::kRasReleasePollMs},
      {"never released", 0, -1, 0, true, tunnel::kRasReleaseWaitMs},
      {"hang-up refused", 5, 0, 5, true, 0},
  };
  for (const Row& r : rows) {
    Rig rig;
    rig.Connect();
    rig.ras.hangUpResult = r.hangUpResult;
    rig.ras.releaseAfterPolls = r.releaseAfterPolls;
    EXPECT_EQ(rig.mgmt.HangUp(), r.result) << r.name;
    EXPECT_EQ(rig.mgmt.HasHandle(), r.handleKept) << r.name;
    EXPECT_EQ(rig.ras.paused, r.paused) << r.name;
    EXPECT_EQ(rig.mgmt.IsConnected(), r.handleKept ? 1 : 0) << r.name;  // the fake still says connected
  }
  Rig none;
  EXPECT_EQ(none.mgmt.HangUp(), -1);
  EXPECT_TRUE(none.ras.calls.empty());
}

// A hang-up of a connection the platform has already forgotten clears the handle.
TEST(RasMgmt, HangUpOfAForgottenHandle) {
  Rig rig;
  rig.Connect();
  rig.ras.live = 0;
  EXPECT_EQ(rig.mgmt.HangUp(), 6);
  EXPECT_FALSE(rig.mgmt.HasHandle());
  EXPECT_EQ(rig.mgmt.HangUp(), -1);
}

// The receiver runs while the platform's dial thread waits for it, and the platform
// ends a hung-up connection only after the receiver returns: the error branch's
// hang-up does not wait (it would freeze the window for the whole bound). The next
// dial then finds the old handle gone.
TEST(RasMgmt, HangUpInsideANotificationDoesNotWait) {
  Rig rig;
  int hangUp = 99;
  ASSERT_EQ(rig.mgmt.Dial("C:\\TUNRA\\sobrel.ini", "203.0.113.9", "gamer01", "pw",
                          [&](std::uint32_t, std::uint32_t, std::uint32_t error) {
                            if (error != 0) hangUp = rig.mgmt.HangUp();
                          }),
            0);
  rig.ras.releaseAfterPolls = 0;
  rig.ras.state = 5;
  rig.ras.calls.clear();
  rig.ras.Report(5, platform::kRasErrorAuthenticationFailure);
  EXPECT_EQ(hangUp, 0);
  EXPECT_EQ(rig.ras.calls, Calls{"hang-up 0x101"});
  EXPECT_EQ(rig.ras.paused, 0u);
  EXPECT_TRUE(rig.mgmt.HasHandle());
  // Outside a notification the same hang-up waits for the release.
  EXPECT_EQ(rig.mgmt.IsConnected(), 0);  // the platform has let go by now
  EXPECT_EQ(rig.Dial(), 0);
  EXPECT_EQ(rig.ras.dials.size(), 2u);
}

// The receiver gets every notification unchanged.
TEST(RasMgmt, NotificationsReachTheReceiver) {
  Rig rig;
  ASSERT_EQ(rig.Dial(), 0);
  rig.ras.Report(0);
  rig.ras.Report(5, 691);
  rig.ras.Report(platform::kRasConnected);
  EXPECT_EQ(rig.notes, (std::vector<Note>{{platform::kRasDialEvent, 0, 0},
                                          {platform::kRasDialEvent, 5, 691},
                                          {platform::kRasDialEvent, platform::kRasConnected, 0}}));
}

TEST(RasMgmt, AssignedAddress) {
  struct Row { bool dial; std::uint32_t projectionResult; const char* address; };
  const Row rows[] = {{false, 0, ""}, {true, 0, "10.20.30.40"}, {true, 731, ""}};
  for (const Row& r : rows) {
    Rig rig;
    if (r.dial) rig.Connect();
    rig.ras.projectionResult = r.projectionResult;
    EXPECT_EQ(rig.mgmt.GetAssignedAddress(), r.address);
    EXPECT_EQ(rig.ras.calls.size(), r.dial ? 1u : 0u);
  }
}

TEST(RasMgmt, ErrorText) {
  Rig rig;
  EXPECT_EQ(rig.mgmt.ErrorText(691), "access denied");
  EXPECT_EQ(rig.mgmt.ErrorText(12345), "");  // no text from the platform: nothing made up
  EXPECT_EQ(rig.ras.calls, (Calls{"error-text 691 256", "error-text 12345 256"}));
}

// The progress texts are the bytes users know (code page 949); one line feed in the
// connected text.
TEST(RasMgmt, StateText) {
  struct Row { std::uint32_t state; std::string text; };
  const Row rows[] = {
      {0, "\xC5\xEB\xBD\xC5\xC6\xF7\xC6\xAE \xBF\xA9\xB4\xC2\xC1\xDF..."},  // 통신포트 여는중...
      {8, "\xC0\xCE\xC1\xF5 Callback "},                                  // 인증 Callback (trailing blank)
      {18, "수행된 정보정상"},
      {platform::kRasConnected,
       "\xC1\xA2\xBC\xD3\xB5\xC7\xBE\xFA\xBD\xC0\xB4\xCF\xB4\xD9\nTCP/IP "
       "\xC5\xEB\xBD\xC5\xB0\xA1\xB4\xC9\xC7\xD5\xB4\xCF\xB4\xD9..."},
      {platform::kRasDisconnected, "\xC1\xA2\xBC\xD3\xC7\xD8\xC1\xA6"},  // 접속해제
      {19, "(\xC3\xB3\xB8\xAE\xC1\xDF~)"},                                 // (처리중~)
      {0x2002, "(처리중~)"},
      {0xFFFFFFFFu, "(처리중~)"},
  };
  for (const Row& r : rows) EXPECT_EQ(tunnel::CRasMgmt::StateText(r.state), r.text) << r.state;
  // Every state of the table has a text of its own.
  for (std::uint32_t s = 0; s <= 18; ++s) EXPECT_NE(tunnel::CRasMgmt::StateText(s), "(처리중~)") << s;
}

}  // namespace
