#pragma once

#include <string>

#include "framework/ui/RectControl.h"
#include "framework/ui/TextStyle.h"
#include "framework/values/Color.h"

namespace kivra::framework {

namespace detail {
class EditFieldWidget;
}

// A text field, optionally multiline and styled. Its text keeps lines apart
// with CR (a LF given to it is taken as a CR). Positions and lengths count
// characters as the string functions do, a CR being one character.
//
// The selection styles read the selected characters: SelBold and SelItalic are
// true when every one of them has the style, SelTextSize is the size of the
// first; an empty selection reads the style at the insertion point. A text size
// of 0 or less shows in the system's size; the size set is what reads back.
class EditField : public RectControl {
public:
    EditField();
    ~EditField() override;

    std::string Text() const;
    // Replaces the whole text; it takes the field's own font, size and style.
    void Text(const std::string& text);

    // A start below 0 clears the selection and puts the insertion point at the
    // beginning; a start past the end goes to the end. Setting SelStart drops
    // the selection's length.
    Int32 SelStart() const;
    void SelStart(Int32 start);
    // Counted from SelStart; cut at the end of the text, below 0 taken as 0.
    Int32 SelLength() const;
    void SelLength(Int32 length);
    std::string SelText() const;
    // Replaces the selected characters; the new ones take the style at the
    // insertion point, and the insertion point ends after them.
    void SelText(const std::string& text);

    // In a field that is not Styled, setting a style changes the whole text.
    bool SelBold() const;
    void SelBold(bool bold);
    bool SelItalic() const;
    void SelItalic(bool italic);
    Int32 SelTextSize() const;
    void SelTextSize(Int32 size);

    // The number of the line (0 the first) shown at the top.
    Int32 ScrollPosition() const;
    void ScrollPosition(Int32 line);

    bool ReadOnly() const { return mReadOnly; }
    void ReadOnly(bool readOnly);
    bool Multiline() const { return mMultiline; }
    void Multiline(bool multiline);
    bool Styled() const { return mStyled; }
    void Styled(bool styled);

    // The field's own style, which a new Text takes.
    Int32 TextSize() const { return mStyle.size; }
    bool Bold() const { return mStyle.bold; }
    bool Italic() const { return mStyle.italic; }
    Int32 Alignment() const { return mAlignment; }

    void SetProperty(const std::string& name, const PropertyValue& value) override;

protected:
    detail::ControlWidget* CreateWidget(Window& window) override;

private:
    static const PropertyTable<EditField>& Properties();
    detail::EditFieldWidget& Field() const;
    void ApplyLook();
    void ApplyLook(detail::EditFieldWidget& widget);

    TextStyle mStyle;
    Int32 mAlignment = 0;
    bool mReadOnly = false, mMultiline = true, mStyled = true, mBorder = true;
    bool mScrollbarHorizontal = false, mScrollbarVertical = true;
    bool mAcceptTabs = false;
    Color mTextColor{0x000000};
    Color mBackColor{0xFFFFFF};
};

}  // namespace kivra::framework
