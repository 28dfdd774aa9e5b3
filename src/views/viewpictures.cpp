#include "views/viewpictures.h"

#include <QPainter>

#include "util/error.h"
#include "views/indexes/graphicchart.h"
#include "views/indexes/indexesform.h"
#include "views/sociogram/graphform.h"
#include "views/target/targetform.h"
#include "views/viewform.h"
#include "views/viewregistry.h"

namespace {

TViewKind ViewOf(TReportPicture picture)
{
    switch (picture) {
    case TReportPicture::Sociogram:
        return TViewKind::Graph;
    case TReportPicture::Target:
        return TViewKind::Target;
    case TReportPicture::GroupChart:
    case TReportPicture::MemberChart:
        return TViewKind::Indexes;
    }
    return TViewKind::None;
}

// The chart of the indexes window a picture shows; nullptr for the other pictures.
TGraphicChart* ChartOf(TVisualChildForm* form, TReportPicture picture)
{
    auto* indexes = dynamic_cast<TIndexesForm*>(form);
    if (indexes == nullptr)
        return nullptr;
    return picture == TReportPicture::GroupChart ? &indexes->GroupChart() : &indexes->PrivateChart();
}

} // namespace

TViewPictures::TViewPictures(TFileAccess& store) : m_store(store)
{
}

TViewPictures::~TViewPictures() = default;

TVisualChildForm* TViewPictures::Form(int32_t investId, TViewKind kind)
{
    if (investId != m_investId) {
        m_forms.clear();
        m_investId = investId;
    }
    auto found = m_forms.find(kind);
    if (found != m_forms.end())
        return found->second.get();
    std::unique_ptr<TVisualChildForm> form;
    if (const TViewEntry* entry = FindViewByKind(kind)) {
        try {
            form.reset(entry->Create(m_store, investId, QString()));
        } catch (const TAppError&) {
            // An investigation of fewer than two members has no pictures; the report says why.
        }
    }
    if (form)
        form->MarkStateSaved();
    // A report is printed matter: the sociogram goes on white paper, as when it is printed.
    if (auto* graph = dynamic_cast<TGraphForm*>(form.get()); graph && !graph->PrintsBackground())
        graph->SetBackgroundColour(Qt::white);
    if (auto* target = dynamic_cast<TTargetForm*>(form.get()))
        target->ShowEveryRing();
    return m_forms.emplace(kind, std::move(form)).first->second.get();
}

QSize TViewPictures::PictureSize(int32_t investId, TReportPicture picture)
{
    TVisualChildForm* form = Form(investId, ViewOf(picture));
    if (form == nullptr)
        return {};
    if (const TGraphicChart* chart = ChartOf(form, picture))
        return chart->size();
    return form->PictureSize();
}

TDrawing TViewPictures::Drawing(int32_t investId, TReportPicture picture)
{
    TVisualChildForm* form = Form(investId, ViewOf(picture));
    if (form == nullptr)
        return [](QPainter&) {};
    if (const TGraphicChart* chart = ChartOf(form, picture)) {
        return [chart](QPainter& painter) {
            painter.fillRect(QRect(QPoint(0, 0), chart->size()), chart->BackGround());
            chart->PaintTo(painter, TGraphicChart::ExposedOf(painter)); // a band of the picture, or all
        };
    }
    return form->Drawing();
}
