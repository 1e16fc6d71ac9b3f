#include "overlays/ordering_windows.h"

#include "overlays/small_inttersong.h"
#include "overlays/small_order_by_singer.h"
#include "overlays/small_ordersong.h"

std::unique_ptr<SmallWindow> makeOrderingWindow(NextWindow kind, PlaybackSession &session, SharedState &state,
                                                QSize screen, QWidget *parent)
{
    switch (kind) {
    case NextWindow::Ordering:
        return std::make_unique<SmallOrdersong>(session, state, screen, parent);
    case NextWindow::Insertion:
        return std::make_unique<SmallInttersong>(session, state, screen, parent);
    case NextWindow::OrderBySinger:
        return std::make_unique<SmallOrderBySinger>(session, state, screen, parent);
    default:
        return nullptr;
    }
}
