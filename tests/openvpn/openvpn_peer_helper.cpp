// The client's side of the real-OpenVPN test, on the client's own code:
//
//   openvpn_peer_helper write DIR SERVER PORT CERT OPENCONFIG USER PASSWORD
//       writes DIR/vexoen.opc and DIR/vrs.inf as a tunnel start does (the program's
//       folder is DIR, so the "ca" and "auth-user-pass" paths name files in DIR);
//       on a failure removes the files as the start does. Prints the diagnostics
//       lines and any message box on standard error. Exit 0 when both were written.
//   openvpn_peer_helper scan LOG RUNNING
//       prints the log scan's status code for the file LOG, RUNNING 1 or 0 saying
//       whether the program still runs.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "fakes/fake_window.h"
#include "platform/posix/posix_files.h"
#include "tunnel/openvpn_files.h"
#include "tunnel/openvpn_mgmt.h"

namespace {

class StderrLog : public net::IDiagLog {
 public:
  void Write(const std::string& line) override { std::cerr << "diag: " << line << "\n"; }
};

int Write(char** argv) {
  session::SessionRecord r;
  r.programDir = r.openVpnConfigDir = r.openVpnLogDir = r.accountFileDir = argv[0];
  r.openVpnConfigName = "vexoen.opc";
  r.openVpnLogName = "event.log";
  r.accountFileName = "vrs.inf";
  r.serverIp = argv[1];
  r.vpnPort = argv[2];
  r.certFileName = argv[3];
  r.openConfig = argv[4];
  r.userId = argv[5];
  r.password = argv[6];

  platform::PosixFiles files;
  fakes::FakeWindow owner;
  StderrLog log;
  tunnel::COpenVpnFiles writer(files, owner, log);
  const bool written = writer.WriteOpenVpnConfig(r) == 1 && writer.WriteCredentials(r) == 0;
  if (!written) writer.RemoveOpenVpnFiles(r);
  for (const auto& box : owner.boxes()) std::cerr << "message box: " << box.text << "\n";
  return written ? 0 : 1;
}

int Scan(const char* path, const char* running) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << path << "\n";
    return 2;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::cout << tunnel::ScanOpenVpnLog(bytes.str(), std::string(running) == "1") << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "write" && argc == 9) return Write(argv + 2);
  if (command == "scan" && argc == 4) return Scan(argv[2], argv[3]);
  std::cerr << "usage: openvpn_peer_helper write DIR SERVER PORT CERT OPENCONFIG USER PASSWORD\n"
               "       openvpn_peer_helper scan LOG RUNNING\n";
  return 2;
}
