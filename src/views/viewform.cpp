#include "views/viewform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QPainter>

#include "analysis/investigationobj.h"
#include "views/activationnotifier.h"
#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/literaltext.h"
#include "platform/modalseam.h"
#include "views/notify.h"
#include "platform/picturefile.h"
#include "i18n/langconv.h"
#include "store/fileacc.h"
#include "util/error.h"

namespace {

// A catalogue text for the errors the window raises; the key itself without a catalogue.
std::string MessageText(const char* key)
{
    if (!HasLangConv())
        return key;
    return LangConv().GetText(key);
}

// Client identifiers of the group's rows, in table order.
std::vector<int32_t> GroupMemberIds(const TFileAccess& store, int32_t groupId)
{
    std::vector<int32_t> ids;
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        if (clients.At(i).GroupId == groupId)
            ids.push_back(clients.At(i).Id);
    }
    return ids;
}

} // namespace

const char* ChoiceKindTitleKey(TChoiceKind kind)
{
    return kind == TChoiceKind::Negative ? "GRAPH_TITLE_NEGATIVE"
           : kind == TChoiceKind::Any    ? "GRAPH_TITLE_ANY"
                                         : "GRAPH_TITLE_POSITIVE";
}

TVisualChildForm::TVisualChildForm(const char* objectName, TFileAccess& store, int investId, const QString& title,
                                   QWidget* parent)
    : QWidget(parent), m_store(store), m_investId(investId), m_title(title)
{
    setObjectName(QString::fromLatin1(objectName));
    setAttribute(Qt::WA_DeleteOnClose, false);
    new TActivationNotifier(this, TNotifyCode::ViewActivated);
    m_model = std::make_unique<TInvestigationObject>(store, investId);
    if (m_model->ClientCount() < 2)
        throw TAppError(MessageText("LESS_2_CLIENTS"));
    m_clientGroupId = m_model->Header().ClientGroupId;
    for (int32_t i = 0; i < m_model->ClientCount(); ++i)
        m_memberIds.push_back(m_model->Client(i).Id);
    m_choiceKind = 1;
}

TVisualChildForm::~TVisualChildForm() = default;

void TVisualChildForm::Start(const char* captionKey)
{
    TLanguageController::Translate(*this);
    const QString caption = captionKey && HasLangConv() ? QString::fromStdString(LangConv().GetText(captionKey))
                                                        : windowTitle();
    setWindowTitle(caption + QStringLiteral(" (") + LiteralTitle(m_title) + QStringLiteral(")"));
    Initialize();
    ApplySettings();
    m_choiceKind = 0;
    SetChoiceKind(ChoiceKindCode(TChoiceKind::Positive));
    PostNotify(TNotifyCode::ViewCreated, this);
}

void TVisualChildForm::SetChoiceKind(int kind)
{
    if (kind < ChoiceKindCode(TChoiceKind::Positive) || kind > ChoiceKindCode(TChoiceKind::Any))
        return;
    if (m_choiceKind >= 1)
        CaptureState();
    m_choiceKind = kind;
    Refresh();
}

void TVisualChildForm::SetHelpTopic(THelpTopic topic)
{
    if (m_helpTopic == THelpTopic::Contents) {
        auto* help = new QAction(this);
        help->setShortcut(QKeySequence::HelpContents);
        help->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(help);
        connect(help, &QAction::triggered, this, [this] { ShowHelpTopic(m_helpTopic); });
    }
    m_helpTopic = topic;
}

void TVisualChildForm::RequestChoiceKind(int kind)
{
    if (kind == m_choiceKind)
        return;
    const TNotifyCode code = kind == ChoiceKindCode(TChoiceKind::Negative) ? TNotifyCode::WantNegative
                             : kind == ChoiceKindCode(TChoiceKind::Any)    ? TNotifyCode::WantAny
                                                                           : TNotifyCode::WantPositive;
    PostNotify(code, this);
}

TDrawing TVisualChildForm::Drawing()
{
    return [this](QPainter& painter) { PaintPicture(painter); };
}

void TVisualChildForm::Print(QPrinter& printer, TPrintType type, int copies)
{
    TPrintImage image(PictureSize(), Drawing(), type);
    image.PrintCopies(printer, copies);
}

void TVisualChildForm::CopyPicture()
{
    // A large view would make an image of gigabytes that no program pasting it could take; it is
    // copied scaled down, and the user is told how to get it at full size.
    bool scaled = false;
    const QSize size = PictureSize();
    const QImage image = RenderPictureWithin(size, Drawing(), kClipboardPixels, &scaled);
    QApplication::clipboard()->setImage(image);
    if (scaled)
        Modal().Information(this, QString::fromStdString(MessageText("APPLICATION_NAME")),
                            QString::fromStdString(MessageText("PICTURE_COPIED_SCALED")) +
                                QStringLiteral(" (%1 x %2 \u2192 %3 x %4)")
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(image.width())
                                    .arg(image.height()));
}

QString TVisualChildForm::SavePicture()
{
    TPictureSaveDialog dialog(this, QString::fromStdString(MessageText("SAVE_IMAGE_IN_FILE_DLG")), true);
    return dialog.Execute(PictureSize(), Drawing());
}

bool TVisualChildForm::ProjectUnchanged() const
{
    const TInvestTable& invests = m_store.Investigations();
    for (int32_t i = 0; i < invests.Count(); ++i) {
        if (invests.At(i).Id == m_investId)
            return invests.At(i).ClientGroupId == m_clientGroupId &&
                   GroupMemberIds(m_store, m_clientGroupId) == m_memberIds;
    }
    return false;
}

void TVisualChildForm::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    SaveState();
    m_stateSaved = true;
    event->accept();
    PostNotify(TNotifyCode::ChildClosing, this);
}
