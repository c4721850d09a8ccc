#include "store/statement_bytes.h"

#include <algorithm>
#include <optional>

#include "store/query.h"

namespace qpane {

namespace {

void appendHexLiteral(std::string& out, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "CAST(X'";
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    out += "' AS TEXT)";
}

[[noreturn]] void strayNul(std::string_view sql) {
    std::string shown(sql);
    for (char& c : shown)
        if (c == '\0') c = '?';
    throw EDatabaseError("文の値の外に NUL バイトがあります。\nSQL: " + shown);
}

// Index of the character that closes a quoted part opened at `open` with `close`; a doubled
// closing character stands for itself. npos when the text ends first.
size_t quotedEnd(std::string_view sql, size_t open, char close) {
    for (size_t i = open + 1; i < sql.size(); ++i) {
        if (sql[i] != close) continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

// Where a quoted name ("..", `..`, [..]) or a comment (-- to the end of its line, /* */) that
// starts at i ends: its last character, npos when it is not closed; nullopt when none starts
// at i.
std::optional<size_t> nameOrCommentEnd(std::string_view sql, size_t i) {
    const char c = sql[i];
    if (c == '"' || c == '`' || c == '[') return quotedEnd(sql, i, c == '[' ? ']' : c);
    const bool pair = i + 1 < sql.size();
    if (c == '-' && pair && sql[i + 1] == '-') return std::min(sql.find('\n', i), sql.size() - 1);
    if (c == '/' && pair && sql[i + 1] == '*') {
        const size_t end = sql.find("*/", i + 2);
        return end == std::string_view::npos ? end : end + 1;
    }
    return std::nullopt;
}

// The value of the text literal whose quotes are at open and close: '' inside is one quote.
std::string textValue(std::string_view sql, size_t open, size_t close) {
    std::string value;
    for (size_t k = open + 1; k < close; ++k) {
        value += sql[k];
        if (sql[k] == '\'') ++k;
    }
    return value;
}

}  // namespace

std::string withNulBytesSpelled(std::string_view sql) {
    if (sql.find('\0') == std::string_view::npos) return std::string(sql);
    std::string out;
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        size_t end = std::string_view::npos;
        if (c == '\'') {
            end = quotedEnd(sql, i, '\'');
        } else if (const std::optional<size_t> e = nameOrCommentEnd(sql, i)) {
            end = *e;
        } else {
            if (c == '\0') strayNul(sql);
            out += c;
            ++i;
            continue;
        }
        if (end == std::string_view::npos) end = sql.size() - 1;
        std::string_view part = sql.substr(i, end - i + 1);
        bool hasNul = part.find('\0') != std::string_view::npos;
        bool closedValue = c == '\'' && part.size() >= 2 && part.back() == '\'';
        if (hasNul && !closedValue) strayNul(sql);
        if (hasNul) {
            appendHexLiteral(out, textValue(part, 0, part.size() - 1));
        } else {
            out += part;
        }
        i = end + 1;
    }
    return out;
}

namespace {

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// word is in lower case. The scans ask at every character: most are told by the first.
bool wordAt(std::string_view sql, size_t i, std::string_view word) {
    if (i + word.size() > sql.size() || (sql[i] | 0x20) != word[0] ||
        (i > 0 && isWordChar(sql[i - 1])))
        return false;
    for (size_t k = 0; k < word.size(); ++k) {
        char c = sql[i + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[k]) return false;
    }
    return i + word.size() == sql.size() || !isWordChar(sql[i + word.size()]);
}

// The end of the word that starts at i.
size_t wordEnd(std::string_view sql, size_t i) {
    while (i < sql.size() && isWordChar(sql[i]))
        ++i;
    return i;
}

bool sameWord(std::string_view word, std::string_view lower) {
    if (word.size() != lower.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if ((word[k] >= 'A' && word[k] <= 'Z' ? word[k] + ('a' - 'A') : word[k]) != lower[k])
            return false;
    return true;
}

}  // namespace

std::string withoutFinalOrder(std::string_view sql) {
    size_t order = std::string_view::npos;
    int depth = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        size_t end = std::string_view::npos;
        if (c == '\'') {
            end = quotedEnd(sql, i, '\'');
        } else if (const std::optional<size_t> e = nameOrCommentEnd(sql, i)) {
            end = *e;
        } else if (c == '(') {
            ++depth;
            continue;
        } else if (c == ')') {
            --depth;
            continue;
        } else if (depth == 0 && wordAt(sql, i, "order")) {
            size_t by = i + 5;
            while (by < sql.size() &&
                   (sql[by] == ' ' || sql[by] == '\t' || sql[by] == '\r' || sql[by] == '\n'))
                ++by;
            if (wordAt(sql, by, "by")) order = i;
            continue;
        } else if (depth == 0 && (wordAt(sql, i, "limit") || wordAt(sql, i, "offset"))) {
            return std::string(sql);
        } else {
            continue;
        }
        if (end == std::string_view::npos) return std::string(sql);  // an open quote or comment
        i = end;
    }
    if (order == std::string_view::npos || depth != 0) return std::string(sql);
    return std::string(sql.substr(0, order));
}

std::optional<StatementWithValues> withValuesAsPlaces(std::string_view sql) {
    size_t first = sql.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos ||
        !(wordAt(sql, first, "insert") || wordAt(sql, first, "update") ||
          wordAt(sql, first, "delete")))
        return std::nullopt;
    StatementWithValues out;
    out.text.reserve(sql.size());
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '?' || c == ':' || c == '@' || c == '$') return std::nullopt;  // places already
        if (isWordChar(c)) {
            const size_t j = wordEnd(sql, i);
            const std::string_view word = sql.substr(i, j - i);
            if (sameWord(word, "returning")) return std::nullopt;
            out.text += word;
            i = j - 1;
            continue;
        }
        size_t end = std::string_view::npos;
        if (const std::optional<size_t> e = nameOrCommentEnd(sql, i)) {
            end = *e;
        } else if (c == '\'') {
            // X'..' is a blob, not a text
            if (i > 0 && (sql[i - 1] == 'x' || sql[i - 1] == 'X')) return std::nullopt;
            end = quotedEnd(sql, i, '\'');
            if (end == std::string_view::npos) return std::nullopt;
            out.values.push_back(textValue(sql, i, end));
            out.text += '?';
            i = end;
            continue;
        } else {
            out.text += c;
            continue;
        }
        if (end == std::string_view::npos) return std::nullopt;
        out.text += sql.substr(i, end - i + 1);
        i = end;
    }
    if (out.values.empty()) return std::nullopt;
    return out;
}

std::optional<StatementWithValues> selectWithEqualValuesAsPlaces(std::string_view sql) {
    const size_t first = sql.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos || !wordAt(sql, first, "select")) return std::nullopt;
    StatementWithValues out;
    out.text.reserve(sql.size());
    int depth = 0;
    bool afterFrom = false;
    // The text before the quote, less its blanks, ends in = and not in <=, >= or !=.
    auto afterEquals = [&] {
        const size_t last = out.text.find_last_not_of(" \t\r\n");
        if (last == std::string::npos || out.text[last] != '=') return false;
        return last == 0 || (out.text[last - 1] != '<' && out.text[last - 1] != '>' &&
                             out.text[last - 1] != '!');
    };
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '?' || c == ':' || c == '@' || c == '$') return std::nullopt;  // places already
        if (isWordChar(c)) {
            const size_t j = wordEnd(sql, i);
            const std::string_view word = sql.substr(i, j - i);
            if (i > first && sameWord(word, "select")) return std::nullopt;
            if (depth == 0 && sameWord(word, "from")) afterFrom = true;
            out.text += word;
            i = j - 1;
            continue;
        }
        size_t end = std::string_view::npos;
        if (const std::optional<size_t> e = nameOrCommentEnd(sql, i)) {
            end = *e;
        } else if (c == '\'') {
            end = quotedEnd(sql, i, '\'');
            if (end == std::string_view::npos) return std::nullopt;
            const bool blob = i > 0 && (sql[i - 1] == 'x' || sql[i - 1] == 'X');
            if (afterFrom && !blob && afterEquals()) {
                out.values.push_back(textValue(sql, i, end));
                out.text += '?';
                i = end;
                continue;
            }
        } else {
            if (c == '(') ++depth;
            if (c == ')') --depth;
            out.text += c;
            continue;
        }
        if (end == std::string_view::npos) return std::nullopt;
        out.text += sql.substr(i, end - i + 1);
        i = end;
    }
    if (out.values.empty()) return std::nullopt;
    return out;
}

}  // namespace qpane
