#include "forms/richeditloader.h"

#include "forms/bytesource.h"
#include "forms/color.h"
#include "forms/exception.h"
#include "forms/exclusivefile.h"
#include "forms/font.h"
#include "forms/messages.h"
#include "forms/richedit.h"

#include "formats/richtext/reader.h"
#include "formats/text/plaintextdecoder.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace forms {

namespace {

namespace rt = formats::richtext;

constexpr std::string_view RichTextStart = "{\\rtf";

QString toQString(const std::u16string& text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QTextCharFormat areaFormat(const TRichEdit& edit)
{
    QTextCharFormat f;
    f.setFont(edit.font().toQFont());
    f.setForeground(toQColor(edit.font().color()));
    return f;
}

QTextCharFormat toQt(const rt::CharFormat& format, const TRichEdit& edit)
{
    TFont font;
    font.assign(edit.font());
    if (!format.font.empty())
        font.setName(toQString(format.font));
    // Half-points at the platform's 96 pixels per inch: 24 (12 pt) is a height of -16.
    font.setHeight(-std::max(1, int(std::lround(format.halfPoints * 2 / 3.0))));
    font.setStyle((format.bold ? TFont::fsBold : 0u) | (format.italic ? TFont::fsItalic : 0u) |
                  (format.underline ? TFont::fsUnderline : 0u));
    QTextCharFormat f;
    f.setFont(font.toQFont());
    if (format.color)
        f.setForeground(QColor(format.color->red, format.color->green, format.color->blue));
    else
        f.setForeground(toQColor(edit.font().color()));
    return f;
}

// Replaces the whole content at once, without an undo step for the old text.
class Replacement {
public:
    explicit Replacement(TRichEdit& edit)
        : doc_(edit.textEdit()->document())
        , cursor_(doc_)
    {
        doc_->setUndoRedoEnabled(false);
        doc_->clear();
        cursor_.beginEditBlock();
    }
    ~Replacement()
    {
        cursor_.endEditBlock();
        doc_->setUndoRedoEnabled(true);
    }
    QTextCursor& cursor() { return cursor_; }

private:
    QTextDocument* doc_;
    QTextCursor cursor_;
};

// Documents use few distinct formats, and building a font is dear: the formats met so far.
class FormatCache {
public:
    explicit FormatCache(const TRichEdit& edit)
        : edit_(edit)
    {}
    const QTextCharFormat& operator()(const rt::CharFormat& format)
    {
        for (const auto& [key, value] : entries_) {
            if (key == format)
                return value;
        }
        if (entries_.size() >= 64)
            entries_.clear();
        entries_.emplace_back(format, toQt(format, edit_));
        return entries_.back().second;
    }

private:
    const TRichEdit& edit_;
    std::vector<std::pair<rt::CharFormat, QTextCharFormat>> entries_;
};

void show(TRichEdit& edit, const rt::Document& document)
{
    {
        FormatCache formats(edit);
        Replacement r(edit);
        bool first = true;
        for (const rt::Paragraph& p : document.paragraphs) {
            if (!first)
                r.cursor().insertBlock();
            first = false;
            for (const rt::Run& run : p.runs)
                r.cursor().insertText(toQString(run.text), formats(run.format));
        }
    }
    edit.textEdit()->moveCursor(QTextCursor::Start);
}

void show(TRichEdit& edit, const std::u16string& text)
{
    const QTextCharFormat format = areaFormat(edit);
    {
        Replacement r(edit);
        r.cursor().insertText(toQString(text), format);
    }
    edit.textEdit()->moveCursor(QTextCursor::Start);
    edit.textEdit()->setCurrentCharFormat(format);
}

// Reads the rest of a rich text file after its first bytes; false on a read error.
bool readWhole(ByteSource& source, std::string& bytes)
{
    constexpr std::size_t chunk = std::size_t(1) << 16;
    std::vector<char> buffer(chunk);
    while (bytes.size() < RichEditLoader::MaxRichTextBytes) {
        const std::size_t want = std::min(RichEditLoader::MaxRichTextBytes - bytes.size(), chunk);
        const auto got = source.read({buffer.data(), want});
        if (!got)
            return false;
        bytes.append(buffer.data(), *got);
        if (*got < want)
            break;
    }
    return true;
}

bool loadRichText(TRichEdit& edit, ByteSource& source)
{
    std::string bytes(RichTextStart.size(), '\0');
    const auto head = source.read({bytes.data(), bytes.size()});
    if (!head || *head < RichTextStart.size() || bytes != RichTextStart)
        return false;
    if (!readWhole(source, bytes))
        return false;
    rt::Limits limits;
    limits.capacity = RichEditLoader::Capacity;
    const rt::ReadResult result = rt::read(bytes, limits);
    if (!result.richText)
        return false;
    show(edit, result.document);
    return true;
}

bool loadPlainText(TRichEdit& edit, ByteSource& source)
{
    if (!source.rewind())
        return false;
    formats::text::PlainTextDecoder decoder(RichEditLoader::Capacity);
    std::string piece(RichEditLoader::PieceSize, '\0');
    for (;;) {
        const auto got = source.read({piece.data(), piece.size()});
        if (!got)
            return false;
        if (*got == 0 || !decoder.feed({piece.data(), *got}))
            break;
    }
    show(edit, decoder.text());
    return true;
}

} // namespace

void RichEditLoader::loadFromFile(TRichEdit& edit, const QString& fileName)
{
    ExclusiveFile file(fileName);
    load(edit, file);
}

void RichEditLoader::load(TRichEdit& edit, ByteSource& source)
{
    if (loadRichText(edit, source))
        return;
    if (!loadPlainText(edit, source))
        throw Exception(QString::fromUtf8(messages::StreamReadError));
}

} // namespace forms
