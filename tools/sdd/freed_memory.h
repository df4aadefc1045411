#pragma once

// Has the C library keep the memory the program frees for its next allocations, rather than give it back to
// the system at once and take it again a zeroed page at a time.
void keepFreedMemoryForReuse();
