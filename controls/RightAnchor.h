#pragma once
// AnchorRight: keeps a control's right edge as far from its parent's right
// edge as it is now, so that the control grows and shrinks with its parent
// like one anchored left, top and right.

class QWidget;

namespace orb {

// The control must already lie in its parent at its designed place.
void AnchorRight(QWidget& control);

}  // namespace orb
