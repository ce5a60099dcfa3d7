#pragma once

#include <QRect>

namespace pennoro {

// The windows are laid out in twips; 15 twips make one pixel at 96 dots per inch. Qt scales
// pixels on denser screens by itself.
constexpr int twips(int value)
{
    return value / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

} // namespace pennoro
