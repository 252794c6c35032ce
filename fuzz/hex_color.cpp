// Colour text dropped on a well, over arbitrary text. The input is a series of
// texts, one a line, given to one well in turn, so that the memory of the last
// text taken is exercised too. Each text must give the colour that the
// hexadecimal reading makes of it, tell a change exactly when the colour
// changed, and a well's own colour text must give its colour to another well.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/ui/Window.h"
#include "framework/values/Color.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Ref.h"
#include "framework/values/Strings.h"
#include "framework/values/Types.h"
#include "settings/SmartColorWell.h"
#include "support/FuzzSupport.h"

namespace {

namespace fw = kivra::framework;
using fw::Color;
using fw::Int32;

class WellHost : public fw::Window {
public:
    void Layout() override { SetProperties({{"Width", 120}, {"Height", 60}}); }
    void CreateControls() override {
        for (const char* name : {"cFuzz", "cCopy"}) {
            auto control = fw::New<kivra::SmartColorWell>();
            control->Constructor();
            AddControl(control, name);
            control->SetProperties({{"Left", 10}, {"Top", 10}, {"Width", 32}, {"Height", 32}});
            (well ? copy : well) = control;
        }
    }

    fw::Ref<kivra::SmartColorWell> well;
    fw::Ref<kivra::SmartColorWell> copy;
};

fw::Ref<WellHost>& Host() {
    static fw::Ref<WellHost> host;
    return host;
}

// The colour a text gives: its first "#" removed, the rest read as hexadecimal,
// the number split into red, green and blue, each channel clamped.
Color ColorOfText(const std::string& s) {
    const Int32 n = fw::ToInt32(fw::Val("&h" + fw::Replace(s, "#", "")));
    const double red = std::trunc(n / 65536.0);
    const double rest = n - red * 65536.0;
    const double green = std::trunc(rest / 256.0);
    const double blue = rest - green * 256.0;
    return fw::RGB(fw::ToInt32(red), fw::ToInt32(green), fw::ToInt32(blue));
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsColorText(const std::string& s) {
    if (s.size() != 7 || s[0] != '#') return false;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (!IsHexDigit(s[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    kivra::fuzz::Init(argc, argv);
    Host() = fw::New<WellHost>();
    Host()->Constructor("FuzzHexColor.WellHost");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    kivra::SmartColorWell& well = *Host()->well;
    kivra::SmartColorWell& copy = *Host()->copy;
    // Each input starts from a colour that no text has set, so any text is taken.
    well.setColor(Color(0x654321));
    well.setColor(Color(0x123456));

    std::vector<Color> changes;
    well.ColorChange.Bind([&changes](Color c) { changes.push_back(c); });

    std::string last = "?";
    std::size_t from = 0;
    for (int round = 0; round < 16 && from <= input.size(); ++round) {
        std::size_t end = input.find('\n', from);
        if (end == std::string::npos) end = input.size();
        const std::string text = input.substr(from, end - from);
        from = end + 1;

        const Color before = well.getColor();
        changes.clear();
        well.setColorFromHexString(text);
        const Color after = well.getColor();

        if (fw::StringEquals(text, last)) {
            KIVRA_FUZZ_CHECK(after == before && changes.empty(), "the text taken last was taken again");
            continue;
        }
        last = text;
        KIVRA_FUZZ_CHECK(after == ColorOfText(text), "the colour is not the one the text reads as");
        if (IsColorText(text))
            KIVRA_FUZZ_CHECK(after.Integer() == std::stoul(text.substr(1), nullptr, 16),
                             "a colour text gives another colour");
        if (after == before) {
            KIVRA_FUZZ_CHECK(changes.empty(), "a change was told for an unchanged colour");
        } else {
            KIVRA_FUZZ_CHECK(changes.size() == 1 && changes[0] == after,
                             "a change was not told once with the new colour");
        }

        const std::string own = well.getColorAsHexString();
        KIVRA_FUZZ_CHECK(IsColorText(own), "a well's colour text is no \"#RRGGBB\"");
        copy.setColor(Color(after.Integer() ^ 0xFFFFFF));
        copy.setColorFromHexString(own);
        KIVRA_FUZZ_CHECK(copy.getColor() == after, "a well's colour text gives another well another colour");
    }
    well.ColorChange.Unbind();
    kivra::fuzz::CheckNoUnhandledException();
    return 0;
}
