// A library as an attacker would plant it in a shared agenda folder and name in a data link as
// an ODBC driver: loading it is enough to run its constructor, which leaves a marker file at
// the path INFOTRAKON_PLANTED_MARKER names. The tests check that the marker never appears.
#include <cstdlib>
#include <fstream>

namespace {

[[gnu::constructor]] void LeaveMarker() {
    if (const char* marker = std::getenv("INFOTRAKON_PLANTED_MARKER"))
        std::ofstream(marker) << "loaded\n";
}

}  // namespace
