// A long seeded run of user actions against a small model of the panel written from the
// rules, not from the code: after every action the widgets, the shared state and what the
// simulated board latched must equal the model.
#include <QTest>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "PanelHarness.h"
#include "SelectionState.h"
#include "SimulatedBoard.h"

namespace {

// --- The rules, restated independently ---------------------------------------------------

bool sevenBitRow(int row) {
    return row >= 8 && row <= 13;
}
int topOf(int row) {
    return sevenBitRow(row) ? 127 : 63;
}
double stepOf(int row) {
    return sevenBitRow(row) ? 0.25 : 0.5;
}
bool offersSerial(int row) {
    return row <= 6 || (row >= 8 && row <= 10) || row == 14;
}
bool offersParallel(int row) {
    return row <= 11 || row == 14;
}
bool offersAddressable(int row) {
    return row == 7 || row == 11 || row == 12 || row == 13;
}

float parsed(const std::string& text) {
    return std::strtof(text.c_str(), nullptr);  // the pool holds no hexadecimal forms
}

int codeOf(int row, float db) {
    const float scaled = db * static_cast<float>(sevenBitRow(row) ? 4 : 2);
    if (std::isnan(scaled) || scaled < 0.0f)
        return 0;
    if (scaled >= static_cast<float>(topOf(row)))
        return topOf(row);
    return static_cast<int>(scaled);
}

QString twoDecimals(double value) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.2f", value);
    return QString::fromLatin1(buffer.data());
}

QString dbText(int row, int code) {
    return twoDecimals(static_cast<float>(code * stepOf(row)));
}

const std::array<const char*, 20> kTexts = {
    "",    "0",   "0.25", "0.5", "10.7", "31.5",  "31.75", "32",   "-3",   "abc",
    "5dB", "1e1", "1e39", "nan", "inf",  "  7.3", "100",   "63.9", "0.49", "12.125"};

struct Model {
    int row = 0;
    int shownRow = 1;
    int iface = 0;
    std::array<bool, 3> checked{};
    int address = 1;
    int sliderMax = 63;
    int slider = 0;
    int code = 0;
    int code2 = 0;
    QString state = QStringLiteral("0");
    QString state2 = QStringLiteral("0");
    QString atten, atten2;
    bool atten2Enabled = false;
    std::array<bool, 3> radioEnabled{true, true, false};
    bool addressEnabled = false;
    bool plugged = true;
    bool connected = true;
    // What the board should hold after the last Send: attenuator label -> code.
    std::vector<std::pair<std::string, int>> latched;

    void setRange(int max) {
        sliderMax = max;
        slider = std::min(slider, max);
    }
};

}  // namespace

class PanelRandomTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }
    void randomUserActions();
};

void PanelRandomTest::randomUserActions() {
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    Model m;
    m.checked = {true, false, false};

    std::mt19937 random(20240611u);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int steps = 4000;
    QString lastAction;

    for (int step = 0; step < steps; ++step) {
        switch (below(11)) {
            case 0: {
                const int row = below(15);
                lastAction = QStringLiteral("pick device %1").arg(row);
                p.pick(p.device(), row);
                m.row = row;
                m.shownRow = row;
                m.setRange(topOf(row));
                m.atten2Enabled = row == 14;
                m.radioEnabled = {offersSerial(row), offersParallel(row), offersAddressable(row)};
                m.addressEnabled = offersAddressable(row);
                break;
            }
            case 1: {
                const int which = below(3);
                lastAction = QStringLiteral("click radio %1").arg(which);
                p.click(p.radio(which));
                if (!m.radioEnabled[static_cast<std::size_t>(which)])
                    break;
                m.checked = {which == 0, which == 1, which == 2};
                m.iface = which;
                m.addressEnabled = which == 2;
                if (which == 2)
                    m.setRange(126);
                break;
            }
            case 2: {
                if (!m.addressEnabled)
                    break;
                const int address = below(8);
                lastAction = QStringLiteral("pick address %1").arg(address);
                p.pick(p.address(), address);
                m.address = address;
                break;
            }
            case 3: {
                const QString text =
                    QString::fromLatin1(kTexts[static_cast<std::size_t>(below(20))]);
                lastAction = QStringLiteral("type '%1'").arg(text);
                p.type(p.atten(), text);
                m.atten = text;
                break;
            }
            case 4: {
                if (!m.atten2Enabled)
                    break;
                const QString text =
                    QString::fromLatin1(kTexts[static_cast<std::size_t>(below(20))]);
                lastAction = QStringLiteral("type 2nd '%1'").arg(text);
                p.type(p.atten2(), text);
                m.atten2 = text;
                break;
            }
            case 5: {
                lastAction = QStringLiteral("send");
                p.clickSend();
                m.setRange(topOf(m.row));
                m.connected = m.plugged;
                const float db1 = parsed(m.atten.toStdString());
                const float db2 = parsed(m.atten2.toStdString());
                m.code = codeOf(m.row, db1);
                if (m.row == 14) {
                    m.code2 = codeOf(m.row, db2);
                    m.state2 = QString::number(m.code2);
                    m.atten2 = dbText(m.row, m.code2);
                } else {
                    m.atten2 = twoDecimals(db2);
                }
                m.state = QString::number(m.code);
                m.slider = m.code;
                m.atten = dbText(m.row, m.code);
                m.latched.clear();
                if (!m.plugged)
                    break;
                if (m.iface == 2) {
                    if (m.row != 14)
                        m.latched = {{"address " + std::to_string(m.address), m.code}};
                } else if (m.row == 14) {
                    m.latched = {{"attenuator 1", m.code}, {"attenuator 2", m.code2}};
                } else {
                    m.latched = {{"attenuator", m.code}};
                }
                break;
            }
            case 6: {
                const int to = below(m.sliderMax + 1);
                lastAction = QStringLiteral("drag to %1").arg(to);
                p.drag(to);
                m.slider = to;
                m.code = to;
                m.state = QString::number(to);
                m.atten = dbText(m.row, to);
                break;
            }
            case 7: {
                const Qt::Key keys[] = {Qt::Key_Right,    Qt::Key_Left, Qt::Key_PageUp,
                                        Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
                const int deltas[] = {1, -1, 10, -10, -1000, 1000};
                const int k = below(6);
                lastAction = QStringLiteral("slider key %1").arg(k);
                p.sliderKey(keys[k]);
                m.slider = std::clamp(m.slider + deltas[k], 0, m.sliderMax);
                break;
            }
            case 8: {
                const bool up = below(2) == 0;
                lastAction = up ? QStringLiteral("spin up") : QStringLiteral("spin down");
                up ? p.spinUp() : p.spinDown();
                m.setRange(topOf(m.row));
                m.code = std::clamp(m.code + (up ? 1 : -1), 0, topOf(m.row));
                m.slider = m.code;
                m.state = QString::number(m.code);
                m.atten = dbText(m.row, m.code);
                break;
            }
            case 9: {
                m.plugged = below(4) != 0;
                lastAction = m.plugged ? QStringLiteral("plug") : QStringLiteral("unplug");
                sim.plug(m.plugged);
                break;
            }
            default:
                break;
        }

        const QByteArray where = QStringLiteral("step %1 (%2)").arg(step).arg(lastAction).toUtf8();
        auto check = [&where](bool ok, const char* what) {
            if (!ok)
                QTest::qFail(where + ": " + what, __FILE__, __LINE__);
            return ok;
        };
        bool ok = check(p.state()->text() == m.state, "state") &&
                  check(p.state2()->text() == m.state2, "state2") &&
                  check(p.atten()->text() == m.atten, "atten") &&
                  check(p.atten2()->text() == m.atten2, "atten2") &&
                  check(p.slider()->maximum() == m.sliderMax, "slider range") &&
                  check(p.slider()->value() == m.slider, "slider position") &&
                  check(g_nAttenCode == m.code, "g_nAttenCode") &&
                  check(g_nDeviceIndex == m.row, "g_nDeviceIndex") &&
                  check(g_nInterface == m.iface, "g_nInterface") &&
                  check(p.device()->currentIndex() == m.shownRow, "device list") &&
                  check(p.address()->currentIndex() == m.address, "address list") &&
                  check(p.serial()->isChecked() == m.checked[0], "serial check") &&
                  check(p.parallel()->isChecked() == m.checked[1], "parallel check") &&
                  check(p.addressable()->isChecked() == m.checked[2], "addressable check") &&
                  check(p.serial()->isEnabled() == m.radioEnabled[0], "serial enabled") &&
                  check(p.parallel()->isEnabled() == m.radioEnabled[1], "parallel enabled") &&
                  check(p.addressable()->isEnabled() == m.radioEnabled[2], "addressable enabled") &&
                  check(p.address()->isEnabled() == m.addressEnabled, "address enabled") &&
                  check(p.atten2()->isEnabled() == m.atten2Enabled, "atten2 enabled") &&
                  check(p.indicatorConnected() == m.connected, "indicator");
        if (ok && lastAction == QStringLiteral("send")) {
            for (const auto& [label, code] : m.latched) {
                bool found = false;
                for (const auto& a : sim.attenuators()) {
                    if (a.setup().label == label)
                        found = a.code() == code;
                }
                ok = check(found, "latched code");
            }
        }
        if (!ok)
            return;
    }
}

QTEST_MAIN(PanelRandomTest)
#include "PanelRandomTest.moc"
