// The reference for bench/run: the least a Qt Widgets program can do to show a window like
// Tappit's (same size, place and one button), so any startup cost above it is ours.

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    window.setFixedSize(476, 344);
    window.move(265, 151);
    auto* exit = new QPushButton(QStringLiteral("&Exit"), &window);
    exit->setGeometry(384, 16, 75, 25);
    QObject::connect(exit, &QPushButton::clicked, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
