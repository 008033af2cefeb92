#pragma once

namespace zentora {

// Lets the calling thread yield the processor to the threads the user waits
// for: work done ahead or behind (decoding ahead of scrolling, writing
// caches) runs at a lower priority so that it slows no paint. Best effort.
void LowerThisThreadPriority();

}  // namespace zentora
