// The update feed library on its own: version order, the feed parser against realistic and
// hostile feeds, release notes as text, and the Ed25519 check with keys made by OpenSSL.
#include "shell/updates/AppVersion.hpp"
#include "shell/updates/Appcast.hpp"
#include "shell/updates/UpdateSignature.hpp"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>

namespace Selvor {
namespace {

// The development key the simulator signs with.
const QByteArray devSeed =
    QByteArray::fromHex("906c38a29f8d4b3632c1ad87d0fe45821ee995c5f2d863d196d018577b696947");

using PKeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

PKeyPtr devKey() {
    PKeyPtr key(EVP_PKEY_new_raw_private_key(
                    EVP_PKEY_ED25519, nullptr,
                    reinterpret_cast<const unsigned char*>(devSeed.constData()), devSeed.size()),
                &EVP_PKEY_free);
    EXPECT_TRUE(key);
    return key;
}

QByteArray devPublicKey() {
    QByteArray raw(32, '\0');
    std::size_t size = raw.size();
    EXPECT_EQ(EVP_PKEY_get_raw_public_key(devKey().get(),
                                          reinterpret_cast<unsigned char*>(raw.data()), &size),
              1);
    return raw;
}

QByteArray devSign(const QByteArray& message) {
    const PKeyPtr key = devKey();
    const MdCtxPtr context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    QByteArray signature(64, '\0');
    std::size_t size = signature.size();
    EXPECT_EQ(EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()), 1);
    EXPECT_EQ(EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()),
                             &size, reinterpret_cast<const unsigned char*>(message.constData()),
                             message.size()),
              1);
    return signature;
}

TEST(UpdateFeed, versionsCompareNumericallyPartByPart) {
    EXPECT_EQ(compareVersions(u"1.2.1", u"1.2.0"), std::strong_ordering::greater);
    EXPECT_EQ(compareVersions(u"1.10", u"1.9"), std::strong_ordering::greater);
    EXPECT_EQ(compareVersions(u"1.2", u"1.2.0"), std::strong_ordering::equal);
    EXPECT_EQ(compareVersions(u"0.9.9", u"1"), std::strong_ordering::less);
    EXPECT_EQ(compareVersions(u"999999999.0", u"999999998.9"), std::strong_ordering::greater);
    for (const QStringView bad : {u"", u"1.", u".1", u"1..2", u"1.2-beta", u"v1.2", u" 1.2", u"+1",
                                  u"1.1234567890", u"١.٢"}) {
        EXPECT_EQ(compareVersions(bad, u"1.0"), std::nullopt) << bad.toString().toStdString();
        EXPECT_EQ(compareVersions(u"1.0", bad), std::nullopt) << bad.toString().toStdString();
    }
    EXPECT_EQ(versionOrDefault(QString()), u"1.0.0");
    EXPECT_EQ(compareVersions(applicationVersion(), u"0"), std::strong_ordering::greater);
}

const QByteArray signatureBase64 = QByteArray(64, '\x5a').toBase64();

QByteArray feed(const QByteArray& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Selvor</title><link>https://updates.example/</link>)" +
           items + "</channel></rss>";
}

// A current-style item: versions as elements.
const QByteArray validItem = R"(<item>
  <title>Selvor &lt;b&gt;1.10&lt;/b&gt;</title>
  <description><![CDATA[<h2>Шинэ</h2><ul>
    <li>Хурдан   нэвтрэлт</li>
    <li>A &amp; B</li></ul><script>alert(1)</script>]]></description>
  <sparkle:version>1.10.0</sparkle:version>
  <sparkle:shortVersionString>1.10</sparkle:shortVersionString>
  <sparkle:releaseNotesLink>https://updates.example/notes/1.10</sparkle:releaseNotesLink>
  <enclosure url="https://updates.example/selvor_1.10.0_amd64.deb" length="4096"
    type="application/vnd.debian.binary-package" sparkle:edSignature="SIG"/>
</item>)";

QByteArray signedItem() {
    return QByteArray(validItem).replace("SIG", signatureBase64);
}

QByteArray itemWith(const QByteArray& from, const QByteArray& to) {
    QByteArray item = signedItem();
    EXPECT_TRUE(item.contains(from)) << from.toStdString();
    return item.replace(from, to);
}

TEST(UpdateFeed, realisticFeedGivesEveryFieldAndTheNewestByVersion) {
    // Older style first: versions as enclosure attributes, notes link elsewhere.
    const QByteArray older = R"(<item><title>Selvor 1.9</title><description>Засвар</description>
      <sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink>
      <enclosure url="http://updates.example/1.9.deb" length="12" sparkle:version="1.9.0"
        sparkle:edSignature=")" +
                             signatureBase64 + R"("/></item>)";
    const auto items = parseAppcast(feed(older + signedItem()));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].version, u"1.9.0");
    EXPECT_EQ(items[0].shortVersion, u"1.9.0");
    EXPECT_TRUE(items[0].releaseNotesLink.isEmpty());
    const AppcastItem& item = items[1];
    EXPECT_EQ(item.title, u"Selvor <b>1.10</b>");
    EXPECT_EQ(item.version, u"1.10.0");
    EXPECT_EQ(item.shortVersion, u"1.10");
    EXPECT_EQ(item.releaseNotes, u"Шинэ\n• Хурдан нэвтрэлт\n• A & B");
    EXPECT_EQ(item.releaseNotesLink, QUrl(u"https://updates.example/notes/1.10"_qs));
    EXPECT_EQ(item.enclosureUrl, QUrl(u"https://updates.example/selvor_1.10.0_amd64.deb"_qs));
    EXPECT_EQ(item.length, 4096);
    EXPECT_EQ(item.edSignature, QByteArray(64, '\x5a'));

    EXPECT_EQ(newestUpdate(items, u"1.0.0")->version, u"1.10.0");
    EXPECT_EQ(newestUpdate({items[1], items[0]}, u"1.0.0")->version, u"1.10.0");
    EXPECT_FALSE(newestUpdate(items, u"1.10"));
    EXPECT_FALSE(newestUpdate(items, u"2.0.0"));
    EXPECT_FALSE(newestUpdate(items, u"dev"));
}

TEST(UpdateFeed, itemsMissingAPieceOrPointingOffTheWebAreLeftOutAndTheRestBounded) {
    const std::pair<QByteArray, QByteArray> breakages[] = {
        {"<sparkle:version>1.10.0</sparkle:version>", ""},
        {"<sparkle:version>1.10.0<", "<sparkle:version>1.10.0-beta<"},
        {"<enclosure", "<other"},
        {R"(url="https://updates.example/selvor_1.10.0_amd64.deb")", ""},
        {"https://updates.example/selvor", "javascript:alert(1)//"},
        {"https://updates.example/selvor", "file:///etc/selvor"},
        {"https://updates.example/selvor", "https:///selvor"},
        {"https://updates.example/selvor", "//updates.example/selvor"},
        {"https://updates.example/selvor", "ftp://updates.example/selvor"},
        {R"(length="4096")", ""},
        {R"(length="4096")", R"(length="0")"},
        {R"(length="4096")", R"(length="-4096")"},
        {R"(length="4096")", R"(length="4096 bytes")"},
        {R"(length="4096")", R"(length="99999999999999999999")"},
        {"sparkle:edSignature", "edSignature"},
        {signatureBase64, "not base64!"},
        {signatureBase64, QByteArray(63, '\x5a').toBase64()},
    };
    for (const auto& [from, to] : breakages) {
        EXPECT_TRUE(parseAppcast(feed(itemWith(from, to))).empty()) << to.toStdString();
    }
    EXPECT_EQ(parseAppcast(feed(signedItem().repeated(1001))).size(), 1000u);
}

TEST(UpdateFeed, documentsThatAreNotFeedsAreRefused) {
    const QByteArray documents[] = {
        "",
        feed(signedItem()).chopped(10),
        "<rss><channel><item></channel></rss>",
        "<feed><channel/></feed>",
        R"(<rss xmlns="http://www.w3.org/2005/Atom"><channel/></rss>)",
        R"(<!DOCTYPE rss [<!ENTITY a "aaaaaaaa"><!ENTITY b "&a;&a;&a;&a;">]><rss>&b;</rss>)",
        "<rss><channel><title>&nbsp;</title></channel></rss>",
        "<rss/><rss/>",
        feed(QByteArray(4 * 1024 * 1024, ' ')),
    };
    for (const QByteArray& document : documents) {
        EXPECT_THROW(static_cast<void>(parseAppcast(document)), AppcastError)
            << document.left(80).toStdString();
    }
    EXPECT_TRUE(parseAppcast("<rss/>").empty());
}

TEST(UpdateFeed, releaseNotesBecomePlainText) {
    const std::pair<QStringView, QStringView> cases[] = {
        {u"Plain  notes\n\n\n\nkeep   their\r\nlines ", u"Plain notes\n\nkeep their\nlines"},
        {u"<p>One</p>\n<p>Two<br><br><br>Three</p>", u"One\nTwo\n\nThree"},
        {u"<li> a<li>b</li>", u"• a\n• b"},
        {u"x<!-- <li>hidden --> y<!-- open", u"x y"},
        {u"<a title=\"a>b\" href='c>d'>link</a> <style>p{}</style>", u"link"},
        {u"&lt;b&gt;&quot;&#39;&apos;&nbsp;&#x41;&#66;&amp;amp;", u"<b>\"'' AB&amp;"},
        {u"&#0;&#xD800;&#99999999999;&#x110000;&#128512;", u"\uFFFD\uFFFD\uFFFD\uFFFD😀"},
        {u"a < b & c &bogus; &#; &#x41 <3", u"a < b & c &bogus; &#; &#x41 <3"},
        {u"cut <b", u"cut"},
    };
    for (const auto& [html, text] : cases) {
        EXPECT_EQ(plainTextFromHtml(html), text) << html.toString().toStdString();
    }
}

TEST(UpdateFeed, signaturesVerifyOnlyForTheSignedBytesAndKey) {
    const QByteArray message = "selvor_1.10.0_amd64.deb contents";
    const QByteArray signature = devSign(message);
    const QByteArray key = devPublicKey();
    EXPECT_TRUE(verifyEd25519(key, signature, message));
    EXPECT_TRUE(verifyEd25519(key, devSign({}), {}));

    QByteArray otherMessage = message;
    otherMessage[5] = char(otherMessage[5] ^ 1);
    QByteArray otherSignature = signature;
    otherSignature[40] = char(otherSignature[40] ^ 0x80);
    QByteArray otherKey = key;
    otherKey[0] = char(otherKey[0] ^ 1);
    EXPECT_FALSE(verifyEd25519(key, signature, otherMessage));
    EXPECT_FALSE(verifyEd25519(key, otherSignature, message));
    EXPECT_FALSE(verifyEd25519(otherKey, signature, message));
    EXPECT_FALSE(verifyEd25519(key.chopped(1), signature, message));
    EXPECT_FALSE(verifyEd25519(key, signature + '\0', message));
    EXPECT_FALSE(verifyEd25519({}, {}, message));
}

TEST(UpdateFeed, builtInKeyIsTheDevelopmentKeyTheSimulatorSignsWith) {
    EXPECT_EQ(trustedUpdateKey(), devPublicKey());
}

TEST(UpdateFeed, downloadedFilesAreCheckedForLengthAndSignature) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray contents(100'000, 'p');
    const QByteArray signature = devSign(contents);
    const QByteArray key = devPublicKey();
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return file.fileName();
    };
    const QString good = write(u"good.deb"_qs, contents);
    QByteArray tamperedBytes = contents;
    tamperedBytes[99'999] = 'q';
    const QString tampered = write(u"tampered.deb"_qs, tamperedBytes);
    const QString empty = write(u"empty.deb"_qs, {});

    EXPECT_EQ(checkUpdateFile(good, contents.size(), signature, key), UpdateFileVerdict::Verified);
    EXPECT_EQ(checkUpdateFile(good, contents.size() + 1, signature, key),
              UpdateFileVerdict::WrongLength);
    EXPECT_EQ(checkUpdateFile(tampered, contents.size(), signature, key),
              UpdateFileVerdict::BadSignature);
    EXPECT_EQ(checkUpdateFile(empty, 0, signature, key), UpdateFileVerdict::Unreadable);
    EXPECT_EQ(checkUpdateFile(dir.filePath(u"missing.deb"_qs), 1, signature, key),
              UpdateFileVerdict::Unreadable);
    EXPECT_EQ(checkUpdateFile(dir.path(), 1, signature, key), UpdateFileVerdict::Unreadable);
}

} // namespace
} // namespace Selvor
