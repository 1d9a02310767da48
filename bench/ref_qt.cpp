// What a plain Qt 6 Widgets program with Kestrand's window costs to start: the same title,
// size, icon, background picture and 13 controls, written the obvious way, the pictures
// loaded from its resources. Nothing in it is tuned for start-up.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("FEXO- Scenario Kestrand"));
    window.setFixedSize(578, 273);
    QIcon icon;
    for (const char* size : {"32", "64", "128"}) {
        icon.addFile(QStringLiteral(":/icons/kestrand-%1.png").arg(QLatin1String(size)));
    }
    window.setWindowIcon(icon);
    auto* picture = new QLabel(&window);
    picture->setPixmap(QPixmap(QStringLiteral(":/background.bmp")));
    picture->setGeometry(0, 0, 580, 276);

    const char* const bands[] = {"Draw (+/-):", "Marginal Victory (+/-):",
                                 "Significant Victory: (+/-):", "Overwhelming Victory (+/-):"};
    int y = 20;
    for (const char* band : bands) {
        (new QLabel(QString::fromLatin1(band), &window))->setGeometry(20, y, 270, 24);
        (new QLabel(QStringLiteral("0"), &window))->setGeometry(300, y, 80, 24);
        y += 34;
    }

    (new QLabel(QStringLiteral("Total Number of Scenario Victory Points:"), &window))
        ->setGeometry(20, 180, 270, 26);
    auto* total = new QLineEdit(QStringLiteral("0"), &window);
    total->setGeometry(300, 180, 120, 26);
    total->setAlignment(Qt::AlignRight);
    QPalette palette = total->palette();
    palette.setColor(QPalette::Text, Qt::red);
    total->setPalette(palette);
    QFont bold = total->font();
    bold.setBold(true);
    total->setFont(bold);

    (new QPushButton(QStringLiteral("Notes"), &window))->setGeometry(450, 20, 110, 30);
    (new QPushButton(QStringLiteral("Calculate"), &window))->setGeometry(450, 178, 110, 30);
    auto* exit = new QPushButton(QStringLiteral("Exit"), &window);
    exit->setGeometry(450, 225, 110, 30);
    QObject::connect(exit, &QPushButton::clicked, &app, &QApplication::quit);

    window.show();
    return app.exec();
}
