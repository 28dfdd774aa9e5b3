// Names the user typed shown literally wherever Qt would read them as markup or mnemonics.
#include <gtest/gtest.h>

#include <QAction>
#include <QTextDocument>
#include <QWidget>
#include <QWindow>

#include "platform/literaltext.h"

namespace {

TEST(PlatformLiteralText, NamesShowAsTypedInTooltipsCaptionsAndTitles)
{
    for (const QString& name : {QStringLiteral("<b>Ann</b>"), QStringLiteral("A <i>&amp; B"),
                                QStringLiteral("Tom & Jerry [*]"), QStringLiteral("Plain name")}) {
        // A tooltip that looks like markup is laid out as HTML; its text must still be the name.
        const QString tip = LiteralToolTip(name);
        if (Qt::mightBeRichText(tip)) {
            QTextDocument shown;
            shown.setHtml(tip);
            EXPECT_EQ(shown.toPlainText(), name);
        } else {
            EXPECT_EQ(tip, name);
        }
        // Captions lose one "&" of each mnemonic mark.
        const QAction action(LiteralCaption(name));
        EXPECT_EQ(action.iconText(), name);
        // The title the window system gets, unsaved-changes mark included.
        QWidget window;
        window.setWindowTitle(QStringLiteral("Choices[*] (") + LiteralTitle(name) + QStringLiteral(")"));
        window.setWindowModified(false);
        window.winId();
        EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("Choices (") + name + QStringLiteral(")"));
    }
}

} // namespace
