#pragma once

#include "framework/RuntimeException.h"

namespace kivra::framework {

class IOException : public RuntimeException {
public:
    explicit IOException(const std::string& message) : RuntimeException(message) {}
};

}  // namespace kivra::framework
