#pragma once

// Input filters shared by the text boxes of every window.

#include <QObject>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;

namespace rv {

struct AppState;

// A numeric text box: on every change of text (typed, pasted or set by the program) a blank
// text is accepted, a numeric text (grouping spaces and a decimal comma as Hungarian writes them)
// is accepted and the caret goes to its end, and any other text is put back to the last accepted
// one; a refused keystroke is told beside the box (refusalText), never dropped unseen.
class NumericFilter : public QObject {
    Q_OBJECT
public:
    // An extra test a numeric text must pass (for example: whole numbers only).
    using Check = std::function<bool(const QString& text)>;

    // The filter is a child of the edit and lives as long as it. The edit's current text counts
    // as accepted when it is blank or passes the test.
    explicit NumericFilter(QLineEdit* edit, Check extra = {});

    QString lastAccepted() const { return m_last; }
    // Whether a blank text counts as accepted (it is by default).
    void setBlankAccepted(bool on) { m_blankAccepted = on; }
    // What the box takes, told when a keystroke is refused ("Ide csak szám írható.").
    void setHint(const QString& hint) { m_hint = hint; }

signals:
    // A text was accepted (blank or numeric).
    void accepted(const QString& text);
    // A change was put back; message is what the user was shown.
    void refused(const QString& message);

private:
    void onChanged(const QString& text);

    QLineEdit* m_edit;
    Check m_extra;
    QString m_last;
    QString m_hint;
    bool m_blankAccepted = true;
    bool m_busy = false;
};

NumericFilter* attachNumericFilter(QLineEdit* edit, NumericFilter::Check extra = {});
// The same for a box that takes whole numbers only, which says so when it refuses.
NumericFilter* attachWholeNumberFilter(QLineEdit* edit, NumericFilter::Check extra = {});

// What a refused change tells: the hint, and what was typed that did not get in
// ("Ide csak szám írható. A(z) „x” nem került be.").
QString refusalText(const QString& hint, const QString& before, const QString& refused);

// A free-text box that may not hold a double quote: whenever one gets in, it is removed (the caret
// stays where it was) and message is shown with the information icon through state.prompter.
// Characters the data files cannot hold are removed the same way, named in the message
// (unstorableTextProblem). Line breaks (of a pasted text) become spaces without a message.
class QuoteFilter : public QObject {
    Q_OBJECT
public:
    enum class Typed {
        Message, // a typed quote is removed with the message like a pasted one
        Silent,  // a typed quote is simply not accepted; only pasted quotes bring the message
    };
    QuoteFilter(QLineEdit* edit, AppState& state, QString message, Typed typed = Typed::Message);

signals:
    // The text after removal, when quotes were removed.
    void removed(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onChanged(const QString& text);

    QLineEdit* m_edit;
    AppState& m_state;
    QString m_message;
    Typed m_typed;
    bool m_busy = false;
};

QuoteFilter* attachQuoteFilter(QLineEdit* edit, AppState& state, const QString& message,
                               QuoteFilter::Typed typed = QuoteFilter::Typed::Message);
// For an editable combo box (its line edit).
QuoteFilter* attachQuoteFilter(QComboBox* combo, AppState& state, const QString& message,
                               QuoteFilter::Typed typed = QuoteFilter::Typed::Message);

// The message for a field: "Az idézőjel (\") " + rest, so quoteMessage(u"sajnos nem megengedett
// a rendszámban."_s) is "Az idézőjel (\") sajnos nem megengedett a rendszámban."
QString quoteMessage(const QString& rest);

} // namespace rv
