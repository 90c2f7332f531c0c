// Fuzz target: a question file's bytes as the editor reads them (UTF-8 or code page 932, lines
// joined with CR LF, refused when no text or too long).
#include <cstddef>
#include <cstdint>

#include "core/lesson/QuestionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QuestionFile::Result result = QuestionFile::FromBytes(bytes);
    if (result.status != QuestionFile::Result::Status::Read) {
        return 0;
    }
    const QString& text = result.text;
    if (text.size() > kLongestQuestion || (!text.isEmpty() && !text.endsWith(u"\r\n"))) {
        __builtin_trap();
    }
    // Every line break is CR LF: no lone CR or LF is left.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool cr = text[i] == u'\r';
        const bool lf = text[i] == u'\n';
        if ((cr && (i + 1 >= text.size() || text[i + 1] != u'\n')) ||
            (lf && (i == 0 || text[i - 1] != u'\r'))) {
            __builtin_trap();
        }
    }
    return 0;
}
