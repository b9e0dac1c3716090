#pragma once

namespace rusena {

/// Has the C library keep memory freed at the top of the heap for the next use instead of
/// handing it back to the system at once. Called first thing by each program's main().
void keepFreedHeap();

} // namespace rusena
