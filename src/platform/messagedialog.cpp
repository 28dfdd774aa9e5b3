#include "platform/messagedialog.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "platform/helpviewer.h"
#include "platform/modalseam.h"
#include "platform/progressbar.h"
#include "i18n/langconv.h"
#include "util/text.h"

namespace {

constexpr int kBoxHeight = 120;
constexpr int kMargin = 20;
constexpr int kBottomGap = 10;
// A standard push button is at least this size; longer labels widen it.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// A longer caption wraps onto further lines instead of widening the box past this.
constexpr int kMaxCaptionWidth = 600;

// Rounds to the nearest whole number, halves to the even one.
int RoundEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

QString ShortText(const QString& text)
{
    return QString::fromStdString(CutChars(text.toStdString(), kShortTextMax));
}

QString ButtonLabel(int code)
{
    switch (code) {
    case TMessageDialog::kOk:
        return QStringLiteral("OK");
    case TMessageDialog::kCancel:
        return QString::fromStdString(LangConv().GetText("CANCEL_BUTTON"));
    case TMessageDialog::kYes:
        return QString::fromStdString(LangConv().GetText("YES_BUTTON"));
    case TMessageDialog::kNo:
        return QString::fromStdString(LangConv().GetText("NO_BUTTON"));
    default:
        return QString::fromStdString(LangConv().GetText("HELP_BUTTON"));
    }
}

std::vector<int> ButtonCodes(TMessageDlgType type)
{
    using M = TMessageDialog;
    switch (type) {
    case mdOk:
        return {M::kOk};
    case mdOkHelp:
        return {M::kOk, M::kHelp};
    case mdOkCancel:
        return {M::kOk, M::kCancel};
    case mdOkCancelHelp:
        return {M::kOk, M::kCancel, M::kHelp};
    case mdYesNo:
        return {M::kYes, M::kNo};
    case mdYesNoHelp:
        return {M::kYes, M::kNo, M::kHelp};
    case mdYesNoCancelHelp:
        return {M::kYes, M::kNo, M::kCancel, M::kHelp};
    }
    return {M::kOk};
}

} // namespace

TMessageDialog::TMessageDialog(QObject* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("MessageDialog"));
}

TMessageDialog::~TMessageDialog() = default;

int TMessageDialog::Execute()
{
    const QString caption = ShortText(Caption);
    // The box belongs to the owner's window (so it stays in front of it), else to the active one.
    auto* ownerWidget = qobject_cast<QWidget*>(parent());
    QDialog box(ownerWidget ? ownerWidget->window() : QApplication::activeWindow());
    box.setObjectName(QStringLiteral("DialogForm"));
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    box.setWindowTitle(ShortText(Title));
    box.setProperty("helpContext", HelpTopicNumber(HelpContext));

    const QFontMetrics metrics(box.font());
    int captionWidth = metrics.horizontalAdvance(caption);
    int captionHeight = metrics.height();
    // A caption too wide for one line of a readable box (or for the screen) wraps; the box
    // grows by the extra lines.
    int maxWidth = kMaxCaptionWidth;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        maxWidth = std::max(200, std::min(maxWidth, screen->availableGeometry().width() - 80));
    const bool wrapped = captionWidth > maxWidth;
    if (wrapped) {
        const QRect lines = metrics.boundingRect(QRect(0, 0, maxWidth, 100000), Qt::TextWordWrap, caption);
        captionWidth = lines.width();
        captionHeight = lines.height();
    }
    const int boxHeight = kBoxHeight + captionHeight - metrics.height();
    int boxWidth = captionWidth + 40;

    // The row of buttons, bottom left first, then moved to the centre or widening the box.
    const std::vector<int> codes = ButtonCodes(DialogType);
    std::vector<QPushButton*> buttons;
    int sumWidths = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        auto* button = new QPushButton(ButtonLabel(codes[i]), &box);
        button->setObjectName(QStringLiteral("Button%1").arg(i));
        button->setAutoDefault(false);
        const QSize hint = button->sizeHint();
        button->resize(std::max(kButtonWidth, hint.width()), std::max(kButtonHeight, hint.height()));
        const int left = i == 0 ? kMargin : buttons.back()->x() + buttons.back()->width() + kMargin;
        button->move(left, boxHeight - button->height() - kBottomGap);
        sumWidths += button->width();
        buttons.push_back(button);
        const int code = codes[i];
        connect(button, &QPushButton::clicked, &box, [this, code, &box] { Press(code, box); });
    }
    buttons.front()->setDefault(true);
    buttons.front()->setFocus();

    const int needed = sumWidths + kMargin * (static_cast<int>(codes.size()) + 1);
    if (boxWidth < needed) {
        boxWidth = needed;
    } else {
        const int shift = RoundEven((boxWidth - needed) / 2.0);
        for (QPushButton* b : buttons)
            b->move(b->x() + shift, b->y());
    }

    auto* label = new QLabel(caption, &box);
    label->setObjectName(QStringLiteral("cap"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrapped);
    label->resize(captionWidth, captionHeight);
    const int fontSize = label->font().pointSize() > 0 ? label->font().pointSize() : label->font().pixelSize();
    // The caption's top stays where a one-line caption has it; further lines push the buttons down.
    const int oneLineButtonTop = buttons.front()->y() - (boxHeight - kBoxHeight);
    label->move(RoundEven((boxWidth - captionWidth) / 2.0), RoundEven((oneLineButtonTop - fontSize) / 3.0));

    box.setFixedSize(boxWidth, boxHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        box.move(area.center() - QPoint(boxWidth / 2, boxHeight / 2));
    }
    const TProgressHidden progressHidden;
    const int before = m_code;
    m_code = kNone;
    Modal().Exec(box);
    // A box that offers Cancel takes Escape and its close box as Cancel.
    const bool offersCancel = std::find(codes.begin(), codes.end(), kCancel) != codes.end();
    if (offersCancel && (m_code == kNone || m_code == kHelp))
        m_code = kCancel;
    else if (m_code == kNone)
        m_code = before;
    return m_code;
}

void TMessageDialog::Press(int code, QDialog& box)
{
    switch (code) {
    case kOk:
        if (OKClickNotifyEvent)
            OKClickNotifyEvent();
        break;
    case kCancel:
        if (CancelClickNotifyEvent)
            CancelClickNotifyEvent();
        break;
    case kYes:
        if (YesClickNotifyEvent)
            YesClickNotifyEvent();
        break;
    case kNo:
        if (NoClickNotifyEvent)
            NoClickNotifyEvent();
        break;
    case kHelp:
        ShowHelpTopic(HelpContext);
        if (HelpClickNotifyEvent)
            HelpClickNotifyEvent();
        m_code = code;
        return; // the box stays open
    }
    m_code = code;
    box.done(code == kOk || code == kYes ? QDialog::Accepted : QDialog::Rejected);
}
