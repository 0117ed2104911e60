#include "ui/gui/windowparts.h"

#include "model/statefiles.h"
#include "model/state.h"
#include "ui/gui/navigation.h"
#include "storage/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace rv {

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

void PathLabel::setPath(const QString& caption, const QString& path) {
    m_caption = caption;
    m_path = path;
    setToolTip(caption + path);
    fit();
    updateGeometry();
}

QSize PathLabel::minimumSizeHint() const {
    const QSize whole = QLabel::minimumSizeHint();
    return {std::min(whole.width(), fontMetrics().horizontalAdvance(m_caption) + fontMetrics().averageCharWidth() * 8),
            whole.height()};
}

QSize PathLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(m_caption + m_path) + m.left() + m.right() + 2 * margin() + 4,
            QLabel::sizeHint().height()};
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void PathLabel::fit() {
    const int room = contentsRect().width() - 2 * margin() - fontMetrics().horizontalAdvance(m_caption);
    QLabel::setText(m_caption + fontMetrics().elidedText(m_path, Qt::ElideMiddle, std::max(room, 0)));
}

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

DialogButtons dialogButtons(QDialog* dialog, bool withHelp) {
    DialogButtons b;
    b.box = new QDialogButtonBox(dialog);
    b.ok = namedButton(dialog, u"cmdOK"_s, u"&OK"_s);
    b.ok->setDefault(true);
    b.cancel = namedButton(dialog, u"cmdMegsem"_s, u"&Mégsem"_s);
    b.box->addButton(b.ok, QDialogButtonBox::AcceptRole);
    b.box->addButton(b.cancel, QDialogButtonBox::RejectRole);
    if (withHelp) {
        b.help = namedButton(dialog, u"cmdSugo"_s, u"&Súgó"_s);
        b.box->addButton(b.help, QDialogButtonBox::HelpRole);
    }
    QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return b;
}

QString withFreeMnemonic(const QString& text, QString& taken) {
    for (const bool plainOnly : {true, false}) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i].toLower();
            if (!c.isLetter() || (plainOnly && c.unicode() > 127) || taken.contains(c))
                continue;
            taken += c;
            QString out = text;
            out.replace(u'&', u"&&"_s);
            return out.insert(i + text.left(i).count(u'&'), u'&');
        }
    }
    return QString(text).replace(u'&', u"&&"_s);
}

void showReadOnly(QWidget* window, const AppState& state, std::initializer_list<const char16_t*> editingControls) {
    if (!state.readOnly())
        return;
    const QString mark = u" – Csak olvasható: "_s;
    QString title = window->windowTitle();
    if (const qsizetype at = title.indexOf(mark); at >= 0)
        title.truncate(at);
    window->setWindowTitle(title + mark + state.readOnlyBy);
    for (const char16_t* name : editingControls)
        for (QWidget* w : window->findChildren<QWidget*>(QString::fromUtf16(name)))
            w->setEnabled(false);
}

namespace {
// The button's tooltip (its caption when it has none) with the keys after it.
void tellKeys(QAbstractButton* button, const QList<QKeySequence>& keys) {
    QString caption = button->toolTip();
    if (caption.isEmpty()) {
        caption = button->text();
        caption.remove(QRegularExpression(u"&(?!&)"_s));
    }
    button->setToolTip(withKeys(caption, keys));
}
} // namespace

void helpKey(QWidget* window, int context, QAbstractButton* helpButton) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window, [window, context] { showHelp(window, context); });
    if (helpButton)
        tellKeys(helpButton, {QKeySequence(Qt::Key_F1)});
}

QString withKeys(const QString& tip, const QList<QKeySequence>& keys) {
    QStringList names;
    for (const QKeySequence& k : keys)
        names << k.toString(QKeySequence::PortableText);
    return (tip.isEmpty() ? QString() : tip + u' ') + u'(' + names.join(u", "_s) + u')';
}

void buttonKeys(QWidget* window, QAbstractButton* button, const QList<QKeySequence>& keys) {
    for (const QKeySequence& k : keys) {
        auto* key = new QShortcut(k, window);
        QObject::connect(key, &QShortcut::activated, button, [button] {
            if (button->isEnabled() && button->isVisible())
                button->click();
        });
    }
    tellKeys(button, keys);
}

void closeKeys(QWidget* window, QAbstractButton* closer) {
    const QList<QKeySequence> keys{QKeySequence(u"Ctrl+W"_s), QKeySequence(Qt::Key_Escape)};
    if (closer) {
        buttonKeys(window, closer, keys);
        return;
    }
    for (const QKeySequence& k : keys)
        QObject::connect(new QShortcut(k, window), &QShortcut::activated, window, &QWidget::close);
}

void tabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* before = nullptr;
    for (QWidget* w : controls) {
        if (before)
            QWidget::setTabOrder(before, w);
        before = w;
    }
}

void flashStatus(QLabel* label, const QString& text, const std::function<void()>& changed) {
    static const char* const kBefore = "rovantaStatusBefore";
    if (!label->property(kBefore).isValid())
        label->setProperty(kBefore, label->text());
    label->setText(text);
    if (changed)
        changed();
    QTimer::singleShot(kStatusMilliseconds, label, [label, text, changed] {
        if (label->text() != text)
            return;
        label->setText(label->property(kBefore).toString());
        label->setProperty(kBefore, QVariant());
        if (changed)
            changed();
    });
}

BusyWindow::BusyWindow(QWidget* window) : m_window(window) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_window->setEnabled(false);
}

BusyWindow::~BusyWindow() {
    m_window->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void setUpCityCombo(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    combo->completer()->setCompletionMode(QCompleter::InlineCompletion);
    combo->completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

void fillCityCombo(QComboBox* combo, const QStringList& cities) {
    const QString typed = combo->currentText();
    combo->clear();
    combo->addItems(cities);
    combo->setCurrentIndex(-1);
    combo->setEditText(typed);
}

Result loadCitiesOnDemand(AppState& state) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result r = LoadCities(state, {}, [](int done) {
        if (done % 200 == 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    QApplication::restoreOverrideCursor();
    if (!r && state.prompter)
        state.prompter->inform(u"A városok listája nem tölthető be.\r\n\r\n"_s + r.message(), MsgIcon::Exclamation);
    return r;
}

} // namespace rv
