#include "core/kit/Cp932Codec.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One conversion descriptor per call: iconv keeps shift state, and the two
// directions are cheap to open.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at the first byte it cannot
    // convert, with in/inLeft pointing at it.
    bool run(char*& in, size_t& inLeft, QByteArray& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t m_cd;
};

}  // namespace

namespace Cp932 {

std::optional<QByteArray> Encode(const QString& text) {
    Converter converter("CP932", "UTF-16LE");
    if (!converter.valid()) {
        return std::nullopt;
    }
    QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    char* in = utf16.data();
    size_t inLeft = static_cast<size_t>(utf16.size());
    QByteArray out;
    if (!converter.run(in, inLeft, out)) {
        return std::nullopt;
    }
    return out;
}

QString Decode(const QByteArray& bytes) {
    Converter converter("UTF-16LE", "CP932");
    if (!converter.valid()) {
        return QString::fromLatin1(bytes);
    }
    QByteArray input = bytes;
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    QByteArray utf16;
    while (!converter.run(in, inLeft, utf16)) {
        // Skip the byte that forms no character and mark it.
        const char16_t replacement = 0xFFFD;
        utf16.append(reinterpret_cast<const char*>(&replacement), 2);
        ++in;
        --inLeft;
    }
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

}  // namespace Cp932
