#include "documents/EditorRules.h"

#include "platform/Exception.h"
#include "platform/LocaleText.h"

int DescriptionLineLimit(bool bilingual, bool discount) {
    if (bilingual) return discount ? 27 : 37;
    return discount ? 72 : 84;
}

QStringList WrapDescription(const QString& text, int limit) {
    QStringList out;
    QStringList lines = text.split(u'\n');
    // A final line break makes no line of its own, as in a memo.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.size() <= limit) {
            out << line;
            continue;
        }
        while (line.size() > limit) {
            const QString piece = line.left(limit);
            const qsizetype blank = piece.lastIndexOf(u' ');
            if (blank >= 0) {
                out << piece.left(blank);
                line = line.mid(blank + 1);
            } else {
                out << piece;
                line = line.mid(limit);
            }
        }
        if (!line.isEmpty()) out << line;
    }
    return out;
}
