#pragma once

#include "storage/prompter.h"

class QWidget;

namespace rv {

// Message boxes and file dialogs of the program, shown with QMessageBox and QFileDialog.
class QtPrompter : public Prompter {
public:
    MsgButton ask(const QString& text, MsgButtons buttons, MsgIcon icon) override;
    QString saveFileName(const QString& caption, const QString& suggested, const QString& filter) override;
    QString openFileName(const QString& caption, const QString& filter) override;
};

} // namespace rv
