#include "ocx/gdi_count.h"

namespace infotrakon::ocx {
namespace {

LONG live = 0;

}  // namespace

void CountMade() { InterlockedIncrement(&live); }
void CountDeleted() { InterlockedDecrement(&live); }
long LiveGdiObjects() { return live; }

}  // namespace infotrakon::ocx
