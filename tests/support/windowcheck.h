#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QStringList>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace rv {

// The letter Alt reaches in a caption ("Men&tés" gives 't'); null when there is none.
inline QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// What a user finds wrong with a shown window's keyboard: a box to type in or tick that Alt cannot
// reach, and a letter that reaches two controls.
inline QStringList mnemonicFaults(QWidget* window) {
    QHash<QChar, QStringList> owners;
    QList<QWidget*> reached;
    auto add = [&](const QString& text, const QString& who) { // whether the text has a letter
        const QChar c = mnemonicOf(text);
        if (!c.isNull())
            owners[c] << who;
        return !c.isNull();
    };
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->window() != window || !w->isVisible())
            continue;
        const QString who = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                      : w->objectName();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (add(b->text(), who))
                reached << b;
        } else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) {
            if (add(l->text(), who))
                reached << l->buddy();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            // A group's letter takes the focus to its chosen option: it reaches the options.
            if (add(g->title(), who))
                for (QRadioButton* r : g->findChildren<QRadioButton*>())
                    reached << r;
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < t->count(); ++i)
                add(t->tabText(i), who + QStringLiteral("/") + t->tabText(i));
        } else if (auto* m = qobject_cast<QMenuBar*>(w)) {
            for (QAction* a : m->actions())
                add(a->text(), QStringLiteral("menü ") + a->text());
        }
    }
    QStringList faults;
    for (QWidget* w : widgets) {
        if (w->window() != window || !w->isVisible() || !w->isEnabled())
            continue;
        const bool inside = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<QComboBox*>(w->parentWidget());
        auto* line = qobject_cast<QLineEdit*>(w);
        auto* text = qobject_cast<QTextEdit*>(w);
        auto* plain = qobject_cast<QPlainTextEdit*>(w);
        auto* combo = qobject_cast<QComboBox*>(w);
        const bool typed = (line && !line->isReadOnly() && !inside) || (text && !text->isReadOnly()) ||
                           (plain && !plain->isReadOnly()) || qobject_cast<QAbstractSpinBox*>(w) ||
                           (combo && combo->isEditable());
        const bool ticked = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
        if ((typed || ticked) && !reached.contains(w))
            faults << w->objectName() + QStringLiteral(": no Alt key");
    }
    for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        if (it->size() > 1)
            faults << QStringLiteral("Alt+%1: %2").arg(it.key(), it->join(QStringLiteral(", ")));
    return faults;
}

// Empty when the window, frame included, lies on its screen's available area.
inline QString placementFault(QWidget* window) {
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (area.contains(frame))
        return {};
    return QStringLiteral("%1 at %2,%3 %4x%5, screen %6x%7")
        .arg(window->objectName(), QString::number(frame.x()), QString::number(frame.y()), QString::number(frame.width()),
             QString::number(frame.height()), QString::number(area.width()), QString::number(area.height()));
}

} // namespace rv
