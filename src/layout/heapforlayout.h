#pragma once

namespace pennoro {

// While one lives, large blocks come from the heap, and once freed they stay there to be used
// again; kept around the laying out of a long paragraph.
//
// A long paragraph's layout takes some 25 bytes a character and is made afresh after each key.
// Left to themselves, blocks that large are mapped of their own and given back when freed, so
// each key had every page of the new layout handed out by the kernel again, one fault a page: at
// a line of 4 MiB, about as long as all the rest of the key together. From the heap, the next key
// writes into memory the process already has.
//
// Only around such layouts: elsewhere a large buffer that grows, such as the text Copy All
// gathers, stays mapped of its own and is moved in place, where in the heap its old and new
// copies would stand side by side (Copy All in a 50 MB memo peaked 88 MiB higher with every large
// block in the heap). The heap's free top, though, is never given back, so that a layout's block
// is still there at the next key: what the heap once held stays with the process until it ends.
class HeapForLayout {
public:
    HeapForLayout();
    ~HeapForLayout();
    HeapForLayout(const HeapForLayout&) = delete;
    HeapForLayout& operator=(const HeapForLayout&) = delete;
};

} // namespace pennoro
