// The credits markup over arbitrary text. Every tag up to the first "<" that
// nothing closes is removed and turns into styles from its place to the end;
// what stays must be the text less its tags, character for character, each
// character with the style the tags before it give.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "clock/App.h"
#include "framework/app/Runtime.h"
#include "framework/ui/EditField.h"
#include "framework/values/Ref.h"
#include "framework/values/Strings.h"
#include "framework/values/Types.h"
#include "support/FuzzSupport.h"
#include "windows/AboutWindow.h"

namespace {

namespace fw = kivra::framework;
using fw::Int32;

class CreditsProbe : public kivra::AboutWindow {
public:
    using kivra::AboutWindow::SetCreditsFieldText;
};

struct Style {
    bool bold = false;
    bool italic = false;
    Int32 size = 0;
    bool lineEnd = false;
};

struct Expected {
    std::string text;
    std::vector<Style> styles;  // one a character
};

// The markup read as the credits field reads it: a tag is a "<" and the first ">"
// after it; its name is its content up to the first space.
Expected Markup(const std::string& source, Style style) {
    Expected out;
    Int32 remembered = 0;
    std::size_t from = 0;
    const auto keep = [&](std::size_t end) {
        const std::string piece = source.substr(from, end - from);
        out.text += piece;
        // Line ends are ASCII, so they split no character.
        std::size_t at = 0;
        for (;;) {
            const std::size_t lineEnd = piece.find_first_of("\r\n", at);
            const std::string run = piece.substr(at, lineEnd == std::string::npos ? std::string::npos : lineEnd - at);
            out.styles.insert(out.styles.end(), static_cast<std::size_t>(fw::Len(run)), style);
            if (lineEnd == std::string::npos) break;
            out.styles.push_back(style);
            out.styles.back().lineEnd = true;
            at = lineEnd + 1;
        }
    };
    for (;;) {
        const std::size_t open = source.find('<', from);
        const std::size_t close = open == std::string::npos ? open : source.find('>', open);
        if (close == std::string::npos) break;
        keep(open);
        from = close + 1;
        const std::string content = source.substr(open + 1, close - open - 1);
        std::string name = content.substr(0, content.find(' '));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        if (name == "b") style.bold = true;
        if (name == "/b") style.bold = false;
        if (name == "i") style.italic = true;
        if (name == "/i") style.italic = false;
        if (name == "font") {
            const std::size_t q1 = content.find('"');
            const std::size_t q2 = q1 == std::string::npos ? q1 : content.find('"', q1 + 1);
            const std::string given =
                q1 == std::string::npos
                    ? ""
                    : content.substr(q1 + 1, q2 == std::string::npos ? std::string::npos : q2 - q1 - 1);
            remembered = style.size;
            style.size = fw::ToInt32(fw::Val(given));
        }
        if (name == "/font") style.size = remembered;
    }
    keep(source.size());
    return out;
}

bool IsPlainUtf8(const std::string& s) {
    // Only the text that the field keeps byte for byte: valid UTF-8 without
    // controls other than TAB, or the line ends it turns into CR.
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (len == 0 || c > 0xF4 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        const std::string cp = s.substr(i, len);
        // Overlong forms, surrogates and the two non-characters Qt keeps for frames.
        if ((c == 0xE0 && static_cast<unsigned char>(s[i + 1]) < 0xA0) ||
            (c == 0xED && static_cast<unsigned char>(s[i + 1]) > 0x9F) ||
            (c == 0xF0 && static_cast<unsigned char>(s[i + 1]) < 0x90) ||
            (c == 0xF4 && static_cast<unsigned char>(s[i + 1]) > 0x8F) || cp == "\xEF\xB7\x90" ||
            cp == "\xEF\xB7\x91" || cp == "\xE2\x80\xA8" || cp == "\xE2\x80\xA9" || cp == "\xEF\xBF\xBC")
            return false;
        i += len;
    }
    return true;
}

fw::Ref<CreditsProbe>& Probe() {
    static fw::Ref<CreditsProbe> probe;
    return probe;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    kivra::fuzz::Init(argc, argv);
    fw::RuntimeRegisterAppObject(fw::New<kivra::App>());
    Probe() = fw::New<CreditsProbe>();
    Probe()->Constructor("AboutWindow.AboutWindow");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    fw::Ref<fw::EditField> field = Probe()->ControlByName("EditAppCredits").As<fw::EditField>();
    KIVRA_FUZZ_CHECK(field, "the About window has no credits field");

    const Style plain{field->Bold(), field->Italic(), field->TextSize()};
    Probe()->SetCreditsFieldText(input, true);
    const Expected expected = Markup(input, plain);
    const std::string shown = field->Text();

    // A tag left in the field would be a "<" with a ">" after it.
    const std::size_t open = shown.find('<');
    KIVRA_FUZZ_CHECK(open == std::string::npos || shown.find('>', open) == std::string::npos,
                     "a tag was left in the field");
    KIVRA_FUZZ_CHECK(fw::Len(shown) == static_cast<Int32>(expected.styles.size()),
                     "the field holds " + std::to_string(fw::Len(shown)) + " characters, not the " +
                         std::to_string(expected.styles.size()) + " of the text less its tags");
    if (IsPlainUtf8(input)) {
        std::string lines = expected.text;
        std::replace(lines.begin(), lines.end(), '\n', '\r');
        KIVRA_FUZZ_CHECK(shown == lines, "the field's text is not the text less its tags");
    }
    KIVRA_FUZZ_CHECK(field->SelLength() == 0 && field->ScrollPosition() == 0, "the field is left scrolled or selected");

    const std::size_t checked = std::min<std::size_t>(expected.styles.size(), 256);
    for (std::size_t i = 0; i < checked; ++i) {
        // A line end shows no style of its own.
        if (expected.styles[i].lineEnd) continue;
        field->SelStart(static_cast<Int32>(i));
        field->SelLength(1);
        const Style& want = expected.styles[i];
        KIVRA_FUZZ_CHECK(field->SelBold() == want.bold, "a character is bold where the tags say otherwise");
        KIVRA_FUZZ_CHECK(field->SelItalic() == want.italic, "a character is italic where the tags say otherwise");
        KIVRA_FUZZ_CHECK(field->SelTextSize() == want.size, "a character has another size than the tags give");
    }
    kivra::fuzz::CheckNoUnhandledException();
    return 0;
}
