#include "support/FakeEditorControl.h"

#include "platform/LineBreaks.h"

#include <algorithm>

FakeEditorControl::FakeEditorControl(FontChoice base)
    : base_(std::move(base))
{
}

QString FakeEditorControl::documentText() const
{
    return QString(text_).replace(u'\n', QStringLiteral("\r\n"));
}

void FakeEditorControl::setDocumentText(const QString& text)
{
    text_ = LineBreaks::withLineBreaks(text, u"\n");
    formats_.assign(size_t(text_.size()), base_);
    start_ = length_ = 0;
    chosen_.reset();
    modified_ = false;
}

bool FakeEditorControl::loadDocument(qsizetype size, const Utf8Pieces& pieces)
{
    QByteArray bytes;
    bytes.reserve(size);
    if (!pieces([&bytes](QByteArrayView piece) { bytes += piece; }) || noMemory)
        return false;
    setDocumentText(QString::fromUtf8(bytes));
    return true;
}

QByteArrayView FakeEditorControl::documentUtf8() const
{
    utf8_ = text_.toUtf8();
    return utf8_;
}

void FakeEditorControl::setSelectionStart(int position)
{
    start_ = std::clamp(position, 0, endPosition());
    length_ = 0;
}

void FakeEditorControl::setSelectionLength(int length)
{
    length_ = std::clamp(length, 0, endPosition() - start_);
}

QString FakeEditorControl::selectedText() const
{
    return text_.mid(start_, length_).replace(u'\n', QStringLiteral("\r\n"));
}

void FakeEditorControl::setSelectedText(const QString& text)
{
    const QString inserted = LineBreaks::withLineBreaks(text, u"\n");
    modified_ = modified_ || length_ > 0 || !inserted.isEmpty();
    text_.remove(start_, length_);
    formats_.erase(formats_.begin() + start_, formats_.begin() + start_ + length_);
    length_ = 0;
    const FontChoice format = formatForInsertionAt(start_);
    text_.insert(start_, inserted);
    formats_.insert(formats_.begin() + start_, size_t(inserted.size()), format);
    if (chosen_ && chosenAt_ == start_)
        chosenAt_ += int(inserted.size());
    start_ += int(inserted.size());
}

FontChoice FakeEditorControl::formatForInsertionAt(int position) const
{
    if (chosen_ && chosenAt_ == position)
        return *chosen_;
    if (position > 0 && !isLineBreak(position - 1))
        return formats_[size_t(position - 1)];
    if (position < endPosition() && !isLineBreak(position))
        return formats_[size_t(position)];
    return position > 0 ? formats_[size_t(position - 1)] : base_;
}

SelectionFormat FakeEditorControl::selectionFormat() const
{
    std::optional<SelectionFormat> shared;
    for (int at = start_; at < start_ + length_; ++at) {
        if (isLineBreak(at))
            continue;
        const SelectionFormat one = SelectionFormat::of(formats_[size_t(at)]);
        if (!shared) {
            shared = one;
            continue;
        }
        shared->keepShared(one);
    }
    return shared.value_or(SelectionFormat::of(formatForInsertionAt(start_)));
}

EditorControl::FormatResult FakeEditorControl::changeSelectionFormat(const SelectionFormat& change)
{
    if (full)
        return FormatResult::NoRoom;
    if (length_ == 0) {
        FontChoice format = formatForInsertionAt(start_);
        change.applyTo(format);
        chosen_ = format;
        chosenAt_ = start_;
        return FormatResult::Written;
    }
    const QStringView selected = QStringView(text_).mid(start_, length_);
    if (std::ranges::all_of(selected, [](QChar c) { return c == u'\n'; }))
        return FormatResult::NothingToFormat;
    for (int at = start_; at < start_ + length_; ++at)
        change.applyTo(formats_[size_t(at)]);
    return FormatResult::Written;
}

FontChoice FakeEditorControl::firstSelectedCharacterFont() const
{
    for (int at = start_; at < start_ + length_; ++at) {
        if (!isLineBreak(at))
            return formats_[size_t(at)];
    }
    return formatForInsertionAt(start_);
}

std::optional<EditorControl::Range> FakeEditorControl::find(QStringView what, int from) const
{
    const QString needle = LineBreaks::withLineBreaks(what, u"\n");
    const qsizetype found =
        needle.isEmpty() ? -1 : text_.indexOf(needle, std::clamp(from, 0, endPosition()));
    if (found < 0)
        return std::nullopt;
    return Range{int(found), int(needle.size())};
}
