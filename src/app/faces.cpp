#include "faces.h"

#include <QStringList>

namespace rusena {

void installFaceSubstitutions()
{
    const QString noto = QStringLiteral("Noto Sans CJK JP");
    QFont::insertSubstitutions(QString::fromUtf16(faces::PGothic),
                               {QStringLiteral("IPAPGothic"), noto});
    QFont::insertSubstitutions(QString::fromUtf16(faces::PMincho),
                               {QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP"),
                                noto});
    // The result text lines up columns of half- and full-width characters, which needs a
    // face whose full-width glyphs are exactly two half-width cells.
    QFont::insertSubstitutions(QString::fromUtf16(faces::Terminal),
                               {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
}

QFont designFont(const char16_t *face, qreal pointSize, bool bold)
{
    QFont font(QString::fromUtf16(face));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    if (QStringView(face) == QStringView(faces::Terminal))
        font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace rusena
