#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qpane::web {

// Builds one JSON text. Only what the live page's answers need: objects, arrays, strings and
// whole numbers. The caller keeps the nesting right; a value after a value gets its comma.
class JsonText {
  public:
    JsonText& beginObject();
    JsonText& endObject();
    JsonText& beginArray();
    JsonText& endArray();
    // A member name inside an object; the next call writes its value.
    JsonText& key(std::string_view name);
    // A UTF-8 text. Quotes, backslashes and control characters are escaped; a byte that is
    // not part of well-formed UTF-8 becomes U+FFFD, so the answer stays valid JSON whatever
    // a timing line or the store held.
    JsonText& string(std::string_view utf8);
    // Bytes as they went out: each byte is the code point of its value (0x00..0xFF), so a
    // reader gets back exactly the bytes sent, CR and all.
    JsonText& bytes(std::string_view bytes);
    JsonText& number(int64_t value);
    JsonText& boolean(bool value);

    const std::string& text() const { return out_; }
    std::string take() { return std::move(out_); }

  private:
    void separate();
    void escapeCodePoint(uint32_t cp);

    std::string out_;
    bool needComma_ = false;
};

}  // namespace qpane::web
