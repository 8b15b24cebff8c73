#include "ui/MRSplitView.h"

#include <QResizeEvent>
#include <QShowEvent>

namespace vantle {

namespace {

constexpr int kTopPane = 0;
constexpr int kBottomPane = 1;
constexpr int kPaneCount = 2;
constexpr int kThirds = 3;

} // namespace

MRSplitView::MRSplitView(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setChildrenCollapsible(false);
}

QWidget* MRSplitView::pane(int index) const {
    return index < count() ? widget(index) : nullptr;
}

void MRSplitView::collapseBottom() {
    if (mState == State::Collapsed) return;
    mState = State::Collapsed;
    layOut();
}

void MRSplitView::expandBottom(bool uploadsNotAllowed) {
    mState = State::Expanded;
    mUploadsNotAllowed = uploadsNotAllowed;
    layOut();
}

void MRSplitView::setPaneFixed(int index, bool fixed) {
    QWidget* widget = pane(index);
    if (!widget) return;
    if (fixed) {
        widget->setFixedHeight(kStripHeight);
    } else {
        // No pane shrinks past its heading.
        widget->setMinimumHeight(kStripHeight);
        widget->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    if (QSplitterHandle* bar = handle(kBottomPane)) {
        bar->setEnabled(!fixed);
        bar->setCursor(fixed ? Qt::ArrowCursor : Qt::SplitVCursor);
    }
}

void MRSplitView::layOut() {
    if (count() < kPaneCount || mState == State::NotSet) return;
    // When the window grows or shrinks the phone pane takes the difference: the queue pane keeps
    // the height the user gave it. A collapsed phone pane is fixed, so then the queue pane does.
    setStretchFactor(kTopPane, 0);
    setStretchFactor(kBottomPane, 1);
    if (mState == State::Collapsed) {
        setPaneFixed(kTopPane, false);
        setPaneFixed(kBottomPane, true);
        const int total = height() - handleWidth();
        setSizes({qMax(total - kStripHeight, kStripHeight), kStripHeight});
        return;
    }
    setPaneFixed(kTopPane, false);
    setPaneFixed(kBottomPane, false);
    mLayoutPending = !isVisible();
    const int total = height();
    const int top = mUploadsNotAllowed ? kStripHeight : qMax(total / kThirds, kMinimumTopHeight);
    setSizes({top, qMax(total - top - handleWidth(), kStripHeight)});
}

void MRSplitView::showEvent(QShowEvent* event) {
    QSplitter::showEvent(event);
    if (mLayoutPending) layOut();
}

void MRSplitView::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    if (mLayoutPending && isVisible()) layOut();
}

} // namespace vantle
