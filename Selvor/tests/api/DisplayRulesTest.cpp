#include "api/models/DisplayRules.hpp"

#include <gtest/gtest.h>

namespace Selvor {
namespace {

TEST(DisplayRules, timestampsAreShortenedByCharacters) {
    EXPECT_EQ(momentText("2026-12-06T10:15:30Z"), "2026-12-06T10:15");
    EXPECT_EQ(dayText("2026-12-06T10:15:30Z"), "2026-12-06");
    EXPECT_EQ(momentText("2026-12"), "2026-12");
    EXPECT_EQ(dayText(""), "");
    // Ten Cyrillic letters are twenty bytes; the cut falls after the tenth letter.
    EXPECT_EQ(dayText("Арван нэгэн үсэгтэй"), "Арван нэгэ");
    EXPECT_EQ(characterPrefix("Өө", 1), "Ө");
}

TEST(DisplayRules, platformsAreNamedOnlyWhenExactlyKnown) {
    EXPECT_EQ(platformLabel("IOS"), "iOS");
    EXPECT_EQ(platformLabel("ANDROID"), "Android");
    EXPECT_EQ(platformLabel("ios"), "ios");
    EXPECT_EQ(platformLabel("HARMONY"), "HARMONY");
}

TEST(DisplayRules, deviceStatusAndResultLabelsCarryTheirTone) {
    EXPECT_EQ(deviceStatusLabel("ACTIVE"), (ToneLabel{"Идэвхтэй", LabelTone::success}));
    EXPECT_EQ(deviceStatusLabel("REVOKED"), (ToneLabel{"REVOKED", LabelTone::secondary}));
    EXPECT_EQ(resultLabel("OK"), (ToneLabel{"Амжилттай", LabelTone::success}));
    EXPECT_EQ(resultLabel("ok"), (ToneLabel{"ok", LabelTone::danger}));
    EXPECT_EQ(resultLabel("USER_REFUSED"), (ToneLabel{"USER_REFUSED", LabelTone::danger}));
}

TEST(DisplayRules, authInAnyLetterCaseIsALogin) {
    EXPECT_EQ(actionLabel("AUTH"), "Нэвтрэлт");
    EXPECT_EQ(actionLabel("auth"), "Нэвтрэлт");
    EXPECT_EQ(actionLabel("Auth"), "Нэвтрэлт");
    EXPECT_EQ(actionLabel("SIGN"), "Гарын үсэг");
    EXPECT_EQ(actionLabel("AUTHX"), "Гарын үсэг");
    EXPECT_EQ(actionLabel(""), "Гарын үсэг");
}

} // namespace
} // namespace Selvor
