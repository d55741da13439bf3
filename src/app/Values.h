#pragma once

#include <QString>
#include <QStringList>

// The leading decimal number of a text, as a person reads it: blanks before
// it are skipped, anything after it is ignored, no number gives 0.
double Val(QStringView text);

// Val as a whole number, clamped to the range of the result type.
int ValInt(QStringView text);

// A list value of a node: pieces separated by ",", each wrapped in one
// delimiter character at both ends, which is dropped. A piece shorter than two
// characters gives an empty entry; an empty value no entry.
QStringList SplitOptionList(QStringView value);
