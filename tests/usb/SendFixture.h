// Tests of the real USB road: the send routines on the FTDI link to the first emulated chip,
// as the panel runs them, from a fresh selection state.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "EmulatedFt232r.h"
#include "Frames.h"
#include "SelectionState.h"
#include "SendRoutines.h"

namespace stepctl::usbtest {

class OnEmulatedChips : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSelectionState();
        setBoardLink(nullptr);
    }
    void TearDown() override { resetSelectionState(); }

    EmulatedFt232r bed;
};

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(const Frame& frame) {
    return {frame.begin(), frame.end()};
}

}  // namespace stepctl::usbtest
