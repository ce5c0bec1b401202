#include "text/font.hpp"
