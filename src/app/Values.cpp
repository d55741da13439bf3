#include "Values.h"

#include <cmath>
#include <limits>

double Val(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (text[i].isDigit() && text[i].unicode() < 128) {
            digits = true;
        } else if (text[i] == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0;
    }
    const double value = text.sliced(start, i - start).toDouble();
    return std::isfinite(value) ? value : 0;
}

int ValInt(QStringView text) {
    const double value = std::trunc(Val(text));
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, lo, hi));
}

QStringList SplitOptionList(QStringView value) {
    QStringList pieces;
    if (value.isEmpty()) {
        return pieces;
    }
    for (QStringView piece : value.split(QLatin1Char(','))) {
        pieces.append(piece.size() < 2 ? QString() : piece.sliced(1, piece.size() - 2).toString());
    }
    return pieces;
}
