#pragma once

#include "framework/files/FileType.h"
#include "framework/values/Ref.h"

namespace kivra {

// The program's file types: only plain text, registered at start-up and used nowhere else.
class FileTypes {
public:
    static void Initialize();

    static inline framework::Ref<framework::FileType> pText;
};

}  // namespace kivra
