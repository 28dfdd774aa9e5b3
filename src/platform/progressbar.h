#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QProgressBar>
#include <QWidget>

#include "util/progress.h"

// The progress window: a borderless, always-on-top strip centred on the desktop holding one
// gauge, GaugeProcessBar, that shows its value as "40%" centred over a blue bar.
class TFormProcessBar final : public QWidget {
    Q_OBJECT
public:
    explicit TFormProcessBar(QWidget* parent = nullptr);

    QProgressBar* Gauge() const { return m_gauge; }

private:
    QProgressBar* m_gauge;
};

// Owns the progress display of one operation: constructing it shows the window at once,
// destroying it removes the window. A worker thread lives as long as the display; it does no
// work and only waits to be stopped. Only one display exists at a time (Current()).
class TThreadProgressBar final {
public:
    TThreadProgressBar();
    ~TThreadProgressBar();
    TThreadProgressBar(const TThreadProgressBar&) = delete;
    TThreadProgressBar& operator=(const TThreadProgressBar&) = delete;

    // Adds step when 0 <= step < 100, limited to 100; other steps are ignored.
    void Advance(int step);
    // Shows value when 0 <= value < 100; other values are ignored.
    void SetValue(int value);
    int Value() const;
    // Puts back a value from 0 to 100 that an enclosing operation had reached.
    void Restore(int value);

    TFormProcessBar* Form() const { return m_form.get(); }
    bool WorkerRunning() const;

    // The display in force, or nullptr.
    static TThreadProgressBar* Current();

private:
    void Show(int value);
    // Whether the window is on screen, where painting it shows.
    bool Exposed() const;

    std::unique_ptr<TFormProcessBar> m_form;
    TThreadProgressBar* m_previous; // the display this one stands in front of, if any
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_running = false;
    std::thread m_worker;
};

// Takes the progress window off the screen for its lifetime, so that a message or question shown
// during a long operation is not covered by the always-on-top strip.
class TProgressHidden final {
public:
    TProgressHidden();
    ~TProgressHidden();
    TProgressHidden(const TProgressHidden&) = delete;
    TProgressHidden& operator=(const TProgressHidden&) = delete;

private:
    TThreadProgressBar* m_display = nullptr;
};

// The core's progress sink on the GUI: Begin shows the progress window, End removes it. A Begin
// inside a running operation (a load inside an upgrade) restarts the gauge for the inner
// operation and its End gives the outer one its value back.
class TGuiProgressSink final : public IProgressSink {
public:
    TGuiProgressSink();
    ~TGuiProgressSink() override;
    TGuiProgressSink(const TGuiProgressSink&) = delete;
    TGuiProgressSink& operator=(const TGuiProgressSink&) = delete;

    void Begin() override;
    void Advance(int step) override;
    void SetValue(int value) override;
    void End() override;

    int Depth() const { return static_cast<int>(m_saved.size()); }

private:
    std::unique_ptr<TThreadProgressBar> m_display;
    std::vector<int> m_saved; // gauge values of the enclosing operations
};
