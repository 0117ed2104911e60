#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace rv {

// Shown and holding the keyboard, as a window the user has just clicked into.
inline void showActive(QWidget* w) {
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

// The controls Tab visits in a shown window, one round from the focus widget.
inline QList<QWidget*> tabRound(QWidget* window) {
    QList<QWidget*> round;
    QWidget* start = window->focusWidget();
    for (QWidget* w = start; w && !round.contains(w); w = window->focusWidget()) {
        round.append(w);
        QTest::keyClick(w, Qt::Key_Tab);
    }
    return round;
}

// Where Tab goes against the screen: a control that is neither on the row of the one before it
// and right of it, nor below it. A round may wrap once, from the last control to the first.
inline QStringList tabStepsAgainstTheScreen(QWidget* window) {
    const QList<QWidget*> round = tabRound(window);
    auto rect = [&](QWidget* w) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); };
    QStringList wrong;
    int wraps = 0;
    for (qsizetype i = 0; i < round.size(); ++i) {
        QWidget *a = round[i], *b = round[(i + 1) % round.size()];
        const QRect ra = rect(a), rb = rect(b);
        const bool sameRow = rb.top() < ra.bottom() && ra.top() < rb.bottom();
        const bool inOrder = sameRow ? rb.left() > ra.left() : rb.top() >= ra.top();
        if (!inOrder && ++wraps > 1)
            wrong << a->objectName() + QStringLiteral(" -> ") + b->objectName();
    }
    return wrong;
}

} // namespace rv
