#include "ui/display_text.h"

#include <QtTest>

#include <string>

class DisplayTextTest : public QObject {
    Q_OBJECT

private slots:
    void namesShowAsUtf8OrLatin1() {
        QVERIFY(IsValidUtf8("plain"));
        QVERIFY(IsValidUtf8("Zo\xC3\xA9"));
        QVERIFY(IsValidUtf8("\xE2\x82\xAC 10"));
        QVERIFY(IsValidUtf8("\xF0\x9F\x97\xBA"));
        QVERIFY(!IsValidUtf8("Zo\xE9"));           // Latin-1
        QVERIFY(!IsValidUtf8("\xC3"));             // cut short
        QVERIFY(!IsValidUtf8("\xC0\xAF"));         // overlong
        QVERIFY(!IsValidUtf8("\xE0\x80\xAF"));     // overlong
        QVERIFY(!IsValidUtf8("\xED\xA0\x80"));     // surrogate
        QVERIFY(!IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
        QVERIFY(!IsValidUtf8("\xA9t\xE9"));        // continuation byte first
        QCOMPARE(DisplayName("Zo\xC3\xA9"), QStringLiteral("Zoé"));
        QCOMPARE(DisplayName("Zo\xE9"), QStringLiteral("Zoé"));
        QCOMPARE(DisplayName("\xC3\xA9t\xE9"), QStringLiteral("Ã©té"));
        QCOMPARE(DisplayName(std::string()), QString());
        QCOMPARE(DisplayNameLines("A\r\n\xC9ric\r\nZo\xC3\xA9\r\n"),
                 QStringLiteral("A\nÉric\nZoé"));
        QCOMPARE(DisplayNameLines("\r\n\r\n"), QStringLiteral("\n"));
        // A byte order mark at the start of a UTF-8 name is not shown; one inside it is kept.
        QCOMPARE(DisplayName("\xEF\xBB\xBF"
                             "Abri"),
                 QStringLiteral("Abri"));
        QCOMPARE(DisplayName("A\xEF\xBB\xBF").size(), 2);
    }
};

QTEST_APPLESS_MAIN(DisplayTextTest)
#include "display_text_test.moc"
