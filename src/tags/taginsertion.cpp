#include "tags/taginsertion.h"

#include "memo/memoedit.h"

namespace pennoro::tags {

namespace {

QString joined(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (QStringView part : parts)
        size += part.size();
    QString out;
    out.reserve(size);
    for (QStringView part : parts)
        out += part;
    return out;
}

} // namespace

QString replacement(const TagCommand& command, QStringView selected)
{
    switch (command.shape) {
    case TagShape::Wrap:
        return joined({command.open, selected, command.close});
    case TagShape::Link:
        return joined({command.open, selected, command.middle, selected, command.close});
    case TagShape::Fixed:
        break;
    }
    return command.open.toString();
}

void insert(MemoEdit& memo, const TagCommand& command)
{
    // The selection stays where it is and the tags go around it: the result is the same as
    // replacing it, at a cost that does not grow with the selection.
    if (command.shape == TagShape::Wrap) {
        memo.surroundSelection(command.open.toString(), command.close.toString());
        return;
    }
    // A fixed text replaces the selection without reading it.
    const QString selected = command.shape == TagShape::Fixed ? QString() : memo.selectedText();
    memo.setSelectedText(tags::replacement(command, selected));
}

} // namespace pennoro::tags
