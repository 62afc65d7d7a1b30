#include "SampleDashboard.hpp"
#include "account/AccountText.hpp"
#include "account/DashboardViewModel.hpp"
#include "account/DevicesViewModel.hpp"
#include "account/HistoryViewModel.hpp"
#include "account/IdentityViewModel.hpp"
#include "account/SecurityViewModel.hpp"
#include "account/StatCard.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace Selvor {
namespace {

using Testing::sampleDashboard;

QString roleText(SessionListModel& model, int row, SessionListModel::Role role) {
    return model.data(model.index(row), role).toString();
}

QVariantMap device(const QVariantList& devices, int index) {
    return devices.at(index).toMap();
}

TEST(AccountText, initials_takeFirstLettersOfFirstTwoWords_upperCased) {
    EXPECT_EQ(AccountText::initials(u"Батболд Дорж Ганбаатар"_qs), u"БД"_qs);
    EXPECT_EQ(AccountText::initials(u"өлзий баяр"_qs), u"ӨБ"_qs);
    EXPECT_EQ(AccountText::initials(u"Сүхбаатар"_qs), u"С"_qs);
    EXPECT_EQ(AccountText::initials(u"  үүрцайх    эрдэнэ  "_qs), u"ҮЭ"_qs);
    EXPECT_EQ(AccountText::initials(QString()), QString());
    EXPECT_EQ(AccountText::initials(u"   "_qs), QString());
}

TEST(AccountText, greeting_withoutName_greetsGenericUser) {
    EXPECT_EQ(AccountText::greeting(QString()), u"Сайн байна уу, Хэрэглэгч!"_qs);
    EXPECT_EQ(AccountText::greeting(u"Батболд Дорж"_qs), u"Сайн байна уу, Батболд Дорж!"_qs);
}

TEST(AccountText, truncatedId_countsCharactersNotBytes) {
    EXPECT_EQ(AccountText::truncatedId("A1B2C3D4E5F6G7H8", 12), u"A1B2C3D4E5F6..."_qs);
    EXPECT_EQ(AccountText::truncatedId("ӨҮЁЖЩЪЫЬЭЮЯАБВ", 8), u"ӨҮЁЖЩЪЫЬ..."_qs);
    EXPECT_EQ(AccountText::truncatedId("abc", 8), u"abc..."_qs);
}

TEST(StatCards, withoutData_showZeroCountsAndNoLastLogin) {
    const std::vector<StatCard> cards = homeStatCards(nullptr);
    ASSERT_EQ(cards.size(), 4U);
    EXPECT_EQ(cards[0].title, u"Аюулгүй байдал"_qs);
    EXPECT_EQ(cards[0].colour, u"brandBlue"_qs);
    EXPECT_EQ(cards[0].icon, u"shield.checkered"_qs);
    EXPECT_EQ(cards[0].value, u"98%"_qs);
    EXPECT_FALSE(cards[0].subtitle);
    EXPECT_EQ(cards[1].value, u"0"_qs);
    EXPECT_EQ(cards[1].subtitle, u"0 ш баталгаажсан"_qs);
    EXPECT_EQ(cards[2].value, u"0"_qs);
    EXPECT_EQ(cards[2].subtitle, u"Бүх хугацаанд"_qs);
    EXPECT_EQ(cards[2].colour, u"textSecondary"_qs);
    EXPECT_EQ(cards[3].title, u"Сүүлийн нэвтрэлт"_qs);
    EXPECT_EQ(cards[3].value, u"—"_qs);
    EXPECT_FALSE(cards[3].subtitle);
}

TEST(StatCards, lastLogin_usesFirstSessionEvenWhenItIsASignature) {
    auto data = sampleDashboard(3);
    data->sessions[0].sessionType = "SIGN";
    data->sessions[0].createdAt = "2026-12-06T17:05:59.123Z";
    data->sessions[0].rpName = "Хаан банк";
    const std::vector<StatCard> cards = homeStatCards(data.get());
    EXPECT_EQ(cards[1].value, u"2"_qs);
    EXPECT_EQ(cards[1].subtitle, u"2 ш баталгаажсан"_qs);
    EXPECT_EQ(cards[2].value, u"347"_qs);
    EXPECT_EQ(cards[3].value, u"2026-12-06T17:05"_qs);
    EXPECT_EQ(cards[3].subtitle, u"Хаан банк"_qs);
}

TEST(StatCards, shortTimestamp_isShownWhole) {
    auto data = sampleDashboard(1);
    data->sessions[0].createdAt = "2026-12";
    EXPECT_EQ(homeStatCards(data.get())[3].value, u"2026-12"_qs);
}

class AccountViewModels : public ::testing::Test {
protected:
    AppState appState;
};

TEST_F(AccountViewModels, dashboard_beforeAnyLoad_showsEmptyStates) {
    DashboardViewModel model;
    model.setAppState(&appState);
    EXPECT_EQ(model.greeting(), u"Сайн байна уу, Хэрэглэгч!"_qs);
    EXPECT_EQ(model.initials(), QString());
    EXPECT_EQ(model.statCards().size(), 4);
    EXPECT_TRUE(model.devices().isEmpty());
    EXPECT_FALSE(model.hasActivities());
    EXPECT_EQ(model.activities()->rowCount(), 0);
}

TEST_F(AccountViewModels, dashboard_withTwelveSessions_listsFirstFive) {
    DashboardViewModel model;
    model.setAppState(&appState);
    QSignalSpy changed(&model, &DashboardViewModel::changed);
    appState.setDashboardData(sampleDashboard(12));

    EXPECT_GE(changed.count(), 1);
    EXPECT_TRUE(model.hasActivities());
    SessionListModel& activities = *model.activities();
    ASSERT_EQ(activities.rowCount(), 5);
    EXPECT_EQ(roleText(activities, 0, SessionListModel::RpNameRole), u"Хаан банк"_qs);
    EXPECT_EQ(roleText(activities, 0, SessionListModel::MomentRole), u"2026-11-30T23:59"_qs);
    EXPECT_EQ(roleText(activities, 0, SessionListModel::ActionRole), u"Нэвтрэлт"_qs);
    EXPECT_EQ(roleText(activities, 1, SessionListModel::ActionRole), u"Гарын үсэг"_qs);
    EXPECT_EQ(roleText(activities, 4, SessionListModel::RpNameRole), u"Мобиком"_qs);
}

TEST_F(AccountViewModels, dashboard_followsTheSignedInPersonsName) {
    DashboardViewModel model;
    model.setAppState(&appState);
    appState.completeSignIn(QString(), u"Энхтуяа Болд Сүрэн"_qs);
    EXPECT_EQ(model.initials(), u"ЭБ"_qs);
    EXPECT_EQ(model.greeting(), u"Сайн байна уу, Энхтуяа Болд Сүрэн!"_qs);
}

TEST_F(AccountViewModels, dashboard_deviceRows_showEightCharactersAndRegistration) {
    DashboardViewModel model;
    model.setAppState(&appState);
    appState.setDashboardData(sampleDashboard());

    ASSERT_EQ(model.devices().size(), 2);
    const QVariantMap ios = device(model.devices(), 0);
    EXPECT_EQ(ios[u"summary"_qs], u"iOS · A1B2C3D4..."_qs);
    EXPECT_EQ(ios[u"registered"_qs], u"Бүртгэсэн: 2024-01-05"_qs);
    EXPECT_EQ(ios[u"icon"_qs], u"iphone"_qs);
    EXPECT_EQ(ios[u"iconColour"_qs], u"brandBlue"_qs);
    EXPECT_EQ(ios[u"status"_qs], u"Идэвхтэй"_qs);
    EXPECT_EQ(ios[u"statusColour"_qs], u"successGreen"_qs);
    const QVariantMap android = device(model.devices(), 1);
    EXPECT_EQ(android[u"summary"_qs], u"Android · f00dfeed..."_qs);
    EXPECT_EQ(android[u"icon"_qs], u"phone"_qs);
    EXPECT_EQ(android[u"status"_qs], u"REVOKED"_qs);
    EXPECT_EQ(android[u"statusColour"_qs], u"textSecondary"_qs);
}

TEST_F(AccountViewModels, devices_lowerCaseIos_isShownAsItCameWithGreyPhone) {
    auto data = sampleDashboard();
    data->devices[0].platform = "ios";
    appState.setDashboardData(data);
    DevicesViewModel model;
    model.setAppState(&appState);

    const QVariantMap row = device(model.devices(), 0);
    EXPECT_EQ(row[u"platform"_qs], u"ios"_qs);
    EXPECT_EQ(row[u"icon"_qs], u"phone"_qs);
    EXPECT_EQ(row[u"iconColour"_qs], u"textSecondary"_qs);
}

TEST_F(AccountViewModels, devices_showTwelveCharactersAndLastUseOrRegistration) {
    appState.setDashboardData(sampleDashboard());
    DevicesViewModel model;
    model.setAppState(&appState);

    ASSERT_EQ(model.devices().size(), 2);
    const QVariantMap used = device(model.devices(), 0);
    EXPECT_EQ(used[u"idLine"_qs], u"ID: A1B2C3D4E5F6..."_qs);
    EXPECT_EQ(used[u"lastSeen"_qs], u"Сүүлд: 2026-12-01T18:42"_qs);
    const QVariantMap registered = device(model.devices(), 1);
    EXPECT_EQ(registered[u"idLine"_qs], u"ID: f00dfeedcafe..."_qs);
    EXPECT_EQ(registered[u"lastSeen"_qs], u"Бүртгэсэн: 2022-07-30"_qs);
}

TEST_F(AccountViewModels, history_listsEverySessionWithKindAndResult) {
    auto data = sampleDashboard(12);
    data->sessions[2].sessionType = "auth";
    data->sessions[3].result = "ok";
    appState.setDashboardData(data);
    HistoryViewModel model;
    model.setAppState(&appState);

    SessionListModel& sessions = *model.sessions();
    ASSERT_EQ(sessions.rowCount(), 12);
    EXPECT_TRUE(model.hasSessions());
    EXPECT_EQ(roleText(sessions, 2, SessionListModel::ActionRole), u"Нэвтрэлт"_qs);
    EXPECT_EQ(roleText(sessions, 2, SessionListModel::IconRole),
              u"person.badge.shield.checkmark"_qs);
    EXPECT_EQ(roleText(sessions, 1, SessionListModel::IconRole), u"signature"_qs);
    EXPECT_EQ(roleText(sessions, 0, SessionListModel::ResultRole), u"Амжилттай"_qs);
    EXPECT_EQ(roleText(sessions, 0, SessionListModel::ResultColourRole), u"successGreen"_qs);
    EXPECT_EQ(roleText(sessions, 3, SessionListModel::ResultRole), u"ok"_qs);
    EXPECT_EQ(roleText(sessions, 3, SessionListModel::ResultColourRole), u"dangerRed"_qs);
    EXPECT_EQ(roleText(sessions, 6, SessionListModel::ResultRole), u"USER_REFUSED"_qs);
}

TEST_F(AccountViewModels, history_afterSignOut_isEmptyAgain) {
    appState.setDashboardData(sampleDashboard(12));
    HistoryViewModel model;
    model.setAppState(&appState);
    QSignalSpy reset(model.sessions(), &QAbstractItemModel::modelReset);

    appState.signOut();

    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.sessions()->rowCount(), 0);
    EXPECT_FALSE(model.hasSessions());
}

TEST_F(AccountViewModels, identity_withoutData_hasNothingToShow) {
    IdentityViewModel model;
    model.setAppState(&appState);
    EXPECT_FALSE(model.hasData());
    EXPECT_TRUE(model.cells().isEmpty());
}

TEST_F(AccountViewModels, identity_showsCellsInOrder_inactiveStatusInRed) {
    auto data = sampleDashboard();
    data->user.fullName = "Оюунчимэг Батбаяр Должин";
    data->user.status = "SUSPENDED";
    appState.setDashboardData(data);
    IdentityViewModel model;
    model.setAppState(&appState);

    ASSERT_TRUE(model.hasData());
    EXPECT_EQ(model.initials(), u"ОБ"_qs);
    EXPECT_EQ(model.fullName(), u"Оюунчимэг Батбаяр Должин"_qs);
    EXPECT_EQ(model.nationalId(), u"УБ99012345"_qs);
    const QVariantList cells = model.cells();
    ASSERT_EQ(cells.size(), 7);
    const std::vector<std::pair<QString, QString>> expected{
        {u"Регистрийн дугаар"_qs, u"УБ99012345"_qs},
        {u"KYC түвшин"_qs, u"LEVEL_2"_qs},
        {u"Төлөв"_qs, u"SUSPENDED"_qs},
        {u"Баталгаажуулалт"_qs, u"DAN"_qs},
        {u"Бүртгэсэн огноо"_qs, u"2023-03-14"_qs},
        {u"Сертификат"_qs, u"2 ширхэг"_qs},
        {u"Төхөөрөмж"_qs, u"2 ширхэг"_qs},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QVariantMap cell = cells.at(static_cast<qsizetype>(i)).toMap();
        EXPECT_EQ(cell[u"caption"_qs], expected[i].first);
        EXPECT_EQ(cell[u"value"_qs], expected[i].second);
    }
    EXPECT_EQ(cells.at(2).toMap()[u"colour"_qs], u"dangerRed"_qs);
}

TEST_F(AccountViewModels, identity_activeStatus_isGreenIdevkhtei) {
    appState.setDashboardData(sampleDashboard());
    IdentityViewModel model;
    model.setAppState(&appState);
    const QVariantMap status = model.cells().at(2).toMap();
    EXPECT_EQ(status[u"value"_qs], u"Идэвхтэй"_qs);
    EXPECT_EQ(status[u"colour"_qs], u"successGreen"_qs);
}

TEST_F(AccountViewModels, security_withoutData_showsZeroAndUnknownLevel) {
    SecurityViewModel model;
    model.setAppState(&appState);
    EXPECT_EQ(model.certificateText(), u"Идэвхтэй сертификат: 0"_qs);
    EXPECT_EQ(model.kycText(), u"Тодорхойгүй"_qs);
}

TEST_F(AccountViewModels, viewModel_withoutAppState_showsEmptyStates) {
    SecurityViewModel security;
    EXPECT_EQ(security.certificateText(), u"Идэвхтэй сертификат: 0"_qs);
    {
        AppState shortLived;
        shortLived.setDashboardData(sampleDashboard(12));
        security.setAppState(&shortLived);
        EXPECT_EQ(security.certificateText(), u"Идэвхтэй сертификат: 2"_qs);
    }
    EXPECT_EQ(security.appState(), nullptr);
    EXPECT_EQ(security.certificateText(), u"Идэвхтэй сертификат: 0"_qs);
}

} // namespace
} // namespace Selvor
