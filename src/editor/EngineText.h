#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The engine holds the document as UTF-8 with LF between lines; the editor's
// text has CR LF there. These convert between the two.
namespace EngineText {

// The text as the engine holds it: CR LF, a lone CR, a lone LF, U+2028 and
// U+2029 each become LF.
QByteArray toEngine(QStringView text);

// The engine's bytes as editor text: each LF becomes CR LF.
QString toEditor(QByteArrayView engineText);

} // namespace EngineText
