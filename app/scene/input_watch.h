// The movement filter of the input watch: the jitter of a mouse lying still
// must not end the run, a real movement of 3 pixels must.
#pragma once

namespace sarvel {

class MovementFilter {
 public:
  // True when the move is accepted (the run goes on); the accepted position
  // becomes the reference for the next event. The first event (no reference
  // yet, which reads as 0, 0) is always accepted. Positions are in device
  // pixels; the 3 pixels are the scene's logical ones, `scale` device pixels
  // each on the window the pointer is over, so that a mouse lying still
  // keeps the run at every pixel density.
  bool Accept(float x, float y, double scale);

  float last_x = 0.0f;
  float last_y = 0.0f;
};

}  // namespace sarvel
