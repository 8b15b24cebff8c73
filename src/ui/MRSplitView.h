#pragma once

#include <QPointer>
#include <QSplitter>
#include <array>

namespace vantle {

// The window's two panes, one above the other: 0 the upload queue, 1 the phone's files. The phone
// pane shrinks to a strip showing only its heading while no phone is connected and approved.
class MRSplitView : public QSplitter {
    Q_OBJECT

public:
    enum class State { NotSet, Expanded, Collapsed };

    // A collapsed pane: just its heading.
    static constexpr int kStripHeight = 22;
    // The queue pane's least height when both panes are open.
    static constexpr int kMinimumTopHeight = 193;

    explicit MRSplitView(QWidget* parent = nullptr);

    // Puts the two panes in, each with its heading at its top. A pane shrunk to a strip is
    // clipped, not squeezed: its heading stays whole.
    void setPanes(QWidget* queuePane, QWidget* phonePane);
    QWidget* pane(int index) const;

    State state() const { return mState; }
    bool collapsed() const { return mState == State::Collapsed; }

    // The phone pane becomes a strip the handle cannot open; nothing when already collapsed.
    void collapseBottom();
    // Both panes open. Uploads allowed: the queue pane gets a third of the height (at least
    // kMinimumTopHeight) and the phone pane the rest. Not allowed: the queue pane shrinks to its
    // heading strip and the phone pane takes the rest.
    void expandBottom(bool uploadsNotAllowed);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void setPaneFixed(int index, bool fixed);
    void fitPane(int index);

    std::array<QPointer<QWidget>, 2> mPanes;

    State mState = State::NotSet;
    bool mUploadsNotAllowed = false;
    // Sizes chosen before the split view had its real height wait for it.
    bool mLayoutPending = false;
};

} // namespace vantle
