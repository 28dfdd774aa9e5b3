#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "settings/regs.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTabWidget;
class TColorPickCombo;
class TFileAccess;
class TGraphicChart;
class TObjectsTree;
class TReportOrderInRegistry;
class TSelections;
class TSocioPanel;
class TStringsList;
class TTarget;

// Parameter controls an element of a sample uses.
enum TParamControl : unsigned {
    pcFont = 1,       // face, bold, italic
    pcSize = 2,       // font size or line width
    pcColor = 4,
    pcWidth = 8,      // cell width
    pcHeight = 16,    // cell height
    pcDirection = 32,
    pcValue = 64,     // a symbol or a title
};

// One element of a sample: the catalogue key naming it, the controls it uses and the values in
// the dialog's working copy of the settings that those controls edit.
struct TParamElement {
    const char* Key = "";
    unsigned Controls = 0;
    TFontRecord* Font = nullptr;     // font elements: face, size, style and colour
    uint32_t* Color = nullptr;       // colour of a non-font element
    int32_t* Size = nullptr;         // line width of a non-font element
    int32_t* Width = nullptr;
    int32_t* Height = nullptr;
    bool* Direction = nullptr;
    std::string* Value = nullptr;
    bool Symbol = false;             // the value is one character, a blank when empty
};

// The options dialog: the general start-up settings, the login flag of the open project and the
// appearance of every view, edited on live samples drawn by the views themselves. OK stores
// everything into the settings; Cancel leaves them untouched.
class TParamsForm final : public QDialog {
    Q_OBJECT

public:
    // store: the open project, or nullptr when none is open.
    TParamsForm(QWidget* owner, TFileAccess* store);
    ~TParamsForm() override;
    TParamsForm(const TParamsForm&) = delete;
    TParamsForm& operator=(const TParamsForm&) = delete;

    // Copies the controls and samples into the settings and the project's login flag.
    void Store();

    // The symbol a value box gives: its first character, a blank when empty.
    static std::string SymbolOf(const QString& text);

private:
    // The parameter controls of one appearance page with its elements.
    struct TPage {
        QComboBox* Elements = nullptr;
        QFontComboBox* Font = nullptr;
        QSpinBox* Size = nullptr;
        QCheckBox* Bold = nullptr;
        QCheckBox* Italic = nullptr;
        TColorPickCombo* Color = nullptr;
        QSpinBox* Width = nullptr;
        QSpinBox* Height = nullptr;
        QComboBox* Direction = nullptr;
        QLineEdit* Value = nullptr;
        std::vector<TParamElement> Items;
        void (TParamsForm::*Refresh)() = nullptr;
    };

    QWidget* BuildGeneralPage();
    QWidget* BuildTreePage();
    QWidget* BuildChoicesPage();
    QWidget* BuildIndexesPage();
    QWidget* BuildGraphPage();
    QWidget* BuildTargetPage();
    QWidget* BuildReportPage();
    // The element list and parameter controls of a page, named after it ("Tree", "Choices", ...).
    QWidget* BuildControls(TPage& page, const QString& name, bool cells, bool value);
    void FillElements(TPage& page);
    TParamElement* CurrentElement(TPage& page);
    void ShowElement(TPage& page);
    void Edited(TPage& page, unsigned control);

    void RefreshTree();
    void RefreshChoices();
    void RefreshIndexes();
    void RefreshGraph();
    void RefreshTarget();

    TFileAccess* m_store;
    TTreeRegs m_tree;
    TChoicesRegs m_choices;
    TIndexesRegs m_indexes;
    TGraphRegs m_graph;
    TTargetRegs m_target;
    TReportRegs m_report;
    bool m_loading = false;

    QTabWidget* m_pages = nullptr;
    QCheckBox* m_showTutorial = nullptr;
    QComboBox* m_language = nullptr;
    QCheckBox* m_isStartingForm = nullptr;
    QSpinBox* m_numOfProjects = nullptr;
    QCheckBox* m_exitConfirmation = nullptr;
    QGroupBox* m_currentProject = nullptr;
    QCheckBox* m_isLogining = nullptr;

    TPage m_treePage;
    TPage m_choicesPage;
    TObjectsTree* m_treeSample = nullptr;
    TSelections* m_choicesSample = nullptr;
    TPage m_indexesPage;
    TGraphicChart* m_groupChart = nullptr;
    TGraphicChart* m_privateChart = nullptr;
    TPage m_graphPage;
    TSocioPanel* m_graphSample = nullptr;
    QCheckBox* m_graphStatusColors = nullptr;
    QCheckBox* m_graphTitleLine = nullptr;
    QCheckBox* m_graphPrintBackground = nullptr;
    TPage m_targetPage;
    QCheckBox* m_targetStatusColors = nullptr;
    TTarget* m_targetSample = nullptr;
    TStringsList* m_legendSample = nullptr;

    std::unique_ptr<TReportOrderInRegistry> m_reportOrder;
    QListWidget* m_reportParts = nullptr;
    void ShowReportParts();
};
