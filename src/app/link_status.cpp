// The state of both links for the status line, and the reopening of a link that came back.
#include "app/link_status.h"

#include "app/fqpane.h"
#include "serial/comm_device.h"

namespace qpane {

const char* linkStateText(LinkState state) {
    switch (state) {
        case LinkState::Closed: return "閉";
        case LinkState::Open: return "開";
        case LinkState::Lost: return "切断";
        case LinkState::Returned: return "再接続可";
    }
    return "";
}

std::string linkStatusSummary(const std::string& label, const LinkStatus& status) {
    std::string text = label + " " + linkStateText(status.state) + " 受" +
                       std::to_string(status.received) + " 送" + std::to_string(status.sent);
    if (status.sinceLastLine >= 0) text += " " + std::to_string(status.sinceLastLine / 1000) + "秒";
    if (!status.openFailure.empty()) text += " 開けません";
    return text;
}

std::string linkStatusDetail(const std::string& label, const LinkStatus& status) {
    std::string text = label + ": " + status.device + " " + linkStateText(status.state) +
                       "、受信 " + std::to_string(status.received) + " バイト、送信 " +
                       std::to_string(status.sent) + " バイト";
    if (status.sinceLastLine >= 0)
        text += "、最後の計時データから " + std::to_string(status.sinceLastLine / 1000) + " 秒";
    if (status.state == LinkState::Returned)
        text += "\nアダプターが戻りました。クリックすると開き直します。";
    else if (status.state == LinkState::Lost)
        text += "\n接続が切れました。アダプターを確認してください。";
    if (!status.openFailure.empty()) text += "\n" + status.openFailure;
    return text;
}

TCustomCommX& TFqpane::linkPort(int link) {
    return link == 1 ? static_cast<TCustomCommX&>(CommX1) : CommX2;
}

LinkStatus TFqpane::linkStatus(int link) {
    TCustomCommX& port = linkPort(link);
    const CommCounters counters = port.Counters();
    LinkStatus s;
    s.device = portMap_.devicePath(port.PortNo(), paths());
    s.received = counters.received;
    s.sent = counters.sent;
    s.openFailure = linkOpenFailure_[static_cast<size_t>(link - 1)];
    if (counters.lost)
        s.state = env_.devices.present(port.PortNo()) ? LinkState::Returned : LinkState::Lost;
    else
        s.state = counters.open ? LinkState::Open : LinkState::Closed;
    s.alarm = s.state == LinkState::Lost || s.state == LinkState::Returned;
    if (link != 1) return s;
    const int64_t now = scheduler().now();
    if (lastLineQueuedAt_ >= 0) s.sinceLastLine = now - lastLineQueuedAt_;
    const int64_t limit = int64_t{portMap_.silenceSeconds} * 1000;
    if (s.state == LinkState::Open && limit > 0 && quietSince_ >= 0 && now - quietSince_ > limit)
        s.alarm = true;
    return s;
}

void TFqpane::reopenLink(int link) {
    linkPort(link).Close();
    openLink(link);
}

bool TFqpane::openLink(int link) {
    TCustomCommX& port = linkPort(link);
    bool& open = link == 1 ? port1Open : port2Open;
    try {
        port.Open();
        open = true;
        linkOpenFailure_[static_cast<size_t>(link - 1)].clear();
        // The silence limit counts from the open until the first line comes.
        if (link == 1) quietSince_ = scheduler().now();
    } catch (const ECommError&) {
        open = false;
        tellOpenFailure(link, port.PortNo());
    }
    return open;
}

void TFqpane::noteQueuedLines(size_t before) {
    if (Memo2.count() <= before) return;
    lastLineQueuedAt_ = scheduler().now();
    quietSince_ = lastLineQueuedAt_;
}

}  // namespace qpane
