#include "shell/reportcommand.h"

#include <memory>
#include <optional>

#include <QUrl>

#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "platform/pdfreport.h"
#include "reports/htmlbuilder.h"
#include "reports/textbuilder.h"
#include "reports/wordbuilder.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "shell/entityform.h"
#include "shell/formreporter.h"
#include "shell/selobjectform.h"
#include "util/error.h"
#include "views/viewpictures.h"

namespace {

// The object a command works on: its tree node kind and identifiers.
struct TReportObject {
    TNodeKind NodeKind = TNodeKind::None;
    int Id = -1;
    int GroupId = kNoGroupId;
};

// The pick window's kind and the node kind of its objects, for the commands that ask.
std::optional<TReportObject> PickObject(QWidget* owner, TFileAccess& store, TReportCommand command)
{
    TSelObjectForm::TKind pickKind = TSelObjectForm::KindClientGroup;
    TNodeKind nodeKind = TNodeKind::ClientGroup;
    switch (command) {
    case TReportCommand::Client:
        pickKind = TSelObjectForm::KindClient;
        nodeKind = TNodeKind::Client;
        break;
    case TReportCommand::CriteriaGroup:
        pickKind = TSelObjectForm::KindCriteriaGroup;
        nodeKind = TNodeKind::CriteriaGroup;
        break;
    case TReportCommand::Criterion:
        pickKind = TSelObjectForm::KindCriterion;
        nodeKind = TNodeKind::Criterion;
        break;
    case TReportCommand::Investigation:
        pickKind = TSelObjectForm::KindInvestigation;
        nodeKind = TNodeKind::Investigation;
        break;
    default:
        break;
    }
    TRepSelObjectForm pick(owner, store, pickKind);
    Modal().Exec(pick);
    if (!pick.Confirmed())
        return std::nullopt;
    return TReportObject{nodeKind, pick.ChosenId(), pick.ChosenGroupId()};
}

// The report target of an object; nothing for a node that has no report.
std::optional<TReportTarget> TargetOf(const TReportObject& object)
{
    switch (object.NodeKind) {
    case TNodeKind::ClientGroup:
        return TReportTarget{TReportKind::ClientGroup, object.Id, kNoGroupId};
    case TNodeKind::Client:
        return TReportTarget{TReportKind::Client, object.Id, object.GroupId};
    case TNodeKind::CriteriaGroup:
        return TReportTarget{TReportKind::CriteriaGroup, object.Id, kNoGroupId};
    case TNodeKind::Criterion:
        return TReportTarget{TReportKind::Criterion, object.Id, object.GroupId};
    case TNodeKind::Investigation:
        return TReportTarget{TReportKind::Investigation, object.Id, kNoGroupId};
    default:
        return std::nullopt;
    }
}

std::unique_ptr<TReporter> MakeBuilder(TReportFormat format, const TReportTarget& target, bool show,
                                       const std::string& fileName)
{
    switch (format) {
    case TReportFormat::Text:
        return std::make_unique<TTextBuilder>(target, show, fileName);
    case TReportFormat::Html:
        return std::make_unique<THTMLBuilder>(target, show, fileName);
    case TReportFormat::Word:
        return std::make_unique<TWordBuilder>(target, show, fileName);
    case TReportFormat::Pdf:
        return std::make_unique<TPdfBuilder>(target, show, fileName);
    }
    return nullptr;
}

} // namespace

void RunReportCommand(QWidget* owner, TFileAccess& store, TReportCommand command, TNodeKind nodeKind,
                      const TNodeIds& nodeIds)
{
    const bool blank = command == TReportCommand::Sociocard || command == TReportCommand::Sociomatrix;
    std::optional<TReportObject> object;
    if (command == TReportCommand::CurrentObject || blank)
        object = TReportObject{nodeKind, nodeIds.Id, nodeIds.ParentId};
    else
        object = PickObject(owner, store, command);
    if (!object)
        return;
    if (blank && object->NodeKind != TNodeKind::Investigation)
        return;

    // A report that could not be written (no such folder, no permission) brings the window back,
    // filled as it was left, so another name can be given without picking the object again.
    for (;;) {
        TReportRegs& regs = Regs().Report;
        TFormReporter form(owner);
        form.SetFormat(static_cast<TReportFormat>(regs.ReportType));
        form.SetShowResult(regs.IsShowReport);
        form.SetFileName(QString::fromStdString(regs.FileName));
        Modal().Exec(form);
        regs.ReportType = static_cast<int16_t>(form.Format());
        // The choices are kept whatever happens next, also when writing fails.
        regs.IsShowReport = form.ShowResult();
        regs.FileName = form.FileName().toStdString();
        if (form.Result() != TFormReporter::ResultCreate)
            return;

        const TReportFormat format = form.Format();
        const std::string fileName = form.OutputFileName().toStdString();
        const std::optional<TReportTarget> target =
            blank ? std::optional<TReportTarget>(TReportTarget{TReportKind::Investigation, object->Id, kNoGroupId})
                  : TargetOf(*object);
        if (!target)
            return;
        std::unique_ptr<TReporter> builder = MakeBuilder(format, *target, form.ShowResult(), fileName);
        if (!builder)
            return;
        builder->SetStore(store);
        TViewPictures pictures(store);
        builder->SetPictures(&pictures);
        SetDocumentOpener([](const std::string& path) {
            return Modal().OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)).toString());
        });
        try {
            if (command == TReportCommand::Sociocard)
                builder->Sociocard();
            else if (command == TReportCommand::Sociomatrix)
                builder->Sociomatrix();
            else
                builder->Generate();
        } catch (const TAppError& error) {
            const std::string text = error.what();
            if (!text.starts_with(LangConv().GetText("REPORT_WRITE_ERROR")))
                throw;
            ShowMessageText(owner, QString::fromStdString(text));
            continue;
        }
        // Asked to open the written report: say so when no program could, rather than nothing at all.
        if (form.ShowResult() && !builder->Shown())
            ShowMessageText(owner, CatalogueText("REPORT_NOT_OPENED") + QLatin1Char('\n') +
                                       QString::fromStdString(fileName));
        return;
    }
}
