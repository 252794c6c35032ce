#pragma once

#include "framework/values/RuntimeException.h"

namespace kivra::framework {

// Raised when Nil is used where an object is needed.
class NilObjectException : public RuntimeException {
public:
    NilObjectException() : RuntimeException("NilObjectException") {}
};

}  // namespace kivra::framework
