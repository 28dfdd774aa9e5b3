#pragma once

#include <array>

#include <QDialog>
#include <QStringList>

class QListWidget;

// The tool bar set-up window: one check per tool bar; every change is applied by the main
// window at once (notification 508), before the window closes.
class TToolbarForm final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCount = 6;

    // Captions and flags in the order Project, File, Edit, View, Object, Report.
    TToolbarForm(QWidget* owner, const QStringList& captions, const std::array<bool, kCount>& flags);

    const std::array<bool, kCount>& Flags() const { return m_flags; }

private:
    void ToolbarCheckListBoxClickCheck();

    std::array<bool, kCount> m_flags;
    QListWidget* m_list = nullptr;
};
