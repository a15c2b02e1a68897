// Makes the program's manual, Help.pdf, from its text in HTML:
//   makemanual <manual.html> <Help.pdf>
// Run at build time; needs no display (the offscreen platform is used).

#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: makemanual <manual.html> <Help.pdf>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "makemanual: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument manual;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    manual.setDefaultFont(font);
    manual.setHtml(QString::fromUtf8(source.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("Quillane 2013 – Ръководство"));
    pdf.setCreator(QStringLiteral("Quillane 2013"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    manual.print(&pdf);
    QFile made(QString::fromLocal8Bit(argv[2]));
    if (!made.exists() || made.size() == 0) {
        std::fprintf(stderr, "makemanual: %s was not written\n", argv[2]);
        return 1;
    }
    return 0;
}
