// Draws the panel's art: the application icon at 16, 24, 32, 48 and 256 pixels and the
// 168 x 53 logo. The PNG files it writes are committed next to it and bundled as resources;
// run it again after changing a drawing:
//   build/StepCtl/art/stepctl-make-art StepCtl/art
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kNavy(0x17, 0x3a, 0x6b);
const QColor kBlue(0x2b, 0x6c, 0xb8);
const QColor kSignal(0xff, 0xc8, 0x3d);

// The mark: a rounded tile with a signal that falls in equal steps, as an attenuator sets it.
void drawMark(QPainter& p, const QRectF& box) {
    const double s = box.width();
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0.0, kBlue);
    fill.setColorAt(1.0, kNavy);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.02), s * 0.18, s * 0.18);

    const int steps = s < 20 ? 3 : 4;
    const double left = box.left() + s * 0.16;
    const double right = box.right() - s * 0.16;
    const double top = box.top() + s * 0.22;
    const double bottom = box.bottom() - s * 0.2;
    const double stepWidth = (right - left) / steps;
    const double stepDrop = (bottom - top) / (steps + 0.5);

    // Bars of falling height, the staircase of the attenuation states.
    p.setBrush(QColor(255, 255, 255, 235));
    for (int i = 0; i < steps; ++i) {
        const double x = left + i * stepWidth;
        const double y = top + i * stepDrop;
        p.drawRect(QRectF(x + stepWidth * 0.12, y, stepWidth * 0.76, bottom - y));
    }

    // The signal line riding over the steps.
    QPainterPath line;
    line.moveTo(left - s * 0.06, top - s * 0.06);
    for (int i = 0; i < steps; ++i) {
        const double y = top + i * stepDrop - s * 0.06;
        line.lineTo(left + i * stepWidth, y);
        line.lineTo(left + (i + 1) * stepWidth, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kSignal, qMax(1.0, s * 0.07), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(line);
}

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    drawMark(p, QRectF(0, 0, size, size));
    return image;
}

QImage logo() {
    QImage image(168, 53, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawMark(p, QRectF(2, 3, 47, 47));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(25);
    name.setBold(true);
    p.setFont(name);
    p.setPen(kNavy);
    p.drawText(QRectF(56, 3, 112, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("StepCtl"));

    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(10);
    p.setFont(line);
    p.setPen(QColor(0x55, 0x5f, 0x6d));
    p.drawText(QRectF(57, 33, 111, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("DSA / DVGA control"));
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "make-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: stepctl-make-art OUTPUT-DIR\n");
        return 2;
    }
    const QDir dir(args.at(1));
    bool ok = true;
    for (const int size : {16, 24, 32, 48, 256})
        ok = save(icon(size), dir, QStringLiteral("stepctl-%1.png").arg(size)) && ok;
    ok = save(logo(), dir, QStringLiteral("logo.png")) && ok;
    return ok ? 0 : 1;
}
