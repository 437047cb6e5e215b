#include "net/pattern_matcher.h"

#include <QtTest>

using namespace Plumbrook;

namespace {

const QString kAnnouncement =
    QString::fromUtf8("href=\"(\\S+)\" target=\"_blank\" class=\"xi2\">(.[^\\<]*)?\\</a>");

} // namespace

class TestPatternMatcher : public QObject
{
    Q_OBJECT

private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("multiline");
        QTest::addColumn<bool>("global");
        QTest::addColumn<QStringList>("expected");   // match texts

        const QString link = QStringLiteral("https://item.example/item.htm?spm=a1z10&id=");
        QTest::newRow("nine digits too short for share")
            << "\\d{10,16}" << link + "123456789" << false << true << true << QStringList();
        QTest::newRow("nine digits enough for like")
            << "\\d{9,18}" << link + "123456789" << false << true << true << QStringList{"123456789"};
        QTest::newRow("long run gives its first 16 digits")
            << "\\d{10,16}" << link + "123456789012345678" << false << true << true
            << QStringList{"1234567890123456"};
        QTest::newRow("letter case ignored by default")
            << "abc" << "xABCx abc" << false << true << true << QStringList{"ABC", "abc"};
        QTest::newRow("case-sensitive") << "abc" << "xABCx abc" << true << true << true << QStringList{"abc"};
        QTest::newRow("first match only") << "a." << "a1 a2 a3" << false << true << false << QStringList{"a1"};
        QTest::newRow("caret at line starts") << "^b." << "b1\nb2" << false << true << true << QStringList{"b1", "b2"};
        QTest::newRow("caret at text start only") << "^b." << "b1\nb2" << false << false << true << QStringList{"b1"};
        QTest::newRow("dot is one character") << "^..$" << QStringLiteral("中文") << false << true << true
                                              << QStringList{QStringLiteral("中文")};
        QTest::newRow("dot stops at line break") << "a.b" << "a\nb" << false << true << true << QStringList();
        QTest::newRow("dollar before CR LF") << "\\d$" << "a1\r\nb2\r\n" << false << true << true
                                            << QStringList{"1", "2"};
        QTest::newRow("caret after a lone CR") << "^b." << "b1\rb2" << false << true << true
                                              << QStringList{"b1", "b2"};
        QTest::newRow("dot stops at CR") << "a.b" << "a\rb" << false << true << true << QStringList();
        QTest::newRow("whole lines of a CR LF text") << "^.+$" << QStringLiteral("第一行\r\n第二行")
                                                    << false << true << true
                                                    << QStringList{QStringLiteral("第一行"), QStringLiteral("第二行")};
        QTest::newRow("escaped angle in class") << "[^\\<]+" << "ab<cd" << false << true << true
                                                << QStringList{"ab", "cd"};
        QTest::newRow("empty subject") << "\\d" << "" << false << true << true << QStringList();
    }

    void matches()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, subject);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, multiline);
        QFETCH(bool, global);
        QFETCH(QStringList, expected);
        PatternMatcher matcher;
        QVERIFY(matcher.create(pattern, subject, caseSensitive, multiline, global));
        QCOMPARE(matcher.matchCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(matcher.matchText(i + 1), expected.at(i));
        QCOMPARE(matcher.matchText(expected.size() + 1), QString());
        QCOMPARE(matcher.matchText(0), QString());
        QCOMPARE(matcher.matchText(-1), QString());
    }

    void announcementGroups()
    {
        const QString block = QString::fromUtf8(
            "<li><a href=\"http://forum.example/t-1.html\" target=\"_blank\" class=\"xi2\">新版发布</a></li>"
            "<li><a href=\"http://forum.example/t-2.html\" target=\"_blank\" class=\"xi2\"></a></li>");
        PatternMatcher matcher;
        QVERIFY(matcher.create(kAnnouncement, block));
        QCOMPARE(matcher.matchCount(), 2);
        QCOMPARE(matcher.groupCount(), 2);
        QCOMPARE(matcher.groupText(1, 1), QStringLiteral("http://forum.example/t-1.html"));
        QCOMPARE(matcher.groupText(1, 2), QStringLiteral("新版发布"));
        QCOMPARE(matcher.groupText(2, 1), QStringLiteral("http://forum.example/t-2.html"));
        QCOMPARE(matcher.groupText(2, 2), QString());   // optional group absent
        QCOMPARE(matcher.groupText(1, 3), QString());
        QCOMPARE(matcher.groupText(3, 1), QString());
        QCOMPARE(matcher.groupText(0, 1), QString());
    }

    void quoteMarker()
    {
        QString marked = kAnnouncement;
        marked.replace(u'"', QStringLiteral("#引号"));
        PatternMatcher matcher;
        const QString anchor = QString::fromUtf8("<a href=\"x\" target=\"_blank\" class=\"xi2\">t</a>");
        QVERIFY(matcher.create(marked, anchor, false, true, true, true));
        QCOMPARE(matcher.pattern(), kAnnouncement);
        QCOMPARE(matcher.groupText(1, 2), QStringLiteral("t"));
        // Without the switch the marker is plain text.
        QVERIFY(matcher.create(marked, anchor));
        QCOMPARE(matcher.matchCount(), 0);
    }

    void invalidPattern()
    {
        PatternMatcher matcher;
        QCOMPARE(matcher.pattern(), QString());
        QVERIFY(matcher.create(QStringLiteral("a"), QStringLiteral("aaa")));
        QVERIFY(!matcher.create(QStringLiteral("(abc"), QStringLiteral("abc")));
        QCOMPARE(matcher.matchCount(), 0);   // the earlier matches are gone too
        QCOMPARE(matcher.matchText(1), QString());
        QCOMPARE(matcher.groupCount(), 0);
        QCOMPARE(matcher.replace(QStringLiteral("x")), QString());
    }

    void replace_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("global");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all") << "a" << "banana" << true << "x" << "bxnxnx";
        QTest::newRow("first only") << "a" << "banana" << false << "x" << "bxnana";
        QTest::newRow("group reference") << "(\\d+)" << "a12b3" << true << "[$1]" << "a[12]b[3]";
        QTest::newRow("whole match and dollar") << "\\d" << "a1" << true << "$$$&" << "a$1";
        QTest::newRow("unknown group stays text") << "b" << "abc" << true << "$2" << "a$2c";
        QTest::newRow("before and after") << "b" << "abc" << true << "<$`|$'>" << "a<a|c>c";
        QTest::newRow("no match") << "z" << "abc" << true << "x" << "abc";
    }

    void replace()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, subject);
        QFETCH(bool, global);
        QFETCH(QString, replacement);
        PatternMatcher matcher;
        QVERIFY(matcher.create(pattern, subject, false, true, global));
        QTEST(matcher.replace(replacement), "expected");
    }

    void firstMatchHelper()
    {
        const QString likePattern = QString::fromUtf8("\\d{9,18}");
        QCOMPARE(PatternMatcher::firstMatch(likePattern, QStringLiteral("id=987654321&x=1")),
                 QStringLiteral("987654321"));
        QCOMPARE(PatternMatcher::firstMatch(QStringLiteral("("), QStringLiteral("x")), QString());
    }
};

QTEST_GUILESS_MAIN(TestPatternMatcher)
#include "tst_pattern_matcher.moc"
