// The one error type of the picture intake: a message for people that names
// the file and the cause. The file handler shows it and changes nothing.
#pragma once

#include <stdexcept>
#include <string>

struct TPictureError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
