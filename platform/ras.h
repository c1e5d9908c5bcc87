// Remote access (rasapi32): dial through a phonebook, hang up, status, projection.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

namespace platform {

using RasConn = Handle;

constexpr std::uint32_t kRasConnected = 0x2000;
constexpr std::uint32_t kRasDisconnected = 0x2001;
constexpr std::uint32_t kRaspPppIp = 0x8021;

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
  // real dialer calls it on a thread of its own; the receiver forwards it to the UI
  // thread (the main window posts itself a message) and returns at once.
  using Notifier = std::function<void(std::uint32_t message, std::uint32_t state,
                                      std::uint32_t error)>;

  // RasDialA(no extensions, phonebook, params, notifier type 0, notifier, &conn).
  // 0 when the dial was started; a RAS error code otherwise. `conn` may be set even
  // when the call fails (it must then be hung up).
  virtual std::uint32_t Dial(const std::string& phonebookPath, const RasDialParams& params,
                             Notifier notifier, RasConn& conn) = 0;

  // RasHangUpA: 0 on success, else the error code.
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
};

}  // namespace platform
