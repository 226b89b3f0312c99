// The panel's trackbar behaves alike under every Qt style: a click in the channel moves the
// thumb by a page, never jumps it there, and only a drag of the thumb counts as a move. While
// the thumb is dragged a tooltip shows its position.
#pragma once

class QSlider;

void setUpTrackbar(QSlider* slider);
