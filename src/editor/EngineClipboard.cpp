#include "editor/EngineClipboard.h"

#include "editor/EngineText.h"
#include "editor/PlainTextMime.h"

#include <Qsci/qsciscintillabase.h>

namespace EngineClipboard {

namespace {

using Sci = QsciScintillaBase;

long send(const Sci& engine, unsigned int message, long wParam = 0, long lParam = 0)
{
    return engine.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

bool nothingSelected(const Sci& engine) { return send(engine, Sci::SCI_GETSELECTIONEMPTY) != 0; }

} // namespace

QString selectedText(const QsciScintillaBase& engine)
{
    const long from = send(engine, Sci::SCI_GETSELECTIONSTART);
    const long to = send(engine, Sci::SCI_GETSELECTIONEND);
    if (to <= from)
        return {};
    const auto* text =
        static_cast<const char*>(engine.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return EngineText::toEditor(QByteArrayView(text + from, to - from));
}

void copy(const QsciScintillaBase& engine)
{
    if (!nothingSelected(engine))
        offerPlainText(selectedText(engine));
}

void cut(QsciScintillaBase& engine)
{
    if (nothingSelected(engine))
        return;
    copy(engine);
    engine.SendScintilla(Sci::SCI_REPLACESEL, 0UL, "");
}

void paste(QsciScintillaBase& engine, QClipboard::Mode mode)
{
    const QByteArray text = EngineText::toEngine(plainTextOnClipboard(mode));
    if (text.isEmpty())
        return;
    engine.SendScintilla(Sci::SCI_REPLACESEL, 0UL, "");
    engine.SendScintilla(Sci::SCI_ADDTEXT, static_cast<unsigned long>(text.size()),
                         text.constData());
    send(engine, Sci::SCI_SCROLLCARET);
    send(engine, Sci::SCI_CHOOSECARETX);
}

} // namespace EngineClipboard
