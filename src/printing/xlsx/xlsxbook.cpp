#include "xlsxbook.h"

#include "storage/fileio.h"
#include "storage/fieldtext.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <ctime>
#include <string>

#ifndef _WIN32
#include <locale.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

constexpr int kFormats = 8;

const char* numberFormat(CellFormat f) {
    switch (f) {
    case CellFormat::Text:
        return nullptr;
    case CellFormat::Date:
        return "yyyy.mm.dd.";
    case CellFormat::Month:
        return "yyyy.mm.";
    case CellFormat::Km:
        return "#,##0\" km\"";
    case CellFormat::Forint:
        return "#,##0\" Ft\"";
    case CellFormat::Price:
        return "#,##0\" Ft/l\"";
    case CellFormat::Percent:
        return "0.0%";
    case CellFormat::PricePerKg:
        return "#,##0\" Ft/kg\"";
    }
    return nullptr;
}

// Characters the sheet name may not hold, and its length limit.
QString sheetName(const QString& name) {
    QString n = name;
    for (QChar c : u"[]:*?/\\")
        n.replace(c, u'-');
    n = n.left(31);
    return n.isEmpty() ? u"Munka1"_s : n;
}

// Characters the cell takes as its format shows it: thousands separators and the unit included.
int shownWidth(const SheetCell& cell, CellFormat format) {
    const int plain = int(cellText(cell, format).size());
    if (cell.kind != SheetCell::Kind::Number)
        return plain;
    const int units = format == CellFormat::PricePerKg ? 6 : format == CellFormat::Price ? 5 : format == CellFormat::Km || format == CellFormat::Forint ? 3 : 0;
    return plain + (plain - 1) / 3 + units;
}

// libxlsxwriter prints every number of the XML (cell values, column widths, page margins) with
// the C library's printf, which follows LC_NUMERIC; Qt sets that from the desktop, so a Hungarian
// one would write decimal commas the format does not allow. This thread writes in the C locale
// while the workbook is made.
class CNumbers {
public:
#ifdef _WIN32
    CNumbers() : m_perThread(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        if (const char* now = std::setlocale(LC_NUMERIC, nullptr))
            m_saved = now;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumbers() {
        if (!m_saved.empty())
            std::setlocale(LC_NUMERIC, m_saved.c_str());
        _configthreadlocale(m_perThread);
    }

private:
    int m_perThread;
    std::string m_saved;
#else
    CNumbers() : m_c(newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE))) {
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CNumbers() {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }

private:
    locale_t m_c;
    locale_t m_previous = nullptr;
#endif
public:
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;
};

// The workbook's creation time: SOURCE_DATE_EPOCH when set, so the same table gives the same bytes.
time_t creationTime() {
    bool ok = false;
    const qint64 fixed = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return ok && fixed > 0 ? time_t(fixed) : time_t(QDateTime::currentSecsSinceEpoch());
}

struct Book {
    lxw_workbook* wb = nullptr;
    ~Book() {
        if (wb)
            workbook_close(wb);
    }
};

} // namespace

Result xlsxBytes(const SheetTable& table, QByteArray& out) {
    const Result failed = Result::failure(u"A táblázat nem készíthető el."_s, 75);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return failed;
    const QString path = scratch.filePath(u"munkafuzet.xlsx"_s);
    {
        const CNumbers cNumbers;
        Book book;
        book.wb = workbook_new(QFile::encodeName(path).constData());
        if (!book.wb)
            return failed;
        lxw_doc_properties properties{};
        properties.created = creationTime();
        workbook_set_properties(book.wb, &properties);
        lxw_worksheet* ws = workbook_add_worksheet(book.wb, sheetName(table.name).toUtf8().constData());
        if (!ws)
            return failed;
        // [format][bold]
        std::array<std::array<lxw_format*, 2>, kFormats> formats{};
        for (int f = 0; f < kFormats; ++f)
            for (int bold = 0; bold < 2; ++bold) {
                lxw_format* fmt = workbook_add_format(book.wb);
                if (const char* code = numberFormat(CellFormat(f)))
                    format_set_num_format(fmt, code);
                if (bold)
                    format_set_bold(fmt);
                formats[size_t(f)][size_t(bold)] = fmt;
            }
        lxw_format* header = formats[size_t(CellFormat::Text)][1];

        std::vector<int> widths(size_t(table.columns.size()), 0);
        const auto fit = [&](int col, int width) { widths[size_t(col)] = std::max(widths[size_t(col)], width); };
        for (int c = 0; c < table.columns.size(); ++c) {
            worksheet_write_string(ws, 0, lxw_col_t(c), table.columns[c].header.toUtf8().constData(), header);
            fit(c, int(table.columns[c].header.size()) + 1); // bold
        }
        lxw_row_t r = 1;
        const auto writeRow = [&](const QVector<SheetCell>& cells, int bold) {
            for (int c = 0; c < cells.size() && c < table.columns.size(); ++c) {
                const SheetCell& cell = cells[c];
                const CellFormat format = table.columns[c].format;
                lxw_format* fmt = formats[size_t(format)][size_t(bold)];
                switch (cell.kind) {
                case SheetCell::Kind::Empty:
                    break;
                case SheetCell::Kind::Text:
                    worksheet_write_string(ws, r, lxw_col_t(c), guardSpreadsheetText(cell.text).toUtf8().constData(),
                                           formats[size_t(CellFormat::Text)][size_t(bold)]);
                    break;
                case SheetCell::Kind::Number:
                    worksheet_write_number(ws, r, lxw_col_t(c), cell.number, fmt);
                    break;
                case SheetCell::Kind::Date: {
                    lxw_datetime dt{cell.date.year(), cell.date.month(), cell.date.day(), 0, 0, 0};
                    worksheet_write_datetime(ws, r, lxw_col_t(c), &dt, fmt);
                    break;
                }
                }
                fit(c, shownWidth(cell, format));
            }
            ++r;
        };
        for (const QVector<SheetCell>& row : table.rows)
            writeRow(row, 0);
        for (const QVector<SheetCell>& row : table.totals)
            writeRow(row, 1);
        for (int c = 0; c < table.columns.size(); ++c)
            worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), std::min(widths[size_t(c)] + 2, 60), nullptr);
        worksheet_freeze_panes(ws, 1, 0);

        lxw_workbook* wb = book.wb;
        book.wb = nullptr;
        if (workbook_close(wb) != LXW_NO_ERROR)
            return failed;
    }
    QByteArray bytes;
    if (const Result r = readWholeFile(path, bytes); !r)
        return failed;
    out = std::move(bytes);
    return Result::success();
}

Result saveXlsx(const QString& dataDir, const SheetTable& table, const QString& path) {
    QByteArray bytes;
    if (const Result r = xlsxBytes(table, bytes); !r)
        return r;
    return saveExportFile(dataDir, path, bytes);
}

} // namespace rv
