// Loads a file into a text area again and again and prints how long one load takes; also writes
// the sample files bench/load uses.
//
// usage: loadfile FILE [RUNS]              median and fastest load of FILE, in milliseconds
//        loadfile --make KIND PATH BYTES   writes a sample: rich (formatted text), picture (a
//                                          picture group, then text) or plain (words, CR LF)

#include "forms/application.h"
#include "forms/richedit.h"
#include "forms/richeditloader.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string richSample(std::size_t bytes)
{
    std::string s =
        R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}})"
        R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
        R"({\stylesheet{\s0 Normal;}}{\info{\title Sample}{\author Bench}})"
        "\n";
    const char* pieces[] = {
        R"(\pard\plain\f0\fs24 The quick {\b brown} fox {\i jumps} over the lazy dog. )",
        R"({\cf1 Red words} and {\ul underlined ones}, caf\'e9 na\'efve \u8364? )",
        R"(\f1\fs28 Serif text in a larger size with a tab\tab and a line\line break. )",
        R"({\*\unknown hidden}{\cf2\b\i bold italic blue} end of paragraph.\par)"
        "\n",
    };
    for (std::size_t i = 0; s.size() < bytes - 2; ++i)
        s += pieces[i % 4];
    s.resize(std::min(s.size(), bytes - 2));
    // Cut at a clean place so the file ends well-formed.
    s.resize(s.rfind("\\par") == std::string::npos ? s.size() : s.rfind("\\par") + 4);
    return s + "}\n";
}

std::string pictureSample(std::size_t bytes)
{
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "Some words after the picture, line " + std::to_string(i) + ".\\par\n";
    std::string s = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\pict\pngblip\picw100\pich100 )";
    const std::size_t hex = bytes - s.size() - text.size() - 4;
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < hex; ++i)
        s += (i % 128 == 127) ? '\n' : digits[(i * 7) % 16];
    return s + "}" + text + "}\n";
}

std::string plainSample(std::size_t bytes)
{
    const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta"};
    std::string s;
    for (std::size_t i = 0; s.size() < bytes; ++i) {
        s += words[i % 7];
        s += (i % 12 == 11) ? "\r\n" : " ";
    }
    s.resize(bytes);
    return s;
}

int make(const char* kind, const char* path, std::size_t bytes)
{
    std::string data;
    if (!std::strcmp(kind, "rich"))
        data = richSample(bytes);
    else if (!std::strcmp(kind, "picture"))
        data = pictureSample(bytes);
    else if (!std::strcmp(kind, "plain"))
        data = plainSample(bytes);
    else
        return 2;
    std::ofstream(path, std::ios::binary) << data;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && !std::strcmp(argv[1], "--make"))
        return make(argv[2], argv[3], std::strtoull(argv[4], nullptr, 10));
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: loadfile FILE [RUNS] | loadfile --make KIND PATH BYTES\n");
        return 2;
    }
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 21;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    forms::TApplication app(argc, argv);
    app.initialize();
    auto* edit = new forms::TRichEdit(&app);
    edit->font().setName(QStringLiteral("Arial"));
    edit->font().setHeight(-16);
    edit->setBounds(0, 0, 441, 209);
    edit->widget()->show();

    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    // Three unmeasured loads first fill the font and format caches.
    for (int i = -3; i < runs; ++i) {
        const auto start = Clock::now();
        forms::RichEditLoader::loadFromFile(*edit, QString::fromLocal8Bit(argv[1]));
        // Lines laid out at the area's width, as the window needs them.
        QTextDocument* doc = edit->textEdit()->document();
        doc->documentLayout()->blockBoundingRect(doc->lastBlock());
        if (i >= 0)
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());

    // What the typing test walks: every line as the area displays it.
    const auto countStart = Clock::now();
    int lines = 0;
    for (QTextBlock b = edit->textEdit()->document()->begin(); b.isValid(); b = b.next())
        lines += b.layout()->lineCount();
    const double countMs =
        std::chrono::duration<double, std::milli>(Clock::now() - countStart).count();

    std::printf("median_ms=%.3f min_ms=%.3f chars=%lld paragraphs=%d lines=%d line_walk_ms=%.3f\n",
                ms[ms.size() / 2], ms[0], static_cast<long long>(edit->plainText().size()),
                edit->textEdit()->document()->blockCount(), lines, countMs);
    return 0;
}
