#include "turn_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zentrivo::testing {

ShotSetup TurnView(ProductKind kind, int width, int height, int index, int views) {
    ShotSetup setup;
    setup.kind = kind;
    setup.width = width;
    setup.height = height;
    setup.axisX = width / 2.0;
    setup.scale = std::min(width / 640.0, height / 480.0);
    setup.turn = 2 * M_PI * index / views;
    setup.seed = static_cast<unsigned>(index + 1);
    return setup;
}

std::optional<ProductKind> KindNamed(const std::string& name) {
    if (name == "textured") {
        return ProductKind::Textured;
    }
    if (name == "dark-glossy") {
        return ProductKind::DarkGlossy;
    }
    if (name == "white-on-white") {
        return ProductKind::WhiteOnWhite;
    }
    if (name == "handle") {
        return ProductKind::Handle;
    }
    if (name == "none") {
        return ProductKind::None;
    }
    return std::nullopt;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + x) {
        return false;
    }
    const long h = std::strtol(text.c_str() + x + 1, &end, 10);
    if (*end != '\0' || w < 1 || h < 1 || w > 100000 || h > 100000) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace zentrivo::testing
