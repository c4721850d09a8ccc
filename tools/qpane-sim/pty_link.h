#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qpane::sim {

class LinkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The far end of one serial line of the console: a pseudo-terminal whose port side is linked
// as <root>/dev/COMn, the device the console opens as port n. The simulator holds the other
// side. While the console has the port closed the far end sees a hang-up, so the simulator
// knows when the console is on the line.
class PtyLink {
  public:
    // Makes the pair and the link (and <root>/dev). A link that is there already is replaced
    // when it leads nowhere; one that leads to a device, or a file that is no link, stays,
    // and LinkError says so.
    PtyLink(const std::filesystem::path& root, int portNo);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    int portNo() const { return portNo_; }
    std::string name() const { return "COM" + std::to_string(portNo_); }
    const std::filesystem::path& linkPath() const { return link_; }
    const std::string& portPath() const { return portPath_; }
    // The simulator's side, for poll().
    int fd() const { return fd_; }

    // The console has the port open.
    bool portOpen() const;
    // What came from the console, without waiting; empty when nothing did or the port is
    // closed.
    std::string read();
    // Sends all of bytes, waiting up to timeoutMs for room; false when some could not go
    // (the console does not read, or closed the port).
    bool write(std::string_view bytes, int timeoutMs = 1000);

    // The bit rate and handshake that the console set on the port (the character size and
    // parity a pseudo-terminal does not keep).
    struct PortSettings {
        int bitRate = 0;
        bool rtsCts = false;
        bool operator==(const PortSettings&) const = default;
    };
    PortSettings portSettings() const;

  private:
    int portNo_;
    std::filesystem::path link_;
    std::string portPath_;
    int fd_ = -1;
};

}  // namespace qpane::sim
