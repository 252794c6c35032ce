#pragma once

// Framework-internal: the widget of a StaticText.

#include <QColor>
#include <QString>

#include "framework/ui/detail/ControlWidget.h"

namespace kivra::framework::detail {

// Paints the label's text; the label keeps the values, the widget only shows them.
class LabelWidget : public ControlWidget {
public:
    LabelWidget(RectControl& owner, QWidget* parent) : ControlWidget(owner, parent) {}

    void Show(const QString& text, Qt::Alignment alignment, bool wrap, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString mText;
    Qt::Alignment mAlignment = Qt::AlignLeft;
    bool mWrap = false;
    QColor mColor = Qt::black;
};

}  // namespace kivra::framework::detail
