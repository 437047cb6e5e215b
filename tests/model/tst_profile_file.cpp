#include "model/profile_file.h"
#include "model/text_ops.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Plumbrook;

// Byte literals with embedded NULs.
#define BYTES(s) QByteArray(s, sizeof(s) - 1)

class TestProfileFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    QString mPath;

    void put(const QByteArray &bytes)
    {
        QFile file(mPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray get() const
    {
        QFile file(mPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

private slots:
    void init()
    {
        mPath = mDir.filePath(QStringLiteral("t.ini"));
        QFile::remove(mPath);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray basic = "[configure]\r\nNumber=6\r\nt_1 =  http://a/b.jpg \r\n";
        QTest::newRow("plain") << basic << "configure" << "Number" << "6";
        QTest::newRow("trimmed both sides") << basic << "configure" << "t_1" << "http://a/b.jpg";
        QTest::newRow("names ignore case") << basic << "CONFIGURE" << "number" << "6";
        QTest::newRow("absent key") << basic << "configure" << "z_f" << "";
        QTest::newRow("absent section") << basic << "other" << "Number" << "";
        QTest::newRow("key of another section")
            << QByteArray("[a]\nk=1\n[b]\nk=2\n") << "b" << "k" << "2";
        QTest::newRow("key before any section")
            << QByteArray("k=0\n[a]\n") << "a" << "k" << "";
        QTest::newRow("comment is not a key")
            << QByteArray("[a]\n;k=1\nk=2\n") << "a" << "k" << "2";
        QTest::newRow("indented header")
            << QByteArray("  [ a ]  \n k = v \n") << "a" << "k" << "v";
        QTest::newRow("line without equals")
            << QByteArray("[a]\nlonely\n") << "a" << "lonely" << "";
        QTest::newRow("value keeps inner equals")
            << QByteArray("[a]\nu=x?a=1&b=2\n") << "a" << "u" << "x?a=1&b=2";
        QTest::newRow("gbk value")
            << QByteArray("[a]\nk=") + TextOps::toGbk(QStringLiteral("亲爱的")) + "\n"
            << "a" << "k" << QStringLiteral("亲爱的");
        QTest::newRow("full-width space kept")
            << QByteArray("[a]\nk=") + TextOps::toGbk(QStringLiteral("\u3000x")) + "\n"
            << "a" << "k" << QStringLiteral("\u3000x");
        QTest::newRow("binary junk around")
            << BYTES("\x00\xff\xfe\x81[\n[a]\x00\nk=1\n\xff\xff\xff") << "a" << "k" << "1";
        QTest::newRow("empty file") << QByteArray() << "a" << "k" << "";
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        put(content);
        QCOMPARE(ProfileFile::read(mPath, section, key), expected);
        // One reading for several keys answers each as its own reading does.
        const QStringList keys = {key, QStringLiteral("absent"), key.toUpper()};
        QCOMPARE(ProfileFile::read(mPath, section, keys), (QStringList{expected, QString(), expected}));
    }

    void readAbsentFile()
    {
        QCOMPARE(ProfileFile::read(mPath, QStringLiteral("a"), QStringLiteral("k")), QString());
        QVERIFY(!QFile::exists(mPath));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");   // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("creates file") << QByteArray() << "configure" << "Number" << "6"
                                      << QByteArray("[configure]\r\nNumber=6\r\n");
        QTest::newRow("replaces in place, keeps the rest")
            << QByteArray("; note\r\n[c]\r\na=1\r\nb = 2\r\nc=3\r\n[x]\r\nb=9\r\n")
            << "c" << "b" << "7"
            << QByteArray("; note\r\n[c]\r\na=1\r\nb=7\r\nc=3\r\n[x]\r\nb=9\r\n");
        QTest::newRow("replace keeps stored key spelling")
            << QByteArray("[C]\nNumber=6\n") << "c" << "NUMBER" << "2"
            << QByteArray("[C]\nNumber=2\n");
        QTest::newRow("new key after the section's last key")
            << QByteArray("[c]\na=1\n\n[d]\nz=0\n") << "c" << "b" << "2"
            << QByteArray("[c]\na=1\nb=2\n\n[d]\nz=0\n");
        QTest::newRow("new key in empty section")
            << QByteArray("[c]\n[d]\n") << "c" << "b" << "2"
            << QByteArray("[c]\nb=2\n[d]\n");
        QTest::newRow("new section after unterminated last line")
            << QByteArray("[d]\nz=0") << "c" << "b" << "2"
            << QByteArray("[d]\nz=0\n[c]\nb=2\n");
        QTest::newRow("new key after unterminated last key")
            << QByteArray("[c]\r\na=1") << "c" << "b" << "2"
            << QByteArray("[c]\r\na=1\r\nb=2\r\n");
        QTest::newRow("gbk bytes on disk")
            << QByteArray() << "c" << "k" << QStringLiteral("宋体")
            << QByteArray("[c]\r\nk=\xcb\xce\xcc\xe5\r\n");
        QTest::newRow("line breaks cannot add lines")
            << QByteArray() << "c" << "k" << "a\r\n[evil]\nb"
            << QByteArray("[c]\r\nk=a [evil] b\r\n");
        QTest::newRow("junk lines kept byte for byte")
            << BYTES("\xff\xfe\x00junk\n[c]\nk=1\n\x81\x30\x81\x30\n")
            << "c" << "k" << "2"
            << BYTES("\xff\xfe\x00junk\n[c]\nk=2\n\x81\x30\x81\x30\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            put(before);
        QVERIFY(ProfileFile::write(mPath, section, key, value));
        QCOMPARE(get(), after);
    }

    void writeReadRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("gb18030 only") << QStringLiteral("\U0001F600 €");
        QTest::newRow("long") << QString(300000, u'x');
        QTest::newRow("empty") << QString();
    }

    void writeReadRoundTrip()
    {
        QFETCH(QString, value);
        QVERIFY(ProfileFile::write(mPath, QStringLiteral("c"), QStringLiteral("k"), value));
        QVERIFY(ProfileFile::write(mPath, QStringLiteral("c"), QStringLiteral("other"), QStringLiteral("1")));
        QCOMPARE(ProfileFile::read(mPath, QStringLiteral("c"), QStringLiteral("k")), value);
        QCOMPARE(ProfileFile::read(mPath, QStringLiteral("c"), QStringLiteral("other")), QStringLiteral("1"));
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("missing folder") << mDir.filePath(QStringLiteral("no/such/t.ini")) << "c" << "k";
        QTest::newRow("path is a folder") << mDir.path() << "c" << "k";
        QTest::newRow("empty key") << QString() << "c" << "";
        QTest::newRow("key with equals") << QString() << "c" << "a=b";
        QTest::newRow("section with bracket") << QString() << "c]x" << "k";
        QTest::newRow("key with line break") << QString() << "c" << "a\nb";
    }

    void refusedWrites()
    {
        QFETCH(QString, path);
        QFETCH(QString, section);
        QFETCH(QString, key);
        const QString target = path.isEmpty() ? mPath : path;
        if (path.isEmpty())
            put("[c]\nk=1\n");
        const QByteArray before = get();
        QVERIFY(!ProfileFile::write(target, section, key, QStringLiteral("v")));
        QCOMPARE(get(), before);
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
