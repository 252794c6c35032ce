#include <algorithm>
#include <cstdint>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/values/Ref.h"
#include "settings/SmartColorWell.h"

namespace kivra {

using framework::Color;
using framework::Int32;

namespace {

Color Grey(double v) { return framework::HSV(0.0, 0.0, v); }

Color Darker(Color c, double by) { return framework::HSV(c.Hue(), c.Saturation(), std::max(0.0, c.Value() - by)); }

}  // namespace

// Composes the whole well in a fresh picture and copies it in one step, over a
// cleared area, so no earlier look (a dimmed one above all) shows through.
void SmartColorWell::draw() {
    const Int32 w = Saturate(std::int64_t{Width()} - cShrink);
    const Int32 h = Saturate(std::int64_t{Height()} - cShrink);
    const auto p = framework::NewPicture(Width(), Height(), 32);
    const double d = mouseDownAndWithin ? 0.44 : 0.0;

    bool dim = !Enabled() || !Active();
    const auto parent = Parent().As<framework::RectControl>();
    if (parent && !parent->Enabled()) dim = true;
    if (pickingColor) dim = false;

    const auto g = p->Graphics();
    const double hd = static_cast<double>(h);
    const Int32 band = framework::ToInt32(hd * 0.4);
    g->ForeColor(Grey(0.87 - d));
    g->FillRect(0, 0, w, band);
    g->ForeColor(Grey(0.9 - d));
    g->FillRect(0, framework::ToInt32(hd * 0.2), w, band);
    g->ForeColor(Grey(0.93 - d));
    g->FillRect(0, framework::ToInt32(hd * 0.4), w, band);
    g->ForeColor(Grey(0.96 - d));
    g->FillRect(0, framework::ToInt32(hd * 0.6), w, band);
    g->ForeColor(Grey(1.0 - d));
    g->FillRect(0, framework::ToInt32(hd * 0.8), w, band);
    g->ForeColor(Grey(0.5 - d / 2.0));
    g->DrawRect(0, 0, w, h);
    g->ForeColor(Grey(0.85 - d));
    g->DrawRect(1, 1, Saturate(std::int64_t{w} - 2), Saturate(std::int64_t{h} - 2));
    g->ForeColor(Grey(0.99 - d));
    g->DrawLine(1, 1, Saturate(std::int64_t{w} - 2), 1);
    g->ForeColor(Grey(0.93 - d));
    g->DrawLine(2, 2, Saturate(std::int64_t{w} - 3), 2);
    g->ForeColor(Grey(0.95 - d));
    g->DrawLine(2, Saturate(std::int64_t{h} - 2), Saturate(std::int64_t{w} - 3), Saturate(std::int64_t{h} - 2));

    const std::int64_t m = Margin;
    const Int32 boxX = Saturate(m);
    const Int32 boxW = Saturate(std::int64_t{w} - 2 * m);
    const Int32 boxH = Saturate(std::int64_t{h} - 2 * m);
    Color c = ColorSelected;
    if (mouseDownAndWithin) c = Darker(c, 0.44);
    g->ForeColor(c);
    g->FillRect(boxX, boxX, boxW, boxH);
    // One pixel short at the bottom: the outer frame covers that edge anyway.
    c = Darker(c, 0.1);
    g->ForeColor(c);
    g->DrawRect(Saturate(m + 1), Saturate(m + 1), Saturate(std::int64_t{w} - 2 * m - 2),
                Saturate(std::int64_t{h} - 2 * m - 1));
    c = Darker(c, 0.1);
    g->ForeColor(c);
    g->DrawRect(boxX, boxX, boxW, boxH);

    if (dim) {
        const auto mask = p->Mask(true)->Graphics();
        mask->ForeColor(framework::RGB(128, 128, 128));
        mask->FillRect(0, 0, Width(), Height());
        if (Active() && !AlsoDimColor) {
            mask->ForeColor(framework::RGB(0, 0, 0));
            mask->FillRect(boxX, boxX, boxW, boxH);
        }
    }

    const auto target = Graphics();
    target->ClearRect(0, 0, Width(), Height());
    target->DrawPicture(p, 0, 0, framework::Graphics::kOwnSize, framework::Graphics::kOwnSize, 0, 0,
                        framework::Graphics::kOwnSize, framework::Graphics::kOwnSize);
}

}  // namespace kivra
