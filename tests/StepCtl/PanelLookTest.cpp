// The panel's look on a dark desktop: every text of the panel read off the screen at a contrast
// a person can read, the state fields too while disabled, the indicator's frame neutral, and the
// lists that ignore a wheel passing over them.
#include <QGroupBox>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>

#include "Palette.h"
#include "PanelHarness.h"
#include "RecordingLink.h"
#include "SelectionState.h"
#include "SimulatedBoard.h"

namespace {

QPalette darkDesktop() {
    QPalette p(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35), QColor(0x50, 0x50, 0x50),
               QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30), QColor(0xf0, 0xf0, 0xf0),
               Qt::white, QColor(0x2a, 0x2a, 0x2a), QColor(0x23, 0x23, 0x23));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x60, 0x60, 0x60));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    return p;
}

}  // namespace

class PanelLookTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setPalette(darkDesktop()); }
    void textsReadOnADarkDesktop();
    void indicatorFrameIsNeutral();
    void listsTakeTheWheelOnlyWhenFocused();
};

void PanelLookTest::textsReadOnADarkDesktop() {
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    p.clickSend();  // the state fields show a code
    struct Seen {
        QString what;
        double ratio;
    };
    QList<Seen> seen;
    for (QLabel* label : p.dlg().findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && label->pixmap().isNull())
            seen.append({label->text(), drawnContrast(label)});
    }
    for (QGroupBox* box : p.dlg().findChildren<QGroupBox*>()) {
        const QRect title(0, 0, box->width(), box->fontMetrics().height());
        seen.append({box->title(), drawnContrast(box, title)});
    }
    for (SelectorRadio* radio : {p.serial(), p.parallel()}) {
        const int indicator = radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
        const QRect text(indicator + 4, 0, radio->width() - indicator - 4, radio->height());
        seen.append({radio->text(), drawnContrast(radio, text)});
    }
    for (QLineEdit* state : {p.state(), p.state2()}) {
        QVERIFY(!state->isEnabled());
        seen.append(
            {state->objectName(), drawnContrast(state, state->rect().adjusted(3, 3, -3, -3))});
    }
    QVERIFY(seen.size() >= 14);
    for (const Seen& s : seen) {
        qInfo("%-40s %5.2f:1", qPrintable(s.what), s.ratio);
        QVERIFY2(s.ratio >= 4.5, qPrintable(s.what + QStringLiteral(": %1:1").arg(s.ratio)));
    }
    // The window itself stays white.
    QCOMPARE(mostCommon(p.dlg().grab().toImage()), QColor(Qt::white));
}

void PanelLookTest::indicatorFrameIsNeutral() {
    struct Case {
        bool plugged;
        QColor text;
    };
    for (const Case& c : {Case{true, Qt::blue}, Case{false, Qt::red}}) {
        stepctl::SimulatedBoard sim;
        sim.plug(c.plugged);
        Panel p(&sim, &sim);
        QLabel* shown = c.plugged ? p.connected() : p.notConnected();
        QVERIFY(shown->isVisible());
        const QImage image = shown->grab().toImage();
        const int w = image.width(), h = image.height();
        for (const QPoint edge : {QPoint(0, 0), QPoint(w / 2, 0), QPoint(w - 1, h / 2),
                                  QPoint(w / 3, h - 1), QPoint(0, h / 2)}) {
            const QColor px = image.pixelColor(edge);
            QVERIFY2(px.red() == px.green() && px.green() == px.blue() && px != Qt::white,
                     qPrintable(px.name()));
        }
        bool textInColour = false;
        for (int y = 1; y < h - 1 && !textInColour; ++y)
            for (int x = 1; x < w - 1 && !textInColour; ++x)
                textInColour = image.pixelColor(x, y) == c.text;
        QVERIFY(textInColour);
    }
}

void PanelLookTest::listsTakeTheWheelOnlyWhenFocused() {
    auto wheel = [](QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent event(at, w->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    };
    stepctl::RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 7);  // a row with Serial Addressable, so the address list is enabled
    QVERIFY(p.address()->isEnabled());
    struct Case {
        PickList* list;
        const int* selection;  // what the panel acts on, where a pick is stored at once
    };
    for (const Case& c : {Case{p.address(), nullptr}, Case{p.device(), &g_nDeviceIndex}}) {
        p.close()->setFocus();
        const int before = c.list->currentIndex();
        wheel(c.list);
        QCOMPARE(c.list->currentIndex(), before);
        if (c.selection != nullptr)
            QCOMPARE(*c.selection, before);

        QTest::mouseClick(c.list->lineEdit(), Qt::LeftButton);
        QVERIFY(c.list->hasFocus());
        wheel(c.list);
        QCOMPARE(c.list->currentIndex(), before + 1);
        if (c.selection != nullptr)
            QCOMPARE(*c.selection, before + 1);
    }
}

QTEST_MAIN(PanelLookTest)
#include "PanelLookTest.moc"
