#pragma once

#include <functional>

class QMenuBar;

namespace pennoro {

struct TagCommand;

// Builds the HTML tag menu from the catalogue into the menu bar; choosing an item calls run
// with its catalogue entry.
namespace tags {

void addMenu(QMenuBar* bar, const std::function<void(const TagCommand&)>& run);

} // namespace tags
} // namespace pennoro
