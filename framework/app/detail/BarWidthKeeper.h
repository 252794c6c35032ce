#pragma once

// Framework-internal: keeps a menu bar shown inside a window as wide as the window.

#include <QMenuBar>
#include <QObject>

namespace kivra::framework::detail {

class BarWidthKeeper : public QObject {
public:
    explicit BarWidthKeeper(QMenuBar* bar) : QObject(bar), mBar(bar) {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenuBar* mBar;
};

}  // namespace kivra::framework::detail
