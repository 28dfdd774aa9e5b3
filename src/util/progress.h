#pragma once

// Receives the progress of one long operation (load, save, import, report, print).
// The GUI shows the progress window, the CLI stays quiet, tests record the calls.
class IProgressSink {
public:
    virtual ~IProgressSink() = default;
    virtual void Begin() = 0;
    // Adds a step when 0 <= step < 100, limited to 100; other steps are ignored.
    virtual void Advance(int step) = 0;
    // Shows a value when 0 <= value < 100; other values are ignored.
    virtual void SetValue(int value) = 0;
    virtual void End() = 0;
};

// The process-wide sink; a sink that does nothing until one is installed.
IProgressSink& ProgressSink();
// Installs a sink (nullptr restores the silent one); returns the previous one.
IProgressSink* SetProgressSink(IProgressSink* sink);

// Begins the display on construction and ends it on destruction, so a failing operation still removes it.
class TProgressScope final {
public:
    TProgressScope();
    ~TProgressScope();
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    void Advance(int step) { ProgressSink().Advance(step); }
    void SetValue(int value) { ProgressSink().SetValue(value); }
};
