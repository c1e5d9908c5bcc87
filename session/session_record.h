// The process-wide record of the session: values set at start-up, the environment and
// start values of the main window, the request fields set by the panels, and every
// field filled from the back end's replies. Text fields are CP949 byte strings.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace session {

// Connection state (`connState`).
enum ConnState : int {
  kConnIdle = 0,        // not logged in, or tunnel down
  kConnLoggedIn = 2,    // logged in, no tunnel
  kConnIpChosen = 3,    // an IP was chosen and a tunnel is being started from it
  kConnConnecting = 5,
  kConnConnected = 6,
};

// Tunnel kinds (`vpnType`); other values start no tunnel.
enum VpnType : int { kVpnPptp = 1, kVpnL2tp = 3, kVpnOpenVpn = 4 };

inline constexpr int kClientVersion = 1185;
inline constexpr const char* kDefaultClientCode = "tunra";
inline constexpr const char* kSetupPageSuffix = "_setup.php";
inline constexpr const char* kNoEndDate = "1970-01-01 23:59:59";
inline constexpr int kClientCertVersion = 1001;

// The fixed header block of every HTTP request: two lines joined by CR LF, no trailing
// CR LF, 180 bytes. The back end expects these exact bytes.
inline constexpr const char kRequestHeaders[] =
    "Content-Type: application/x-www-form-urlencoded\r\n"
    "User-Agent: Moziila/4.0 (compatible; MSIE 7.0; Windows NT 6.0; SLCCC1; .NET CLR 2.0.50728; "
    "Medla Centrr PC 5.0; .NET CLR 3.0.04506)";
static_assert(sizeof(kRequestHeaders) - 1 == 180, "the request header block is 180 bytes");

struct SessionRecord {
  // --- Start-up values.
  std::string clientCode;
  std::string userId;
  std::string password;
  int clientVersion = kClientVersion;
  std::string requestHeaders = kRequestHeaders;
  std::string setupPageName;
  std::string windowsDir;

  // --- Environment of the main window.
  std::string webHost;
  std::string programDir;
  std::string tapAdapterName;
  std::string openVpnExeDir, openVpnExeName;
  std::string openVpnConfigDir, openVpnConfigName;
  std::string openVpnLogDir, openVpnLogName;
  std::string accountFileDir, accountFileName;
  std::string downloadDir;
  int clientCertVersion = kClientCertVersion;
  platform::RegKey settingsRoot = 0;  // the null root until the main window sets it
  std::string settingsKeyPath;
  std::string tempDir;
  int ipChangeType = 0;
  int connState = kConnIdle;

  // --- Request fields set by the panels.
  std::string ipCode = "0";
  std::string authMode;
  std::string sessionKey;
  std::string vpnConnServerCode;
  std::string classCode;
  int pingCheck = 0;
  std::string selectedIp;

  // --- Replies as stored by the exchanges, and what the exchanges note about them.
  std::string userCheckReply;
  std::string accountInfoReply;
  int replyHasZeroIp = 0;

  // --- Fields filled from the user check reply (start values where there are any).
  int updateVersion = 0;
  std::string userLongId;
  std::string updateUrl, updateFileName;
  // The installer's SHA-256 from the version file (64 lower-case hex digits); empty
  // when the file names none.
  std::string updateSha256;
  int loginTag = 0;
  std::string userName;
  std::string serverCode;
  std::string serviceEndDate = kNoEndDate;  // this value means "no end date"
  int remainingMinutes = 0;
  std::string refundMoney;
  std::string myPoint = "0";
  int searchTime = 0;
  std::string searchWord;
  std::string expireDateText;
  std::string myGame;
  int gameProcCount = 0;
  int vpnType = kVpnOpenVpn;
  std::string serverIp;
  std::string openConfig;
  std::string gatewayIp;
  std::string routeList;
  int certVersion = 0;
  std::string certUrl, certFileName;
  std::string vpnPort;
  std::string macAddr;
  int loginDelay = 30;  // seconds
  std::string gameList;
  int gameFastMode = -1;
  int autoConnChange = 0;
  std::string vpnServerList;
  int useSelect = 0;
  std::string ipPoolList;
  std::string ipPoolClass;
  std::string defaultRoute;
  int loginRetryCount = 5;
  std::string certVersionFileName = "crtver.ini";

  // The start values the main window sets when it prepares its environment.
  void ResetStartValues() {
    loginDelay = 30;
    remainingMinutes = 0;
    serviceEndDate = kNoEndDate;
    expireDateText.clear();
    certVersionFileName = "crtver.ini";
    myPoint = "0";
    ipCode = "0";
    pingCheck = 0;
    gameFastMode = -1;
    loginRetryCount = 5;
    macAddr.clear();
    connState = kConnIdle;
    autoConnChange = 0;
  }
};

}  // namespace session
