#include "platform/literaltext.h"

#include <QTextDocument>

QString LiteralToolTip(const QString& text)
{
    // Qt shows a tooltip as rich text only when it looks like markup; the others stay as they are.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

QString LiteralCaption(const QString& text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString LiteralTitle(const QString& text)
{
    QString title = text;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}
