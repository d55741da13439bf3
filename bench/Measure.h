#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Wall-clock microseconds since the epoch: the clock a program's first-paint
// report uses, so a parent can compare it with the moment it started the child.
qint64 WallClockMicros();

double Median(QList<double> values);

// Milliseconds one call of the function takes, measured `runs` times; the median.
double MedianMs(int runs, const std::function<void()>& call);

// A figure with one decimal ("12.3").
QString Fixed(double value, int decimals = 1);

// A table printed in Markdown form, so it can be pasted into the README as it is.
class Table {
public:
    Table(QString title, QStringList header);
    void add(const QStringList& row);
    void print() const;

private:
    QString title_;
    QStringList header_;
    QList<QStringList> rows_;
};

// The folder holding this benchmark's sibling programs.
QString BenchDir();
