#pragma once

#include <stdexcept>

// A move to the trash that failed; what() is the message shown to the user.
struct TrashError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
