#include "cliargs.h"

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {

ParsedArgs parseArgs(const QStringList& args, const QList<OptionDef>& options) {
    ParsedArgs out;
    auto find = [&](const QString& name) -> const OptionDef* {
        for (const OptionDef& o : options)
            if (o.name == name)
                return &o;
        return nullptr;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args[i];
        if (optionsEnded || !word.startsWith(u'-') || word == u"-"_s) {
            out.positional << word;
            continue;
        }
        if (word == u"--"_s) {
            optionsEnded = true;
            continue;
        }
        if (word == u"-h"_s || word == u"--help"_s) {
            out.help = true;
            continue;
        }
        QString name = word;
        QString inlineValue;
        bool hasInline = false;
        const qsizetype eq = word.indexOf(u'=');
        if (word.startsWith(u"--"_s) && eq > 2) {
            name = word.left(eq);
            inlineValue = word.mid(eq + 1);
            hasInline = true;
        }
        const OptionDef* o = find(name);
        if (!o) {
            if (out.error.isEmpty())
                out.error = u"Ismeretlen kapcsoló: %1"_s.arg(name);
            continue;
        }
        if (!o->takesValue) {
            if (hasInline && out.error.isEmpty())
                out.error = u"A(z) %1 kapcsolónak nincs értéke."_s.arg(name);
            out.flags.insert(name);
            continue;
        }
        if (hasInline) {
            out.values.insert(name, inlineValue);
        } else if (i + 1 < args.size()) {
            out.values.insert(name, args[++i]);
        } else if (out.error.isEmpty()) {
            out.error = u"A(z) %1 kapcsoló után hiányzik az érték."_s.arg(name);
        }
    }
    return out;
}

} // namespace rv::cli
