#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace Selvor {
namespace {

using Tab = AppState::SidebarTab;

TEST(AppStateTest, freshState_isSignedOutOnHome) {
    AppState state;
    EXPECT_EQ(state.screen(), AppState::Screen::Login);
    EXPECT_EQ(state.selectedTab(), Tab::Home);
    EXPECT_TRUE(state.nationalID().isEmpty());
    EXPECT_TRUE(state.fullName().isEmpty());
    EXPECT_TRUE(state.kycLevel().isEmpty());
    EXPECT_TRUE(state.sessionID().isEmpty());
    EXPECT_EQ(state.dashboardData(), nullptr);
}

TEST(AppStateTest, sidebarTab_rawValuesMatchExactly) {
    const std::pair<const char*, Tab> cases[] = {{"home", Tab::Home},
                                                 {"id", Tab::Id},
                                                 {"logs", Tab::Logs},
                                                 {"devices", Tab::Devices},
                                                 {"security", Tab::Security},
                                                 {"children", Tab::Children},
                                                 {"token", Tab::Token},
                                                 {"sign", Tab::Sign},
                                                 {"org", Tab::Org}};
    for (const auto& [raw, tab] : cases) {
        EXPECT_EQ(AppState::sidebarTabFromRawValue(QString::fromLatin1(raw)), tab) << raw;
        EXPECT_EQ(AppState::rawValue(tab), QString::fromLatin1(raw));
    }
    EXPECT_EQ(AppState::sidebarTabFromRawValue(u"Home"), std::nullopt);
    EXPECT_EQ(AppState::sidebarTabFromRawValue(u""), std::nullopt);
    EXPECT_EQ(AppState::sidebarTabFromRawValue(u"home "), std::nullopt);
}

TEST(AppStateTest, setters_notifyOnlyOnChange) {
    AppState state;
    QSignalSpy tabChanged(&state, &AppState::selectedTabChanged);
    state.setSelectedTab(Tab::Logs);
    state.setSelectedTab(Tab::Logs);
    EXPECT_EQ(tabChanged.count(), 1);
}

} // namespace
} // namespace Selvor
