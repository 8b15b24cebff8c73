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

void MRSplitView::setPanes(QWidget* queuePane, QWidget* phonePane) {
    const std::array<QWidget*, kPaneCount> panes = {queuePane, phonePane};
    for (int index = 0; index < kPaneCount; ++index) {
        auto* holder = new QWidget;
        panes[index]->setParent(holder);
        holder->installEventFilter(this);
        mPanes[index] = panes[index];
        addWidget(holder);
    }
}

QWidget* MRSplitView::pane(int index) const {
    return index >= 0 && index < kPaneCount ? mPanes[index].data() : nullptr;
}

bool MRSplitView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (int index = 0; index < kPaneCount && index < count(); ++index) {
            if (watched == widget(index)) fitPane(index);
        }
    }
    return QSplitter::eventFilter(watched, event);
}

void MRSplitView::fitPane(int index) {
    QWidget* content = pane(index);
    QWidget* holder = widget(index);
    if (!content || !holder) return;
    // Never shorter than its layout needs: what does not fit is cut off at the bottom.
    const int needed = content->minimumSizeHint().height();
    content->setGeometry(0, 0, holder->width(), qMax(holder->height(), needed));
    content->show();
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
    QWidget* holder = widget(index);
    if (!holder) return;
    if (fixed) {
        holder->setFixedHeight(kStripHeight);
    } else {
        // No pane shrinks past its heading.
        holder->setMinimumHeight(kStripHeight);
        holder->setMaximumHeight(QWIDGETSIZE_MAX);
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
