#pragma once

#include "tags/tagcatalogue.h"

#include <QString>

namespace pennoro {

class MemoEdit;

// The text that replaces the selection S for this command.
QString tagReplacement(const TagCommand& command, QStringView selected);

// Runs a tag command on the memo: one undoable edit at the selection.
void insertTag(MemoEdit& memo, const TagCommand& command);

} // namespace pennoro
