#include "cp932.h"

#include <iconv.h>

#include <cerrno>

namespace rusena {

namespace {

constexpr char16_t Replacement = 0xFFFD;

// One converter for the whole run: opening one costs more than decoding a day's file.
class Cp932Decoder final {
public:
    Cp932Decoder() : m_cd(iconv_open("UTF-16LE", "CP932")) {}
    ~Cp932Decoder()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Cp932Decoder(const Cp932Decoder &) = delete;
    Cp932Decoder &operator=(const Cp932Decoder &) = delete;

    void decode(QByteArrayView bytes, QString &out)
    {
        // Every byte gives at most one UTF-16 unit in code page 932.
        out.resize(bytes.size());
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            out.fill(QChar(Replacement));
            return;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);

        char *in = const_cast<char *>(bytes.data());
        size_t inLeft = static_cast<size_t>(bytes.size());
        char *dst = reinterpret_cast<char *>(out.data());
        size_t dstLeft = static_cast<size_t>(out.size()) * sizeof(char16_t);

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
        const auto written = (reinterpret_cast<QChar *>(dst) - out.constData());
        out.truncate(written);
    }

private:
    iconv_t m_cd;
};

} // namespace

void decodeCp932(QByteArrayView bytes, QString &out)
{
    static thread_local Cp932Decoder decoder;
    decoder.decode(bytes, out);
}

QString decodeCp932(QByteArrayView bytes)
{
    QString out;
    decodeCp932(bytes, out);
    return out;
}

} // namespace rusena
