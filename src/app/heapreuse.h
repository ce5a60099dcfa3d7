#pragma once

namespace pennoro::heapreuse {

// From now on, large blocks come from the heap and stay there once freed, to be used again.
//
// A long paragraph's layout takes some 25 bytes a character and is made afresh after each key.
// Left to themselves, blocks that large are mapped of their own and given back when freed, so
// each key had every page of the new layout handed out by the kernel again, one fault a page:
// at a line of 4 MiB, about as long as all the rest of the key together. Kept in the heap, the
// next key writes into memory the process already has. The price: the process keeps the largest
// amount it ever held until it ends.
//
// Called once the memo is loaded, so that the load's own large buffers are still given back
// and the room it measures for the memo under an address space limit stays as it was.
void keepLargeBlocks();

} // namespace pennoro::heapreuse
