#include "Road.hpp"

#include <QQuickItem>

namespace Selvor::Testing {
namespace {

const QString company = QStringLiteral("Тэнгэр Финанс ХХК");

class OrganizationRoad : public Road {
protected:
    [[nodiscard]] int count(const char* objectName) const {
        return int(ui.items(QLatin1String(objectName)).size());
    }

    // The index of the first item named `objectName` whose text is `text`, or -1.
    [[nodiscard]] int indexOf(const char* objectName, const QString& text) const {
        const auto found = ui.items(QLatin1String(objectName));
        for (int i = 0; i < found.size(); ++i) {
            if (found[i]->property("text").toString() == text)
                return i;
        }
        return -1;
    }

    void typeAndRegister(const QString& number) {
        // The list lays itself out again as its rows arrive.
        ui.settle();
        ui.click(QStringLiteral("registerOrganizationButton"));
        ASSERT_TRUE(ui.waitFor([&] { return ui.exists(QStringLiteral("registerNumberField")); }));
        ui.typeText(QStringLiteral("registerNumberField"), number);
        ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("lookupCard")); }));
        ui.pressKey(Qt::Key_Return);
    }
};

// The seeded person, already in two companies, registers a third with the director's approval,
// adds a signer and an administrator, removes one, and meets the limit on a fourth.
TEST_F(OrganizationRoad, registerManageMembersAndMeetTheLimit) {
    ASSERT_NO_FATAL_FAILURE(signInByPush(firstPerson()));
    ASSERT_NO_FATAL_FAILURE(visit(QStringLiteral("org")));
    ASSERT_TRUE(ui.waitFor([&] { return count("organizationRow") == 2; }));

    ASSERT_NO_FATAL_FAILURE(typeAndRegister(QStringLiteral("3021987")));
    EXPECT_EQ(ui.text(QStringLiteral("lookupName")), company);
    std::vector<SelvorSimTesting::PendingRequest> pending;
    ASSERT_TRUE(ui.waitFor([&] {
        pending = sim().pending();
        return !pending.empty() && pending.front().purpose == "director";
    }));
    EXPECT_NE(pending.front().displayText.find(company.toStdString()), std::string::npos);
    ASSERT_TRUE(ui.waitFor([&] { return count("codeBox") > 0; }));
    QString shown;
    for (QQuickItem* box : ui.items(QStringLiteral("codeBox")))
        shown += box->property("modelData").toString();
    EXPECT_EQ(shown.toStdString(), pending.front().verificationCode);
    sim().approve(pending.front().id);
    ASSERT_TRUE(ui.waitFor([&] { return count("organizationRow") == 3; }));
    const int row = indexOf("organizationName", company);
    ASSERT_GE(row, 0);

    ui.click(*ui.items(QStringLiteral("detailButton"))[row]);
    ASSERT_TRUE(ui.waitFor([&] { return count("memberRow") == 1; }));
    EXPECT_EQ(ui.text(QStringLiteral("organizationTitle")), company);
    ui.typeText(QStringLiteral("newMemberField"), QStringLiteral("че88111524"));
    ui.pressKey(Qt::Key_Return);
    ASSERT_TRUE(ui.waitFor([&] { return count("memberRow") == 2; }));
    ui.item(QStringLiteral("roleBox"))->forceActiveFocus();
    ui.pressKey(Qt::Key_Down);
    ui.typeText(QStringLiteral("newMemberField"), QStringLiteral("ИЙ02250837"));
    ui.click(QStringLiteral("addMemberButton"));
    ASSERT_TRUE(ui.waitFor([&] { return count("memberRow") == 3; }));
    EXPECT_GE(indexOf("memberLine", QStringLiteral("ЧЕ88111524 · SIGNER")), 0);
    EXPECT_GE(indexOf("memberLine", QStringLiteral("ИЙ02250837 · ADMIN")), 0);

    const int signer = indexOf("memberLine", QStringLiteral("ЧЕ88111524 · SIGNER"));
    ui.click(*ui.items(QStringLiteral("removeMemberButton"))[signer]);
    ASSERT_TRUE(ui.waitFor([&] { return count("memberRow") == 2; }));
    EXPECT_LT(indexOf("memberLine", QStringLiteral("ЧЕ88111524 · SIGNER")), 0);

    // Escape is "Буцах"; the fourth company is the service's to refuse.
    ui.pressKey(Qt::Key_Escape);
    ASSERT_TRUE(ui.waitFor([&] { return count("organizationRow") == 3; }));
    ASSERT_NO_FATAL_FAILURE(typeAndRegister(QStringLiteral("6543210")));
    ASSERT_TRUE(ui.waitFor([&] { return ui.visible(QStringLiteral("registerError")); }));
    EXPECT_TRUE(ui.text(QStringLiteral("registerErrorText"))
                    .contains(QStringLiteral("Нэг хүн дээд тал нь 3 байгууллагад")));
    EXPECT_FALSE(ui.visible(QStringLiteral("directorCard")));
    EXPECT_TRUE(ui.visible(QStringLiteral("registerButton")));
}

} // namespace
} // namespace Selvor::Testing
