#include "system_error.h"

#include <system_error>

namespace text {

std::string systemErrorText(int number) {
    // Same text as strerror(), without its shared buffer.
    return std::generic_category().message(number);
}

} // namespace text
