// Compiled once per demo build: the requested video flags are the only difference between them.

#include "platform/display.hpp"
#include "platform/system.hpp"

namespace novu {

extern const std::uint32_t sdldpy_build_video_flags =
    NOVU_FULLSCREEN ? sys_video_fullscreen : sys_video_windowed;

}  // namespace novu
