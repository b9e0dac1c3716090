#include "cp932backend.h"

#include <windows.h>

// Built on Windows only, and not tested on Linux. The system converter replaces
// invalid bytes itself (with U+30FB for an invalid trail byte) rather than one U+FFFD
// a byte as the iconv backend does; real day files hold no invalid bytes.

namespace rusena::cp932backend {

bool opened()
{
    return IsValidCodePage(932) != 0;
}

qsizetype decode(QByteArrayView bytes, QChar *out)
{
    if (bytes.isEmpty())
        return 0;
    const int size = static_cast<int>(bytes.size());
    const int written
        = MultiByteToWideChar(932, 0, bytes.data(), size, reinterpret_cast<wchar_t *>(out), size);
    return written;
}

} // namespace rusena::cp932backend
