// demo-windowed and demo-fullscreen: the same program, linked with different video flags.
// Arguments are ignored.

#include "driver/demo.hpp"

int main() { return novu::demo_main(); }
