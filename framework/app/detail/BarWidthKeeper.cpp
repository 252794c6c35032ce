#include "framework/app/detail/BarWidthKeeper.h"

#include <QEvent>

namespace kivra::framework::detail {

bool BarWidthKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == mBar->parentWidget())
        mBar->setGeometry(0, 0, mBar->parentWidget()->width(), mBar->sizeHint().height());
    return false;
}

}  // namespace kivra::framework::detail
