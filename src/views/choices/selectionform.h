#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "analysis/choicerules.h"
#include "views/choices/selections.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPainter;
class QScrollArea;
class TFileAccess;
enum class TPlace : uint8_t;
struct TMarkChange;

// The window in which the choices of one investigation are entered, shown as a sociomatrix
// or as lists, and written back to the project's FOR and AGAINST tables. It is the content
// of an MDI sub-window (objectName "SelectionForm").
//
// Connecting it from the main window:
// - construct it with the open store, the investigation's identifier and name; a TAppError
//   from the constructor carries the text to show, and then there is no window;
// - put it into a QMdiSubWindow; closing that sub-window asks CanClose() (the form's
//   closeEvent refuses the close when the user keeps the window) and then posts
//   TNotifyCode::ChildClosing; activation sends TNotifyCode::ChoicesActivated;
// - "Save choices" calls Save(), "Clear all choices" calls ClearAll(); printing and picture
//   files use PaintTo() with PictureSize() (tile by tile, band by band); Picture() is the whole
//   grid for the clipboard, scaled down when larger than kClipboardPixels.
class TSelectionForm final : public QWidget {
    Q_OBJECT

public:
    // Throws TAppError when the investigation's client group, criteria group or criterion is
    // missing, or its client rows are inconsistent.
    TSelectionForm(TFileAccess& store, int investId, const QString& investName,
                   QWidget* parent = nullptr);
    ~TSelectionForm() override;
    TSelectionForm(const TSelectionForm&) = delete;
    TSelectionForm& operator=(const TSelectionForm&) = delete;

    int InvestId() const { return m_investId; }
    const QString& InvestName() const { return m_investName; }

    // Replaces the investigation's FOR and AGAINST rows with what the grid holds; shows the
    // failure text and answers false on failure (the modified flag then stays set).
    bool Save();
    // Asks first, naming the number of marks, then empties the grid as one undo step.
    void ClearAll();
    // Reads choices from a CSV file the user picks into the grid (replacing what it holds, marking
    // the window modified) after showing every refused row; writes what the grid shows as a
    // sociomatrix (CSV or Excel).
    void ImportChoicesFile();
    void ExportSociomatrix();
    bool IsModified() const { return m_modified; }
    // Also shows the state in the title bar ("[*]").
    void SetModified(bool value);
    // The window's title as the user reads it (without the modified placeholder).
    QString Caption() const;

    // Puts the marks of an undo step back as they were before it or after it.
    void PutBack(const std::vector<TMarkChange>& changes, bool after);
    // Takes the members' names from the project again (after a client was renamed or an undo).
    void RefreshMemberNames();

    // Asks "save changes?" when modified: Yes saves (a failed save keeps the window), No
    // discards, closing the question keeps the window. True when the window may close.
    bool CanClose();

    // Graphics mode shows the grid, text mode the chooser and its two check lists.
    bool IsGraphic() const { return m_graphic; }
    void SetGraphic(bool graphic);

    // The grid's picture, the same one the screen shows (for copy, picture files and print).
    void PaintTo(QPainter& painter) const;
    QSize PictureSize() const;
    // The size that shows the whole grid without scroll bars.
    QSize GridFitSize() const;
    // The whole grid as one image, scaled down to the clipboard's limit when larger.
    QImage Picture() const;

    // Takes the grid's look (colours, fonts, lines, cell sizes, symbols, arrow direction) from
    // the settings again, keeping the marks and the text or graphics mode.
    void ApplySettings();

    TSelections& Selects() { return *m_selects; }
    QMenu& ChoicesPopupMenu() { return *m_popup; }

    // Member identifiers in grid order (member p is grid row and column p + 1).
    const std::vector<int>& MemberIds() const { return m_memberIds; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildComponents();
    void LoadMembers();
    void LoadChoices();
    void RefreshText();
    void UpdatePopupItems();
    // Puts the marks that changed since the window last looked on the project's undo stack as
    // one step (named text, or after the change when text is empty) and renews the modified state.
    void NoteGridChanges(const QString& text = {});
    // The mark of every ordered pair of members, chooser by chooser.
    std::vector<TSelectType> Marks() const;
    int CountMarks() const;
    void SetPairCell(int chooser, int chosen, int value);
    int PairCell(int chooser, int chosen) const;

    void SelectsClick(int numX, int numY, TPlace place);
    void SelectsMouseMove();
    void ComboBoxClientsChange(int index);
    void CheckListBoxClientsClickCheck(QListWidgetItem* item);
    void SetActiveCell(int value);

    TFileAccess& m_store;
    int m_investId;
    QString m_investName;
    std::string m_clientGroupName;
    std::string m_criteriaGroupName;
    std::string m_criterionName;
    std::vector<int> m_memberIds;
    std::vector<QString> m_memberNames;
    bool m_modified = false;
    uint64_t m_seenRevision = 0;
    // The marks when the window last looked, and as the project holds them (loaded or saved).
    std::vector<TSelectType> m_seen;
    std::vector<TSelectType> m_saved;
    // The investigation as loaded, and the stored rows the grid did not take, which saving keeps.
    TInvestigationStamp m_stamp;
    std::vector<TKeptChoice> m_kept;
    bool m_graphic = true;
    bool m_refreshing = false;
    QPoint m_scrollPosition;

    QScrollArea* m_scroll = nullptr;
    TSelections* m_selects = nullptr;
    QWidget* m_textPanel = nullptr;
    QComboBox* m_comboClients = nullptr;
    QListWidget* m_positiveList = nullptr;
    QListWidget* m_negativeList = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_saveItem = nullptr;
    QAction* m_clearAllItem = nullptr;
    QAction* m_graphicsItem = nullptr;
    QAction* m_textItem = nullptr;
    QAction* m_positiveItem = nullptr;
    QAction* m_negativeItem = nullptr;
    QAction* m_clearItem = nullptr;
    QAction* m_importItem = nullptr;
    QAction* m_exportItem = nullptr;
};
