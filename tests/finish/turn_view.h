#pragma once

#include <optional>
#include <string>

#include "synthetic_shot.h"

namespace zentrivo::testing {

// The photos of one turn as render_turn writes them and the finishing
// benchmark measures them: view `index` (from 0) of `views`, the product on
// the axis in the middle, its sizes grown with the photo from 640 x 480.
ShotSetup TurnView(ProductKind kind, int width, int height, int index, int views);

// "textured", "dark-glossy", "white-on-white", "handle" or "none".
std::optional<ProductKind> KindNamed(const std::string& name);

// "WxH", both from 1 to 100000.
bool ParseSize(const std::string& text, int& width, int& height);

}  // namespace zentrivo::testing
