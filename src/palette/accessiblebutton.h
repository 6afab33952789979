#pragma once

namespace Sprelio {

/// Makes the accessibility actions of the program's buttons do what a click does. Qt's own toggle
/// action only flips a checkable button's state, so none of its handlers run; here toggle and press
/// both click the button. Checkable buttons (and every SpeedButton) get this; the others keep Qt's.
/// Installs once per process; call it before the buttons are first asked for by a screen reader.
void installClickingButtonAccessibility();

} // namespace Sprelio
