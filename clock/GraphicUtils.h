#pragma once

#include "framework/drawing/Picture.h"
#include "framework/values/Ref.h"

// Turns of a picture, carrying its mask and settings along. Each operation
// returns a new picture and leaves its source as it found it; a Nil source
// gives Nil.
namespace kivra::GraphicUtils {

// A half turn; resolutions, Objects and Transparent stay.
framework::Ref<framework::Picture> Rotate180(const framework::Ref<framework::Picture>& source);
// A quarter turn: clockwise for false, counter-clockwise for true. The
// resolutions change places; Objects is not carried over.
framework::Ref<framework::Picture> Rotate90(const framework::Ref<framework::Picture>& source, bool counterClockwise);

// The module's own helpers, here only so that tests can reach them.
namespace detail {

// True when the picture has a mask; none is created by asking.
bool HasMask(const framework::Ref<framework::Picture>& picture);
// A picture of the source's size (depth 32 when forceDepth32, else the
// source's) with the source's pixels, mask, resolutions, Objects and Transparent.
framework::Ref<framework::Picture> Copy(const framework::Ref<framework::Picture>& source, bool forceDepth32);

}  // namespace detail

}  // namespace kivra::GraphicUtils
