#pragma once

#include "storage/result.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace rv {

// A line of a small table kept by hand (the NAV prices, the working calendar).
struct TableLine {
    int number = 0; // 1-based, as an editor shows it
    QString text;   // without its line end
};

// The lines that say something: UTF-8 with or without a byte-order mark, CRLF or LF, blank lines
// and lines starting with "#" left out.
QVector<TableLine> tableLines(const QByteArray& data);

// The refusal of a whole table for one line: "<table> (<file>) <n>. sora hibás: <why>" and that
// nothing of it was taken. table: "Az üzemanyagár-táblázat", "A munkarend táblázatának".
Result refusedTableLine(const QString& table, const QString& fileName, int number, const QString& why);

} // namespace rv
