#pragma once

#include <stdexcept>
#include <string>

namespace kivra::framework {

// Base of every error the framework raises into program code.
class RuntimeException : public std::runtime_error {
public:
    explicit RuntimeException(const std::string& message = "RuntimeException") : std::runtime_error(message) {}
};

}  // namespace kivra::framework
