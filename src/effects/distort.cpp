#include "effects/distort.hpp"
