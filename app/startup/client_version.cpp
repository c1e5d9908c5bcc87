// Compiled once per executable with TUNRA_CLIENT_VERSION defined; never part of a layer.
#include "app/startup/client_version.h"

#ifndef TUNRA_CLIENT_VERSION
#error "TUNRA_CLIENT_VERSION is defined by tunra_link_client_version (cmake/ClientVersion.cmake)"
#endif

namespace app {

int BuildClientVersion() { return TUNRA_CLIENT_VERSION; }

}  // namespace app
