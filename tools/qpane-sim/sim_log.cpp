#include "sim_log.h"

#include "platform/byte_text.h"

namespace qpane::sim {

SimLog::SimLog(const std::filesystem::path& file) {
    if (file.empty()) return;
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    out_.open(file, std::ios::binary | std::ios::app);
    if (!out_) throw std::runtime_error("cannot write the log " + file.string());
}

void SimLog::bytes(int64_t ms, std::string_view kind, const std::string& port,
                   std::string_view data) {
    text(ms, kind, port, quoteBytes(data));
}

void SimLog::text(int64_t ms, std::string_view kind, const std::string& port,
                  std::string_view text) {
    if (!out_.is_open()) return;
    out_ << ms << ' ' << kind;
    if (!port.empty()) out_ << ' ' << port;
    if (!text.empty()) out_ << ' ' << text;
    out_ << '\n';
    out_.flush();
}

}  // namespace qpane::sim
