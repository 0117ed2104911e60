#pragma once

#include "storage/fieldtext.h"
#include "storage/prompter.h"
#include "model/grouping.h"

#include <QStringList>
#include <QTextStream>

namespace rv::cli {

// Message boxes as lines of text: a command line has nobody to answer, so a question is taken as
// declined (No, else Cancel) and a notice as read. The texts are kept for the caller as well.
class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(QTextStream& err) : m_err(err) {}

    MsgButton ask(const QString& text, MsgButtons buttons, MsgIcon icon) override {
        Q_UNUSED(icon)
        texts << text;
        m_err << plainText(text) << Qt::endl;
        for (MsgButton b : {No, Cancel, Ok})
            if (buttons & b)
                return b;
        return Ok;
    }

    // Line breaks of a message box become line breaks of the terminal; other control characters
    // from the data files never reach it. Figures lose the grouping the windows show.
    static QString plainText(const QString& text) { return printableText(plainFigures(text)); }

    QStringList texts;

private:
    QTextStream& m_err;
};

} // namespace rv::cli
