// Windows has no iconv; its own code page 932 tables are the reference for the console's files.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "platform/shift_jis.h"

namespace qpane {

namespace {

constexpr UINT kShiftJis = 932;

std::optional<std::wstring> toWide(UINT codePage, std::string_view text) {
    if (text.empty()) return std::wstring();
    if (text.size() > INT_MAX / 2) return std::nullopt;
    const int size = static_cast<int>(text.size());
    const int n =
        ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n) !=
        n)
        return std::nullopt;
    return wide;
}

// Fails when a character has no form in the code page, instead of writing its default
// character: nothing may come out changed.
std::optional<std::string> fromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int n = ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                        usedDefaultOut);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    if (::WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), n, nullptr,
                              usedDefaultOut) != n ||
        usedDefault)
        return std::nullopt;
    return out;
}

std::optional<std::string> convert(std::string_view text, UINT from, UINT to) {
    const auto wide = toWide(from, text);
    if (!wide) return std::nullopt;
    return fromWide(to, *wide);
}

size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

size_t shiftJisLength(unsigned char lead) {
    return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
}

// The offset of the first character that does not convert alone; only asked after the whole
// text failed, so the slow walk costs nothing on the usual path.
size_t firstFailure(std::string_view text, UINT from, UINT to, size_t (*length)(unsigned char)) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t n = std::min(length(static_cast<unsigned char>(text[at])), text.size() - at);
        if (!convert(text.substr(at, n), from, to)) return at;
        at += n;
    }
    return at;
}

}  // namespace

std::string utf8ToShiftJis(std::string_view utf8) {
    if (auto out = convert(utf8, CP_UTF8, kShiftJis)) return *out;
    const size_t at = firstFailure(utf8, CP_UTF8, kShiftJis, utf8Length);
    const size_t n = std::min(utf8Length(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    throw EncodingError("「" + std::string(utf8.substr(at, n)) + "」 (byte " +
                        std::to_string(at + 1) + ") has no Shift-JIS form");
}

std::string shiftJisToUtf8(std::string_view sjis) {
    if (auto out = convert(sjis, kShiftJis, CP_UTF8)) return *out;
    const size_t at = firstFailure(sjis, kShiftJis, CP_UTF8, shiftJisLength);
    throw EncodingError("byte " + std::to_string(at + 1) + " is not Shift-JIS");
}

}  // namespace qpane
