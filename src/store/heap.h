#pragma once

namespace rusena {

/// Has the C library keep memory freed at the top of the heap for the next use instead of
/// handing it back to the system at once. Called first thing by the viewer's and
/// rusena-library's main(), which run the library's queries.
void keepFreedHeap();

} // namespace rusena
