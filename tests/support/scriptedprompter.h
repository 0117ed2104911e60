#pragma once

#include "storage/prompter.h"

#include <QList>
#include <QStringList>
#include <QTest>

#include <deque>

namespace rv {

// Answers message boxes from a script and records every text asked. An unscripted box is
// answered with its first button (Ok, Yes, ...) in the order Ok, Yes, Retry, No, Cancel.
class ScriptedPrompter : public Prompter {
public:
    struct Asked {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
    };

    void answer(MsgButton button) { m_answers.push_back(button); }
    void answerFile(const QString& path) { m_files.push_back(path); }

    MsgButton ask(const QString& text, MsgButtons buttons, MsgIcon icon) override {
        asked.append({text, buttons, icon});
        if (!m_answers.empty())
            return next(m_answers);
        for (MsgButton b : {Ok, Yes, Retry, No, Cancel})
            if (buttons & b)
                return b;
        return Ok;
    }
    QString saveFileName(const QString&, const QString& suggested, const QString&) override {
        suggestedFiles.append(suggested);
        return m_files.empty() ? QString() : next(m_files);
    }

    QString openFileName(const QString&, const QString&) override { return m_files.empty() ? QString() : next(m_files); }

    QStringList texts() const {
        QStringList t;
        for (const Asked& a : asked)
            t << a.text;
        return t;
    }
    QString last() const { return asked.isEmpty() ? QString() : asked.last().text; }
    void clear() { asked.clear(); }

    QList<Asked> asked;
    QStringList suggestedFiles; // what each file dialog offered, folder and name

private:
    template <typename T> static T next(std::deque<T>& script) {
        T first = script.front();
        script.pop_front();
        return first;
    }
    std::deque<MsgButton> m_answers;
    std::deque<QString> m_files;
};

} // namespace rv
