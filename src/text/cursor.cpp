#include "text/cursor.hpp"
