#include "text/vec2d.hpp"
