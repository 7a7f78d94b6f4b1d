// Copy benchmark driver: carries out one shell copy request with the real dialogs (the progress
// display opens after half a second, as for a person) and prints the seconds perform() took.
//
// usage: copydriver SOURCE DESTINATION

#include "platform/shellcopy/qtcopydialogs.h"
#include "platform/shellcopy/shellcopy.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copydriver SOURCE DESTINATION\n");
        return 2;
    }
    QApplication app(argc, argv);
    shellcopy::QtCopyDialogs dialogs;
    shellcopy::ShellCopy shell(dialogs);
    shellcopy::FileOperationRequest request;
    request.operation = shellcopy::FileOperationRequest::Copy;
    request.from = std::string(argv[1]) + std::string(2, '\0');
    request.to = std::string(argv[2]) + std::string(2, '\0');
    QElapsedTimer timer;
    timer.start();
    const int result = shell.perform(request);
    std::printf("%.6f\n", double(timer.nsecsElapsed()) / 1e9);
    return result == 0 ? 0 : 1;
}
