#include "effects/stars3d.hpp"
