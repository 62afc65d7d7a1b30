#include "SampleDashboard.hpp"
#include "ViewHarness.hpp"
#include "session/AppState.hpp"

#include <gtest/gtest.h>

#include <QColor>
#include <QQuickItem>

namespace Selvor {
namespace {

using Testing::sampleDashboard;
using Testing::ViewHarness;

// The account screens fill the main window's detail column.
const QSize detailSize(660, 620);

class AccountViews : public ::testing::Test {
protected:
    std::unique_ptr<ViewHarness> show(const QString& view) {
        return std::make_unique<ViewHarness>(
            u"account/"_qs + view, QVariantMap{{u"appState"_qs, QVariant::fromValue(&appState)}},
            detailSize);
    }

    // The texts of those shown.
    static QStringList texts(const QList<QQuickItem*>& items) {
        QStringList result;
        for (const QQuickItem* item : items) {
            if (item->isVisible())
                result.append(item->property("text").toString());
        }
        return result;
    }

    static QColor colour(const QQuickItem* item) { return item->property("color").value<QColor>(); }

    AppState appState;
};

// From the narrowest window (680, a 460-point detail column) up: card titles break only between
// words; from the default width up, a long name's greeting keeps to two lines.
TEST_F(AccountViews, dashboard_titlesBreakBetweenWords_atEveryWidth) {
    appState.completeSignIn(QString(), u"Батболд-Эрдэнэ Тэмүүжинбаатар"_qs);
    appState.setDashboardData(sampleDashboard(3));
    for (const int width : {460, 520, 600, 660, 760, 900, 1240}) {
        ViewHarness view(u"account/DashboardView.qml"_qs,
                         QVariantMap{{u"appState"_qs, QVariant::fromValue(&appState)}},
                         QSize(width, 620));
        for (const QQuickItem* title : view.items(u"cardTitle"_qs)) {
            EXPECT_LE(title->property("contentWidth").toReal(), title->width() + 0.5)
                << width << ": " << title->property("text").toString().toStdString();
        }
        if (width >= detailSize.width()) {
            EXPECT_LE(view.property(u"greeting"_qs, "lineCount").toInt(), 2) << width;
        }
    }
}

TEST_F(AccountViews, dashboard_withData_fillsInPlaceAndListsFiveActivities) {
    auto view = show(u"DashboardView.qml"_qs);
    appState.completeSignIn(QString(), u"Батболд Дорж"_qs);
    appState.setDashboardData(sampleDashboard(12));
    view->settle();

    EXPECT_EQ(view->text(u"greeting"_qs), u"Сайн байна уу, Батболд Дорж!"_qs);
    EXPECT_EQ(view->text(u"initials"_qs), u"БД"_qs);
    EXPECT_EQ(texts(view->items(u"cardTitle"_qs)),
              (QStringList{u"Аюулгүй байдал"_qs, u"Сертификат"_qs, u"Нийт нэвтрэлт"_qs,
                           u"Сүүлийн нэвтрэлт"_qs}));
    EXPECT_EQ(texts(view->items(u"cardValue"_qs)),
              (QStringList{u"98%"_qs, u"2"_qs, u"347"_qs, u"2026-11-30T23:59"_qs}));
    EXPECT_EQ(view->items(u"cardSubtitle"_qs)[3]->property("text"), u"Хаан банк"_qs);
    EXPECT_FALSE(view->visible(u"noDevices"_qs));
    EXPECT_EQ(texts(view->items(u"deviceSummary"_qs)),
              (QStringList{u"iOS · A1B2C3D4..."_qs, u"Android · f00dfeed..."_qs}));
    const QList<QQuickItem*> statuses = view->items(u"deviceStatus"_qs);
    ASSERT_EQ(statuses.size(), 2);
    EXPECT_EQ(colour(statuses[0]), view->theme().successGreen());
    EXPECT_EQ(colour(statuses[1]), view->theme().textSecondary());

    EXPECT_EQ(view->items(u"activityRow"_qs).size(), 5);
    EXPECT_FALSE(view->visible(u"noActivities"_qs));
    // The header line comes first, then the five rows.
    const QStringList dates = texts(view->items(u"activityDate"_qs));
    ASSERT_EQ(dates.size(), 6);
    EXPECT_EQ(dates[0], u"Огноо"_qs);
    EXPECT_EQ(dates[1], u"2026-11-30T23:59"_qs);
    const QStringList results = texts(view->items(u"activityResult"_qs));
    EXPECT_EQ(results[0], u"Төлөв"_qs);
    EXPECT_EQ(results[1], u"Амжилттай"_qs);
}

TEST_F(AccountViews, identity_withoutData_showsTitleAndProgressOnly) {
    auto view = show(u"IdentityView.qml"_qs);
    EXPECT_EQ(view->text(u"title"_qs), u"Цахим иргэний үнэмлэх"_qs);
    EXPECT_TRUE(view->visible(u"progress"_qs));
    EXPECT_FALSE(view->visible(u"identityPanel"_qs));
}

TEST_F(AccountViews, identity_withData_showsHeaderAndCells) {
    auto data = sampleDashboard();
    data->user.status = "BLOCKED";
    appState.setDashboardData(data);
    auto view = show(u"IdentityView.qml"_qs);

    EXPECT_FALSE(view->visible(u"progress"_qs));
    EXPECT_TRUE(view->visible(u"identityPanel"_qs));
    EXPECT_EQ(view->text(u"initials"_qs), u"БД"_qs);
    EXPECT_EQ(view->text(u"fullName"_qs), u"Батболд Дорж"_qs);
    EXPECT_EQ(view->text(u"nationalId"_qs), u"УБ99012345"_qs);
    EXPECT_TRUE(view->property(u"nationalId"_qs, "selectByMouse").toBool()) << "can be copied";
    EXPECT_EQ(texts(view->items(u"caption"_qs)).size(), 7);
    const QList<QQuickItem*> values = view->items(u"value"_qs);
    ASSERT_EQ(values.size(), 7);
    EXPECT_EQ(values[2]->property("text"), u"BLOCKED"_qs);
    EXPECT_EQ(colour(values[2]), view->theme().dangerRed());
    EXPECT_EQ(values[3]->property("text"), u"DAN"_qs);
    EXPECT_EQ(values[6]->property("text"), u"2 ширхэг"_qs);
}

TEST_F(AccountViews, history_withoutData_saysThereIsNoHistory) {
    auto view = show(u"HistoryView.qml"_qs);
    EXPECT_EQ(view->text(u"title"_qs), u"Нэвтрэлт / гарын үсгийн түүх"_qs);
    EXPECT_TRUE(view->visible(u"noHistory"_qs));
    EXPECT_EQ(view->text(u"noHistory"_qs), u"Түүх байхгүй"_qs);
    EXPECT_FALSE(view->exists(u"sessionRow"_qs));
}

TEST_F(AccountViews, history_withManySessions_createsOnlyVisibleRows) {
    appState.setDashboardData(sampleDashboard(100'000));
    auto view = show(u"HistoryView.qml"_qs);

    EXPECT_FALSE(view->visible(u"noHistory"_qs));
    EXPECT_EQ(view->property(u"sessionList"_qs, "count").toInt(), 100'000);
    const QList<QQuickItem*> rows = view->items(u"sessionRow"_qs);
    EXPECT_GT(rows.size(), 5);
    EXPECT_LT(rows.size(), 40);
    EXPECT_EQ(view->items(u"rpName"_qs).first()->property("text"), u"Хаан банк"_qs);
    EXPECT_EQ(view->items(u"kind"_qs).first()->property("text"), u"Нэвтрэлт"_qs);
    EXPECT_EQ(view->items(u"result"_qs).first()->property("text"), u"Амжилттай"_qs);

    QMetaObject::invokeMethod(view->item(u"sessionList"_qs), "positionViewAtEnd");
    EXPECT_TRUE(view->waitFor([&] {
        const QList<QQuickItem*> shown = view->items(u"sessionRow"_qs);
        return shown.size() < 40 && std::any_of(shown.begin(), shown.end(), [](QQuickItem* row) {
                   return row->isVisible() && row->property("index").toInt() == 99'999;
               });
    }));
}

TEST_F(AccountViews, history_failedResult_isRed) {
    auto data = sampleDashboard(7);
    data->sessions[0].result = "ok";
    appState.setDashboardData(data);
    auto view = show(u"HistoryView.qml"_qs);

    const QList<QQuickItem*> results = view->items(u"result"_qs);
    ASSERT_EQ(results.size(), 7);
    EXPECT_EQ(results[0]->property("text"), u"ok"_qs);
    EXPECT_EQ(colour(results[0]), view->theme().dangerRed());
    EXPECT_EQ(colour(results[1]), view->theme().successGreen());
    EXPECT_EQ(results[6]->property("text"), u"USER_REFUSED"_qs);
}

TEST_F(AccountViews, devices_withoutData_sayNoDevices) {
    auto view = show(u"DevicesView.qml"_qs);
    EXPECT_EQ(view->text(u"title"_qs), u"Итгэмжлэгдсэн төхөөрөмжүүд"_qs);
    EXPECT_TRUE(view->visible(u"noDevices"_qs));
    EXPECT_FALSE(view->exists(u"devicePanel"_qs));
}

TEST_F(AccountViews, devices_withData_onePanelEach) {
    appState.setDashboardData(sampleDashboard());
    auto view = show(u"DevicesView.qml"_qs);

    EXPECT_FALSE(view->visible(u"noDevices"_qs));
    EXPECT_EQ(view->items(u"devicePanel"_qs).size(), 2);
    EXPECT_EQ(texts(view->items(u"platform"_qs)), (QStringList{u"iOS"_qs, u"Android"_qs}));
    EXPECT_EQ(texts(view->items(u"deviceId"_qs)),
              (QStringList{u"ID: A1B2C3D4E5F6..."_qs, u"ID: f00dfeedcafe..."_qs}));
    EXPECT_EQ(texts(view->items(u"lastSeen"_qs)),
              (QStringList{u"Сүүлд: 2026-12-01T18:42"_qs, u"Бүртгэсэн: 2022-07-30"_qs}));
    const QList<QQuickItem*> statuses = view->items(u"status"_qs);
    EXPECT_EQ(colour(statuses[0]), view->theme().successGreen());
    EXPECT_EQ(statuses[1]->property("text"), u"REVOKED"_qs);
    EXPECT_EQ(colour(statuses[1]), view->theme().textSecondary());
}

TEST_F(AccountViews, security_withoutData_showsZeroAndUnknownLevel) {
    auto view = show(u"SecurityView.qml"_qs);
    EXPECT_EQ(view->text(u"title"_qs), u"Аюулгүй байдал"_qs);
    EXPECT_EQ(texts(view->items(u"panelTitle"_qs)),
              (QStringList{u"Сертификат"_qs, u"KYC түвшин"_qs}));
    EXPECT_EQ(view->text(u"certificates"_qs), u"Идэвхтэй сертификат: 0"_qs);
    EXPECT_EQ(view->text(u"kycLevel"_qs), u"Тодорхойгүй"_qs);
}

TEST_F(AccountViews, children_isAPlaceholder) {
    ViewHarness view_(u"account/ChildrenView.qml"_qs, {}, detailSize);
    ViewHarness* view = &view_;
    EXPECT_EQ(view->text(u"heading"_qs), u"Хүүхдийн бүртгэл"_qs);
    EXPECT_EQ(view->text(u"description"_qs), u"Хүүхдийн цахим гарын үсгийн бүртгэл удирдах."_qs);
}

} // namespace
} // namespace Selvor
