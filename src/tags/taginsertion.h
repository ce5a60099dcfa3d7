#pragma once

#include "tags/tagcatalogue.h"

#include <QString>

namespace pennoro {

class MemoEdit;

namespace tags {

// The text that replaces the selection S for this command.
QString replacement(const TagCommand& command, QStringView selected);

// Runs a tag command on the memo: one undoable edit at the selection.
void insert(MemoEdit& memo, const TagCommand& command);

} // namespace tags
} // namespace pennoro
