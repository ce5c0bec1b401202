#include "effects/sinedots.hpp"
