// The client version an executable was built as. Its one definition is a small object
// compiled per executable (cmake/ClientVersion.cmake) from the build option
// TUNRA_CLIENT_VERSION, so a test build with another number links the same libraries.
#pragma once

namespace app {

int BuildClientVersion();

}  // namespace app
