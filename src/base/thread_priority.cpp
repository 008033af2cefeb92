#include "base/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace zentora {

void LowerThisThreadPriority() {
  // On Linux a nice value belongs to one thread. Qt's thread priorities do
  // not reach the normal scheduling class, and its idle class starves the
  // thread on a busy machine; a nice of 10 leaves it a tenth of a core that
  // others want.
  constexpr int kBackgroundNice = 10;
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kBackgroundNice);
}

}  // namespace zentora
