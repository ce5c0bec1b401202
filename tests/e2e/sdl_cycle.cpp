// One full cycle of the seven parts on the real SDL system: the dummy video driver, a real audio
// thread playing the music while the main thread rewrites it, the frame limiter off so the
// frames come as fast as they can. Run under ThreadSanitizer it shows the two threads agree.

#include <cstdio>
#include <initializer_list>

#include "driver/demo.hpp"

int main() {
  using namespace novu;
  if (!demo_init()) {
    std::fputs("sdl-cycle: the demo did not start\n", stderr);
    return 1;
  }
  if (demo_audio == nullptr) {
    std::fputs("sdl-cycle: no audio device, so no audio thread to watch\n", stderr);
    return 1;
  }
  DemoFlags[0] &= static_cast<std::uint8_t>(~demo_flag_limiter);
  for (void (*part)() noexcept : {demo_part1, demo_part2, demo_part3, demo_part4, demo_part5, demo_part6, demo_part7}) {
    part();
  }
  demo_shutdown();
  return 0;
}
