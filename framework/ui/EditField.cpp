#include "framework/ui/EditField.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "framework/ui/Window.h"
#include "framework/ui/detail/EditFieldWidget.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

namespace {

// The size the program set, kept beside the shown pixel size: a size of 0 or
// less shows in the system's size but must read back as set.
constexpr int kSizeProperty = QTextFormat::UserProperty + 1;
// Sizes beyond this would make the text layout allocate without bound.
constexpr Int32 kLargestShownSize = 512;

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// UTF-8 to UTF-16 with the string functions' idea of a character: a byte that
// starts no well-formed sequence is one character (shown as U+FFFD). CR and LF
// each end a line, one character apiece.
QString ToFieldText(const std::string& s) {
    QString out;
    out.reserve(static_cast<qsizetype>(s.size()));
    const std::size_t n = s.size();
    const auto at = [&](std::size_t i) -> unsigned char { return i < n ? static_cast<unsigned char>(s[i]) : 0; };
    for (std::size_t i = 0; i < n;) {
        const unsigned char lead = at(i);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF && IsContinuation(at(i + 1))) {
            cp = static_cast<char32_t>(((lead & 0x1F) << 6) | (at(i + 1) & 0x3F));
            len = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80, hi = lead == 0xED ? 0x9F : 0xBF;
            if (at(i + 1) >= lo && at(i + 1) <= hi && IsContinuation(at(i + 2))) {
                cp = static_cast<char32_t>(((lead & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F));
                len = 3;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80, hi = lead == 0xF4 ? 0x8F : 0xBF;
            if (at(i + 1) >= lo && at(i + 1) <= hi && IsContinuation(at(i + 2)) && IsContinuation(at(i + 3))) {
                cp = static_cast<char32_t>(((lead & 0x07) << 18) | ((at(i + 1) & 0x3F) << 12) |
                                           ((at(i + 2) & 0x3F) << 6) | (at(i + 3) & 0x3F));
                len = 4;
            }
        }
        i += len;
        if (cp == '\r' || cp == '\n') {
            out.append(QChar(QChar::ParagraphSeparator));
        } else if (cp > 0xFFFF) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(static_cast<char16_t>(cp)));
        }
    }
    return out;
}

std::string FromFieldText(QString text) {
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\r');
    }
    return text.toStdString();
}

}  // namespace

namespace {

// The styles a character shows: its own where it has one, else the field's.
struct Style {
    bool bold;
    bool italic;
    Int32 size;
};

Style StyleOf(const QTextCharFormat& format, const EditField& field) {
    return Style{format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold : field.Bold(),
                 format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : field.Italic(),
                 format.hasProperty(kSizeProperty) ? format.intProperty(kSizeProperty) : field.TextSize()};
}

// Calls f, in the order of the text, with the format of every run of
// characters in [from, to) until f gives false. A line end is a character of
// its own: its format is the one the next block reports.
void ForEachFormat(const QTextDocument& doc, int from, int to, const std::function<bool(const QTextCharFormat&)>& f) {
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position(), end = start + fragment.length();
            if (end <= from) continue;
            if (start >= to) return;
            if (!f(fragment.charFormat())) return;
        }
        const int lineEnd = block.position() + block.length() - 1;
        const QTextBlock next = block.next();
        if (lineEnd >= to || !next.isValid()) return;
        if (lineEnd >= from && !f(next.charFormat())) return;
    }
}

QTextCharFormat FirstFormat(const QTextDocument& doc, int from, int to) {
    QTextCharFormat first;
    bool found = false;
    ForEachFormat(doc, from, to, [&](const QTextCharFormat& format) {
        first = format;
        found = true;
        return false;
    });
    if (found) return first;
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(from);
    return cursor.charFormat();
}

// Whether every character of the selection shows the style, or the one at
// the cursor when nothing is selected.
bool WholeSelection(const detail::EditFieldWidget& field, const EditField& owner, bool Style::*style) {
    const QTextCursor cursor = field.Selection();
    if (!cursor.hasSelection()) return StyleOf(cursor.charFormat(), owner).*style;
    bool all = true;
    ForEachFormat(field.Document(), cursor.selectionStart(), cursor.selectionEnd(), [&](const QTextCharFormat& f) {
        all = StyleOf(f, owner).*style;
        return all;
    });
    return all;
}

}  // namespace

EditField::EditField() = default;
EditField::~EditField() = default;

detail::ControlWidget* EditField::CreateWidget(Window& window) {
    auto* widget = new detail::EditFieldWidget(*this, &window.Widget());
    ApplyLook(*widget);
    return widget;
}

detail::EditFieldWidget& EditField::Field() const {
    auto* widget = static_cast<detail::EditFieldWidget*>(Widget());
    if (!widget) throw NilObjectException();
    return *widget;
}

void EditField::ApplyLook() {
    if (auto* widget = static_cast<detail::EditFieldWidget*>(Widget())) ApplyLook(*widget);
}

void EditField::ApplyLook(detail::EditFieldWidget& widget) {
    QTextEdit& edit = widget.Edit();
    QFont font = QApplication::font();
    if (mStyle.font != "System" && !mStyle.font.empty()) font.setFamily(QString::fromStdString(mStyle.font));
    // Pixels, as for labels and buttons, so that sizes compare across controls.
    if (mStyle.size > 0) font.setPixelSize(std::min(mStyle.size, kLargestShownSize));
    font.setBold(mStyle.bold);
    font.setItalic(mStyle.italic);
    font.setUnderline(mStyle.underline);
    edit.setFont(font);

    QPalette palette = edit.palette();
    palette.setColor(QPalette::Text, QColor::fromRgb(mTextColor.Integer()));
    palette.setColor(QPalette::Base, QColor::fromRgb(mBackColor.Integer()));
    edit.setPalette(palette);

    edit.setFrameShape(mBorder ? QFrame::StyledPanel : QFrame::NoFrame);
    edit.setReadOnly(mReadOnly);
    edit.setTabChangesFocus(!mAcceptTabs);
    edit.setLineWrapMode(mMultiline ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    edit.setVerticalScrollBarPolicy(mMultiline && mScrollbarVertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(mScrollbarHorizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);

    QTextOption option = widget.Document().defaultTextOption();
    option.setAlignment(mAlignment == 1 ? Qt::AlignHCenter : mAlignment == 2 ? Qt::AlignRight : Qt::AlignLeft);
    widget.Document().setDefaultTextOption(option);
}

std::string EditField::Text() const { return FromFieldText(Field().Document().toRawText()); }

void EditField::Text(const std::string& text) {
    auto& field = Field();
    field.Flush();
    QTextDocument& doc = field.Document();
    // A new text is no step the user could undo.
    doc.setUndoRedoEnabled(false);
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.insertText(ToFieldText(text));
    doc.setUndoRedoEnabled(true);
    field.ContentReplaced();
    QTextCursor start(&doc);
    field.Edit().setTextCursor(start);
}

Int32 EditField::SelStart() const {
    const auto& field = Field();
    return field.ToCharacter(field.Selection().selectionStart());
}

void EditField::SelStart(Int32 start) {
    auto& field = Field();
    QTextCursor cursor = field.Selection();
    cursor.setPosition(start < 0 ? 0 : field.ToPosition(start));
    field.Select(cursor);
}

Int32 EditField::SelLength() const {
    const auto& field = Field();
    const QTextCursor cursor = field.Selection();
    return field.ToCharacter(cursor.selectionEnd()) - field.ToCharacter(cursor.selectionStart());
}

void EditField::SelLength(Int32 length) {
    auto& field = Field();
    QTextCursor cursor = field.Selection();
    const int anchor = cursor.selectionStart();
    const Int32 first = field.ToCharacter(anchor);
    const Int32 last = static_cast<Int32>(
        std::min<long long>(static_cast<long long>(first) + std::max<Int32>(length, 0), field.Length()));
    cursor.setPosition(anchor);
    cursor.setPosition(field.ToPosition(last), QTextCursor::KeepAnchor);
    field.Select(cursor);
}

std::string EditField::SelText() const { return FromFieldText(Field().Selection().selectedText()); }

void EditField::SelText(const std::string& text) {
    auto& field = Field();
    QTextCursor cursor = field.Selection();
    field.Select(cursor);
    cursor.insertText(ToFieldText(text));
    field.ContentReplaced();
    field.Select(cursor);
}

namespace {

// A style change applies to the selection, or in a field that is not styled
// to the whole text; with no selection, to what is typed at the insertion point.
void MergeStyle(detail::EditFieldWidget& field, bool styled, const QTextCharFormat& format) {
    QTextCursor selection = field.Selection();
    field.Select(selection);
    QTextCursor cursor = selection;
    if (!styled) {
        cursor = QTextCursor(&field.Document());
        cursor.select(QTextCursor::Document);
    }
    field.Format([&] { cursor.mergeCharFormat(format); });
    field.Select(selection);
}

}  // namespace

bool EditField::SelBold() const { return WholeSelection(Field(), *this, &Style::bold); }

void EditField::SelBold(bool bold) {
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    MergeStyle(Field(), mStyled, format);
}

bool EditField::SelItalic() const { return WholeSelection(Field(), *this, &Style::italic); }

void EditField::SelItalic(bool italic) {
    QTextCharFormat format;
    format.setFontItalic(italic);
    MergeStyle(Field(), mStyled, format);
}

Int32 EditField::SelTextSize() const {
    const auto& field = Field();
    const QTextCursor cursor = field.Selection();
    if (!cursor.hasSelection()) return StyleOf(cursor.charFormat(), *this).size;
    return StyleOf(FirstFormat(field.Document(), cursor.selectionStart(), cursor.selectionEnd()), *this).size;
}

void EditField::SelTextSize(Int32 size) {
    QTextCharFormat format;
    format.setProperty(kSizeProperty, size);
    const int shown = size > 0 ? std::min(size, kLargestShownSize) : QFontInfo(QApplication::font()).pixelSize();
    format.setProperty(QTextFormat::FontPixelSize, shown > 0 ? shown : 12);
    MergeStyle(Field(), mStyled, format);
}

Int32 EditField::ScrollPosition() const {
    auto& field = Field();
    field.Flush();
    const QTextEdit& edit = field.Edit();
    // The line whose top pixel row is the first one shown.
    const qreal y = edit.verticalScrollBar()->value() + 0.5;
    const int position =
        field.Document().documentLayout()->hitTest(QPointF(field.Document().documentMargin(), y), Qt::FuzzyHit);
    return position < 0 ? 0 : field.Document().findBlock(position).blockNumber();
}

void EditField::ScrollPosition(Int32 line) {
    auto& field = Field();
    field.Flush();
    QTextDocument& doc = field.Document();
    const QTextBlock block = doc.findBlockByNumber(std::clamp(line, 0, std::max(doc.blockCount() - 1, 0)));
    // The first line goes to the very top, with the document's margin above it.
    const qreal top =
        block.isValid() && block.blockNumber() > 0 ? doc.documentLayout()->blockBoundingRect(block).top() : 0;
    field.Edit().verticalScrollBar()->setValue(static_cast<int>(std::ceil(top)));
}

void EditField::ReadOnly(bool readOnly) {
    mReadOnly = readOnly;
    ApplyLook();
}

void EditField::Multiline(bool multiline) {
    mMultiline = multiline;
    ApplyLook();
}

void EditField::Styled(bool styled) { mStyled = styled; }

const PropertyTable<EditField>& EditField::Properties() {
    using E = EditField;
    static const PropertyTable<EditField> table =
        PropertyTable<EditField>()
            .TakesString("Text", [](E& e, const std::string& v) { e.Text(v); })
            .TakesInt32("Alignment", [](E& e, Int32 v) { e.mAlignment = v; })
            .TakesColor("TextColor", [](E& e, Color v) { e.mTextColor = v; })
            .TakesColor("BackColor", [](E& e, Color v) { e.mBackColor = v; })
            .TakesBoolean("Border", [](E& e, bool v) { e.mBorder = v; })
            .TakesBoolean("Multiline", [](E& e, bool v) { e.mMultiline = v; })
            .TakesBoolean("ScrollbarHorizontal", [](E& e, bool v) { e.mScrollbarHorizontal = v; })
            .TakesBoolean("ScrollbarVertical", [](E& e, bool v) { e.mScrollbarVertical = v; })
            .TakesBoolean("Styled", [](E& e, bool v) { e.mStyled = v; })
            .TakesBoolean("ReadOnly", [](E& e, bool v) { e.mReadOnly = v; })
            .TakesBoolean("AcceptTabs", [](E& e, bool v) { e.mAcceptTabs = v; })
            // What the field cannot do is accepted only as "not wanted".
            .TakesBoolean("Password",
                          [](E&, bool v) {
                              if (v) throw PropertyError("EditField cannot hide its text");
                          })
            .TakesString("Format",
                         [](E&, const std::string& v) {
                             if (!v.empty()) throw PropertyError("EditField has no Format");
                         })
            .TakesString("Mask",
                         [](E&, const std::string& v) {
                             if (!v.empty()) throw PropertyError("EditField has no Mask");
                         })
            .TakesInt32("LimitText", [](E&, Int32 v) {
                if (v != 0) throw PropertyError("EditField has no text limit");
            });
    return table;
}

void EditField::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value) && !mStyle.Take(name, value)) {
        RectControl::SetProperty(name, value);
        return;
    }
    ApplyLook();
}

}  // namespace kivra::framework
