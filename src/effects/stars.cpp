#include "effects/stars.hpp"
