#pragma once

#include "framework/values/RuntimeException.h"

namespace kivra::framework {

class IOException : public RuntimeException {
public:
    explicit IOException(const std::string& message) : RuntimeException(message) {}
};

}  // namespace kivra::framework
