// Compiled with the net layer's include folders only (see CMakeLists.txt).
#include "net/route_mgmt.h"
#ifdef TUNRA_PROBE_WRONG_WAY
#include "protocol/logout.h"
#endif

int main() { return 0; }
