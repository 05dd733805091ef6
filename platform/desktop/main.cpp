// The desktop program: the ending signals caught, then the start-up every platform shares.
#include "platform/desktop/Signals.h"
#include "visit/StartUp.h"

#include <malloc.h>

namespace {
// Free memory the C library keeps rather than gives back to the system: see main.
constexpr int keptFreeBytes = 128 << 20;
} // namespace

int main(int argc, char** argv) {
    catchEndingSignals();
    // Mesa copies the batched crowd's vertex arrays into tens of megabytes it takes and frees
    // at every frame; given back to the system each time, they were faulted in anew at the next
    // frame, which cost more than the drawing itself on a software renderer. Kept, they are reused.
    mallopt(M_TRIM_THRESHOLD, keptFreeBytes);
    return startUp(argc, argv);
}
