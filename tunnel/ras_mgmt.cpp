#include "tunnel/ras_mgmt.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "tunnel/texts.h"

namespace tunnel {

namespace {

std::string HandleText(platform::RasConn conn) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(conn));
  return buffer;
}

std::string Code(std::uint32_t code) { return std::to_string(code); }

// Why the dial's texts cannot be dialled as they are; empty when they can. A text
// longer than its field of the dial structure is refused rather than cut: a cut
// server address dials another host, a cut password fails as a wrong one.
std::string ArgumentProblem(const std::string& phoneNumber, const std::string& userName,
                            const std::string& password) {
  if (phoneNumber.empty()) return "no phone number";
  if (userName.empty()) return "no user name";
  if (password.empty()) return "no password";
  if (phoneNumber.size() > platform::kRasMaxPhoneNumber) return "phone number longer than 128 bytes";
  if (userName.size() > platform::kRasMaxUserName) return "user name longer than 256 bytes";
  if (password.size() > platform::kRasMaxPassword) return "password longer than 256 bytes";
  return std::string();
}

// Counts a notification in flight for as long as the receiver runs.
class InFlight {
 public:
  explicit InFlight(std::atomic<int>& count) : count_(count) { ++count_; }
  ~InFlight() { --count_; }
  InFlight(const InFlight&) = delete;
  InFlight& operator=(const InFlight&) = delete;

 private:
  std::atomic<int>& count_;
};

}  // namespace

CRasMgmt::CRasMgmt(platform::IRas& ras, platform::IWindow& owner, net::IDiagLog& log)
    : ras_(ras), owner_(owner), log_(log) {}

int CRasMgmt::Dial(const std::string& phonebookPath, const std::string& phoneNumber,
                   const std::string& userName, const std::string& password,
                   platform::IRas::Notifier notifier) {
  // The password never reaches the log, only the values support staff may see.
  const std::string what = std::string("ras dial entry=") + kRasEntryName + " phone=" + phoneNumber +
                           " user=" + userName + " phonebook=" + phonebookPath;
  const std::string problem = ArgumentProblem(phoneNumber, userName, password);
  if (!problem.empty()) {
    log_.Write(what + ": not dialled, " + problem);
    return -1;
  }
  if (IsConnected() == 1) {
    log_.Write(what + ": not dialled, connection " + HandleText(conn_) + " is up");
    return 1;
  }
  // A handle of a connection that is not up (a failed or lost dial) is let go first,
  // so a later answer of 1 always means a live link.
  if (conn_ != 0) HangUp();

  platform::RasDialParams params;
  params.entryName = kRasEntryName;
  params.phoneNumber = phoneNumber;
  params.userName = userName;
  params.password = password;
  // The receiver runs while the platform's dial thread waits for it; a hang-up made
  // meanwhile must not wait for an end that only comes after the receiver returns.
  platform::IRas::Notifier counted =
      [count = notifying_, inner = std::move(notifier)](std::uint32_t message, std::uint32_t state,
                                                         std::uint32_t error) {
        InFlight flight(*count);
        if (inner) inner(message, state, error);
      };
  conn_ = 0;
  const std::uint32_t result = ras_.Dial(phonebookPath, params, std::move(counted), conn_);
  if (result == 0) {
    log_.Write(what + ": started, connection " + HandleText(conn_));
    return 0;
  }

  const std::string text = ErrorText(result, 1024);
  log_.Write(what + ": refused " + Code(result) + " " + text);
  HangUp();
  std::vector<char> message(text.size() + 32);
  std::snprintf(message.data(), message.size(), kRasDialRefusedFormat, static_cast<int>(result),
                text.c_str());
  owner_.MessageBox(message.data(), kRasDialRefusedCaption, platform::kMbOk);
  return -1;
}

int CRasMgmt::HangUp() {
  if (conn_ == 0) return -1;
  const std::string what = "ras hang-up connection " + HandleText(conn_);
  const std::uint32_t result = ras_.HangUp(conn_);
  if (result == static_cast<std::uint32_t>(platform::kErrorInvalidHandle)) {
    // The platform has already let go of it (a lost link, an earlier hang-up).
    log_.Write(what + ": 6, already gone");
    conn_ = 0;
    return static_cast<int>(result);
  }
  if (result != 0) {
    log_.Write(what + ": failed " + Code(result) + " " + ErrorText(result));
    return static_cast<int>(result);
  }
  if (notifying_->load() > 0) {
    log_.Write(what + ": 0, ends after the notification");
    return 0;
  }
  // Poll the status until the platform no longer knows the handle, as its
  // documentation asks before the handle (or the port) is used again.
  unsigned waited = 0;
  for (;;) {
    platform::RasConnStatus status;
    const std::uint32_t answer = ras_.GetConnectStatus(conn_, status);
    if (answer != 0) {
      log_.Write(what + ": 0, released after " + std::to_string(waited) + " ms (status " + Code(answer) + ")");
      conn_ = 0;
      return 0;
    }
    if (waited >= kRasReleaseWaitMs) break;
    ras_.Pause(kRasReleasePollMs);
    waited += kRasReleasePollMs;
  }
  log_.Write(what + ": 0, still known after " + std::to_string(waited) + " ms; handle kept");
  return 0;
}

int CRasMgmt::IsConnected() {
  if (conn_ == 0) return 0;
  platform::RasConnStatus status;
  const std::uint32_t answer = ras_.GetConnectStatus(conn_, status);
  if (answer != 0) {
    log_.Write("ras status connection " + HandleText(conn_) + ": error " + Code(answer) + ", not connected");
    return 0;
  }
  if (status.state != platform::kRasConnected) {
    log_.Write("ras status connection " + HandleText(conn_) + ": state " + Code(status.state) +
               " error " + Code(status.error) + ", not connected");
    return 0;
  }
  return 1;
}

std::string CRasMgmt::GetAssignedAddress() {
  if (conn_ == 0) return std::string();
  std::string address;
  const std::uint32_t answer = ras_.GetProjectionIp(conn_, address);
  if (answer != 0) {
    log_.Write("ras projection connection " + HandleText(conn_) + ": error " + Code(answer));
    return std::string();
  }
  log_.Write("ras projection connection " + HandleText(conn_) + ": address " + address);
  return address;
}

std::string CRasMgmt::ErrorText(std::uint32_t code, std::uint32_t capacity) {
  std::string text;
  if (ras_.GetErrorString(code, capacity, text) != 0) return std::string();
  return text;
}

std::string CRasMgmt::StateText(std::uint32_t state) {
  for (const RasStateText& entry : kRasStateTexts) {
    if (entry.state == state) return entry.text;
  }
  return kRasStateOther;
}

}  // namespace tunnel
