// Remote access (rasapi32): dial through a phonebook, hang up, status, projection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

namespace platform {

using RasConn = Handle;

// RASCONNSTATE values with the done bit (0x2000).
constexpr std::uint32_t kRasConnected = 0x2000;
constexpr std::uint32_t kRasDisconnected = 0x2001;
constexpr std::uint32_t kRaspPppIp = 0x8021;
// The message a type-0 notifier receives (WM_RASDIALEVENT).
constexpr std::uint32_t kRasDialEvent = 0xCCCD;

// Text capacities of the dial parameters (RASDIALPARAMS), in bytes without the
// terminating zero: RAS_MaxEntryName, RAS_MaxPhoneNumber, UNLEN, PWLEN.
constexpr std::size_t kRasMaxEntryName = 256;
constexpr std::size_t kRasMaxPhoneNumber = 128;
constexpr std::size_t kRasMaxUserName = 256;
constexpr std::size_t kRasMaxPassword = 256;
constexpr std::size_t kRasMaxDomain = 15;  // DNLEN

// RAS error codes the client branches on or shows.
constexpr std::uint32_t kRasErrorBufferTooSmall = 603;
constexpr std::uint32_t kRasErrorCannotFindPhonebookEntry = 623;
constexpr std::uint32_t kRasErrorInvalidSize = 632;
constexpr std::uint32_t kRasErrorAuthenticationFailure = 691;

struct RasDialParams {
  std::string entryName;
  std::string phoneNumber;
  std::string callbackNumber;
  std::string userName;
  std::string password;
  std::string domain;
};

struct RasConnStatus {
  std::uint32_t state = 0;  // RASCONNSTATE
  std::uint32_t error = 0;
  std::string deviceType;
  std::string deviceName;
};

class IRas {
 public:
  virtual ~IRas() = default;

  // The notifier gets every state change of the dial (message, state, error). The
  // real dialer calls it on a thread of its own and suspends the dial until it
  // returns; the receiver hands the notification to the UI thread synchronously
  // (SendMessage to the main window), so every state change happens on that thread.
  using Notifier = std::function<void(std::uint32_t message, std::uint32_t state,
                                      std::uint32_t error)>;

  // RasDialA(no extensions, phonebook, params, notifier type 0, notifier, &conn).
  // 0 when the dial was started; a RAS error code otherwise. `conn` may be set even
  // when the call fails (it must then be hung up). A text longer than its field is
  // refused (87), never cut.
  virtual std::uint32_t Dial(const std::string& phonebookPath, const RasDialParams& params,
                             Notifier notifier, RasConn& conn) = 0;

  // RasHangUpA: 0 on success, else the error code. The platform lets go of the
  // handle some time later (the status call then fails with 6).
  virtual std::uint32_t HangUp(RasConn conn) = 0;

  // RasGetConnectStatusA: 0 on success (status filled), else the error code
  // (6 when the connection no longer exists).
  virtual std::uint32_t GetConnectStatus(RasConn conn, RasConnStatus& status) = 0;

  // RasGetProjectionInfoA for RASP_PppIp: the client's IP address as dotted text.
  virtual std::uint32_t GetProjectionIp(RasConn conn, std::string& ipAddress) = 0;

  // RasGetErrorStringA into a buffer of `capacity` bytes: the platform's text for a
  // RAS error code.
  virtual std::uint32_t GetErrorString(std::uint32_t code, std::uint32_t capacity,
                                       std::string& text) = 0;

  // Sleep: the pause between two status calls while the dialer waits for the
  // platform to let go of a hung-up connection. Doing nothing is a valid answer for
  // a fake whose connections end at once.
  virtual void Pause(unsigned milliseconds) { (void)milliseconds; }
};

}  // namespace platform
