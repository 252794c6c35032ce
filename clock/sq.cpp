#include "clock/sq.h"

#include <array>
#include <string>

#include "framework/ui/Window.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/Ref.h"

namespace kivra {

using framework::Color;
using framework::Int32;

namespace {

struct Design {
    Int32 row;
    Int32 column;
    Color fill;
};

constexpr Color kGrey{0x808080};
constexpr Color kGreen{0x00FF00};
constexpr Color kBlue{0x0055FF};
constexpr Color kRed{0xFF0000};

// Each group numbers its squares column by column, top to bottom; the design
// colours show 05:35.
// clang-format off
constexpr std::array<Design, sq::kCount> kDesigns{{
    {0, 0, kGrey},  {1, 0, kGrey},  {2, 0, kGrey},
    {0, 2, kGreen}, {1, 2, kGrey},  {2, 2, kGrey},
    {0, 3, kGreen}, {1, 3, kGreen}, {2, 3, kGreen},
    {0, 4, kGreen}, {1, 4, kGrey},  {2, 4, kGrey},
    {0, 6, kBlue},  {1, 6, kBlue},  {2, 6, kBlue},
    {0, 7, kGrey},  {1, 7, kGrey},  {2, 7, kGrey},
    {0, 9, kRed},   {1, 9, kGrey},  {2, 9, kRed},
    {0, 10, kGrey}, {1, 10, kRed},  {2, 10, kGrey},
    {0, 11, kRed},  {1, 11, kGrey}, {2, 11, kRed},
}};
// clang-format on

}  // namespace

void sq::Constructor(Int32 index) {
    Index(index);
    RectControl::Constructor();
}

void sq::Constructor() {
    SetProperties(DesignProperties(0));
    Index(0);
    framework::Window* window = OwnerWindow();
    if (!window) throw framework::NilObjectException();
    window->AddControl(framework::Ref<framework::Control>(shared_from_this()), "sq");
    RectControl::Constructor();
}

sq::Cell sq::GridCell(Int32 index) {
    const Design& design = kDesigns.at(static_cast<std::size_t>(index));
    return {design.row, design.column};
}

framework::PropertySet sq::DesignProperties(Int32 index) {
    const Design& design = kDesigns.at(static_cast<std::size_t>(index));
    return {
        {"Name", std::string("sq")},
        {"Index", index},
        {"Left", 20 + 40 * design.column},
        {"Top", 20 + 40 * design.row},
        {"Width", 30},
        {"Height", 30},
        {"LockLeft", false},
        {"LockTop", false},
        {"LockRight", false},
        {"LockBottom", false},
        {"TabPanelIndex", 0},
        {"Visible", true},
        {"HelpTag", std::string()},
        {"AutoDeactivate", true},
        {"Enabled", true},
        {"FillColor", design.fill},
        {"BorderWidth", 0},
        {"BorderColor", Color{0x000000}},
        {"OvalWidth", 6},
        {"OvalHeight", 6},
        {"InitialParent", std::string()},
    };
}

}  // namespace kivra
