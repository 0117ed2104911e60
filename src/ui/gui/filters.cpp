#include "ui/gui/filters.h"

#include "storage/numeric.h"
#include "storage/win1250.h"
#include "model/state.h"
#include "storage/fieldtext.h"
#include "storage/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;

namespace rv {

NumericFilter::NumericFilter(QLineEdit* edit, Check extra)
    : QObject(edit), m_edit(edit), m_extra(std::move(extra)) {
    const QString now = edit->text();
    if (now.trimmed().isEmpty() || (isNumeric(now) && (!m_extra || m_extra(now))))
        m_last = now;
    connect(edit, &QLineEdit::textChanged, this, &NumericFilter::onChanged);
}

void NumericFilter::onChanged(const QString& text) {
    if (m_busy)
        return;
    if (text.trimmed().isEmpty() && m_blankAccepted) {
        m_last = text;
        emit accepted(text);
        return;
    }
    if (isNumeric(text) && (!m_extra || m_extra(text))) {
        m_last = text;
        m_edit->setCursorPosition(int(text.size()));
        emit accepted(text);
        return;
    }
    const QString message = refusalText(m_hint.isEmpty() ? u"Ide csak szám írható."_s : m_hint, m_last, text);
    m_busy = true;
    m_edit->setText(m_last);
    m_edit->setCursorPosition(int(m_last.size()));
    m_busy = false;
    // Told where the eye is, without a box that would take the focus from the typing.
    if (m_edit->isVisible()) {
        QApplication::beep();
        QToolTip::showText(m_edit->mapToGlobal(QPoint(0, m_edit->height())), message, m_edit);
    }
    emit refused(message);
}

NumericFilter* attachNumericFilter(QLineEdit* edit, NumericFilter::Check extra) {
    return new NumericFilter(edit, std::move(extra));
}

NumericFilter* attachWholeNumberFilter(QLineEdit* edit, NumericFilter::Check extra) {
    auto* filter = new NumericFilter(edit, std::move(extra));
    filter->setHint(u"Ide csak egész szám írható."_s);
    return filter;
}

QString refusalText(const QString& hint, const QString& before, const QString& refused) {
    // What was typed or pasted is what lies between the common start and the common end.
    qsizetype head = 0;
    while (head < before.size() && head < refused.size() && before[head] == refused[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < refused.size() - head &&
           before[before.size() - 1 - tail] == refused[refused.size() - 1 - tail])
        ++tail;
    const QString typed = refused.mid(head, refused.size() - head - tail).trimmed();
    if (typed.isEmpty())
        return hint;
    return hint + u" A(z) „"_s + typed + u"” nem került be."_s;
}

QuoteFilter::QuoteFilter(QLineEdit* edit, AppState& state, QString message, Typed typed)
    : QObject(edit), m_edit(edit), m_state(state), m_message(std::move(message)), m_typed(typed) {
    connect(edit, &QLineEdit::textChanged, this, &QuoteFilter::onChanged);
    if (m_typed == Typed::Silent)
        edit->installEventFilter(this);
}

bool QuoteFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text().contains(u'"'))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void QuoteFilter::onChanged(const QString& text) {
    if (m_busy)
        return;
    // A pasted line break would end the stored string early; it quietly becomes a space. A
    // character the data files cannot hold is taken out and named, before anything is saved.
    const QString line = oneLine(text);
    const bool quoted = line.contains(u'"');
    const QStringList unstorable = win1250::unencodable(line);
    if (!quoted && unstorable.isEmpty() && line == text)
        return;
    const auto clean = [&](QString t) {
        t.remove(u'"');
        for (const QString& c : unstorable)
            t.remove(c);
        return t;
    };
    const QString head = clean(oneLine(text.left(m_edit->cursorPosition())));
    const QString cleaned = clean(line);
    m_busy = true;
    m_edit->setText(cleaned);
    m_edit->setCursorPosition(int(head.size()));
    m_busy = false;
    if (!quoted && unstorable.isEmpty())
        return;
    emit removed(cleaned);
    if (!m_state.prompter)
        return;
    if (!unstorable.isEmpty())
        m_state.prompter->inform(unstorableTextProblem(line), MsgIcon::Exclamation);
    else
        m_state.prompter->inform(m_message, MsgIcon::Information);
}

QuoteFilter* attachQuoteFilter(QLineEdit* edit, AppState& state, const QString& message, QuoteFilter::Typed typed) {
    return new QuoteFilter(edit, state, message, typed);
}

QuoteFilter* attachQuoteFilter(QComboBox* combo, AppState& state, const QString& message, QuoteFilter::Typed typed) {
    if (!combo->lineEdit())
        combo->setEditable(true);
    return new QuoteFilter(combo->lineEdit(), state, message, typed);
}

QString quoteMessage(const QString& rest) { return u"Az idézőjel (\") "_s + rest; }

} // namespace rv
