// A dialog made of a table of controls by id, each as the platform would hold it: a trackbar
// keeps its thumb inside its range, a list selects only an entry it has.
#pragma once

#include <algorithm>
#include <map>
#include <string>

#include "ControlIds.h"
#include "Dialog.h"

struct FakeControl {
    std::string text;
    bool enabled = true;
    bool shown = true;
    bool checked = false;
    int entries = 0;  // a list's entry count
    int selected = -1;
    int min = 0, max = 100, pos = 0;  // a trackbar's default range
};

class FakeDialog final : public stepctl::panel::Dialog {
  public:
    FakeDialog() {
        for (int id : {IDC_EDIT_STATE, IDC_EDIT_STATE2})
            controls[id].enabled = false;
        for (int id : {IDC_STATIC_CONNECTED, IDC_STATIC_NOTCONNECTED})
            controls[id].shown = false;
        controls[IDC_COMBO_ADDRESS].entries = 8;
        controls[IDC_COMBO_DEVICE].entries = 15;
    }

    std::string text(int id) const override { return at(id).text; }
    void setText(int id, std::string_view text) override { controls[id].text = text; }
    void enable(int id, bool enabled) override { controls[id].enabled = enabled; }
    void show(int id, bool shown) override { controls[id].shown = shown; }
    void check(int id, bool checked) override { controls[id].checked = checked; }
    int selectedIndex(int id) const override { return at(id).selected; }
    void select(int id, int index) override {
        FakeControl& c = controls[id];
        c.selected = index >= 0 && index < c.entries ? index : -1;
    }
    void setTrackbarRange(int id, int min, int max) override {
        FakeControl& c = controls[id];
        c.min = min;
        c.max = max;
        c.pos = std::clamp(c.pos, min, max);
    }
    void setTrackbarPos(int id, int pos) override {
        FakeControl& c = controls[id];
        c.pos = std::clamp(pos, c.min, c.max);
    }

    const FakeControl& at(int id) const { return controls.at(id); }
    FakeControl& operator[](int id) { return controls.at(id); }

    std::map<int, FakeControl> controls{
        {IDC_EDIT_STATE, {}},     {IDC_EDIT_STATE2, {}},       {IDC_EDIT_ATTEN, {}},
        {IDC_EDIT_ATTEN2, {}},    {IDC_SLIDER_ATTEN, {}},      {IDC_RADIO_SERIAL, {}},
        {IDC_RADIO_PARALLEL, {}}, {IDC_RADIO_SERIAL_ADDR, {}}, {IDC_COMBO_ADDRESS, {}},
        {IDC_COMBO_DEVICE, {}},   {IDC_STATIC_CONNECTED, {}},  {IDC_STATIC_NOTCONNECTED, {}}};
};
