#include "web/json_text.h"

namespace qpane::web {

namespace {
const char kHex[] = "0123456789abcdef";

// The length of the well-formed UTF-8 sequence at s[i], 0 when it is not one.
size_t utf8Length(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    size_t n;
    uint32_t cp;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF)
        n = 2, cp = b & 0x1Fu;
    else if (b >= 0xE0 && b <= 0xEF)
        n = 3, cp = b & 0x0Fu;
    else if (b >= 0xF0 && b <= 0xF4)
        n = 4, cp = b & 0x07u;
    else
        return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not text.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}
}  // namespace

void JsonText::separate() {
    if (needComma_) out_ += ',';
    needComma_ = true;
}

JsonText& JsonText::beginObject() {
    separate();
    out_ += '{';
    needComma_ = false;
    return *this;
}

JsonText& JsonText::endObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonText& JsonText::beginArray() {
    separate();
    out_ += '[';
    needComma_ = false;
    return *this;
}

JsonText& JsonText::endArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonText& JsonText::key(std::string_view name) {
    string(name);
    out_ += ':';
    needComma_ = false;
    return *this;
}

void JsonText::escapeCodePoint(uint32_t cp) {
    switch (cp) {
        case '"': out_ += "\\\""; return;
        case '\\': out_ += "\\\\"; return;
        case '\n': out_ += "\\n"; return;
        case '\r': out_ += "\\r"; return;
        case '\t': out_ += "\\t"; return;
        default: break;
    }
    // Control characters, DEL, and "<" so that no answer can close a script element.
    if (cp < 0x20 || cp == 0x7F || cp == '<' || (cp >= 0x80 && cp <= 0xFF)) {
        out_ += "\\u00";
        out_ += kHex[(cp >> 4) & 0xF];
        out_ += kHex[cp & 0xF];
        return;
    }
    out_ += static_cast<char>(cp);
}

JsonText& JsonText::string(std::string_view utf8) {
    separate();
    out_ += '"';
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = utf8Length(utf8, i);
        if (n == 0) {
            out_ += "\\ufffd";
            ++i;
        } else if (n == 1) {
            escapeCodePoint(static_cast<unsigned char>(utf8[i]));
            ++i;
        } else {
            out_.append(utf8.substr(i, n));
            i += n;
        }
    }
    out_ += '"';
    return *this;
}

JsonText& JsonText::bytes(std::string_view bytes) {
    separate();
    out_ += '"';
    for (char c : bytes)
        escapeCodePoint(static_cast<unsigned char>(c));
    out_ += '"';
    return *this;
}

JsonText& JsonText::number(int64_t value) {
    separate();
    out_ += std::to_string(value);
    return *this;
}

JsonText& JsonText::boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
    return *this;
}

}  // namespace qpane::web
