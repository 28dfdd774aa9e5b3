#pragma once

#include "survey/surveyintake.h"

#include <memory>
#include <optional>

#include <QDialog>

#include "platform/helptopics.h"
#include "survey/surveycollection.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class TFileAccess;
class TSurveyServer;

// The teacher's window of an answer collection: the address of the survey page as text and as a
// QR code, the answer slips, the pupils ticked as their answers arrive, and Stop, which takes the
// answers into the investigation. The page is served only while the window is open; the window
// is modal, so the investigation cannot change under the collection.
class TSurveyForm final : public QDialog {
    Q_OBJECT

public:
    static constexpr THelpTopic kHelpTopic = THelpTopic::Survey;
    static constexpr int kDefaultPort = 8471;

    TSurveyForm(TFileAccess& store, int investId, QWidget* parent = nullptr);
    ~TSurveyForm() override;

    TSurveyCollection& Collection() { return *m_collection; }
    const TSurveyServer& Server() const { return *m_server; }
    // Whether answers went into the investigation when the window closed.
    bool TookAnswers() const { return m_took; }
    // The investigation's choices before and after the answers went in (valid when TookAnswers()).
    const TSurveyIntake& Intake() const { return m_intake; }

    // Ticks the pupils who answered and counts them.
    void RefreshPupils();

    void done(int result) override;

private:
    void Listen();
    void ResetSelectedCode();
    void PrintSlips();
    // Takes the answers in; asks first whether answers replace earlier choices where pupils had some.
    void TakeAnswers();

    TFileAccess& m_store;
    TSurveyIntake m_intake;
    int m_investId = 0;
    std::unique_ptr<TSurveyCollection> m_collection;
    std::unique_ptr<TSurveyServer> m_server;
    std::vector<int32_t> m_hadChoices;
    bool m_took = false;
    bool m_closing = false;

    QComboBox* m_interfaces = nullptr;
    QSpinBox* m_port = nullptr;
    QLabel* m_address = nullptr;
    QLabel* m_qr = nullptr;
    QLabel* m_progress = nullptr;
    QListWidget* m_pupils = nullptr;
    QPushButton* m_reset = nullptr;
};
