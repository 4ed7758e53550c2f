#include "app/cell_text_fit.h"

#include <cmath>

namespace veltrano {
namespace {

// The decimal separator and the number of decimals of a plain decimal text, if it is one.
bool SplitDecimal(const QString& text, QChar* sep, int* decimals) {
    int at = -1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == ',' || ch == '.') {
            if (at >= 0)
                return false;
            at = i;
        } else if (!ch.isDigit() && !(i == 0 && (ch == '-' || ch == '+'))) {
            return false;
        }
    }
    if (at < 0)
        return false;
    *sep = text[at];
    *decimals = int(text.size()) - at - 1;
    return true;
}

// Rounded half away from zero at `decimals`, as the window's masks round.
QString Rounded(const QString& text, QChar sep, int decimals) {
    QString plain = text;
    plain.replace(sep, '.');
    const double v = plain.toDouble();
    const double scale = std::pow(10.0, decimals);
    const double r = std::round(v * scale) / scale;
    QString out = QString::number(r, 'f', decimals);
    if (out.startsWith('-') && out.toDouble() == 0)
        out.remove(0, 1);
    out.replace('.', sep);
    return out;
}

}  // namespace

QString FitCellText(const QString& text, int room,
                    const std::function<int(const QString&)>& width) {
    if (width(text) <= room)
        return text;
    QChar sep;
    int decimals = 0;
    if (SplitDecimal(text, &sep, &decimals)) {
        for (int d = decimals - 1; d >= 0; --d) {
            const QString shorter = Rounded(text, sep, d);
            if (width(shorter) <= room)
                return shorter;
        }
    }
    // Cut at the end, keeping as many leading characters as fit.
    const QString ellipsis = QStringLiteral("…");
    QString kept = text;
    while (!kept.isEmpty() && width(kept + ellipsis) > room)
        kept.chop(1);
    return kept + ellipsis;
}

}  // namespace veltrano
