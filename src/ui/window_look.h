#pragma once

class QLabel;
class QWidget;

// The windows were drawn for a small 11-pixel font; this gives a window
// that size of the platform's own font.
void UseProgramFont(QWidget* window);

// The grey section title bars with white bold text.
void StyleTitleBar(QLabel* title);

// The maroon, bold labels that name the phase of the running command.
void StylePhaseLabel(QLabel* label);

// Controls are placed by pixel, as drawn. Fonts differ between platforms,
// so a label, check box or button whose caption would be cut is made just
// large enough to show it whole; nothing is ever made smaller.
void KeepCaptionsWhole(QWidget* root);

// The right edge of the rightmost control in a container placed by pixel.
int ContentRight(const QWidget* container);
