// Loading files into the text area: what shows, and how failures leave the area.

#include "forms/bytesource.h"
#include "forms/exception.h"
#include "forms/exclusivefile.h"
#include "forms/richedit.h"
#include "forms/richeditloader.h"
#include "qtprinters.h"
#include "testapplication.h"
#include "testform.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

using namespace forms;

namespace {

const char* kWindow = R"(object Form1: TTestForm
  object R: TRichEdit
    Width = 400
    Height = 200
    Font.Color = clBlack
    Font.Height = -16
    Font.Name = 'Arial'
  end
end
)";

struct Loading : ::testing::Test, TestApplication {
    QTemporaryDir dir;
    TTestForm* form = nullptr;
    TRichEdit* area = nullptr;

    void SetUp() override
    {
        app.setTitle(QStringLiteral("Tappit"));
        form = new TTestForm(&app, kWindow);
        area = dynamic_cast<TRichEdit*>(form->findComponent(QStringLiteral("R")));
        ASSERT_NE(area, nullptr);
        area->setPlainText(QStringLiteral("before"));
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    // The message of the failure the load ends with; empty when it succeeds.
    QString loadFails(const QString& name)
    {
        try {
            RichEditLoader::loadFromFile(*area, name);
        } catch (const Exception& e) {
            return e.message();
        }
        return {};
    }

    QTextCharFormat formatAt(int position) const
    {
        QTextCursor c(area->textEdit()->document());
        c.setPosition(position + 1);
        return c.charFormat();
    }
};

QString cannotOpen(const QString& name)
{
    return QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(name);
}

// ---- plain text ----

struct PlainCase {
    const char* name;
    QByteArray bytes;
    QString text;
};

TEST_F(Loading, PlainTextShowsByteForByteWithItsLineBreaks)
{
    const std::vector<PlainCase> table = {
        {"breaks", "a\rb\r\nc\nd", QStringLiteral("a\nb\nc\nd")},
        {"last byte CR", "end\r", QStringLiteral("end\n")},
        {"Windows-1252", "\x80 \xE4\xF6\xFC \x93x\x94", QString::fromUtf8("€ äöü “x”")},
        {"NUL", QByteArray("one\0two", 7), QStringLiteral("one two")},
        {"almost rich text", "{\\rt x", QStringLiteral("{\\rt x")},
        {"empty", "", QString()},
    };
    for (const PlainCase& c : table) {
        SCOPED_TRACE(c.name);
        RichEditLoader::loadFromFile(*area, write(QStringLiteral("p.txt"), c.bytes));
        EXPECT_EQ(area->plainText(), c.text);
    }
}

TEST_F(Loading, PlainTextTakesTheAreaFont)
{
    RichEditLoader::loadFromFile(*area, write(QStringLiteral("p.txt"), "word\rword"));
    for (int at : {0, 6}) {
        const QTextCharFormat f = formatAt(at);
        EXPECT_EQ(QFontInfo(f.font()).family(), QStringLiteral("Liberation Sans"));
        EXPECT_EQ(f.font().pixelSize(), 16);
        EXPECT_FALSE(f.font().bold());
        EXPECT_EQ(f.foreground().color(), QColor(Qt::black));
    }
}

TEST_F(Loading, LoneCarriageReturnsAroundTheReadersPieceEndAreKept)
{
    const int piece = int(RichEditLoader::PieceSize);
    for (int at : {piece - 2, piece - 1, piece, piece + 1}) {
        SCOPED_TRACE(at);
        QByteArray bytes(at, 'x');
        bytes += "\rlast\r";
        RichEditLoader::loadFromFile(*area, write(QStringLiteral("cr.txt"), bytes));
        EXPECT_EQ(area->plainText(), QString(at, u'x') + QStringLiteral("\nlast\n"));
    }
}

TEST_F(Loading, ALongerFileFillsTheAreaUpToItsCapacity)
{
    const int capacity = int(RichEditLoader::Capacity);
    RichEditLoader::loadFromFile(
        *area, write(QStringLiteral("long.txt"), QByteArray(capacity + 5000, 'w')));
    EXPECT_EQ(area->plainText().size(), capacity);

    QByteArray rich = "{\\rtf1 ";
    rich += QByteArray(capacity / 2, 'a') + "\\par " + QByteArray(capacity, 'b') + "}";
    RichEditLoader::loadFromFile(*area, write(QStringLiteral("long.rtf"), rich));
    EXPECT_EQ(area->plainText().size(), capacity);
    EXPECT_EQ(area->textEdit()->document()->blockCount(), 2);
}

// ---- rich text ----

TEST_F(Loading, RichTextShowsWithItsFormatting)
{
    const QByteArray rtf =
        R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Courier New;}})"
        R"({\colortbl;\red255\green0\blue0;}{\info{\title hidden}})"
        R"(plain {\b bold} {\i\cf1 red} {\ul under}\par)"
        R"(\f1\fs32 big\line next\tab x\'e4\u8364?})";
    RichEditLoader::loadFromFile(*area, write(QStringLiteral("f.rtf"), rtf));
    QTextDocument* doc = area->textEdit()->document();
    EXPECT_EQ(doc->blockCount(), 2);
    EXPECT_EQ(doc->firstBlock().text(), QStringLiteral("plain bold red under"));
    EXPECT_EQ(doc->lastBlock().text(), QString::fromUtf8("big\u2028next\txä€"));

    struct Expect {
        int at;
        bool bold, italic, underline;
        QColor color;
        int pixels;
        const char* family;
    };
    for (const Expect& e : {Expect{0, false, false, false, Qt::black, 16, "Liberation Sans"},
                            Expect{6, true, false, false, Qt::black, 16, "Liberation Sans"},
                            Expect{11, false, true, false, Qt::red, 16, "Liberation Sans"},
                            Expect{15, false, false, true, Qt::black, 16, "Liberation Sans"},
                            Expect{21, false, false, false, Qt::black, 21, "Liberation Mono"}}) {
        SCOPED_TRACE(e.at);
        const QTextCharFormat f = formatAt(e.at);
        EXPECT_EQ(f.font().bold(), e.bold);
        EXPECT_EQ(f.font().italic(), e.italic);
        EXPECT_EQ(f.font().underline(), e.underline);
        EXPECT_EQ(f.foreground().color(), e.color);
        EXPECT_EQ(f.font().pixelSize(), e.pixels);
        EXPECT_EQ(QFontInfo(f.font()).family(), QString::fromLatin1(e.family));
    }
}

TEST_F(Loading, ReplacesTheWholeContentWithoutAnUndoStepBack)
{
    area->textEdit()->textCursor().insertText(QStringLiteral(" typed"));
    RichEditLoader::loadFromFile(*area, write(QStringLiteral("a.rtf"), "{\\rtf1 new}"));
    EXPECT_EQ(area->plainText(), QStringLiteral("new"));
    EXPECT_FALSE(area->textEdit()->document()->isUndoAvailable());
    RichEditLoader::loadFromFile(*area, write(QStringLiteral("a.txt"), "plain"));
    EXPECT_EQ(area->plainText(), QStringLiteral("plain"));
}

// ---- failures ----

TEST_F(Loading, FilesThatCannotBeOpenedFailNamedAsGivenAndLeaveTheArea)
{
    QDir::setCurrent(dir.path());
    write(QStringLiteral("held.txt"), "x");
    QDir().mkdir(QStringLiteral("folder"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);

    struct Case {
        const char* what;
        QString name;
        std::function<int()> hold; // opens another descriptor; returns it
    };
    const QByteArray held = QFile::encodeName(dir.filePath(QStringLiteral("held.txt")));
    const std::vector<Case> table = {
        {"missing", QStringLiteral("SYC.ini"), nullptr},
        {"missing, absolute", dir.filePath(QStringLiteral("nothing.ini")), nullptr},
        {"empty name", QString(), nullptr},
        {"a directory", QStringLiteral("folder"), nullptr},
        {"a pipe", QStringLiteral("pipe"), nullptr},
        {"open for writing elsewhere", QStringLiteral("held.txt"),
         [&] { return ::open(held.constData(), O_WRONLY | O_APPEND); }},
        {"open for reading elsewhere", QStringLiteral("./held.txt"),
         [&] { return ::open(held.constData(), O_RDONLY); }},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.what);
        const int fd = c.hold ? c.hold() : -1;
        EXPECT_EQ(loadFails(c.name), cannotOpen(c.name));
        EXPECT_EQ(area->plainText(), QStringLiteral("before"));
        if (fd >= 0)
            ::close(fd);
    }
    EXPECT_EQ(loadFails(QStringLiteral("held.txt")), QString()) << "free again once closed";
}

TEST_F(Loading, AFileAnotherProcessHoldsOpenFails)
{
    const QString name = write(QStringLiteral("held.txt"), "x");
    const QByteArray path = QFile::encodeName(name);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only async-signal-safe calls between fork and _exit.
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND);
        const char ok = fd >= 0 ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            pause();
    }
    ::close(ready[1]);
    // The child must not outlive a failed assertion.
    struct Reap {
        pid_t pid;
        ~Reap()
        {
            if (pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    } reap{child};
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(ok, '1');

    EXPECT_EQ(loadFails(name), cannotOpen(name));

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    reap.pid = -1;
    EXPECT_EQ(loadFails(name), QString());
    EXPECT_EQ(area->plainText(), QStringLiteral("x"));
}

TEST_F(Loading, AnUnreadableFileFails)
{
    const QString name = write(QStringLiteral("secret.txt"), "x");
    const QByteArray path = QFile::encodeName(name);
    ASSERT_EQ(chmod(path.constData(), 0), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(loadFails(name), cannotOpen(name));
        return;
    }
    // Root reads a file of mode 000 anyway (CI runs as root), so the open is tried with this
    // thread's file-system identity set to an ordinary user. Unlike setuid, setfsuid changes no
    // other thread, and unlike a forked child it runs no Qt code after fork in a threaded
    // process; switching back to 0 restores root's file capabilities.
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    struct AsNobody {
        AsNobody()
        {
            setfsgid(65534);
            setfsuid(65534);
        }
        ~AsNobody()
        {
            setfsuid(0);
            setfsgid(0);
        }
    };
    AsNobody nobody;
    ASSERT_EQ(setfsuid(uid_t(-1)), 65534) << "could not take an ordinary user's identity";
    EXPECT_EQ(loadFails(name), cannotOpen(name));
}

TEST_F(Loading, TheSharingCheckIsTheStrongestTheKernelGrants)
{
    const QString name = write(QStringLiteral("own.txt"), "x");
    ExclusiveFile file(name);
    // Our own files on a local file system: the lease that sees every other descriptor.
    EXPECT_EQ(file.check(), ExclusiveFile::Check::NoOtherDescriptor);
}

// A byte source that fails where it is told to.
class FailingSource final : public ByteSource {
public:
    FailingSource(QByteArray bytes, int failReadNumber, bool rewindFails)
        : bytes_(std::move(bytes))
        , failRead_(failReadNumber)
        , rewindFails_(rewindFails)
    {}
    std::optional<std::size_t> read(std::span<char> buffer) override
    {
        if (++reads_ == failRead_)
            return std::nullopt;
        const std::size_t n = std::min<std::size_t>(buffer.size(), bytes_.size() - pos_);
        std::copy_n(bytes_.constData() + pos_, n, buffer.data());
        pos_ += n;
        return n;
    }
    bool rewind() override
    {
        pos_ = 0;
        return !rewindFails_;
    }

private:
    QByteArray bytes_;
    std::size_t pos_ = 0;
    int reads_ = 0;
    int failRead_;
    bool rewindFails_;
};

TEST_F(Loading, ReadErrorsFallBackToPlainTextOrFailTheStream)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        int failRead;
        bool rewindFails;
        QString shown; // null: "Das Laden des Streams ist mißlungen"
    };
    const std::vector<Case> table = {
        {"rich text read fails: reloaded as plain", "{\\rtf1 x}", 2, false,
         QStringLiteral("{\\rtf1 x}")},
        {"first read fails: plain text instead", "text", 1, false, QStringLiteral("text")},
        {"plain text read fails too", "text", 2, false, QString()},
        {"no way back to the start", "text", 0, true, QString()},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.what);
        area->setPlainText(QStringLiteral("before"));
        FailingSource source(c.bytes, c.failRead, c.rewindFails);
        QString message;
        try {
            RichEditLoader::load(*area, source);
        } catch (const Exception& e) {
            message = e.message();
        }
        if (c.shown.isNull()) {
            EXPECT_EQ(message, QStringLiteral("Das Laden des Streams ist mißlungen"));
            EXPECT_EQ(area->plainText(), QStringLiteral("before"));
        } else {
            EXPECT_EQ(message, QString());
            EXPECT_EQ(area->plainText(), c.shown);
        }
    }
}

} // namespace
