#include "cp932backend.h"

#include <iconv.h>

#include <cerrno>

namespace rusena::cp932backend {

namespace {

constexpr char16_t Replacement = 0xFFFD;
const iconv_t NotOpened = reinterpret_cast<iconv_t>(-1);

// One converter a thread for the whole run: opening one costs more than decoding a
// day's file.
class Converter final {
public:
    Converter()
        : m_cd(iconv_open("UTF-16LE", "CP932"))
    {
    }
    ~Converter()
    {
        if (m_cd != NotOpened)
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool opened() const { return m_cd != NotOpened; }

    qsizetype decode(QByteArrayView bytes, QChar *out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = static_cast<size_t>(bytes.size());
        char *dst = reinterpret_cast<char *>(out);
        size_t dstLeft = static_cast<size_t>(bytes.size()) * sizeof(char16_t);

        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
                break;
            if (errno != EILSEQ && errno != EINVAL)
                break;
            // An invalid byte, or a lead byte with no trail: one replacement, one byte.
            *reinterpret_cast<char16_t *>(dst) = Replacement;
            dst += sizeof(char16_t);
            dstLeft -= sizeof(char16_t);
            ++in;
            --inLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return reinterpret_cast<QChar *>(dst) - out;
    }

private:
    iconv_t m_cd;
};

Converter &converter()
{
    static thread_local Converter instance;
    return instance;
}

} // namespace

bool opened()
{
    return converter().opened();
}

qsizetype decode(QByteArrayView bytes, QChar *out)
{
    return converter().decode(bytes, out);
}

} // namespace rusena::cp932backend
