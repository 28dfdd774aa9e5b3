#include "platform/nameorder.h"

#include <QCollator>
#include <QLocale>

namespace {

const QCollator& NameCollator()
{
    static const QCollator collator = [] {
        // The C locale compares code points only; the language-neutral order is English's.
        QCollator made(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale());
        made.setNumericMode(true);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

} // namespace

bool NameLess(const QString& a, const QString& b)
{
    return NameCollator().compare(a, b) < 0;
}
