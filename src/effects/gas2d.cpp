#include "effects/gas2d.hpp"
