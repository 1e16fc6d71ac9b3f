#include "platform/open_files.h"

#include <sys/resource.h>

namespace OpenFiles {

qint64 limit()
{
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY)
        return 1 << 20;
    return qint64(files.rlim_cur);
}

qint64 raiseLimit()
{
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        // Refused only where the system caps it lower; the limit stays what it was then.
        setrlimit(RLIMIT_NOFILE, &files);
    }
    return limit();
}

} // namespace OpenFiles
