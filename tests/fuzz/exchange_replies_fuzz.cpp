// Every exchange's handling of a reply the server controls: the input is the decoded
// reply (encoded on the way, as the server sends it) of the user check, the account
// information, the IP pool and the IP change exchanges, each run over the exchanges'
// rig of fakes.
#include <cstdint>
#include <string>

#include "fakes/exchange_rig.h"
#include "fakes/fake_internet.h"
#include "protocol/account_info.h"
#include "protocol/ip_change.h"
#include "protocol/ip_pool.h"
#include "protocol/user_check.h"

namespace {

class ReplyRig : fakes::ExchangeRig<fakes::FakeInternet> {
 public:
  explicit ReplyRig(const std::string& reply) {
    record_.clientCode = "tunra";
    record_.userId = "demo";
    record_.password = "demo1234";
    record_.webHost = "127.0.0.1";
    for (const char* path : {"/ClientLogin/user_check_v1.php", "/ClientLogin/get_info.php",
                             "/Info/ip_pool_list.php", "/ClientLogin/socket_change.php"})
      internet_.ScriptEncoded(path, reply);
  }
  void Run() {
    protocol::UserCheck(ctx_);
    protocol::AccountInfo(ctx_);
    protocol::FetchIpPool(ctx_, main_);
    std::string assigned;
    protocol::RequestIpChange(ctx_, "101", assigned);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReplyRig rig(std::string(reinterpret_cast<const char*>(data), size));
  rig.Run();
  return 0;
}
