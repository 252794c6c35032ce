#pragma once

#include <string>

#include "framework/values/Types.h"

namespace kivra::framework {

class RectControl;

// Something dragged: here, text.
class DragItem {
public:
    DragItem(RectControl* source, Int32 left, Int32 top, Int32 width, Int32 height);

    bool TextAvailable() const { return mHasText; }
    std::string Text() const { return mText; }
    void Text(const std::string& text) {
        mText = text;
        mHasText = true;
    }
    // Starts the drag and returns when it has ended.
    void Drag();

private:
    RectControl* mSource;
    Int32 mLeft, mTop, mWidth, mHeight;
    std::string mText;
    bool mHasText = false;
};

}  // namespace kivra::framework
