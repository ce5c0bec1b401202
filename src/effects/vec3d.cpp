#include "effects/vec3d.hpp"
