// What the back-end exchanges ask of the parts of the program that own the dialogs
// and the tunnels. The main window implements it; the exchanges only call it.
#pragma once

namespace session {

class SessionHooks {
 public:
  virtual ~SessionHooks() = default;

  // Whether the login dialog's "테스트 인증파일 사용" check box (1052) is checked:
  // the user check then goes to the test script.
  virtual bool TestCertificateChecked() = 0;

  // Stops and hides the connection progress dialog (StopProgress) before the back
  // end's messages are shown.
  virtual void StopProgress() = 0;

  // Writes the RAS phonebook entry for `vpnType` (1 PPTP, 3 L2TP) after a successful
  // user check (WritePhonebook).
  virtual void WritePhonebook(int vpnType, int replyHasZeroIp) = 0;

  // Checks the tunnel adapter before an OpenVPN connection (CheckTapAdapter).
  virtual void CheckTapAdapter() = 0;
};

}  // namespace session
