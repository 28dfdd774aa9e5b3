#pragma once

#include <QColor>
#include <QComboBox>

// A drop-down of colour swatches ending with an entry that opens the platform's colour dialog.
// The colour shown is always one of the entries: a colour outside the list is added before the
// last entry.
class TColorPickCombo final : public QComboBox {
    Q_OBJECT

public:
    explicit TColorPickCombo(QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    // Shows the colour without announcing it.
    void SetColor(const QColor& color);
    // The text of the last entry ("Other colours…").
    void SetOtherText(const QString& text);

Q_SIGNALS:
    // The user picked a colour from the list or the dialog.
    void ColorPicked(const QColor& color);

private:
    int IndexOf(const QColor& color);
    void Activated(int index);

    QColor m_color;
};
