#pragma once

#include <QRect>

// The windows are laid out in twips; 15 twips make one pixel at 96 dots per inch. Qt scales
// pixels on denser screens by itself.
namespace pennoro::twips {

constexpr int toPixels(int value)
{
    return value / 15;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace pennoro::twips
