#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QSize>
#include <QString>
#include <QWidget>

#include "analysis/choicekind.h"
#include "platform/helptopics.h"
#include "platform/printimage.h"

class QPainter;
class QPrinter;
class TFileAccess;
class TInvestigationObject;

// The catalogue key naming a kind of choices in the titles of pictures and legends.
const char* ChoiceKindTitleKey(TChoiceKind kind);

// The base of the windows that show one investigation (graph, indexes, target): each builds its
// own snapshot of the investigation when it opens, shows one choice kind at a time, and offers its
// picture for the clipboard, picture files and printing. It is the content of an MDI sub-window.
//
// A subclass builds its components in its constructor and then calls Start(), which runs
// Initialize, ApplySettings and SetChoiceKind(1) and posts ViewCreated. Closing the window stores
// its state (SaveState) and posts ChildClosing; activating it sends ViewActivated.
class TVisualChildForm : public QWidget {
    Q_OBJECT

public:
    ~TVisualChildForm() override;
    TVisualChildForm(const TVisualChildForm&) = delete;
    TVisualChildForm& operator=(const TVisualChildForm&) = delete;

    int InvestId() const { return m_investId; }
    TInvestigationObject& Model() { return *m_model; }
    const TInvestigationObject& Model() const { return *m_model; }
    TFileAccess& Store() { return m_store; }

    // The choice kind shown: 1 positive, 2 negative, 3 any.
    int ChoiceKind() const { return m_choiceKind; }
    // Captures the state of the kind being left, switches, and shows the new kind.
    void SetChoiceKind(int kind);
    void SetChoiceKind(TChoiceKind kind) { SetChoiceKind(ChoiceKindCode(kind)); }
    TChoiceKind Kind() const { return static_cast<TChoiceKind>(m_choiceKind); }

    // The window's operations, in the order every view implements them.
    virtual void SaveState() = 0;
    virtual void LoadState() = 0;
    virtual void Build() = 0;
    virtual void Initialize() = 0;
    virtual void Refresh() = 0;
    virtual void CaptureState() = 0;
    virtual void ApplySettings() = 0;

    // The room the window's content wants when it opens; the main window gives it as much of that
    // as its area has, and never less than its usual size. Invalid (the default): the usual size.
    virtual QSize ContentSize() const { return {}; }

    // The picture of the view: its size and its drawing (the same one for clipboard, files and print).
    virtual QSize PictureSize() const = 0;
    virtual void PaintPicture(QPainter& painter) = 0;
    TDrawing Drawing();

    // Prints the picture; throws TAppError when the print job fails.
    virtual void Print(QPrinter& printer, TPrintType type, int copies);
    // Puts the picture on the clipboard.
    void CopyPicture();
    // The picture save dialog, then the file; answers the file written (empty when none).
    QString SavePicture();

    // Counts the window's state as saved, so it writes nothing back when it goes: a window made
    // only to draw a picture leaves the project as it found it.
    void MarkStateSaved() { m_stateSaved = true; }

    // Whether the investigation and its members are still what the window copied when it opened;
    // a window writes nothing back into a project that changed underneath it.
    bool ProjectUnchanged() const;

protected:
    // Steps 1 to 3 of opening: the model (TAppError with the "LESS_2_CLIENTS" text when the
    // investigation has fewer than two members), kind 1, the caption from the language file plus
    // " (" + title + ")".
    TVisualChildForm(const char* objectName, TFileAccess& store, int investId, const QString& title,
                     QWidget* parent = nullptr);
    // The rest of opening; a subclass calls it at the end of its constructor, after every
    // component has its objectName: translation, the caption (the catalogue text of captionKey,
    // or the translated caption when none, then " (" + title + ")"), Initialize, ApplySettings,
    // SetChoiceKind(1), then ViewCreated is posted.
    void Start(const char* captionKey = nullptr);
    // Asks the main window to switch to a kind (from a view's own pop-up menu); nothing when that
    // kind is shown.
    void RequestChoiceKind(int kind);
    // The help page F1 opens while the window or one of its parts has the focus.
    void SetHelpTopic(THelpTopic topic);
    // Whether SaveState ran since the window was opened (closing runs it).
    bool StateSaved() const { return m_stateSaved; }
    // Whether the window is closing: what SaveState writes now is all it leaves in the project.
    bool Closing() const { return m_closing; }

    void closeEvent(QCloseEvent* event) override;

private:
    TFileAccess& m_store;
    int m_investId;
    QString m_title;
    std::unique_ptr<TInvestigationObject> m_model;
    std::vector<int32_t> m_memberIds;
    int32_t m_clientGroupId = 0;
    int m_choiceKind = 1;
    bool m_stateSaved = false;
    bool m_closing = false;
    THelpTopic m_helpTopic = THelpTopic::Contents;
};
