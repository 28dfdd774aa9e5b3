#include "platform/progressbar.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace {

constexpr int kClientWidth = 267;
constexpr int kClientHeight = 34;
const QRect kGaugeRect(10, 10, 248, 14);

TThreadProgressBar* g_current = nullptr;
// How long a new progress window is waited for to come on screen.
constexpr qint64 kMostWaitForWindowMs = 300;

// A gauge drawn as a blue bar with its "%d%%" text centred over it, the text in blue over the
// empty part and in the background colour over the filled part, so it reads on both.
class TGauge final : public QProgressBar {
public:
    explicit TGauge(QWidget* parent) : QProgressBar(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect frame = rect().adjusted(0, 0, -1, -1);
        const QColor back = palette().color(QPalette::Button);
        const QColor fore(Qt::blue);
        painter.fillRect(rect(), back);
        const int span = std::max(1, maximum() - minimum());
        const int filled = (rect().width() * (value() - minimum())) / span;
        const QRect done(0, 0, filled, height());
        painter.fillRect(done, fore);
        const QString text = QString::asprintf("%d%%", value());
        painter.setPen(fore);
        painter.setClipRect(QRect(filled, 0, width() - filled, height()));
        painter.drawText(rect(), Qt::AlignCenter, text);
        painter.setPen(back);
        painter.setClipRect(done);
        painter.drawText(rect(), Qt::AlignCenter, text);
        painter.setClipping(false);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame);
    }
};

} // namespace

TFormProcessBar::TFormProcessBar(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
{
    setObjectName(QStringLiteral("FormProcessBar"));
    setWindowTitle(QStringLiteral("Processing"));
    setAttribute(Qt::WA_ShowWithoutActivating); // messages shown during the work keep their parent
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    m_gauge = new TGauge(this);
    m_gauge->setObjectName(QStringLiteral("GaugeProcessBar"));
    m_gauge->setGeometry(kGaugeRect);
    m_gauge->setOrientation(Qt::Horizontal);
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->setFormat(QStringLiteral("%p%"));
    m_gauge->setAlignment(Qt::AlignCenter);
    QFont small = m_gauge->font();
    small.setPixelSize(11);
    m_gauge->setFont(small);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

TThreadProgressBar::TThreadProgressBar()
    : m_form(std::make_unique<TFormProcessBar>()), m_previous(g_current)
{
    // The global reference always names the newest display; a display made while another is
    // open hides it until this one ends.
    if (m_previous)
        m_previous->m_form->hide();
    g_current = this;
    m_running = true;
    m_worker = std::thread([this] {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_stop; });
        m_running = false;
    });
    m_form->show();
    // Nothing painted reaches the screen until the window system has mapped the window and said
    // so, and the operation that follows turns no event loop: wait for that here, briefly (a slow
    // window system leaves the operation to go on, and Show looks again).
    QElapsedTimer waited;
    waited.start();
    do
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    while (!Exposed() && waited.elapsed() < kMostWaitForWindowMs);
    m_form->repaint();
    m_form->Gauge()->repaint();
}

bool TThreadProgressBar::Exposed() const
{
    const QWindow* window = m_form->windowHandle();
    return window != nullptr && window->isExposed();
}

TThreadProgressBar::~TThreadProgressBar()
{
    m_form->hide();
    m_form.reset();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
    if (g_current == this) {
        g_current = m_previous;
        if (m_previous)
            m_previous->m_form->show();
    }
}

void TThreadProgressBar::Advance(int step)
{
    if (step < 0 || step >= 100)
        return;
    Show(std::min(Value() + step, 100));
}

void TThreadProgressBar::SetValue(int value)
{
    if (value < 0 || value >= 100)
        return;
    Show(value);
}

void TThreadProgressBar::Restore(int value)
{
    Show(std::clamp(value, 0, 100));
}

int TThreadProgressBar::Value() const
{
    return m_form->Gauge()->value();
}

bool TThreadProgressBar::WorkerRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

TThreadProgressBar* TThreadProgressBar::Current()
{
    return g_current;
}

void TThreadProgressBar::Show(int value)
{
    if (value == Value())
        return;
    m_form->Gauge()->setValue(value);
    // The operation runs on this thread and no event loop turns, so paint now; a window not yet
    // on screen is first let through.
    if (!Exposed()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_form->repaint();
    }
    m_form->Gauge()->repaint();
}

TProgressHidden::TProgressHidden()
{
    TThreadProgressBar* display = TThreadProgressBar::Current();
    if (display && display->Form()->isVisible()) {
        m_display = display;
        display->Form()->hide();
    }
}

TProgressHidden::~TProgressHidden()
{
    if (m_display && m_display == TThreadProgressBar::Current()) {
        m_display->Form()->show();
        m_display->Form()->repaint();
    }
}

TGuiProgressSink::TGuiProgressSink() = default;
TGuiProgressSink::~TGuiProgressSink() = default;

void TGuiProgressSink::Begin()
{
    if (!m_display) {
        m_display = std::make_unique<TThreadProgressBar>();
        m_saved.push_back(0);
        return;
    }
    m_saved.push_back(m_display->Value());
    m_display->Restore(0);
}

void TGuiProgressSink::Advance(int step)
{
    if (m_display)
        m_display->Advance(step);
}

void TGuiProgressSink::SetValue(int value)
{
    if (m_display)
        m_display->SetValue(value);
}

void TGuiProgressSink::End()
{
    if (m_saved.empty())
        return;
    const int outer = m_saved.back();
    m_saved.pop_back();
    if (m_saved.empty())
        m_display.reset();
    else
        m_display->Restore(outer);
}
