// How long CalculateTappit takes on a text area filled to its capacity (what a load fills),
// next to a bare scan of the same characters (no layout, no line list) in the same run.
//
// usage: calculatetappit [CHARACTERS] [RUNS]
#include "forms/application.h"
#include "forms/richeditloader.h"
#include "median.h"
#include "tappit/tappitmain.h"
#include "tappit/wordcounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Words of ordinary lengths, paragraphs of a few lines: what a minute of typing looks like,
// repeated until the area is full.
QString typedText(int characters)
{
    static const char* const words[] = {"the",    "quick", "brown", "fox",     "jumps",
                                        "over",   "lazy",  "dog",   "package", "typing",
                                        "minute", "words", "42"};
    QString text;
    text.reserve(characters);
    unsigned n = 0;
    while (text.size() < characters) {
        text += QLatin1String(words[n % std::size(words)]);
        ++n;
        text += n % 97 == 0 ? u'\n' : u' ';
    }
    text.truncate(characters);
    return text;
}

// The reference: the same walk over the plain characters, without the displayed lines.
int bareCount(const QString& text)
{
    WordCounter counter;
    for (QChar c : text)
        counter.feed(c);
    return counter.count();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const int characters = argc > 1 ? std::atoi(argv[1]) : int(forms::RichEditLoader::Capacity);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    if (characters <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: calculatetappit [CHARACTERS] [RUNS]\n");
        return 2;
    }

    int qtArgc = 1;
    forms::TApplication app(qtArgc, argv);
    app.initialize();
    TForm1* form = nullptr;
    app.createForm(form);
    form->Timer3->setEnabled(false); // the start-up load would replace the text
    form->show();

    const QString text = typedText(characters);
    form->RichEdit1->setPlainText(text);
    QApplication::processEvents();

    QElapsedTimer first;
    first.start();
    const int words = form->CalculateTappit();
    const double firstMs = double(first.nsecsElapsed()) / 1e6;

    int check = 0;
    const double ms = medianMs(runs, [&] { check = form->CalculateTappit(); });
    const double bareMs = medianMs(runs, [&] { bareCount(form->RichEdit1->plainText()); });
    if (check != words)
        return 1;

    int lines = 0;
    form->RichEdit1->forEachDisplayedLine(4096, [&](QStringView) { ++lines; });
    std::printf("CalculateTappit on %d characters (%d words, %d displayed lines), %d runs\n",
                characters, words, lines, runs);
    std::printf("%-28s %10s %14s %7s\n", "", "median ms", "chars/s", "ratio");
    std::printf("%-28s %10.3f %14.3g %7.2f\n", "bare scan of the text", bareMs,
                characters / (bareMs / 1e3), 1.0);
    std::printf("%-28s %10.3f %14.3g %7.2f\n", "CalculateTappit", ms, characters / (ms / 1e3),
                ms / bareMs);
    std::printf("%-28s %10.3f\n", "first call after filling", firstMs);
    return 0;
}
