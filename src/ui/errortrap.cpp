#include "errortrap.h"

#include "model/errorlog.h"
#include "storage/records.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QCoreApplication>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString unknownErrorText(int number, const QString& description) {
    return u"Ismeretlen hiba!\r\n\r\nHibakód: "_s + QString::number(number) + u"\r\n"_s + description +
           u"\r\n\r\nKérem küldje el a hibanaplót a számomra (error.log)\r\n"
           u" e-mailben, hogy a hibát minél előbb elháríthassam."_s;
}

bool runTrapped(AppState& state, const QString& location, const std::function<void()>& handler) {
    int number = 0;
    QString description;
    QString detail; // the library's own (English) words: for the log, not the user
    const QString saved = state.errorLocation;
    state.errorLocation = location;
    try {
        handler();
        state.errorLocation = saved;
        return true;
    } catch (const RuntimeError& e) {
        number = e.number();
        description = e.description();
    } catch (const FormatError& e) {
        number = 62;
        description = e.message();
    } catch (const std::bad_alloc&) {
        number = 7;
        description = u"Kevés a memória."_s;
    } catch (const std::exception& e) {
        number = 51;
        description = u"Váratlan belső programhiba."_s;
        detail = QString::fromLocal8Bit(e.what());
    }
    logCaught(state, number, detail.isEmpty() ? description : description + u" ("_s + detail + u')');
    if (state.prompter)
        state.prompter->ask(unknownErrorText(number, description), Ok, MsgIcon::Critical);
    if (state.terminate)
        state.terminate(1);
    else
        QCoreApplication::exit(1);
    return false;
}

} // namespace rv
