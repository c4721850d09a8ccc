#include "results/list_export.h"

#include <stdexcept>

#include "platform/shift_jis.h"
#include "platform/whole_file.h"

namespace qpane::results {

namespace {

std::string csvField(const std::string& value) {
    const bool quote = value.find_first_of(",\"\r\n") != std::string::npos ||
                       (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote) return value;
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void addCsvRow(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

std::string encoded(std::string utf8, Encoding encoding) {
    return encoding == Encoding::ShiftJis ? utf8ToShiftJis(utf8) : utf8;
}

// Code points of U+1100 and above that a fixed-width font draws two places wide: the
// Japanese scripts, the CJK ideographs and symbols, the full-width forms.
bool isWide(char32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
}

std::string padded(const std::string& value, size_t width, bool right) {
    const size_t w = displayWidth(value);
    const std::string pad(width > w ? width - w : 0, ' ');
    return right ? pad + value : value + pad;
}

}  // namespace

size_t displayWidth(std::string_view s) {
    size_t width = 0;
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (i + len > s.size()) len = s.size() - i;
        char32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        width += isWide(cp) ? 2 : 1;
        i += len;
    }
    return width;
}

std::string csvOf(const ResultList& list, Encoding encoding) {
    std::string out;
    std::vector<std::string> captions = columnCaptions(list.discipline);
    captions.insert(captions.begin(), "ブロック");
    addCsvRow(out, captions);
    for (const ResultGroup& g : list.groups) {
        for (const ResultRow& r : g.rows) {
            std::vector<std::string> fields = columnsOf(list.discipline, r);
            fields.insert(fields.begin(), list.block);
            addCsvRow(out, fields);
        }
    }
    if (encoding == Encoding::Utf8) return "\xEF\xBB\xBF" + out;
    return encoded(std::move(out), encoding);
}

std::string textOf(const ResultList& list, const ListHeading& heading, Encoding encoding) {
    std::string out;
    if (!heading.title.empty()) out += heading.title + "\n";
    if (!heading.date.empty()) out += heading.date + "\n";
    out += disciplineCaption(list.discipline) + "  ブロック " + list.block + "\n";
    const std::vector<std::string> captions = columnCaptions(list.discipline);
    for (const ResultGroup& g : list.groups) {
        std::vector<size_t> widths;
        for (const std::string& c : captions)
            widths.push_back(displayWidth(c));
        for (const ResultRow& r : g.rows) {
            const std::vector<std::string> fields = columnsOf(list.discipline, r);
            for (size_t i = 0; i < fields.size(); ++i)
                widths[i] = std::max(widths[i], displayWidth(fields[i]));
        }
        auto line = [&](const std::vector<std::string>& fields) {
            std::string l;
            for (size_t i = 0; i < fields.size(); ++i)
                l += (i > 0 ? "  " : "") + padded(fields[i], widths[i], true);
            while (!l.empty() && l.back() == ' ')
                l.pop_back();
            out += l + "\n";
        };
        out += "\n" + groupCaption(g.group) + "\n";
        line(captions);
        for (const ResultRow& r : g.rows)
            line(columnsOf(list.discipline, r));
    }
    return encoded(std::move(out), encoding);
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes) {
    const std::string why = replaceWholeFile(file, bytes);
    if (!why.empty()) throw std::runtime_error(file.string() + ": cannot be written: " + why);
}

}  // namespace qpane::results
