#pragma once

#include <QString>
#include <QStringList>

namespace rv {

enum class MsgIcon { None, Information, Exclamation, Question, Critical };

enum MsgButton : int {
    NoButton = 0,
    Ok = 1 << 0,
    Cancel = 1 << 1,
    Yes = 1 << 2,
    No = 1 << 3,
    Abort = 1 << 4,
    Retry = 1 << 5,
    Ignore = 1 << 6,
    // Not a button: makes No the default, for questions whose Yes destroys.
    DefaultNo = 1 << 8,
};
using MsgButtons = int;

// Every message box and file dialog of the program goes through this, so logic and windows
// can be driven by scripted answers in tests.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text with the given buttons and icon and returns the button pressed. A box closed
    // without a choice answers Cancel when offered, else No, else Ok.
    virtual MsgButton ask(const QString& text, MsgButtons buttons, MsgIcon icon) = 0;
    void inform(const QString& text, MsgIcon icon = MsgIcon::Information) { ask(text, Ok, icon); }

    // File dialogs; an empty result means the user cancelled.
    virtual QString saveFileName(const QString& caption, const QString& suggested, const QString& filter) {
        Q_UNUSED(caption) Q_UNUSED(suggested) Q_UNUSED(filter) return {};
    }
    virtual QString openFileName(const QString& caption, const QString& filter) {
        Q_UNUSED(caption) Q_UNUSED(filter) return {};
    }
};

// Yes/No question with the question icon, the commonest ask.
inline bool askYesNo(Prompter& p, const QString& text) { return p.ask(text, Yes | No, MsgIcon::Question) == Yes; }
// The same with No as the default button.
inline bool askYesDefaultNo(Prompter& p, const QString& text) {
    return p.ask(text, Yes | No | DefaultNo, MsgIcon::Question) == Yes;
}

} // namespace rv
