#pragma once

// Framework-internal: the widget of an EditField.

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <functional>
#include <vector>

#include "framework/ui/detail/ControlWidget.h"
#include "framework/values/Types.h"

namespace kivra::framework {
class EditField;
}

namespace kivra::framework::detail {

// The field's native side: a QTextEdit filling the control, and the mapping
// between the field's character positions and the document's UTF-16 ones.
class EditFieldWidget : public ControlWidget {
public:
    EditFieldWidget(EditField& owner, QWidget* parent);

    QTextEdit& Edit() const { return *mEdit; }
    QTextDocument& Document() const { return *mEdit->document(); }

    // Characters in the document, the final block's end not counted.
    int DocumentLength() const { return Document().characterCount() - 1; }
    int Length() const;
    int ToPosition(Int32 character) const;
    Int32 ToCharacter(int position) const;
    void ContentReplaced() { mAstralValid = false; }

    // Changes the program makes in a row (a selection, a style, another
    // selection...) are gathered into one edit of the document, laid out and
    // shown once when the event loop next runs: laying the text out again
    // after every step would make a run of styles cost the square of the text.
    QTextCursor Selection() const { return mPending ? mCursor : mEdit->textCursor(); }
    void Select(const QTextCursor& cursor);
    // Ends the gathered edit: the text is laid out and the selection shown.
    void Flush();

    // Style changes do not move characters: they keep the position mapping.
    void Format(const std::function<void()>& change);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void EnsureAstral() const;

    QTextEdit* mEdit;
    // Document positions of the surrogate pairs, ascending.
    mutable std::vector<int> mAstral;
    mutable bool mAstralValid = false;
    bool mFormatting = false;
    bool mPending = false;
    QTextCursor mBatch;
    QTextCursor mCursor;
};

}  // namespace kivra::framework::detail
