#include "gui/memo_text.h"

namespace qpane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The continuation bytes that a lead byte needs, and the range its first one must lie in
// (which rules out overlong forms, surrogates and code points above U+10FFFF); 0 for a byte
// that cannot lead.
struct Lead {
    int continuations = 0;
    unsigned char firstMin = 0x80, firstMax = 0xBF;
};

Lead leadOf(unsigned char b) {
    if (b >= 0xC2 && b <= 0xDF) return {1};
    if (b == 0xE0) return {2, 0xA0, 0xBF};
    if (b == 0xED) return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {2};
    if (b == 0xF0) return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {3};
    if (b == 0xF4) return {3, 0x80, 0x8F};
    return {};
}

// How many bytes after the lead at i fit its sequence (stops at the first that does not).
int fittingContinuations(std::string_view s, size_t i, const Lead& lead) {
    int n = 0;
    for (; n < lead.continuations && i + 1 + n < s.size(); ++n) {
        const auto b = static_cast<unsigned char>(s[i + 1 + n]);
        const bool fits = n == 0 ? (b >= lead.firstMin && b <= lead.firstMax) : isContinuation(b);
        if (!fits) break;
    }
    return n;
}

char32_t shown(char32_t c) {
    if (c == '\t') return c;
    if (c < 0x20) return 0x2400 + c;  // control pictures
    if (c == 0x7F) return 0x2421;
    if (c == 0x2028 || c == 0x2029) return kReplacement;
    if (c >= 0xFDD0 && c <= 0xFDEF) return kReplacement;
    return c;
}

}  // namespace

QString memoText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    auto put = [&text](char32_t c) {
        if (QChar::requiresSurrogates(c)) {
            text.append(QChar(QChar::highSurrogate(c)));
            text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            text.append(QChar(static_cast<char16_t>(c)));
        }
    };
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            if (b != '\r' && b != '\n') put(shown(b));
            ++i;
            continue;
        }
        const Lead lead = leadOf(b);
        if (lead.continuations == 0 || fittingContinuations(bytes, i, lead) < lead.continuations) {
            put(kReplacement);
            ++i;
            continue;
        }
        char32_t c = b & (0x3F >> lead.continuations);
        for (int n = 1; n <= lead.continuations; ++n)
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + n]) & 0x3F);
        put(shown(c));
        i += 1 + static_cast<size_t>(lead.continuations);
    }
    return text;
}

size_t incompleteTail(std::string_view bytes) {
    const size_t size = bytes.size();
    for (size_t back = 1; back <= 4 && back <= size; ++back) {
        const size_t i = size - back;
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isContinuation(b)) continue;
        const Lead lead = leadOf(b);
        const int after = static_cast<int>(back) - 1;
        if (lead.continuations > after && fittingContinuations(bytes, i, lead) == after)
            return back;
        return 0;
    }
    return 0;
}

ShownPart shownPart(std::string_view line) {
    if (line.size() <= kMemoLineBytes) return {line, false};
    std::string_view part = line.substr(0, kMemoLineBytes);
    part.remove_suffix(incompleteTail(part));
    return {part, true};
}

QString memoLineText(std::string_view line) {
    const ShownPart part = shownPart(line);
    QString text = memoText(part.bytes);
    if (part.cut) text.append(QChar(kMemoEllipsis));
    return text;
}

}  // namespace qpane
