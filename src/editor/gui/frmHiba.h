#pragma once

#include <QWidget>

class QListWidget;

namespace rv {

// The error list: one line per fault of the open month, beside the editor.
class frmHiba : public QWidget {
    Q_OBJECT
public:
    explicit frmHiba(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);

    QListWidget* lstHiba;

signals:
    // The window was closed (by its frame or by the program); hiding it is not closing.
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace rv
