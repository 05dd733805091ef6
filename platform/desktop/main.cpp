// The desktop program: the ending signals caught, then the start-up every platform shares.
#include "app/StartUp.h"
#include "platform/desktop/Signals.h"

int main(int argc, char** argv) {
    catchEndingSignals();
    return startUp(argc, argv);
}
