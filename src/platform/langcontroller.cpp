#include "platform/langcontroller.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>

#include "settings/inifile.h"
#include "i18n/langconv.h"

namespace {

const char* const kNotDefined = "!!!---not defined---!!!";
constexpr int kMaxComponents = 100000;

// Reads the captions and hints of one window section.
class TSectionReader final {
public:
    TSectionReader(const TIniFile& ini, std::string section) : m_ini(ini), m_section(std::move(section)) {}

    QString Value(const QString& key) const
    {
        return QString::fromStdString(m_ini.ReadString(m_section, key.toStdString(), kNotDefined));
    }

private:
    const TIniFile& m_ini;
    std::string m_section;
};

bool IsOwnName(const QString& name)
{
    // Qt names its own helper widgets and actions "qt_..." or "_q_..."; they are not ours.
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
           !name.startsWith(QLatin1String("_q_"));
}

// Text-edit boxes hold user data; only their hint is translated.
bool IsEditBox(const QWidget& w)
{
    if (qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QTextEdit*>(&w) ||
        qobject_cast<const QPlainTextEdit*>(&w) || qobject_cast<const QAbstractSpinBox*>(&w))
        return true;
    return qobject_cast<const QComboBox*>(&w) != nullptr;
}

// The tab widget whose page w is, or nullptr.
QTabWidget* TabOwning(QWidget& w)
{
    auto* stack = qobject_cast<QStackedWidget*>(w.parentWidget());
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void SetCaption(QWidget& w, const QString& caption)
{
    if (auto* label = qobject_cast<QLabel*>(&w))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(&w))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(&w))
        group->setTitle(caption);
    else if (qobject_cast<QDockWidget*>(&w) || qobject_cast<QToolBar*>(&w))
        w.setWindowTitle(caption);
    else if (QTabWidget* tabs = TabOwning(w))
        tabs->setTabText(tabs->indexOf(&w), caption);
}

// Whether the control shows a caption at all; controls without one only get a hint.
bool HasCaption(QWidget& w)
{
    if (auto* label = qobject_cast<QLabel*>(&w))
        return label->pixmap().isNull(); // a picture has no caption
    return qobject_cast<QAbstractButton*>(&w) ||
           qobject_cast<QGroupBox*>(&w) || qobject_cast<QDockWidget*>(&w) ||
           qobject_cast<QToolBar*>(&w) || TabOwning(w) != nullptr;
}

void TranslateChildren(QObject& owner, const TSectionReader& reader, int& count)
{
    for (QObject* child : owner.children()) {
        if (count >= kMaxComponents)
            return;
        const QString name = child->objectName();
        if (auto* menu = qobject_cast<QMenu*>(child)) {
            if (IsOwnName(name)) {
                ++count;
                menu->setTitle(reader.Value(name + "_cap"));
            }
            TranslateChildren(*menu, reader, count);
            continue;
        }
        if (auto* action = qobject_cast<QAction*>(child)) {
            if (IsOwnName(name) && !action->isSeparator()) {
                ++count;
                action->setText(reader.Value(name + "_cap"));
            }
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        if (widget->isWindow())
            continue; // a dialog or other window owned here translates itself
        if (qobject_cast<QTabBar*>(widget))
            continue; // Qt's own scroll buttons (the tab captions come from the pages)
        if (IsOwnName(name)) {
            ++count;
            widget->setToolTip(reader.Value(name + "_hint"));
            if (!IsEditBox(*widget) && HasCaption(*widget))
                SetCaption(*widget, reader.Value(name + "_cap"));
        }
        TranslateChildren(*widget, reader, count);
    }
}

} // namespace

void TLanguageController::Translate(QWidget& window)
{
    const TIniFile ini(LanguageFilePath());
    const QString name = window.objectName();
    const QString section = name.section(QLatin1Char('_'), 0, 0);
    const TSectionReader reader(ini, section.toStdString());
    window.setToolTip(reader.Value(section + "_hint"));
    window.setWindowTitle(reader.Value(section + "_cap"));
    int count = 0;
    TranslateChildren(window, reader, count);
}

const char* TLanguageController::NotDefinedText()
{
    return kNotDefined;
}

QString CatalogueText(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}
