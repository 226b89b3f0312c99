// The floor of a Qt 6 dialog program's start-up: an application that shows an empty dialog.
// With --label the dialog holds one line of text, which is what it takes to load the fonts.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    if (QApplication::arguments().contains(QStringLiteral("--label")))
        new QLabel(QStringLiteral("Send Signal"), &dialog);
    return dialog.exec();
}
