#include "ui/gui/qtprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_qtprompter : public QObject {
    Q_OBJECT
private slots:
    // A question asked in the middle of a busy step must not show the hourglass.
    void boxShowsTheNormalPointerOverABusyOne() {
        QtPrompter prompter;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Qt::CursorShape during = Qt::WaitCursor;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            during = QApplication::overrideCursor()->shape();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(prompter.ask(u"Kérdés?"_s, Yes | No, MsgIcon::Question), No);
        QCOMPARE(text, u"Kérdés?"_s);
        QCOMPARE(during, Qt::ArrowCursor);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
    }
    void closedWithoutChoiceAnswersCancelElseNo() {
        QtPrompter prompter;
        auto closeBox = [] {
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget())
                    QTest::keyClick(box, Qt::Key_Escape);
            });
        };
        closeBox();
        QCOMPARE(prompter.ask(u"a"_s, Yes | No | Cancel, MsgIcon::Question), Cancel);
        closeBox();
        QCOMPARE(prompter.ask(u"b"_s, Yes | No, MsgIcon::Question), No);
    }
};

QTEST_MAIN(tst_qtprompter)
#include "tst_qtprompter.moc"
