#include "ui/gui/listkeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace rv {
namespace {

class ListRowKeys : public QObject {
public:
    ListRowKeys(QAbstractItemView* list, std::function<void()> act)
        : QObject(list), m_list(list), m_act(std::move(act)) {
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_list || !m_list->model())
            return false;
        if (event->type() == QEvent::FocusIn) {
            // Qt would only highlight the first row here; choose it instead.
            if (!m_list->currentIndex().isValid())
                choose(firstRow());
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Home:
            choose(firstRow());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!m_list->currentIndex().isValid())
                return false;
            choose(m_list->currentIndex());
            if (!m_act)
                return false;
            m_act();
            return true;
        default: return false;
        }
    }

private:
    QModelIndex firstRow() const { return m_list->model()->index(0, 0, m_list->rootIndex()); }

    void choose(const QModelIndex& index) {
        if (!index.isValid() || !m_list->selectionModel())
            return;
        m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        m_list->scrollTo(index);
    }

    QAbstractItemView* m_list;
    std::function<void()> m_act;
};

} // namespace

void onListRowKeys(QAbstractItemView* list, std::function<void()> act) { new ListRowKeys(list, std::move(act)); }

} // namespace rv
