#pragma once

#include <stdexcept>
#include <string>

// The application's general error: carries a text for the user, usually from the message catalogue.
class TAppError : public std::runtime_error {
public:
    explicit TAppError(const std::string& text) : std::runtime_error(text) {}
};
