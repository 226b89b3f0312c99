// A dialog made of a table of controls by id, each as the platform would hold it: a trackbar
// keeps its thumb inside its range, a list selects only an entry it has and shows it in its
// field.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ControlIds.h"
#include "Dialog.h"

struct FakeControl {
    std::string text;
    bool enabled = true;
    bool shown = true;
    bool checked = false;
    std::vector<std::string> entries;  // a list's
    int selected = -1;
    std::string tip;
    bool alert = false;
    int min = 0, max = 100, pos = 0;  // a trackbar's default range
};

class FakeDialog final : public stepctl::panel::Dialog {
  public:
    FakeDialog() {
        for (int id : {IDC_EDIT_STATE, IDC_EDIT_STATE2})
            controls[id].enabled = false;
        for (int id : {IDC_STATIC_CONNECTED, IDC_STATIC_NOTCONNECTED})
            controls[id].shown = false;
    }

    std::string text(int id) const override { return at(id).text; }
    void setText(int id, std::string_view text) override { controls[id].text = text; }
    void enable(int id, bool enabled) override { controls[id].enabled = enabled; }
    void show(int id, bool shown) override { controls[id].shown = shown; }
    void check(int id, bool checked) override { controls[id].checked = checked; }
    int selectedIndex(int id) const override { return at(id).selected; }
    void select(int id, int index) override {
        FakeControl& c = controls[id];
        c.selected = index >= 0 && index < entryCount(id) ? index : -1;
        c.text = c.selected >= 0 ? c.entries[static_cast<std::size_t>(c.selected)] : "";
    }
    void addEntry(int id, std::string_view text) override {
        controls[id].entries.emplace_back(text);
    }
    int entryCount(int id) const override { return static_cast<int>(at(id).entries.size()); }
    std::string entryText(int id, int index) const override {
        return index >= 0 && index < entryCount(id)
                   ? at(id).entries[static_cast<std::size_t>(index)]
                   : "";
    }
    void setToolTip(int id, std::string_view text) override { controls[id].tip = text; }
    void setAlert(int id, bool alert) override { controls[id].alert = alert; }
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
        {IDC_COMBO_DEVICE, {}},   {IDC_STATIC_CONNECTED, {}},  {IDC_STATIC_NOTCONNECTED, {}},
        {IDC_STATIC_BANNER, {}}};
};
