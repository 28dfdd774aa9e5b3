#pragma once

#include <vector>

#include <QRect>
#include <QString>
#include <QWidget>

#include "analysis/waves.h"

class TFileAccess;

// The sociogram of change of two waves: the later wave's members where its positive sociogram
// placed them (or in the first layout's square shells), positive choices kept drawn solid, new
// ones in the highlight colour and dropped ones dashed, with a key.
class TChangeSociogram final : public QWidget {
    Q_OBJECT

public:
    struct TNode {
        int32_t ClientId = 0;
        QString Name;
        QRect Rect;
    };

    TChangeSociogram(TFileAccess& store, const TWave& from, const TWave& to, QWidget* parent = nullptr);

    const std::vector<TNode>& Nodes() const { return m_nodes; }
    const std::vector<TChoiceChange>& Arrows() const { return m_arrows; }
    // The whole drawing: members, arrows and key.
    QSize PictureSize() const;
    void PaintTo(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TNode> m_nodes;
    std::vector<TChoiceChange> m_arrows;
};
