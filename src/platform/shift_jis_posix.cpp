// iconv does the conversion on POSIX systems; its CP932 is the Windows code page.
#include "platform/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace qpane {

namespace {

struct IconvCloser {
    void operator()(void* cd) const { ::iconv_close(static_cast<iconv_t>(cd)); }
};

// The character (up to four bytes) at offset, for a message.
std::string characterAt(std::string_view text, size_t offset) {
    size_t end = offset + 1;
    while (end < text.size() && end < offset + 4 &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return std::string(text.substr(offset, end - offset));
}

std::string convert(std::string_view text, const char* to, const char* from, bool fromUtf8) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw EncodingError(std::string("no conversion from ") + from + " to " + to +
                            " on this system");
    std::unique_ptr<void, IconvCloser> closer(cd);
    std::string out;
    out.resize(text.size() * 2 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            const size_t used = static_cast<size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        const size_t at = text.size() - inLeft;
        if (fromUtf8)
            throw EncodingError("「" + characterAt(text, at) + "」 (byte " +
                                std::to_string(at + 1) + ") has no Shift-JIS form");
        throw EncodingError("byte " + std::to_string(at + 1) + " is not Shift-JIS");
    }
    out.resize(static_cast<size_t>(outPtr - out.data()));
    return out;
}

}  // namespace

std::string utf8ToShiftJis(std::string_view utf8) {
    return convert(utf8, "CP932", "UTF-8", true);
}

std::string shiftJisToUtf8(std::string_view sjis) {
    return convert(sjis, "UTF-8", "CP932", false);
}

}  // namespace qpane
