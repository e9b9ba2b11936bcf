#include "editor/EngineClipboard.h"

#include "editor/Engine.h"
#include "editor/EngineText.h"
#include "editor/PlainTextMime.h"

namespace EngineClipboard {

QString selectedText(const Engine& engine)
{
    const qsizetype from = engine.selectionStart();
    const qsizetype to = engine.selectionEnd();
    if (to <= from)
        return {};
    return EngineText::toEditor(engine.text().sliced(from, to - from));
}

void copy(const Engine& engine)
{
    if (!engine.selectionEmpty())
        offerPlainText(selectedText(engine));
}

void cut(Engine& engine)
{
    if (engine.selectionEmpty())
        return;
    copy(engine);
    engine.replaceSelection("");
}

void paste(Engine& engine, QClipboard::Mode mode)
{
    const QByteArray text = EngineText::toEngine(plainTextOnClipboard(mode));
    if (text.isEmpty())
        return;
    engine.replaceSelection("");
    engine.addText(text);
    engine.scrollCaret();
    engine.chooseCaretX();
}

} // namespace EngineClipboard
