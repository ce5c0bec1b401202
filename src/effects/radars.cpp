#include "effects/radars.hpp"
