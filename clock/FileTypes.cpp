#include "clock/FileTypes.h"

namespace kivra {

void FileTypes::Initialize() {
    pText = framework::New<framework::FileType>();
    pText->Name("text");
    pText->Extensions("");
    pText->MacType("TEXT");
    pText->MacCreator("R*ch");
    pText->ToString();
}

}  // namespace kivra
