#pragma once

// How the C library hands out memory for the program's long lists.

namespace dyadix {

// Lets every block of memory above a small size (a list's lines, a block of its names, a
// batch of entries) come from the system on its own and go back to it when freed. By default
// the C library raises that size as large blocks are freed, after which they come from its
// common heap, whose freed room cannot go back to the system while small blocks stay around
// it: with lists of millions of lines, the process then keeps twice what the lists need.
void keepLargeBlocksApart();

} // namespace dyadix
