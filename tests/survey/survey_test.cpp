#include <set>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "analysis/projectbuilder.h"
#include "survey/surveyapi.h"
#include "survey/surveycode.h"
#include "survey/surveyintake.h"
#include "survey/surveyqr.h"

namespace {

using TClock = TWrongCodeLimiter::TClock;

TSurveySetup ClassOfFour(int32_t maxChoices = 2, bool negatives = true)
{
    return {.InvestId = 1,
            .InvestName = "Desks",
            .Question = "With whom?",
            .Pupils = {{1, "Ann"}, {2, "Bob"}, {3, "<script>Cy</script>"}, {4, "Dee"}},
            .Limits = {maxChoices, negatives}};
}

std::string Post(const std::string& code, std::vector<int32_t> positive, std::vector<int32_t> negative = {})
{
    return nlohmann::json{{"code", code}, {"positive", positive}, {"negative", negative}}.dump();
}

} // namespace

TEST(SurveyCode, RandomTypableAndForgivingWhenTyped)
{
    std::set<std::string> seen;
    for (int i = 0; i < 500; ++i) {
        const std::string code = NewSurveyCode();
        ASSERT_EQ(code.size(), kSurveyCodeLength);
        EXPECT_EQ(code.find_first_of("0O1lIL"), std::string::npos) << code;
        seen.insert(code);
        EXPECT_EQ(NormalizeSurveyCode(" " + PrintedSurveyCode(code) + " "), code);
    }
    EXPECT_EQ(seen.size(), 500u);
    EXPECT_EQ(NormalizeSurveyCode("abcde-fghjk"), "ABCDEFGHJK");
    EXPECT_EQ(NormalizeSurveyCode("ABCDE-FGHJ0"), "");  // a look-alike is no symbol
    EXPECT_EQ(NormalizeSurveyCode("ABCDEFGHJ"), "");    // too short
    EXPECT_EQ(NormalizeSurveyCode("ABCDEFGHJKM"), "");  // too long
}

TEST(SurveyCollection, CodeAnswersOnceAndOnlyWithinTheRules)
{
    TSurveyCollection collection(ClassOfFour());
    const std::string ann = collection.CodeOf(1);
    EXPECT_NE(ann, collection.CodeOf(2));
    ASSERT_NE(collection.PupilOfOpenCode(ann), nullptr);
    EXPECT_EQ(collection.PupilOfOpenCode(ann)->Name, "Ann");

    const std::vector<std::pair<std::vector<int32_t>, TChoiceVerdict>> broken = {
        {{1}, TChoiceVerdict::SelfChoice},
        {{2, 2}, TChoiceVerdict::AlreadyChosen},
        {{2, 3, 4}, TChoiceVerdict::LimitReached},
        {{9}, TChoiceVerdict::NotMember},
    };
    for (const auto& [positive, verdict] : broken) {
        const TSubmitResult result = collection.Submit(ann, positive, {});
        EXPECT_EQ(result.Status, TSubmitStatus::Invalid);
        EXPECT_EQ(result.Verdict, verdict);
    }
    // The same pair cannot be chosen with both kinds.
    EXPECT_EQ(collection.Submit(ann, {2}, {2}).Verdict, TChoiceVerdict::AlreadyChosen);
    EXPECT_FALSE(collection.HasAnswered(1)); // a refused answer leaves the code open

    EXPECT_EQ(collection.Submit(PrintedSurveyCode(ann), {2, 3}, {4}).Status, TSubmitStatus::Accepted);
    EXPECT_EQ(collection.Submit(ann, {2}, {}).Status, TSubmitStatus::UsedCode);
    EXPECT_EQ(collection.PupilOfOpenCode(ann), nullptr);
    EXPECT_EQ(collection.Submit("ABCDEFGHJK", {}, {}).Status, TSubmitStatus::UnknownCode);
    ASSERT_EQ(collection.Answers().size(), 1u);
    EXPECT_EQ(collection.Answers()[0].Positive, (std::vector<int32_t>{2, 3}));

    collection.ResetCode(1);
    EXPECT_EQ(collection.AnsweredCount(), 0);
    EXPECT_EQ(collection.Submit(ann, {4}, {}).Status, TSubmitStatus::Accepted);

    TSurveyCollection positiveOnly(ClassOfFour(2, false));
    EXPECT_EQ(positiveOnly.Submit(positiveOnly.CodeOf(2), {1}, {3}).Verdict, TChoiceVerdict::NegativeNotAllowed);
}

TEST(SurveyCollection, AnAddressWaitsAfterTenWrongCodesInAMinute)
{
    TWrongCodeLimiter limiter;
    const TClock::time_point t0{};
    for (int i = 0; i < 9; ++i)
        limiter.NoteWrong("10.0.0.5", t0 + std::chrono::seconds(i));
    EXPECT_FALSE(limiter.MustWait("10.0.0.5", t0 + std::chrono::seconds(10)));
    limiter.NoteWrong("10.0.0.5", t0 + std::chrono::seconds(10));
    EXPECT_TRUE(limiter.MustWait("10.0.0.5", t0 + std::chrono::seconds(11)));
    EXPECT_FALSE(limiter.MustWait("10.0.0.6", t0 + std::chrono::seconds(11)));
    // The oldest wrong code leaves the window a minute after it came.
    EXPECT_FALSE(limiter.MustWait("10.0.0.5", t0 + std::chrono::seconds(60)));
}

TEST(SurveyApi, RepliesCarryTheInterfaceAndTheRightStatus)
{
    TSurveyCollection collection(ClassOfFour());
    TSurveyApi api(collection);
    const TClock::time_point now{};
    const std::string bob = collection.CodeOf(2);

    const TSurveyReply survey = api.Survey(bob, "a", now);
    ASSERT_EQ(survey.Status, 200);
    const auto json = nlohmann::json::parse(survey.Body);
    EXPECT_EQ(json["pupil"], "Bob");
    EXPECT_EQ(json["question"], "With whom?");
    EXPECT_EQ(json["members"].size(), 3u); // never the pupil itself
    for (const auto& member : json["members"])
        EXPECT_NE(member["id"], 2);
    EXPECT_EQ(json["limits"]["positive"], 2);
    EXPECT_EQ(json["limits"]["negative"], 2);

    EXPECT_EQ(api.Answer("{not json", "a", now).Status, 400);
    EXPECT_EQ(api.Answer(R"({"code": ")" + bob + R"(", "positive": ["3"]})", "a", now).Status, 400);
    EXPECT_EQ(api.Answer(Post(bob, {2}), "a", now).Status, 400);
    EXPECT_EQ(api.Answer(std::string(kSurveyMaxBody + 1, ' '), "a", now).Status, 413);
    EXPECT_EQ(api.Answer(Post(bob, {1, 3}, {4}), "a", now).Status, 200);

    const TSurveyReply used = api.Answer(Post(bob, {1}), "a", now);
    const TSurveyReply unknown = api.Answer(Post("ZZZZZZZZZZ", {1}), "a", now);
    EXPECT_EQ(used.Status, 409);
    EXPECT_EQ(unknown.Status, 404);
    EXPECT_EQ(used.Body, unknown.Body); // a guesser cannot tell them apart
    EXPECT_EQ(api.Survey(bob, "a", now).Status, 404);

    // Three wrong codes so far from "a"; seven more and it must wait, even with a good code.
    for (int i = 0; i < 7; ++i)
        api.Survey("ZZZZZZZZZZ", "a", now);
    EXPECT_EQ(api.Survey(collection.CodeOf(1), "a", now).Status, 429);
    EXPECT_EQ(api.Survey(collection.CodeOf(1), "b", now).Status, 200);
}

TEST(SurveyIntake, AnswersGoInThroughTheRulesAndEarlierChoicesStayUnlessReplaced)
{
    TProjectBuilder p;
    p.Members(1, 1, {1, 2, 3, 4}).For(1, 1, 2).Against(1, 1, 3).For(1, 4, 1);
    p.Members(2, 2, {5, 6}).For(2, 5, 6);
    EXPECT_EQ(PupilsWithChoices(p.store, 1), (std::vector<int32_t>{1, 4}));

    const std::vector<TSurveyAnswer> answers = {{1, {4}, {}}, {2, {1, 3}, {4}}};
    const TSurveyIntake keep = PlanSurveyIntake(p.store, 1, answers, false);
    EXPECT_EQ(keep.Taken, 1);
    EXPECT_EQ(keep.Kept, 1);
    EXPECT_EQ(keep.After.Positive, (std::vector<TChoice>{{1, 2}, {4, 1}, {2, 1}, {2, 3}}));
    EXPECT_EQ(keep.After.Negative, (std::vector<TChoice>{{1, 3}, {2, 4}}));

    const TSurveyIntake replace = PlanSurveyIntake(p.store, 1, answers, true);
    EXPECT_EQ(replace.Replaced, 1);
    EXPECT_EQ(replace.After.Positive, (std::vector<TChoice>{{4, 1}, {1, 4}, {2, 1}, {2, 3}}));
    EXPECT_EQ(replace.After.Negative, (std::vector<TChoice>{{2, 4}}));

    p.store.SetModified(false);
    ApplyStoredChoices(p.store, 1, replace.After);
    EXPECT_TRUE(p.store.IsModified());
    EXPECT_EQ(StoredChoicesOf(p.store, 1), replace.After);
    EXPECT_EQ(StoredChoicesOf(p.store, 2).Positive, (std::vector<TChoice>{{5, 6}})); // other investigations untouched
    ApplyStoredChoices(p.store, 1, replace.Before);
    EXPECT_EQ(StoredChoicesOf(p.store, 1), replace.Before);
}

TEST(SurveyPage, PlacesAreFilledEscapedAndQrCodesHaveTheirFinderPatterns)
{
    EXPECT_EQ(FillSurveyPage("<p>{{NO_SUCH_KEY}}</p>{{"), "<p></p>{{");

    const TQrMatrix qr = EncodeQr("http://192.168.1.20:8471/");
    ASSERT_GE(qr.Size, 21);
    // Each corner but the lower right holds a 7x7 finder: dark ring, light ring, dark 3x3 core.
    for (const auto& [cx, cy] : {std::pair{0, 0}, {qr.Size - 7, 0}, {0, qr.Size - 7}}) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int ring = std::max(std::abs(x - 3), std::abs(y - 3));
                EXPECT_EQ(qr.At(cx + x, cy + y), ring != 2) << cx << "," << cy;
            }
        }
    }
}
