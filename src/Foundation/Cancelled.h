#pragma once

#include <exception>

// Thrown by a long operation whose stop token was triggered. Never shown to the user.
struct Cancelled : std::exception {
    const char* what() const noexcept override { return "cancelled"; }
};
