#pragma once

#include <map>
#include <memory>

#include "platform/reportpictures.h"
#include "views/viewkind.h"

class TFileAccess;
class TVisualChildForm;

// The investigation report's pictures drawn by the view windows themselves, made offscreen and
// never shown: the sociogram in its stored arrangement (the default layout where none is stored),
// the target diagram and the two charts of the indexes window, each of the positive choices as a
// newly opened window shows them. The windows of the last investigation asked for are kept, so
// each is made once per report.
class TViewPictures final : public TPaintedPictures {
public:
    explicit TViewPictures(TFileAccess& store);
    ~TViewPictures() override;
    TViewPictures(const TViewPictures&) = delete;
    TViewPictures& operator=(const TViewPictures&) = delete;

    QSize PictureSize(int32_t investId, TReportPicture picture) override;
    TDrawing Drawing(int32_t investId, TReportPicture picture) override;

private:
    // The window of a kind for the investigation; nullptr when it cannot be made (fewer than two
    // members).
    TVisualChildForm* Form(int32_t investId, TViewKind kind);

    TFileAccess& m_store;
    int32_t m_investId = -1;
    std::map<TViewKind, std::unique_ptr<TVisualChildForm>> m_forms;
};
