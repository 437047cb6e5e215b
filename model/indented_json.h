#pragma once

#include <QByteArray>
#include <QStringView>

namespace Plumbrook {

// Writes JSON text in the bytes QJsonDocument::toJson(Indented) gives for the same values,
// without building the document: a design of 10,000 components spent most of its save
// inserting into QJsonObjects and walking them again. The caller gives an object's
// members in the order QJsonObject keeps them (see keyLess) and each key once.
class IndentedJson
{
public:
    explicit IndentedJson(QByteArray *out) : mOut(out) {}

    void openObject();
    void closeObject();
    void openArray();
    void closeArray();
    // The next member of the object open now.
    void key(QStringView key);
    void string(QStringView value);
    void integer(qint64 value);
    // After the outermost value, as toJson ends its text.
    void finish() { mOut->append('\n'); }

    // The order of an object's keys: by UTF-16 code unit.
    static bool keyLess(QStringView a, QStringView b) { return a.compare(b) < 0; }

private:
    // Before a value: the separator and indentation an array element needs.
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void indent(int depth);
    void quoted(QStringView text);

    QByteArray *mOut;
    int mDepth = 0;
    bool mFirst = true;       // nothing yet in the object or array open now
    bool mAfterKey = false;   // the value of a member comes next
};

} // namespace Plumbrook
