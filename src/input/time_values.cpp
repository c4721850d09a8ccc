#include "input/time_values.h"

#include <cstdio>

namespace qpane {

namespace {

// 1-based substring; characters that do not exist are left out.
std::string_view copy(std::string_view s, size_t pos, size_t count) {
    if (pos < 1 || pos > s.size()) return {};
    return s.substr(pos - 1, count);
}

// A piece of a time: leading blanks skipped, an optional sign, decimal digits; anything else
// (a trailing blank included) gives 0.
int64_t pieceValue(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) return 0;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

std::string twoDigits(int64_t v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2lld", static_cast<long long>(v));
    return buf;
}

void dropBack(std::string& s, size_t n) {
    s.resize(s.size() > n ? s.size() - n : 0);
}

}  // namespace

std::string_view trimControl(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

int64_t timetonum(std::string_view text) {
    const int64_t hours = pieceValue(copy(text, 1, 2));
    const int64_t minutes = pieceValue(copy(text, 4, 2));
    const int64_t seconds = pieceValue(copy(text, 7, 2));
    const size_t trimmed = trimControl(text).size();
    int64_t fraction;
    if (text.size() <= 10)
        fraction = 10 * pieceValue(copy(text, 10, 1));
    else if (trimmed == 11)
        fraction = pieceValue(copy(text, 10, 2));
    else
        fraction = pieceValue(copy(text, 10, 3));
    const int64_t wholeSeconds = (hours * 60 + minutes) * 60 + seconds;
    return trimmed > 11 ? wholeSeconds * 1000 + fraction : wholeSeconds * 100 + fraction;
}

std::string numtotime(int64_t n) {
    const std::string f = twoDigits(n % 100);
    n /= 100;
    if (n < 10) return "       " + std::to_string(n) + "." + f;
    if (n < 60) return "      " + std::to_string(n) + "." + f;
    const std::string s = twoDigits(n % 60);
    n /= 60;
    if (n < 10) return "    " + std::to_string(n) + ":" + s + "." + f;
    if (n < 60) return "   " + std::to_string(n) + ":" + s + "." + f;
    const std::string m = twoDigits(n % 60);
    n /= 60;
    if (n < 10) return " " + std::to_string(n) + ":" + m + ":" + s + "." + f;
    return twoDigits(n) + ":" + m + ":" + s + "." + f;
}

std::string timefill(std::string_view text) {
    const std::string_view t = trimControl(text);
    switch (t.size()) {
        case 11: return std::string(t);
        case 10: return "0" + std::string(t);
        case 8: return "00:" + std::string(t);
        case 7: return "00:0" + std::string(t);
        case 5: return "00:00:" + std::string(t);
        case 4: return "00:00:0" + std::string(t);
        case 2: return "00:00:00." + std::string(t);
        case 1: return "00:00:00.00";
        default: return {};
    }
}

std::string dptime(std::string_view text, TimeFieldForm form, Precision precision) {
    std::string body(text.substr(0, 11));
    size_t lead = 0;
    while (lead < body.size() &&
           (body[lead] == ' ' || body[lead] == '0' || body[lead] == ':' || body[lead] == '.'))
        ++lead;
    std::string pad(lead, ' ');
    body.erase(0, lead);

    const size_t point = body.find('.');
    const size_t pointPos = point == std::string::npos ? 0 : point + 1;
    if (!body.empty() && pointPos == body.size() - 1) body += ' ';

    const bool blankUnits = form == TimeFieldForm::CrossBlankUnits;
    if (body.empty()) {
        body = blankUnits ? " .00" : "0.00";
        dropBack(pad, 4);
    } else if (body.size() == 1) {
        body = (blankUnits ? " .0" : "  0") + body;
        dropBack(pad, 3);
    } else if (body.size() == 2) {
        body = (blankUnits ? " ." : "  ") + body;
        dropBack(pad, 2);
    }

    if (form == TimeFieldForm::Alpine) {
        if (body.size() <= 5) body += "         .";
        if (body.size() <= 8) body += "       : .";
        if (body.size() <= 11) body += "     : : .";
    } else if (precision == Precision::Hundredths) {
        if (body.size() <= 4) body += "         .";
        if (body.size() == 5) body += "         .";
        if (body.size() == 6 || body.size() == 7) body += "       : .";
        if (body.size() > 7) body += "     : : .";
    } else {
        if (body.size() <= 4) body += "          .";
        if (body.size() <= 7) body += "        : .";
        if (body.size() > 7) body += "      : : .";
    }
    return pad + body;
}

std::string dpprec(std::string_view text, Precision precision) {
    auto c = [&](size_t i) { return copy(text, i, 1); };
    std::string r = " ";
    if (precision == Precision::Hundredths) {
        r += copy(text, 2, 10);
        return r;
    }
    for (size_t i : {1, 3, 2, 4, 6, 5, 7, 9, 8, 10})
        r += c(i);
    return r;
}

}  // namespace qpane
