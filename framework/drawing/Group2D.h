#pragma once

namespace kivra::framework {

// The vector objects of a picture; carried by reference between pictures.
class Group2D {};

}  // namespace kivra::framework
