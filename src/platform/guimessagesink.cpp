#include "platform/guimessagesink.h"

#include <QApplication>

#include "platform/modalseam.h"
#include "platform/progressbar.h"
#include "i18n/langconv.h"

void TGuiMessageSink::ShowText(const std::string& text)
{
    QString title = QStringLiteral("Tremlow");
    if (HasLangConv() && LangConv().HasText("MESSAGE_DLG_TITLE"))
        title = QString::fromStdString(LangConv().GetText("MESSAGE_DLG_TITLE"));
    const TProgressHidden progressHidden;
    Modal().Information(QApplication::activeWindow(), title, QString::fromStdString(text));
}
