// The panel's whole Send road minus the USB I/O: one press of "Send Signal" on the real panel
// (offscreen), with the recording link standing in for the chip. What is timed is the button's
// click and everything it runs: the probe, the quantisation, the fields written back, the frame
// built and handed to the link, the indicator.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <string>

#include "PanelHarness.h"
#include "RecordingLink.h"

namespace {

using stepctl::LinkOp;
using stepctl::RecordingLink;

struct Road {
    const char* name;
    int row;
    SelectorRadio* (Panel::*interfaceRadio)() const;
    int address;  // picked in the address list when the radio is Serial Addressable
    const char* db1;
    const char* db2;  // typed only where the second field is enabled
};

const Road kRoads[] = {
    {"serial-6 ZMG-A4", 3, &Panel::serial, -1, "10.7", ""},
    {"parallel-7 ZMG-B1", 8, &Panel::parallel, -1, "10.3", ""},
    {"addressable-7 ZMG-B6", 12, &Panel::addressable, 5, "1.25", ""},
    {"dual ZMG-C1", 14, &Panel::serial, -1, "10.7", "7.3"},
};

void BM_SendRoad(benchmark::State& state) {
    const Road& road = kRoads[state.range(0)];
    state.SetLabel(road.name);

    RecordingLink link;
    Panel panel(&link);
    panel.pick(panel.device(), road.row);
    panel.click((panel.*road.interfaceRadio)());
    if (road.address >= 0)
        panel.pick(panel.address(), road.address);
    panel.type(panel.atten(), QString::fromLatin1(road.db1));
    if (panel.atten2()->isEnabled())
        panel.type(panel.atten2(), QString::fromLatin1(road.db2));
    QPushButton* send = panel.send();

    for (auto _ : state) {
        send->click();
        // The recording is part of the link's work; it is cleared so that it does not grow.
        link.clear();
    }

    // Once more, to check that the timed road really sends: probe, then the whole exchange.
    send->click();
    const std::vector<LinkOp> expected{LinkOp::Open,       LinkOp::Close,       LinkOp::Open,
                                       LinkOp::SetBitMode, LinkOp::SetBaudRate, LinkOp::Write,
                                       LinkOp::Close};
    if (link.ops() != expected || !panel.dlg().lastOutcome() || !panel.dlg().lastOutcome()->sent())
        state.SkipWithError("the Send did not run the whole exchange");
}
BENCHMARK(BM_SendRoad)->DenseRange(0, std::size(kRoads) - 1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
