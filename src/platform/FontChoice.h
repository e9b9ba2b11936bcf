#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The seven character attributes that travel between the editor's selection
// and the font dialog.
struct FontChoice {
    QString name;
    float size = 0;
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
    QColor color = Qt::black;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// The face, size and styles as a QFont; a size of 0 keeps the default size.
QFont toQFont(const FontChoice& choice);
