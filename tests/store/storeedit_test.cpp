#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/fileacc.h"
#include "store/storeedit.h"
#include "support/core/tempdir.h"

namespace {

std::string FileText(const TFileAccess& store)
{
    std::string text;
    EXPECT_TRUE(store.BuildFileText(text));
    return text;
}

void LoadSample(TFileAccess& store)
{
    store.SetFileName(TREMLOW_SOURCE_DATA_DIR "/examples/school-class.soi");
    ASSERT_TRUE(store.Load());
}

// One change of the kinds the tree, the dialogs, the choices window and the sociogram make.
using TChange = std::function<void(TFileAccess&, std::mt19937&)>;

std::vector<TChange> Changes()
{
    auto pick = [](std::mt19937& random, int32_t count) {
        return count == 0 ? -1 : static_cast<int32_t>(random() % static_cast<uint32_t>(count));
    };
    return {
        [](TFileAccess& s, std::mt19937& r) { s.ClientGroups().Add(100 + static_cast<int>(r() % 50), "Group"); },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.Clients().Count());
            if (i >= 0)
                s.DeleteClient(s.Clients().At(i).Id, s.Clients().At(i).GroupId);
        },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.Clients().Count());
            if (i < 0)
                return;
            const TAClient c = s.Clients().At(i);
            s.Clients().Change(c.Id, c.GroupId, c.FullName + " Jr", !c.IsMale, c.BirthDate + 1);
            s.Clients().SetDescription("renamed");
        },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.ClientGroups().Count());
            if (i < 0)
                return;
            const int32_t id = s.ClientGroups().At(i).Id;
            s.DeleteClientsOfGroup(id);
            s.DeleteClientGroup(id);
        },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.Investigations().Count());
            if (i >= 0)
                s.DeleteInvestigation(s.Investigations().At(i).Id);
        },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.CriteriaGroups().Count());
            if (i >= 0 && s.CriteriaGroups().FindById(s.CriteriaGroups().At(i).Id))
                s.CriteriaGroups().Change(s.CriteriaGroups().GetId(), "Questions " + std::to_string(r() % 9));
        },
        [](TFileAccess& s, std::mt19937& r) {
            s.ForChoices().Add(1, 1 + static_cast<int>(r() % 9), 1 + static_cast<int>(r() % 9));
        },
        [pick](TFileAccess& s, std::mt19937& r) {
            const int32_t i = pick(r, s.Placements().Count());
            if (i < 0)
                return;
            TGraphPlace place = s.Placements().At(i);
            place.Left += 7;
            place.FigType = static_cast<int16_t>(r() % 4);
            s.Placements().Find({place.InvestId, place.ClientId, place.ClientGroupId, place.SelType});
            s.Placements().Change(place);
        },
        [](TFileAccess& s, std::mt19937&) { s.SetLoginRequired(!s.LoginRequired()); },
    };
}

} // namespace

// Every change taken back gives the file it started from, and made again the file it made,
// one change at a time and over a long run undone to the start.
TEST(StoreEdit, RevertAndApplyGiveTheSameFileByteForByte)
{
    const std::vector<TChange> changes = Changes();
    std::mt19937 random(20261207);
    for (const TChange& change : changes) {
        TFileAccess store;
        LoadSample(store);
        const std::string before = FileText(store);
        TStoreEdit edit(store);
        change(store, random);
        EXPECT_TRUE(edit.Finish(store));
        const std::string after = FileText(store);
        edit.Revert(store);
        EXPECT_EQ(FileText(store), before);
        edit.Apply(store);
        EXPECT_EQ(FileText(store), after);
    }

    TFileAccess store;
    LoadSample(store);
    const std::string original = FileText(store);
    std::vector<TStoreEdit> done;
    for (int step = 0; step < 500; ++step) {
        TStoreEdit edit(store);
        changes[random() % changes.size()](store, random);
        if (edit.Finish(store))
            done.push_back(std::move(edit));
        // Now and then an undo, as a user would.
        if (step % 7 == 3 && !done.empty()) {
            done.back().Revert(store);
            done.pop_back();
        }
    }
    ASSERT_GT(done.size(), 100u);
    const std::string last = FileText(store);
    for (auto it = done.rbegin(); it != done.rend(); ++it)
        it->Revert(store);
    EXPECT_EQ(FileText(store), original);
    for (const TStoreEdit& edit : done)
        edit.Apply(store);
    EXPECT_EQ(FileText(store), last);
}

// A change that writes every record back as it was is no change: the modified flag stays as it
// was before, whether the project was saved or already held other changes.
TEST(StoreEdit, AnEditThatChangedNothingLeavesTheModifiedFlagAsItWas)
{
    for (const bool modified : {false, true}) {
        SCOPED_TRACE(modified);
        TFileAccess store;
        LoadSample(store);
        store.SetModified(modified);
        TStoreEdit edit(store);
        TClientTable& clients = store.Clients();
        const TAClient client = clients.At(3);
        ASSERT_TRUE(clients.Find(client.Id, client.GroupId));
        clients.Change(client.Id, client.GroupId, client.FullName, client.IsMale, client.BirthDate);
        clients.SetDescription(client.Description);
        ASSERT_TRUE(store.IsModified());
        EXPECT_FALSE(edit.Finish(store));
        EXPECT_EQ(store.IsModified(), modified);
    }
}
