// The numeric helpers on any text: the leading-number readers and the
// hexadecimal reader of the QoS class patterns.
#include <algorithm>
#include <cmath>

#include "FuzzCheck.h"
#include "advanced/Loading.h"
#include "app/TextFiles.h"
#include "app/Values.h"

namespace {

bool IsHexDigits(QStringView text) {
    const QString hexDigits = QStringLiteral("0123456789abcdefABCDEF");
    for (QChar c : text) {
        if (!hexDigits.contains(c)) {
            return false;
        }
    }
    return true;
}

void CheckText(QStringView text) {
    const double value = Val(text);
    Require(std::isfinite(value), "Val is a finite number");
    Require(Val(QStringLiteral(" \t") + text.toString()) == value,
            "blanks before the number are skipped");
    const int whole = ValInt(text);
    Require(whole == std::clamp(std::trunc(value), -2147483648.0, 2147483647.0),
            "ValInt is Val without its fraction, within the range of an int");

    const std::optional<qint32> hex = HexToLong(text);
    const bool digits = !text.isEmpty() && text.size() <= 8 && IsHexDigits(text);
    Require(hex.has_value() == digits, "one to eight hexadecimal digits read as a number");
    if (hex) {
        bool ok = false;
        const uint expected = text.toUInt(&ok, 16);
        Require(ok && static_cast<quint32>(*hex) == expected, "the hexadecimal value is right");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As a file's text, and as raw UTF-16 with any code unit a user can paste.
    CheckText(DecodeText(InputBytes(data, size)));
    CheckText(
        QStringView(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}
