#pragma once

#include "printing/canvas.h"

#include <QVector>

namespace rv {

// A canvas that keeps every call, for tests and for tools that inspect a layout without
// drawing it. Text is measured as if every character were half an em wide and a line were
// 1.2 em high, so positions that depend on measuring are predictable.
class RecordingCanvas : public Canvas {
public:
    enum class Kind { Text, Line, Box, Bar };

    struct Item {
        Kind kind = Kind::Text;
        int page = 1;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        QString text;
        double fontSize = 0;
        bool bold = false;
        bool underline = false;
        // The room the text was given; the page's width for a text given none.
        double left = 0, right = 0;
    };

    // The height of the printable part of an A4 page of the given width.
    explicit RecordingCanvas(double width = 11000) : m_width(width), m_height(width * 283.3 / 197.3) {}

    double scaleWidth() const override { return m_width; }
    double pageHeight() const { return m_height; }
    void setFontSize(double points) override { m_size = points; }
    double fontSize() const override { return m_size; }
    void setBold(bool on) override { m_bold = on; }
    void setUnderline(bool on) override { m_underline = on; }
    double textWidth(const QString& text) const override { return double(text.size()) * m_size * 10.0; }
    double textHeight() const { return m_size * 24.0; }

    void printText(double x, double y, const QString& text) override { printTextIn(x, y, text, 0, m_width); }
    void printTextIn(double x, double y, const QString& text, double left, double right) override {
        add(Kind::Text, x, y, x + textWidth(text), y + textHeight(), text);
        items.last().left = left;
        items.last().right = right;
        m_currentY = y + textHeight();
    }
    double currentY() const override { return m_currentY; }
    void line(double x1, double y1, double x2, double y2) override { add(Kind::Line, x1, y1, x2, y2); }
    void box(double x1, double y1, double x2, double y2) override { add(Kind::Box, x1, y1, x2, y2); }
    void bar(double x1, double y1, double x2, double y2) override { add(Kind::Bar, x1, y1, x2, y2); }
    void newPage() override { ++m_page; }

    int pages() const { return m_page; }
    bool bold() const { return m_bold; }
    bool underline() const { return m_underline; }

    QVector<Item> items;

    // Items of one kind, on one page (0: every page).
    QVector<Item> all(Kind kind, int page = 0) const {
        QVector<Item> out;
        for (const Item& i : items)
            if (i.kind == kind && (page == 0 || i.page == page))
                out.append(i);
        return out;
    }
    QStringList texts(int page = 0) const {
        QStringList out;
        for (const Item& i : all(Kind::Text, page))
            out.append(i.text);
        return out;
    }
    // The first text that is, starts with or ends with the given text; nullptr when none.
    const Item* text(const QString& exact) const {
        return find([&](const Item& i) { return i.text == exact; });
    }
    const Item* textStarting(const QString& start) const {
        return find([&](const Item& i) { return i.text.startsWith(start); });
    }
    const Item* textEnding(const QString& end) const {
        return find([&](const Item& i) { return i.text.endsWith(end); });
    }
    int count(const QString& exact) const {
        int n = 0;
        for (const Item& i : items)
            if (i.kind == Kind::Text && i.text == exact)
                ++n;
        return n;
    }

private:
    template <typename F>
    const Item* find(F match) const {
        for (const Item& i : items)
            if (i.kind == Kind::Text && match(i))
                return &i;
        return nullptr;
    }
    void add(Kind kind, double x1, double y1, double x2, double y2, const QString& text = {}) {
        items.append(Item{kind, m_page, x1, y1, x2, y2, text, m_size, m_bold, m_underline});
    }

    double m_width;
    double m_height;
    double m_size = 10;
    bool m_bold = false;
    bool m_underline = false;
    double m_currentY = 0;
    int m_page = 1;
};

} // namespace rv
