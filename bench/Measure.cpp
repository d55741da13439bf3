#include "Measure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <chrono>

qint64 WallClockMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double Median(QList<double> values) {
    if (values.isEmpty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const qsizetype mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double MedianMs(int runs, const std::function<void()>& call) {
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        call();
        times << timer.nsecsElapsed() / 1e6;
    }
    return Median(times);
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

Table::Table(QString title, QStringList header)
    : title_(std::move(title)), header_(std::move(header)) {}

void Table::add(const QStringList& row) {
    rows_ << row;
}

void Table::print() const {
    QList<qsizetype> widths;
    for (const QString& cell : header_) {
        widths << cell.size();
    }
    for (const QStringList& row : rows_) {
        for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    QTextStream out(stdout);
    auto line = [&](const QStringList& cells) {
        out << '|';
        for (qsizetype i = 0; i < widths.size(); ++i) {
            out << ' ' << cells.value(i).leftJustified(widths[i]) << " |";
        }
        out << '\n';
    };
    out << "\n### " << title_ << "\n\n";
    line(header_);
    QStringList rule;
    for (qsizetype w : widths) {
        rule << QString(w, QLatin1Char('-'));
    }
    line(rule);
    for (const QStringList& row : rows_) {
        line(row);
    }
    out.flush();
}

QString BenchDir() {
    return QCoreApplication::applicationDirPath();
}
