#include "base/sine_table.hpp"

namespace novu {

extern const std::int16_t sine_table_length = sine_table_size;

}  // namespace novu
