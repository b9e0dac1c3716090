#include "faces.h"

#include <QStringList>

namespace rusena {

void installFaceSubstitutions()
{
    const QString noto = QStringLiteral("Noto Sans CJK JP");
    QFont::insertSubstitutions(QString::fromUtf16(faces::PGothic),
        { QStringLiteral("IPAPGothic"), QStringLiteral("MS PGothic"), noto });
    QFont::insertSubstitutions(QString::fromUtf16(faces::PMincho),
        { QStringLiteral("IPAPMincho"), QStringLiteral("MS PMincho"),
            QStringLiteral("Noto Serif CJK JP"), noto });
    QFont::insertSubstitutions(QString::fromUtf16(faces::Terminal), fixedPitchFaces());
}

QStringList fixedPitchFaces()
{
    // The result text lines up columns of half- and full-width characters, which needs a
    // face whose full-width glyphs are exactly two half-width cells. IPAGothic and Windows'
    // own MS Gothic share those metrics; Noto's mono face is the last resort.
    return { QStringLiteral("IPAGothic"), QStringLiteral("ＭＳ ゴシック"),
        QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP") };
}

QFont designFont(const char16_t *face, qreal pointSize, bool bold)
{
    QFont font(QString::fromUtf16(face));
#ifdef Q_OS_WIN
    // Windows has a bitmap font of this name that holds no Japanese, so a substitution
    // would never be asked for: name the faces outright.
    if (QStringView(face) == QStringView(faces::Terminal))
        font.setFamilies(fixedPitchFaces());
#endif
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    if (QStringView(face) == QStringView(faces::Terminal))
        font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace rusena
