#include <string>
#include <vector>

#include "framework/ui/EditField.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/Strings.h"
#include "framework/values/Types.h"
#include "windows/AboutWindow.h"

namespace kivra {

using framework::EditField;
using framework::Int32;
using framework::Ref;
using framework::StringEquals;

namespace {

struct Style {
    bool bold;
    bool italic;
    Int32 size;
    bool operator==(const Style&) const = default;
};

struct Run {
    Int32 start;
    Int32 length;
    Style style;
};

// The text without its tags and the styles its characters end up with.
//
// Each tag's style runs from the tag's place to the end of the text, until a
// later tag changes the same attribute; so what follows the latest tag always
// has one style, the one the tags so far have built up. That lets one pass over
// the text find every style without restyling the rest of the text at each tag.
// The "font" tag remembers that current size, the one the text after it has.
struct Markup {
    std::string text;
    std::vector<Run> runs;
};

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// Bytes of the well-formed UTF-8 character at i, or 0 for a byte that starts none.
std::size_t CharacterLength(const std::string& s, std::size_t i) {
    const auto at = [&](std::size_t k) -> unsigned char {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return IsContinuation(at(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80, hi = lead == 0xED ? 0x9F : 0xBF;
        return at(1) >= lo && at(1) <= hi && IsContinuation(at(2)) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80, hi = lead == 0xF4 ? 0x8F : 0xBF;
        return at(1) >= lo && at(1) <= hi && IsContinuation(at(2)) && IsContinuation(at(3)) ? 4 : 0;
    }
    return 0;
}

// The text as the field holds it: a byte that starts no character is shown as
// U+FFFD. Taking tags out of this form can never join the bytes on either side
// of a tag into a character that was not there.
std::string AsFieldCharacters(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharacterLength(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s, i, n);
            i += n;
        }
    }
    return out;
}

Markup ParseTags(const std::string& text, Style style) {
    const std::string source = AsFieldCharacters(text);
    Markup result;
    result.text.reserve(source.size());
    Int32 length = 0;
    Int32 runStart = 0;
    Style runStyle = style;
    Int32 remembered = 0;

    const auto append = [&](std::size_t from, std::size_t to) {
        const std::string piece = source.substr(from, to - from);
        result.text += piece;
        length += framework::Len(piece);
    };
    const auto endRun = [&] {
        if (length > runStart) result.runs.push_back({runStart, length - runStart, runStyle});
        runStart = length;
        runStyle = style;
    };

    std::size_t from = 0;
    for (;;) {
        const std::size_t open = source.find('<', from);
        const std::size_t close = open == std::string::npos ? open : source.find('>', open);
        if (close == std::string::npos) {
            // No tag left, or a "<" that nothing closes: the rest stays as it is.
            append(from, source.size());
            break;
        }
        append(from, open);
        from = close + 1;

        const std::string content = source.substr(open + 1, close - open - 1);
        const std::string name = framework::NthField(content, " ", 1);
        if (StringEquals(name, "b")) {
            style.bold = true;
        } else if (StringEquals(name, "/b")) {
            style.bold = false;
        } else if (StringEquals(name, "i")) {
            style.italic = true;
        } else if (StringEquals(name, "/i")) {
            style.italic = false;
        } else if (StringEquals(name, "font")) {
            const Int32 size = framework::ToInt32(framework::Val(framework::NthField(content, "\"", 2)));
            remembered = style.size;
            style.size = size;
        } else if (StringEquals(name, "/font")) {
            style.size = remembered;
        }
        if (!(style == runStyle)) endRun();
    }
    endRun();
    return result;
}

}  // namespace

void AboutWindow::SetCreditsFieldText(const std::string& text, bool parseTags) {
    Ref<EditField> field = ControlByName("EditAppCredits").As<EditField>();
    if (!field) throw framework::NilObjectException();
    if (!parseTags) {
        field->Text(text);
        return;
    }
    const Style plain{field->Bold(), field->Italic(), field->TextSize()};
    const Markup markup = ParseTags(text, plain);
    field->Text(markup.text);
    for (const Run& run : markup.runs) {
        if (run.style == plain) continue;
        field->SelStart(run.start);
        field->SelLength(run.length);
        if (run.style.bold != plain.bold) field->SelBold(run.style.bold);
        if (run.style.italic != plain.italic) field->SelItalic(run.style.italic);
        if (run.style.size != plain.size) field->SelTextSize(run.style.size);
    }
    field->ScrollPosition(0);
    field->SelStart(-1);
    field->SelLength(0);
}

}  // namespace kivra
