// The version file the back end sends ("version=", "download=" and "sha256=" lines)
// and what the update at login makes of it over fakes: the check, the deletion of an
// older copy, the download into the temporary folder and the installer's start. The
// client's own version is set below any offer, so every input that names a version
// goes the whole way. The fake back end answers
// every other path with the same stand-in installer, so a forged download address
// reaches the file and the command line.
//
// Checked: a digest is kept only as 64 lower-case hex digits; the installer's name is
// the address's last part; every file touched is the offered name directly inside the
// temporary folder, and only a plain file name gets there; a started program is that
// file, quoted, with /S; a digest that does not match leaves no file and starts nothing.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/update/program_update.h"
#include "fakes/fake_background.h"
#include "fakes/fake_files.h"
#include "fakes/fake_internet.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_window.h"
#include "net/diag_log.h"
#include "protocol/sha256.h"
#include "protocol/version_check.h"

namespace {

constexpr const char* kVersionPath = "/ClientVersion/tunra/tunra_setup.php";
constexpr const char* kTempDir = "C:/WINDOWS/Temp";
const std::string kInstaller = "MZ stand-in installer";

class AnyPathServer : public fakes::FakeInternet {
 public:
  platform::InternetHandle OpenRequest(platform::InternetHandle connection, const std::string& verb,
                                       const std::string& object, const std::string& version,
                                       std::uint32_t flags) override {
    const std::string path = object.substr(0, object.find('?'));
    if (path != kVersionPath) Script(path, {200, kInstaller, true, false});
    return FakeInternet::OpenRequest(connection, verb, object, version, flags);
  }
};

class NoShell : public app::IUpdateShell {
 public:
  void TeardownForUpdate() override {}
  void RemoveTrayIcon() override {}
  void CloseMainWindow() override {}
};

// Independent of the client's own test: a name that can only be a file directly in
// the folder it is put in.
bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name.find("..") != std::string_view::npos) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == '\\' || c == '/' || c == ':' || c == '"') return false;
  return true;
}

bool IsLowerHexDigest(const std::string& digest) {
  if (digest.size() != 64) return false;
  for (char c : digest)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

void CheckTouchedPath(const std::string& path, const std::string& name) {
  const std::string folder = std::string(kTempDir) + "/";
  if (path.compare(0, folder.size(), folder) != 0) std::abort();
  if (path.substr(folder.size()) != name || !IsPlainFileName(name)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  session::SessionRecord record;
  record.webHost = "127.0.0.1";
  record.clientCode = "tunra";
  record.setupPageName = "tunra_setup.php";
  record.windowsDir = "C:\\WINDOWS";
  record.tempDir = kTempDir;
  record.clientVersion = INT_MIN;
  const std::string versionFile(reinterpret_cast<const char*>(data), size);
  AnyPathServer internet;
  internet.Script(kVersionPath, {200, versionFile, true, false});
  fakes::FakeBackgroundWork background{internet};
  fakes::FakeFiles files;
  fakes::FakeProcesses processes;
  fakes::FakeWindow main, progress;
  net::NullDiagLog log;
  NoShell shell;
  app::CProgramUpdate update{
      app::ProgramUpdateParts{record, internet, background, files, processes, main, progress, log, shell}};

  const app::UpdateOutcome outcome = update.ApplyUpdateAtLogin();
  if (!record.updateSha256.empty() && !IsLowerHexDigest(record.updateSha256)) std::abort();
  const std::string& name = record.updateFileName;
  if (name.find('/') != std::string::npos) std::abort();
  if (record.updateUrl.size() < name.size() ||
      record.updateUrl.compare(record.updateUrl.size() - name.size(), name.size(), name) != 0)
    std::abort();

  for (const std::string& path : files.opened()) CheckTouchedPath(path, name);
  for (const std::string& path : files.deleted()) CheckTouchedPath(path, name);
  const std::string saved = std::string(kTempDir) + "/" + name;
  const std::string started = std::string("C:\\WINDOWS\\temp\\") + name;
  // The download may name the version file's own address: then that is what it gets.
  const std::string& served =
      !internet.requests().empty() && internet.requests().back().Path() == kVersionPath ? versionFile : kInstaller;
  if (outcome == app::UpdateOutcome::kStarted) {
    // Downloaded whole, then started by its own quoted path.
    if (!IsPlainFileName(name) || files.Get(saved) != served || processes.starts.size() != 1) std::abort();
    const fakes::FakeProcesses::Start& start = processes.starts.front();
    if (start.commandLine != "\"" + started + "\" /S" || start.options.applicationName != started) std::abort();
  } else if (!processes.starts.empty()) {
    std::abort();
  }
  if (!record.updateSha256.empty() && record.updateSha256 != protocol::Sha256Hex(served)) {
    if (outcome == app::UpdateOutcome::kStarted || files.Exists(saved)) std::abort();
  }
  return 0;
}
