#include "common/fonts.h"

#include <QStringList>

namespace pennoro::fonts {

namespace {

QFont withFallbacks(const QStringList& families, qreal pointSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

QFont msGothic(qreal pointSize)
{
    QFont font =
        withFallbacks({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                       QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")},
                      pointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QFont msPGothic(qreal pointSize)
{
    return withFallbacks({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")},
                         pointSize);
}

} // namespace pennoro::fonts
