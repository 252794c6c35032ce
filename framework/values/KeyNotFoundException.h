#pragma once

#include <string>

#include "framework/values/RuntimeException.h"

namespace kivra::framework {

// Raised when a Dictionary is asked for the value of a key it does not hold.
class KeyNotFoundException : public RuntimeException {
public:
    explicit KeyNotFoundException(const std::string& message = "KeyNotFoundException") : RuntimeException(message) {}
};

}  // namespace kivra::framework
