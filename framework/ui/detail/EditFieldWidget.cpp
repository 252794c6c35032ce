#include "framework/ui/detail/EditFieldWidget.h"

#include <QMetaObject>
#include <QResizeEvent>

#include <algorithm>

#include "framework/ui/EditField.h"

namespace kivra::framework::detail {

EditFieldWidget::EditFieldWidget(EditField& owner, QWidget* parent)
    : ControlWidget(owner, parent), mEdit(new QTextEdit(this)) {
    mEdit->setAcceptRichText(false);
    mEdit->setUndoRedoEnabled(true);
    QObject::connect(mEdit->document(), &QTextDocument::contentsChange, mEdit, [this](int, int, int) {
        if (!mFormatting) mAstralValid = false;
    });
}

int EditFieldWidget::Length() const {
    EnsureAstral();
    return DocumentLength() - static_cast<int>(mAstral.size());
}

int EditFieldWidget::ToPosition(Int32 character) const {
    EnsureAstral();
    // The i-th pair starts at character mAstral[i] - i.
    std::size_t lo = 0, hi = mAstral.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (mAstral[mid] - static_cast<int>(mid) < character)
            lo = mid + 1;
        else
            hi = mid;
    }
    return std::clamp(character + static_cast<int>(lo), 0, DocumentLength());
}

Int32 EditFieldWidget::ToCharacter(int position) const {
    EnsureAstral();
    const auto before = std::lower_bound(mAstral.begin(), mAstral.end(), position) - mAstral.begin();
    return position - static_cast<Int32>(before);
}

void EditFieldWidget::Select(const QTextCursor& cursor) {
    if (!mPending) {
        mPending = true;
        mBatch = QTextCursor(&Document());
        mBatch.beginEditBlock();
        QMetaObject::invokeMethod(
            this, [this] { Flush(); }, Qt::QueuedConnection);
    }
    mCursor = cursor;
}

void EditFieldWidget::Flush() {
    if (!mPending) return;
    mPending = false;
    mBatch.endEditBlock();
    mBatch = QTextCursor();
    mEdit->setTextCursor(mCursor);
}

void EditFieldWidget::Format(const std::function<void()>& change) {
    mFormatting = true;
    change();
    mFormatting = false;
}

void EditFieldWidget::resizeEvent(QResizeEvent* event) {
    ControlWidget::resizeEvent(event);
    mEdit->setGeometry(rect());
}

void EditFieldWidget::EnsureAstral() const {
    if (mAstralValid) return;
    mAstral.clear();
    const QString raw = Document().toRawText();
    for (qsizetype i = 0; i + 1 < raw.size(); ++i) {
        if (raw.at(i).isHighSurrogate() && raw.at(i + 1).isLowSurrogate()) {
            mAstral.push_back(static_cast<int>(i));
            ++i;
        }
    }
    mAstralValid = true;
}

}  // namespace kivra::framework::detail
