#include "cp932.h"

#include "cp932backend.h"

#include <atomic>

namespace rusena {

namespace {

std::atomic<bool> failureInjected = false;

} // namespace

bool cp932DecoderWorks()
{
    return !failureInjected && cp932backend::opened();
}

void failCp932DecoderForTesting(bool fail)
{
    failureInjected = fail;
}

void decodeCp932(QByteArrayView bytes, QString &out)
{
    // Every byte gives at most one UTF-16 unit in code page 932.
    out.resize(bytes.size());
    if (!cp932DecoderWorks()) {
        out.fill(QChar(0xFFFD));
        return;
    }
    out.truncate(cp932backend::decode(bytes, out.data()));
}

QString decodeCp932(QByteArrayView bytes)
{
    QString out;
    decodeCp932(bytes, out);
    return out;
}

} // namespace rusena
