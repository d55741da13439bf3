#pragma once

#include <QStringList>
#include <QtTest>
#include <array>
#include <utility>

// Data tables one row to a line: typed columns named once in order
// (Cols<QString, int>({"mac", "rule"})), a row's values in column order, and
// a column's value in the running test.
template <typename... T, std::size_t... I>
void ColsAt(const char* const* names, std::index_sequence<I...>) {
    (QTest::addColumn<T>(names[I]), ...);
}
template <typename... T>
void Cols(const std::array<const char*, sizeof...(T)>& names) {
    ColsAt<T...>(names.data(), std::index_sequence_for<T...>{});
}

using L = QStringList;

template <typename... Values>
void Row(const char* name, const Values&... values) {
    (QTest::newRow(name) << ... << values);
}

template <typename T = QString>
T Cell(const char* column) {
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}
