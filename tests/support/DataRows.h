#pragma once

#include <QStringList>
#include <QtTest>

// Data tables one row to a line: text columns named once, a row's values in
// column order, and a column's value in the running test.
inline void Columns(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        QTest::addColumn<QString>(name);
    }
}

template <typename... Values>
void Row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

template <typename T = QString>
T Cell(const char* column) {
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

// "A|B|C" as a list; "" as no entry.
inline QStringList Parts(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('|'));
}
