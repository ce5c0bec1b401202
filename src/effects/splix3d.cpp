#include "effects/splix3d.hpp"
