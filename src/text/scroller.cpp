#include "text/scroller.hpp"
