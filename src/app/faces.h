#pragma once

#include <QFont>
#include <QStringList>

namespace rusena {

/// The faces the windows are designed in; faces.cpp maps them onto installed fonts.
namespace faces {
inline constexpr char16_t PGothic[] = u"ＭＳ Ｐゴシック";
inline constexpr char16_t PMincho[] = u"ＭＳ Ｐ明朝";
inline constexpr char16_t Terminal[] = u"Terminal";
} // namespace faces

/// Maps the design faces onto the IPA fonts (on Windows its own MS faces, Noto Sans CJK JP
/// when those are missing).
/// Call once, after the application object exists and before any window is built.
void installFaceSubstitutions();

/// The faces, best first, that stand in for the fixed-pitch design face of the race text.
QStringList fixedPitchFaces();

/// A font of a design face at a point size.
QFont designFont(const char16_t *face, qreal pointSize, bool bold = false);

} // namespace rusena
