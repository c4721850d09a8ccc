#pragma once

#include <QPlainTextEdit>

#include <deque>
#include <string>

#include "gui/coalesced_refresh.h"

namespace qpane {

class LineList;

// A memo of the window: a read-only view of a LineList. It follows the list once per turn of
// the event loop, and not more often than every few hundredths of a second, and changes only
// what changed (lines taken from the front, the last line grown, lines added at the end), so
// that a log that takes a megabyte in bursts costs what was added, not what is held. Any
// other change is shown afresh. One line of the list is one paragraph of the view; the view
// keeps to the newest line unless the operator scrolled up. It shows the newest kMemoLines
// lines at most (a queue that a stalled routine lets grow costs its lines, not a paragraph
// of the window for each).
class MemoView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit MemoView(QWidget* parent = nullptr);
    ~MemoView() override;

    // The list must outlive the view, or be unbound first.
    void bind(LineList& list);
    void unbind();

    // Follows the list now instead of at the end of the turn.
    void followNow() { refresh_.flush(); }

    // How often the view followed the list, and how often it had to show it afresh.
    int followCount() const { return follows_; }
    int redrawCount() const { return redraws_; }

  private:
    void follow();
    // The first line of the list that the view shows.
    size_t firstShown() const;
    // The lines dropped from the front since the last follow, when the rest of what is shown
    // is still the list's beginning (its last line possibly grown); -1 when there is none.
    long findDroppedFront() const;
    void redraw();

    // What a paragraph shows of its line: the bytes, and whether the line goes on beyond
    // them (an ellipsis follows).
    struct Shown {
        std::string bytes;
        bool cut = false;
    };
    // Whether line is what paragraph shown shows; grown: the line may have grown since.
    static bool shows(const Shown& shown, const std::string& line, bool grown);
    static Shown partOf(const std::string& line);

    LineList* list_ = nullptr;
    std::deque<Shown> shown_;
    CoalescedRefresh refresh_;
    int follows_ = 0;
    int redraws_ = 0;
};

}  // namespace qpane
