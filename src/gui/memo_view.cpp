#include "gui/memo_view.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "gui/memo_text.h"
#include "input/line_list.h"

namespace qpane {

namespace {
// Following costs a look at every line kept; a memo that a stream of small bursts keeps
// changing follows at most this often (the eye sees no difference).
constexpr int kFollowIntervalMs = 40;
// Beyond this many places to try, showing the list afresh is cheaper than the search.
constexpr int kMaxCandidates = 32;

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}
}  // namespace

MemoView::Shown MemoView::partOf(const std::string& line) {
    const ShownPart part = shownPart(line);
    return {std::string(part.bytes), part.cut};
}

bool MemoView::shows(const Shown& shown, const std::string& line, bool grown) {
    if (shown.cut) return line.size() > kMemoLineBytes && startsWith(line, shown.bytes);
    return grown ? startsWith(line, shown.bytes) : line == shown.bytes;
}

MemoView::MemoView(QWidget* parent)
    : QPlainTextEdit(parent),
      refresh_(
          this, [this] { follow(); }, kFollowIntervalMs) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

MemoView::~MemoView() {
    unbind();
}

void MemoView::bind(LineList& list) {
    unbind();
    list_ = &list;
    list.setObserver([this] { refresh_.request(); });
    redraw();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void MemoView::unbind() {
    if (list_) list_->setObserver(nullptr);
    list_ = nullptr;
}

size_t MemoView::firstShown() const {
    const size_t count = list_->count();
    return count > kMemoLines ? count - kMemoLines : 0;
}

long MemoView::findDroppedFront() const {
    const size_t from = firstShown();
    const size_t count = list_->count() - from;
    if (shown_.empty() || count == 0) return shown_.empty() ? 0 : -1;
    const std::string& first = list_->line(from);
    int tried = 0;
    for (size_t k = 0; k < shown_.size(); ++k) {
        const size_t kept = shown_.size() - k;
        if (kept > count) continue;
        if (!shows(shown_[k], first, kept == 1)) continue;
        if (++tried > kMaxCandidates) return -1;
        bool same = true;
        for (size_t i = 1; i < kept && same; ++i)
            same = shows(shown_[k + i], list_->line(from + i), i + 1 == kept);
        if (same) return static_cast<long>(k);
    }
    return -1;
}

void MemoView::follow() {
    if (!list_) return;
    ++follows_;
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();

    const long dropped = findDroppedFront();
    const size_t from = firstShown();
    if (dropped < 0) {
        redraw();
    } else {
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        if (dropped > 0) {
            cursor.movePosition(QTextCursor::Start);
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                                static_cast<int>(dropped));
            cursor.removeSelectedText();
            shown_.erase(shown_.begin(), shown_.begin() + dropped);
        }
        cursor.movePosition(QTextCursor::End);
        if (!shown_.empty() && !shown_.back().cut) {
            // The last line kept may have grown; bytes that were waiting for the rest of their
            // character are shown again with it.
            Shown& last = shown_.back();
            Shown now = partOf(list_->line(from + shown_.size() - 1));
            if (now.cut || now.bytes.size() > last.bytes.size()) {
                const size_t waiting = incompleteTail(last.bytes);
                cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor,
                                    static_cast<int>(waiting));
                QString added =
                    memoText(std::string_view(now.bytes).substr(last.bytes.size() - waiting));
                if (now.cut) added.append(QChar(kMemoEllipsis));
                cursor.insertText(added);
                last = std::move(now);
            }
        }
        for (size_t i = from + shown_.size(); i < list_->count(); ++i) {
            const std::string& line = list_->line(i);
            if (!shown_.empty()) cursor.insertBlock();
            cursor.insertText(memoLineText(line));
            shown_.push_back(partOf(line));
        }
        cursor.endEditBlock();
    }
    if (atEnd) bar->setValue(bar->maximum());
}

void MemoView::redraw() {
    ++redraws_;
    shown_.clear();
    QString text;
    if (list_) {
        const size_t from = firstShown();
        for (size_t i = from; i < list_->count(); ++i) {
            if (i > from) text.append(QChar('\n'));
            text.append(memoLineText(list_->line(i)));
            shown_.push_back(partOf(list_->line(i)));
        }
    }
    setPlainText(text);
}

}  // namespace qpane
