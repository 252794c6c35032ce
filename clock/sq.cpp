#include "clock/sq.h"

#include <array>
#include <string>

#include "framework/NilObjectException.h"
#include "framework/Ref.h"
#include "framework/Window.h"

namespace kivra {

using framework::Color;
using framework::Int32;

namespace {

struct Design {
    Int32 row;
    Int32 column;
    Color fill;
};

constexpr Color Grey{0x808080};
constexpr Color Green{0x00FF00};
constexpr Color Blue{0x0055FF};
constexpr Color Red{0xFF0000};

// Each group numbers its squares column by column, top to bottom; the design
// colours show 05:35.
constexpr std::array<Design, sq::Count> Designs{{
    {0, 0, Grey},   {1, 0, Grey},   {2, 0, Grey},
    {0, 2, Green},  {1, 2, Grey},   {2, 2, Grey},
    {0, 3, Green},  {1, 3, Green},  {2, 3, Green},
    {0, 4, Green},  {1, 4, Grey},   {2, 4, Grey},
    {0, 6, Blue},   {1, 6, Blue},   {2, 6, Blue},
    {0, 7, Grey},   {1, 7, Grey},   {2, 7, Grey},
    {0, 9, Red},    {1, 9, Grey},   {2, 9, Red},
    {0, 10, Grey},  {1, 10, Red},   {2, 10, Grey},
    {0, 11, Red},   {1, 11, Grey},  {2, 11, Red},
}};

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
    const Design& design = Designs.at(static_cast<std::size_t>(index));
    return {design.row, design.column};
}

framework::PropertySet sq::DesignProperties(Int32 index) {
    const Design& design = Designs.at(static_cast<std::size_t>(index));
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
